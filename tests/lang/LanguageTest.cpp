#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "LangTestHelpers.h"
#include "lang/LanguageActions.h"
#include "lang/SampleLanguages.h"
#include "lang/TLangStorage.h"
#include "lang/TLanguageList.h"
#include "support/UnusualFiles.h"
#include "wordmill/ProcessRunner.h"

using namespace vellumar;
using lang_test::TempDir;
using lang_test::writeBytes;

namespace {

std::vector<std::string> names(const TLanguageList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i) out.push_back(list.at(i).Name());
    return out;
}

std::string header(std::int32_t length, const std::string& name) {
    std::string s = kLangSignature;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((static_cast<std::uint32_t>(length) >> (8 * i)) & 0xFF);
    return s + name;
}

}  // namespace

TEST(TLangStorage, BuiltInLanguage) {
    const TLangStorage english = TLangStorage::BuiltIn();
    EXPECT_TRUE(english.IsBuiltIn());
    EXPECT_EQ(english.Name(), "English (i)");
    EXPECT_TRUE(english.FilePath().empty());
    EXPECT_EQ(textfold::foldWord(english.CharacterTable(), "Hello, World 42"), "HELLOWORLD");
    EXPECT_EQ(english.CharacterTable()['z'], 'Z');
    EXPECT_EQ(english.CharacterTable()[0xE9], 0);
}

TEST(TLangStorage, ReadsWhatWasWrittenAndRefusesBadFiles) {
    TempDir dir;
    textfold::CharTable table = textfold::englishTable();
    table[0xE9] = 'E';
    writeLangFile(dir / "French.LNG",
                  "Fran\xC3\xA7"
                  "ais",
                  table);
    writeBytes(dir / "French.LNG", [&] {
        std::ifstream in(dir / "French.LNG", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {}) + "trailing bytes are ignored";
    }());
    const TLangStorage french(dir / "French.LNG");
    EXPECT_FALSE(french.IsBuiltIn());
    EXPECT_EQ(french.Name(),
              "Fran\xC3\xA7"
              "ais");
    EXPECT_EQ(french.FilePath(), dir / "French.LNG");
    EXPECT_EQ(french.CharacterTable(), table);

    struct Bad {
        const char* file;
        std::string bytes;
    } bad[] = {
        {"ten.LNG", "Vellumar_L"},  // 10 bytes
        {"sig.LNG", std::string("Vellumar_Lenguage") + std::string(300, '\0')},
        {"neg.LNG", header(-5, "name") + std::string(256, 'A')},
        {"empty.LNG", ""},
    };
    for (const Bad& b : bad) {
        writeBytes(dir / b.file, b.bytes);
        try {
            TLangStorage lang(dir / b.file);
            ADD_FAILURE() << b.file << " was accepted";
        } catch (const ELangStorageException& e) {
            EXPECT_STREQ(e.what(), "Wrong language file format") << b.file;
        }
    }
    EXPECT_THROW(TLangStorage(dir / "missing.LNG"), std::runtime_error);
}

TEST(TLangStorage, AFileThatEndsEarlyLeavesZeros) {
    TempDir dir;
    // The table stops after three entries.
    writeBytes(dir / "short.LNG", header(4, "Kurz") + std::string("\x00\x01\x02", 3));
    const TLangStorage s(dir / "short.LNG");
    EXPECT_EQ(s.Name(), "Kurz");
    EXPECT_EQ(s.CharacterTable()[2], 2);
    EXPECT_EQ(s.CharacterTable()[3], 0);
    EXPECT_EQ(s.CharacterTable()[255], 0);
    // A length far beyond the file reads the rest as the name, without asking for 2 GB.
    writeBytes(dir / "long.LNG", header(0x7FFFFFFF, "Rest"));
    const TLangStorage l(dir / "long.LNG");
    EXPECT_EQ(l.Name(), "Rest");
    EXPECT_EQ(l.CharacterTable(), textfold::CharTable{});
}

TEST(TLanguageList, SortedByNameWithFailuresReported) {
    TempDir dir;
    SilentUserInterface ui;
    TLanguageList list;
    EXPECT_EQ(list.FillLanguageList(dir.path(), ui), 0);
    EXPECT_EQ(names(list), std::vector<std::string>{"English (i)"});

    for (const auto& lang : sampleLanguages())
        writeLangFile(dir / lang.fileName, lang.name, lang.table);
    writeBytes(dir / "broken.LNG", "0123456789");
    std::filesystem::create_directory(dir / "folder.LNG");
    writeLangFile(dir / "lower.lng", "alpha", textfold::englishTable());
    writeLangFile(dir / "other.txt", "Ignored", textfold::englishTable());

    EXPECT_EQ(list.FillLanguageList(dir.path(), ui), 0);
    EXPECT_EQ(names(list),
              (std::vector<std::string>{"alpha", "Deutsch", "English (i)", "Francais"}));
    EXPECT_EQ(ui.messageCount, 2) << "broken.LNG, then folder.LNG";
    EXPECT_EQ(ui.lastMessage, (dir / "folder.LNG").string() + ": not an ordinary file");
    EXPECT_TRUE(list.at(2).IsBuiltIn());
    EXPECT_EQ(list.IndexOf("Francais"), 3);
    EXPECT_EQ(list.IndexOf("francais"), -1);

    // Refilling keeps the remembered selection and picks up new files.
    std::filesystem::remove(dir / "lower.lng");
    std::filesystem::remove(dir / "broken.LNG");
    writeLangFile(dir / "Czech.LNG",
                  "\xC4\x8C"
                  "e\xC5\xA1tina",
                  textfold::englishTable());
    EXPECT_EQ(list.FillLanguageList(dir.path(), ui, "Francais"), 3);
    EXPECT_EQ(names(list), (std::vector<std::string>{"\xC4\x8C"
                                                     "e\xC5\xA1tina",
                                                     "Deutsch", "English (i)", "Francais"}));
    EXPECT_EQ(list.FillLanguageList(dir.path(), ui, "Gone"), 0);
    EXPECT_EQ(list.FillLanguageList(dir / "no-such-folder", ui, "Gone"), 0);
    EXPECT_EQ(names(list), std::vector<std::string>{"English (i)"});
}

