// What a page of the main window may ask of the window around it. The main window
// (TFormMain) is a frame: it owns the long-lived objects, the tool bar, the menus and the
// status line, and it composes one class per page and pane (the Search page, the result
// list, the viewer pane, the Indexes, Monitoring and Cache Watcher pages). A page never
// includes the frame's header nor another page's: it reaches the frame's services through
// this interface, announces what happened through its own Qt signals, and offers its own
// public handlers; the frame connects one page's signals to another's handlers (all the
// wiring lines are in TFormMainWiring.cpp).
//
// Each page holds its controls privately under their given names in a Controls struct;
// controls() hands them to tests, and only tests and the page itself use it.
//
// Implemented by the main window; every call on the main thread.
#pragma once

#include <QString>

class QDialog;

namespace vellumar {

class IndexingCore;
class TLanguageList;
class UserInterface;
struct ProgramEnvironment;
struct ProgramState;
struct Settings;

// The page numbers of the main window's page control; other parts of the program use
// them, so a page that is never shown keeps its number.
enum Page : int {
    pageSearch = 0,
    pageIndexes,
    pageWatcher,
    pageWeb,      // never shown
    pageOptions,  // never shown: the options live in Settings and the Options dialog
    pageMonitoring
};

// What the window asks of a file dialog.
struct FileDialogRequest {
    bool save = false;
    QString caption;
    QString folder;  // where the dialog starts
    QString filter;  // Qt's form: "Dictionary Files (*.dic);;All Files (*)"
};

class PageHost {
  public:
    virtual ~PageHost() = default;

    // The index-management core; null before the window made it and after it let it go.
    virtual IndexingCore* core() = 0;
    virtual TLanguageList& languages() = 0;
    // The options while the program runs: pages show them and write the user's changes.
    virtual Settings& settings() = 0;
    virtual ProgramState& state() = 0;
    virtual const ProgramEnvironment& environment() const = 0;
    // For core calls: messages, the status line, pending messages.
    virtual UserInterface& userInterface() = 0;

    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void showPage(Page page) = 0;
    virtual void showHelp(int context) = 0;
    // EnableSearch / DisableSearch: the search controls on or off on every page.
    virtual void setSearchEnabled(bool enabled) = 0;

    // Dialogs, which tests answer without showing them.
    virtual int runModal(QDialog& dialog) = 0;
    virtual QString askFileName(const FileDialogRequest& request) = 0;  // "" when cancelled
    virtual bool openInEditor(const QString& file) = 0;  // false when no editor started
};

}  // namespace vellumar
