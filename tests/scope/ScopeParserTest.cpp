#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scope/ScopeParser.h"
#include "scope/ScopeStrings.h"

using namespace vellumar;

namespace {

struct ParsedEntry {
    std::string text;
    bool exclude;
    bool subfolders;
    bool operator==(const ParsedEntry&) const = default;
};

std::vector<ParsedEntry> Parse(const std::string& scope) {
    TScopeParser parser(scope);
    std::vector<ParsedEntry> out;
    for (int i = 0; i < parser.Count(); ++i) {
        const TScopeEntry e = parser.GetEntry(i);
        out.push_back({e.text, e.exclude, e.subfolders});
    }
    return out;
}

std::ostream& operator<<(std::ostream& os, const ParsedEntry& e) {
    return os << "{" << e.text << ", ex=" << e.exclude << ", sub=" << e.subfolders << "}";
}

}  // namespace

TEST(ScopeParser, NormalizesExclusionsFirstAndSplitsItems) {
    struct Case {
        std::string scope;
        std::string normalized;
        std::vector<ParsedEntry> entries;
    };
    const std::vector<Case> cases = {
        {"/b/+<*.txt>;-/b/tmp/+<*.*>;/x/<*.doc>",
         "-/b/tmp/+<*.*>;/b/+<*.txt>;/x/<*.doc>;",
         {{"/b/tmp/+<*.*>", true, true},
          {"/b/+<*.txt>", false, true},
          {"/x/<*.doc>", false, false}}},
        // Group text is lower-cased, folders keep their case.
        {"/Docs/+<*.TXT>", "/Docs/+<*.txt>;", {{"/Docs/+<*.txt>", false, true}}},
        {"/Docs/+<Notes:*.XML>", "/Docs/+<notes:*.xml>;", {{"/Docs/+<notes:*.xml>", false, true}}},
        // Blanks before an entry and around its "-" do not hide the exclusion.
        {"/a/+<*.txt>; -/a/tmp/+<*.*>",
         "-/a/tmp/+<*.*>;/a/+<*.txt>;",
         {{"/a/tmp/+<*.*>", true, true}, {"/a/+<*.txt>", false, true}}},
        {"/a/+<*.txt>;  -  /a/tmp/+<*.*>",
         "-/a/tmp/+<*.*>;/a/+<*.txt>;",
         {{"/a/tmp/+<*.*>", true, true}, {"/a/+<*.txt>", false, true}}},
        // Empty entries and a trailing ";" give nothing.
        {"/a/<*.x>;;/b/<*.y>;",
         "/a/<*.x>;/b/<*.y>;",
         {{"/a/<*.x>", false, false}, {"/b/<*.y>", false, false}}},
        {" ; ;", "", {}},
        // Trailing blanks are dropped by GetEntry.
        {"/a/+<*.x>   ", "/a/+<*.x>   ;", {{"/a/+<*.x>", false, true}}},
        // The root folder.
        {"/+<*.txt>", "/+<*.txt>;", {{"/+<*.txt>", false, true}}},
        // A "/" as the final character is not the one that carries the "+".
        {"-/a/+", "-/a/+;", {{"/a/+", true, true}}},
        {"/a/", "/a/;", {{"/a/", false, false}}},
        // Too short to be an entry, and entries without "/" are read as they are.
        {"-x;/", "-x;/;", {{"", true, false}, {"", false, false}}},
        {"docs+<*.txt>", "docs+<*.txt>;", {{"docs+<*.txt>", false, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scope);
        EXPECT_EQ(TScopeParser(c.scope).Text(), c.normalized);
        EXPECT_EQ(Parse(c.scope), c.entries);
    }
}

TEST(ScopeParser, ItemsPointIntoTheNormalizedText) {
    TScopeParser parser("/b/+<*.txt>;-/b/tmp/+<*.*>");
    ASSERT_EQ(parser.Count(), 2);
    EXPECT_EQ(parser.Items()[0].start, 1);
    EXPECT_EQ(parser.Items()[0].length, 14);
    EXPECT_EQ(parser.Items()[1].start, 16);
    EXPECT_EQ(parser.Text().substr(15, 11), "/b/+<*.txt>");
    EXPECT_EQ(parser.GetEntry(-1).text, "");
    EXPECT_EQ(parser.GetEntry(2).text, "");
}

TEST(ScopeParser, TenThousandEntriesKeepTheirOrder) {
    std::string scope;
    for (int i = 0; i < 10000; ++i) {
        if (i) scope += ';';
        scope += (i % 3 == 0 ? "-/d/" : "/d/") + std::to_string(i) + "/+<*.txt>";
    }
    TScopeParser parser(scope);
    ASSERT_EQ(parser.Count(), 10000);
    int previous = -1;
    bool seenInclusion = false;
    for (int i = 0; i < parser.Count(); ++i) {
        const TScopeEntry e = parser.GetEntry(i);
        if (!e.exclude) {
            if (!seenInclusion) previous = -1;
            seenInclusion = true;
        }
        ASSERT_FALSE(e.exclude && seenInclusion) << "exclusion after an inclusion at " << i;
        const int n = std::stoi(e.text.substr(3));
        ASSERT_GT(n, previous);
        ASSERT_EQ(n % 3 == 0, e.exclude);
        previous = n;
    }
}

TEST(ScopeStrings, FolderAndPatternsOfAnEntry) {
    struct Case {
        std::string entry, folder, patterns;
    };
    const std::vector<Case> cases = {
        {"/home/ann/docs/+<*.txt>", "/home/ann/docs", "<*.txt>"},
        {"/home/ann/docs/<a.txt,b.doc>", "/home/ann/docs", "<a.txt,b.doc>"},
        {"/+<*.htm,*.shtm>", "/", "<*.htm,*.shtm>"},
        {"/docs/+", "/docs", ""},
        {"/docs/", "/docs", ""},
        {"/docs/++<*.x>", "/docs", "+<*.x>"},
        {"nofolder<*.txt>", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(ScopeFolder(c.entry), c.folder);
        EXPECT_EQ(ScopePatterns(c.entry), c.patterns);
    }
    EXPECT_EQ(LastCharPos("/a/b", '/'), 3u);
    EXPECT_EQ(LastCharPos("ab", '/'), 0u);
}

TEST(ScopeStrings, PatternTokens) {
    struct Case {
        std::string groups;
        std::vector<std::string> tokens;  // "|" marks where a new group began
    };
    const std::vector<Case> cases = {
        {"<*.txt,*.doc>", {"|", "*.txt", "*.doc"}},
        {"<orders:*.xml>", {"|", "<orders", "*.xml"}},
        {"<a:*.x><*.y>", {"|", "<a", "*.x", "|", "*.y"}},
        // An unclosed group gives no pattern for its last token.
        {"<*.txt,*.doc", {"|", "*.txt", ""}},
        {"<*.txt", {"|", ""}},
        {"<>", {"|", ""}},
        {"<,>", {"|", "", ""}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.groups);
        std::vector<std::string> got;
        std::size_t pos = 0;
        while (pos < c.groups.size()) {
            bool started = false;
            std::string token = NextPatternToken(c.groups, pos, c.groups.size(), &started);
            if (started) got.push_back("|");
            got.push_back(token);
        }
        EXPECT_EQ(got, c.tokens);
    }
}

TEST(ScopeStrings, SplitPatternGroupsKeepsLabelsPerGroup) {
    const auto groups = splitPatternGroups("<notes:*.xml,*.htm><*.txt><broken");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].label, "notes");
    EXPECT_EQ(groups[0].patterns, (std::vector<std::string>{"*.xml", "*.htm"}));
    EXPECT_EQ(groups[1].label, "");
    EXPECT_EQ(groups[1].patterns, (std::vector<std::string>{"*.txt"}));
}

TEST(ScopeStrings, PathHelpers) {
    EXPECT_EQ(JoinPath("/home/ann", "x.txt"), "/home/ann/x.txt");
    EXPECT_EQ(JoinPath("/home/ann/", "x.txt"), "/home/ann/x.txt");
    EXPECT_EQ(JoinPath("/", "etc"), "/etc");

    struct Strip {
        std::string in, out;
    };
    for (const Strip& s : std::vector<Strip>{{"/home/ann/docs", "/home/ann"},
                                             {"/home", "/"},
                                             {"/", "/"},
                                             {"docs", "docs"},
                                             {"/a/b/", "/a/b"}}) {
        std::string path = s.in;
        StripLastPathPart(path);
        EXPECT_EQ(path, s.out) << s.in;
    }

    struct Norm {
        std::string in, out;
    };
    for (const Norm& n : std::vector<Norm>{{"/a//b/./c/", "/a/b/c"},
                                           {"/a/b/../c", "/a/c"},
                                           {"/..", "/"},
                                           {"/", "/"},
                                           {"relative/dir", ""},
                                           {" /a", ""}}) {
        EXPECT_EQ(normalizeScopeFolder(n.in), n.out) << n.in;
    }
}

TEST(ScopeStrings, FoldersThatAreSpecial) {
    EXPECT_TRUE(isInSystemFolder("/etc"));
    EXPECT_TRUE(isInSystemFolder("/usr/share/doc"));
    EXPECT_FALSE(isInSystemFolder("/usrlocal"));
    EXPECT_FALSE(isInSystemFolder("/home/ann"));
    EXPECT_TRUE(isNeverWalkedFolder("/proc"));
    EXPECT_TRUE(isNeverWalkedFolder("/sys/kernel"));
    EXPECT_TRUE(isNeverWalkedFolder("/dev/shm"));
    EXPECT_TRUE(isNeverWalkedFolder("/run/user/1000"));
    EXPECT_TRUE(isNeverWalkedFolder("/run/media"));
    EXPECT_FALSE(isNeverWalkedFolder("/run/media/ann/STICK"));
    EXPECT_FALSE(isNeverWalkedFolder("/processes"));
    EXPECT_FALSE(isNeverWalkedFolder("/"));
}

// Random scope strings must never crash, hang or yield entries that point outside the
// normalised text; every entry the parser yields splits into folder and patterns that
// put it back together.
TEST(ScopeParser, RandomScopeStringsAreHandledSafely) {
    std::mt19937 random(20240611);
    const std::string alphabet = "/+-<>:,;*. aZ\t\x01\xc3\xa9";
    for (int round = 0; round < 20000; ++round) {
        std::string scope;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) scope += alphabet[random() % alphabet.size()];
        if (trimScopeBlanks(scope).empty()) continue;
        TScopeParser parser(scope);
        for (const TScopeItem& item : parser.Items()) {
            ASSERT_GE(item.start, 1);
            ASSERT_LE(static_cast<std::size_t>(item.start - 1 + item.length), parser.Text().size());
        }
        for (int i = 0; i < parser.Count(); ++i) {
            const TScopeEntry e = parser.GetEntry(i);
            const std::string folder = ScopeFolder(e.text);
            const std::string patterns = ScopePatterns(e.text);
            if (folder.empty()) continue;
            ASSERT_NE(e.text.find(patterns), std::string::npos);
            std::size_t pos = 0;
            int tokens = 0;
            while (pos < patterns.size()) {
                NextPatternToken(patterns, pos, patterns.size());
                ASSERT_LE(++tokens, static_cast<int>(patterns.size()) + 1) << "tokenizer stuck";
            }
            splitPatternGroups(patterns);
        }
    }
}

TEST(ScopeLabels, EachGroupLabelOnceInTheOrderMet) {
    EXPECT_EQ(
        vellumar::scopeLabels("/a/+<mail:*.xml>;/b/<Mail:*.eml><docs:*.xml,*.htm>;-/c/<*.txt>"),
        (std::vector<std::string>{"mail", "docs"}));
    // A group without a label borrows nothing from the next group's label.
    EXPECT_EQ(vellumar::scopeLabels("/a/<*.txt>;/b/<x:*.xml>"), std::vector<std::string>{"x"});
    EXPECT_TRUE(vellumar::scopeLabels("/a/<*.txt>;/b/+<:*.xml>").empty());
    EXPECT_TRUE(vellumar::scopeLabels("/a/<unclosed").empty());
    EXPECT_EQ(vellumar::scopeLabels("/a/< news :*.xml"), std::vector<std::string>{"news"});
}
