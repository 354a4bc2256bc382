#include "viewer/ViewerModes.h"

#include <filesystem>

namespace vellumar {

TextViewer textViewerFor(DocumentKind kind, bool formatFiltersInUse, bool rtfAsPlain) {
    return formatFiltersInUse && kind == DocumentKind::Rtf && !rtfAsPlain ? TextViewer::Rich
                                                                          : TextViewer::Plain;
}

ViewChoice chooseView(const ViewState& s) {
    ViewChoice choice;
    choice.htmlInFront =
        s.formatFiltersInUse && ((s.isHtmlItem && !s.htmlAsSource) || !s.itemSelected);
    if (choice.htmlInFront) {
        choice.entryControlsVisible = s.itemSelected && !s.htmlAsSource;
        choice.selectEntry = choice.entryControlsVisible && s.hasEntryNumber;
    } else {
        choice.selectEntry = s.itemSelected && s.hasEntryNumber;
        choice.entryControlsVisible = choice.selectEntry;
    }
    return choice;
}

EntryLabels entryLabelsFor(std::size_t hitCount, std::size_t position, bool modified) {
    if (hitCount == 0) return {modified ? "???" : "", "", ""};
    return {std::to_string(position + 1), "/", std::to_string(hitCount)};
}

ViewerPopup viewerPopupState(bool htmlMode, TextViewer current, const std::string& selection,
                             bool resultsListed, const std::string& hotKey) {
    ViewerPopup popup;
    popup.searchSelectedCaption = "Search for Selected Word     Ctrl+" + hotKey;
    popup.searchSelected = selection.find_first_not_of(" \t\r\n") != std::string::npos;
    popup.font = current == TextViewer::Plain;
    popup.withinFound = resultsListed;
    popup.wordWrap = !htmlMode;
    popup.rtfPlain = !htmlMode;
    popup.htmlBrowser = htmlMode && resultsListed;
    return popup;
}

bool loadBrowserEnabled(const std::string& currentFile) {
    std::string ext = std::filesystem::path(currentFile).extension().string().substr(0, 4);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext == ".HTM";
}

}  // namespace vellumar
