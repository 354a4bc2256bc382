// The language box helper, in an offscreen QApplication.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>

#include "LangTestHelpers.h"
#include "lang/SampleLanguages.h"
#include "lang/TLanguageList.h"
#include "lang/ui/LanguageCombo.h"

using namespace vellumar;

TEST(LanguageCombo, RefillKeepsTheSelectionAndPointsAtTheEntries) {
    lang_test::TempDir dir;
    SilentUserInterface ui;
    TLanguageList list;
    QComboBox box;
    int changes = 0;
    QObject::connect(&box, &QComboBox::currentIndexChanged, [&] { ++changes; });

    EXPECT_EQ(refillLanguageCombo(box, list, dir.path(), ui), 0);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.currentText(), "English (i)");

    for (const auto& lang : sampleLanguages())
        writeLangFile(dir / lang.fileName, lang.name, lang.table);
    EXPECT_EQ(refillLanguageCombo(box, list, dir.path(), ui), 1) << "English (i) stays selected";
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), "Deutsch");
    EXPECT_EQ(box.itemText(2), "Francais");
    ASSERT_TRUE(LanguageOfItem(box, 0));
    EXPECT_EQ(LanguageOfItem(box, 0), &list.at(0));
    EXPECT_EQ(LanguageOfItem(box)->Name(), "English (i)");
    EXPECT_EQ(LanguageOfItem(box, 7), nullptr);
    EXPECT_EQ(changes, 0) << "refilling is not a user's change";

    EXPECT_TRUE(selectLanguageByName(box, "Francais"));
    EXPECT_EQ(LanguageOfItem(box)->CharacterTable(), frenchTable());
    EXPECT_FALSE(selectLanguageByName(box, "Klingon"));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(LanguageOfItem(box), nullptr);
    EXPECT_EQ(refillLanguageCombo(box, list, dir.path(), ui), 0) << "no selection: item 0";
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
