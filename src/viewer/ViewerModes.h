// The viewer's decisions that need no widget: which viewer is in front (the HTML display,
// the plain text viewer or the rich one), whether the entry controls show, what the entry
// labels read, and which items of the viewers' popup menus are enabled. The window reads
// its controls into these, and writes the answers back.
//
// Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <string>

#include "parserset/DocumentKind.h"

namespace vellumar {

enum class TextViewer {
    Plain,  // rtfEntries: the document's text
    Rich,   // ree: an RTF document with its formatting
};

// The text viewer for a document: the rich one only for RTF read with format filters and
// not asked to be shown as plain text.
TextViewer textViewerFor(DocumentKind kind, bool formatFiltersInUse, bool rtfAsPlain);

struct ViewState {
    bool formatFiltersInUse = true;  // "&Don't use format filters" is off
    bool isHtmlItem = false;         // the selected file is a page
    bool itemSelected = false;       // a result list item is selected
    bool htmlAsSource = false;       // "View &HTML as source"
    bool hasEntryNumber = false;     // the entry label shows a number
};

struct ViewChoice {
    bool htmlInFront = false;           // the HTML display, else the current text viewer
    bool entryControlsVisible = false;  // the scroll bar and the entry labels
    bool selectEntry = false;           // select the current entry again
};

ViewChoice chooseView(const ViewState& state);

// The entry labels: "3" "/" "12"; without entries "" "" "", or "???" for a file changed
// since it was indexed.
struct EntryLabels {
    std::string number;
    std::string slash;
    std::string count;
};
EntryLabels entryLabelsFor(std::size_t hitCount, std::size_t position, bool modified);

struct ViewerPopup {
    std::string searchSelectedCaption;  // "Search for Selected Word     Ctrl+S"
    bool searchSelected = false;
    bool font = false;
    bool withinFound = false;
    bool wordWrap = false;
    bool rtfPlain = false;
    bool htmlBrowser = false;
};

// selection: the selected text of the HTML display in HTML mode, else of the text viewer.
ViewerPopup viewerPopupState(bool htmlMode, TextViewer current, const std::string& selection,
                             bool resultsListed, const std::string& hotKey);

// "Load HTML into Browser" of the Cache Watcher display: for files whose extension begins
// with ".htm" (any case).
bool loadBrowserEnabled(const std::string& currentFile);

}  // namespace vellumar