TEST(TLanguageList, LanguageFilesThatAreNotOrdinaryAreReportedAtOnce) {
    TempDir dir;
    ASSERT_TRUE(
        testing_support::makeSpecialFile(dir / "fifo.LNG", testing_support::SpecialFile::Fifo));
    ASSERT_TRUE(testing_support::makeSpecialFile(dir / "zero.LNG",
                                                 testing_support::SpecialFile::DevZeroLink));
    // A valid header whose name claims the rest of a 50 MB file.
    writeBytes(dir / "huge.LNG", header(0x7FFFFFFF, std::string(50u << 20, 'n')));
    writeLangFile(dir / "Good.LNG", "Good", textfold::englishTable());

    struct RecordingUi : SilentUserInterface {
        std::vector<std::string> all;
        MessageResult showMessage(const std::string& text, MessageIcon icon,
                                  MessageButtons buttons) override {
            all.push_back(text);
            return SilentUserInterface::showMessage(text, icon, buttons);
        }
    } ui;
    TLanguageList list;
    testing_support::finishesWithin(std::chrono::seconds(2), "filling the language list",
                                    [&] { list.FillLanguageList(dir.path(), ui); });
    EXPECT_EQ(names(list), (std::vector<std::string>{"English (i)", "Good"}));
    EXPECT_EQ(ui.all,
              (std::vector<std::string>{(dir / "fifo.LNG").string() + ": not an ordinary file",
                                        (dir / "huge.LNG").string() + ": larger than 4 MB",
                                        (dir / "zero.LNG").string() + ": not an ordinary file"}));
}

TEST(sampleLanguages, ShippedFilesAreWhatTheToolMakes) {
    const std::filesystem::path home = std::filesystem::path(VELLUMAR_SOURCE_DIR) / "data/home";
    for (const auto& lang : sampleLanguages()) {
        const TLangStorage shipped(home / lang.fileName);
        EXPECT_EQ(shipped.Name(), lang.name);
        EXPECT_EQ(shipped.CharacterTable(), lang.table)
            << lang.fileName << ": run vellumar-lngmake --samples data/home";
    }
    const textfold::CharTable german = germanTable(), french = frenchTable();
    EXPECT_EQ(textfold::foldWord(german,
                                 "M\xC3\xA4"
                                 "dchen Stra\xC3\x9F"
                                 "e Caf\xC3\xA9 42"),
              "M\xC3\x84"
              "DCHENSTRA\xC3\x9F"
              "ECAFE");
    EXPECT_EQ(textfold::foldWord(french, "\xC3\xA9l\xC3\xA8ve \xC5\x93uvre gar\xC3\xA7on"),
              "ELEVE\xC5\x92UVREGARCON");
    EXPECT_EQ(french[0xD7], 0) << "the multiplication sign is no letter";
    EXPECT_EQ(french[0xF7], 0);
}

TEST(LanguageActions, ChangingTheLanguageOfAnIndex) {
    SilentUserInterface ui;
    EXPECT_EQ(decideLanguageChange(true, ui), LanguageChange::ForNewIndex);
    EXPECT_EQ(ui.messageCount, 0) << "a new index asks nothing";
    EXPECT_EQ(decideLanguageChange(false, ui), LanguageChange::Recreate);
    EXPECT_EQ(ui.lastMessage, "Do you really want to recreate index with another language?");
    ui.answerYes = false;
    EXPECT_EQ(decideLanguageChange(false, ui), LanguageChange::Keep);
}

TEST(LanguageActions, StartingTheLanguageMaker) {
    TempDir dir;
    SilentUserInterface ui;
    const std::string folder = dir.path().string();
    // Not in the program folder (nor, on a test machine, on the PATH).
    if (!wordmill::findProgram("tablewright")) {
        EXPECT_FALSE(startLanguageMaker(dir.path(), ui));
        EXPECT_EQ(ui.lastMessage,
                  "Tablewright was not found in the current folder\r\n\"" + folder + "\"");
    }
    writeBytes(dir / "tablewright", "#!/bin/sh\ntouch \"$1/started\"\n");
    std::filesystem::permissions(dir / "tablewright", std::filesystem::perms::owner_all);
    ui.messageCount = 0;
    EXPECT_TRUE(startLanguageMaker(dir.path(), ui));
    for (int i = 0; i < 300 && !std::filesystem::exists(dir / "started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::exists(dir / "started"))
        << "started with the program folder as argument";
    EXPECT_EQ(ui.messageCount, 0);

    const std::pair<int, std::string> failures[] = {
        {ENOMEM, "The system is out of memory or resources"},
        {EAGAIN, "The system is out of memory or resources"},
        {ENOENT, "Tablewright was not found in the current folder\r\n\"" + folder + "\""},
        {ENOEXEC, "Tablewright is corrupted and can not be launched."},
        {EPERM, "Tablewright can not be launched for unknown reason."},
    };
    for (const auto& [error, message] : failures) {
        std::vector<std::string> given;
        EXPECT_FALSE(startLanguageMaker(
            dir.path(), ui,
            [&, e = error](const std::filesystem::path&, const std::vector<std::string>& args) {
                given = args;
                return e;
            }));
        EXPECT_EQ(ui.lastMessage, message);
        EXPECT_EQ(given, std::vector<std::string>{folder});
    }
}
