#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scope/ScopeCompose.h"
#include "support/TempDir.h"

using namespace vellumar;

TEST(ScopeCompose, AddingEntriesAndJoiningGroups) {
    struct Case {
        std::string before;
        BrowseAddition add;
        std::string after;
        std::string changed;  // the text selected afterwards
    };
    const std::vector<Case> cases = {
        {"",
         {"/home/ann/Docs", true, false, "*.TXT", ""},
         "/home/ann/Docs/+<*.txt>",
         "/home/ann/Docs/+<*.txt>"},
        {"", {"/", true, false, "*.htm", ""}, "/+<*.htm>", "/+<*.htm>"},
        {"", {"/home/ann/", false, true, "*.*", "ignored"}, "-/home/ann/<*.*>", "-/home/ann/<*.*>"},
        // Same folder and marks, no label: the unlabelled group grows.
        {"/docs/+<*.txt>", {"/docs", true, false, "*.doc", ""}, "/docs/+<*.txt,*.doc>", ",*.doc"},
        // With a label that has no group yet: a new group at the end of the entry.
        {"/docs/+<*.txt>",
         {"/docs", true, false, "*.doc", "notes"},
         "/docs/+<*.txt><notes:*.doc>",
         "<notes:*.doc>"},
        {"/docs/+<*.txt><notes:*.doc>",
         {"/docs", true, false, "*.rtf", "Notes"},
         "/docs/+<*.txt><notes:*.doc,*.rtf>",
         ",*.rtf"},
        // The last unlabelled group is the one that grows; the entry is found in the middle.
        {"/a/<*.x>;/docs/+<*.txt><n:*.xml><*.htm>;/b/<*.y>",
         {"/docs", true, false, "*.doc", ""},
         "/a/<*.x>;/docs/+<*.txt><n:*.xml><*.htm,*.doc>;/b/<*.y>",
         ",*.doc"},
        // Different marks make a different entry.
        {"/docs/+<*.txt>",
         {"/docs", false, false, "*.doc", ""},
         "/docs/+<*.txt>;/docs/<*.doc>",
         ";/docs/<*.doc>"},
        {"/docs/+<*.txt>",
         {"/docs", true, true, "*.bak", ""},
         "/docs/+<*.txt>;-/docs/+<*.bak>",
         ";-/docs/+<*.bak>"},
        // Folders keep their case: /Docs is not /docs.
        {"/docs/+<*.txt>",
         {"/Docs", true, false, "*.doc", ""},
         "/docs/+<*.txt>;/Docs/+<*.doc>",
         ";/Docs/+<*.doc>"},
        // A folder whose name merely starts like another is not joined.
        {"/docs2/+<*.txt>",
         {"/docs", true, false, "*.doc", ""},
         "/docs2/+<*.txt>;/docs/+<*.doc>",
         ";/docs/+<*.doc>"},
        // Trailing separators and blanks of the dialog's text do not leave empty entries.
        {"/a/<*.x>; ", {"/b", false, false, "*.y", ""}, "/a/<*.x>;/b/<*.y>", ";/b/<*.y>"},
        // An unclosed group is not joined: a new group follows it.
        {"/docs/+<*.txt", {"/docs", true, false, "*.doc", ""}, "/docs/+<*.txt<*.doc>", "<*.doc>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before + " + " + c.add.folder + " " + c.add.patterns);
        const ComposedScope r = composeScopeEntry(c.before, c.add);
        EXPECT_EQ(r.scope, c.after);
        EXPECT_EQ(r.scope.substr(r.changedStart, r.changedLength), c.changed);
    }
}

TEST(ScopeCompose, LabelsAreCleanedAndDroppedForExclusions) {
    EXPECT_EQ(cleanScopeLabel("My Files-2"), "my_files__");
    EXPECT_EQ(cleanScopeLabel("  Orders09 "), "orders09");
    EXPECT_EQ(cleanScopeLabel("r\xc3\xa9sum\xc3\xa9"), "r__sum__");
    const ComposedScope r = composeScopeEntry("", {"/d", false, true, "*.x", "label"});
    EXPECT_EQ(r.label, "");
    EXPECT_EQ(r.scope, "-/d/<*.x>");
}

TEST(ScopeCompose, RetargetMovesEveryFolderToTheCurrentMount) {
    namespace fs = std::filesystem;
    const testing_support::TempDir tmp;
    const fs::path mount = tmp.path();
    fs::create_directories(mount / "docs" / "old");
    const std::string m = mount.string();
    EXPECT_EQ(RetargetScopeDrive("/media/cdrom0/docs/+<*.txt>;-/media/cdrom0/docs/old/<*.*>", m),
              m + "/docs/+<*.txt>;" + "-" + m + "/docs/old/<*.*>");
    // Labels, blanks and marks stay as they are; only the folder moves.
    EXPECT_EQ(RetargetScopeDrive(" - /media/cdrom0/docs/+<mail:*.xml>", m),
              " - " + m + "/docs/+<mail:*.xml>");
    // Paths that exist, or have no mount prefix, stay.
    EXPECT_EQ(RetargetScopeDrive("/home/x/<*.txt>;/+<*.txt>", m), "/home/x/<*.txt>;/+<*.txt>");
    EXPECT_EQ(RetargetScopeDrive("", m), "");
}

TEST(ScopeCompose, CheckScopeNamesEntriesThatTakeNothing) {
    const auto problems =
        checkScope("/ok/+<*.txt>;docs/<*.txt>;nofolder;/a/+;-/b/+;/c/*.txt;/d/<*.txt;;  ");
    std::vector<int> entries;
    for (const auto& p : problems) entries.push_back(p.entry);
    EXPECT_EQ(entries, (std::vector<int>{2, 3, 4, 6, 7}));
    EXPECT_EQ(problems[0].text, "docs/<*.txt>");
    EXPECT_TRUE(checkScope("/+<*.txt>;-/tmp/+").empty());
}
