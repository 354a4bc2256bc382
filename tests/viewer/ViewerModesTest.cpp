// Which viewer is in front, the entry labels and the popup menu's enabling rules.
#include <gtest/gtest.h>

#include "viewer/ViewerModes.h"

namespace vellumar {
namespace {

TEST(ViewerModesTest, TheViewerInFront) {
    struct Case {
        ViewState state;
        bool html, controls, select;
    };
    const Case cases[] = {
        // A page is rendered, with its entries.
        {{true, true, true, false, true}, true, true, true},
        // ... as source when asked: the text viewer with the entries.
        {{true, true, true, true, true}, false, true, true},
        // Without format filters every file is text.
        {{false, true, true, false, true}, false, true, true},
        // No item selected (a page reached through a link): the display, no entries.
        {{true, false, false, false, false}, true, false, false},
        {{true, false, false, true, true}, true, false, false},
        // A text file without entries.
        {{true, false, true, false, false}, false, false, false},
        // A text file with entries.
        {{true, false, true, false, true}, false, true, true},
    };
    for (const Case& c : cases) {
        const ViewChoice choice = chooseView(c.state);
        EXPECT_EQ(choice.htmlInFront, c.html);
        EXPECT_EQ(choice.entryControlsVisible, c.controls);
        EXPECT_EQ(choice.selectEntry, c.select);
    }
    EXPECT_EQ(textViewerFor(DocumentKind::Rtf, true, false), TextViewer::Rich);
    EXPECT_EQ(textViewerFor(DocumentKind::Rtf, true, true), TextViewer::Plain);
    EXPECT_EQ(textViewerFor(DocumentKind::Rtf, false, false), TextViewer::Plain);
    EXPECT_EQ(textViewerFor(DocumentKind::Pdf, true, false), TextViewer::Plain);
}

TEST(ViewerModesTest, EntryLabelsAndPopupItems) {
    const EntryLabels three = entryLabelsFor(3, 0, false);
    EXPECT_EQ(three.number + three.slash + three.count, "1/3");
    EXPECT_EQ(entryLabelsFor(0, 0, true).number, "???");
    EXPECT_EQ(entryLabelsFor(0, 0, false).number, "");
    EXPECT_EQ(entryLabelsFor(0, 0, true).count, "");

    ViewerPopup popup = viewerPopupState(false, TextViewer::Plain, " \r\n", true, "S");
    EXPECT_EQ(popup.searchSelectedCaption, "Search for Selected Word     Ctrl+S");
    EXPECT_FALSE(popup.searchSelected);  // a blank selection
    EXPECT_TRUE(popup.font && popup.withinFound && popup.wordWrap && popup.rtfPlain);
    EXPECT_FALSE(popup.htmlBrowser);
    popup = viewerPopupState(true, TextViewer::Rich, "word", false, "Q");
    EXPECT_TRUE(popup.searchSelected);
    EXPECT_FALSE(popup.font || popup.withinFound || popup.wordWrap || popup.rtfPlain);
    EXPECT_FALSE(popup.htmlBrowser);  // no results listed
    EXPECT_TRUE(viewerPopupState(true, TextViewer::Plain, "", true, "S").htmlBrowser);

    EXPECT_TRUE(loadBrowserEnabled("/cw/1.htm"));
    EXPECT_TRUE(loadBrowserEnabled("/cw/page.HTML"));
    EXPECT_FALSE(loadBrowserEnabled("/cw/1.tmp"));
    EXPECT_FALSE(loadBrowserEnabled("/cw/noext"));
    EXPECT_FALSE(loadBrowserEnabled("/cw/a.shtml"));
}

}  // namespace
}  // namespace vellumar
