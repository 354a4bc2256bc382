// The Cache Watcher's pages and the handling of its forms.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "monitor/cachewatch/CacheWatcherPages.h"

using namespace vellumar::cachewatch;

namespace {

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(CacheWatcherForms, SubmissionsAndWhatTheyAskFor) {
    const FormFields query = parseFormFields("x=1&SearchExpr=harbour+%26+lights&SearchExpr=second");
    const struct {
        std::string action;
        bool indexExists;
        FormStep step;
        std::string query;
    } cases[] = {
        {"Create_Cache_Watcher_Index", false, FormStep::CreateIndex, ""},
        {"Create_Cache_Watcher_Index", true, FormStep::ShowStartPage, ""},
        {"create_cache_watcher_index", false, FormStep::Nothing, ""},  // compared exactly
        {"Execute_Search_Query", true, FormStep::Search, "harbour & lights"},
        {"Execute_Search_Query", false, FormStep::ShowCreatePage, ""},
        {"http://elsewhere/", true, FormStep::Nothing, ""},
    };
    for (const auto& c : cases) {
        const FormDecision d = decideFormSubmission(c.action, query, c.indexExists);
        EXPECT_EQ(d.step, c.step) << c.action << " " << c.indexExists;
        EXPECT_EQ(d.query, c.query) << c.action;
    }
    EXPECT_EQ(decideFormSubmission(kSearchAction, {}, true).query, "");
    EXPECT_EQ(parseFormFields("a=%3Cb%3E&empty=&flag&%zz=1"),
              (FormFields{{"a", "<b>"}, {"empty", ""}, {"flag", ""}, {"%zz", "1"}}));
}

TEST(CacheWatcherPages, StartPages) {
    EXPECT_EQ(chooseStartPage(true, false), StartPageKind::SearchForm);
    EXPECT_EQ(chooseStartPage(false, true), StartPageKind::CreateIndex);
    EXPECT_EQ(chooseStartPage(false, false), StartPageKind::NoBrowser);
    EXPECT_EQ(noBrowserPage({"Mozilla Firefox", "Chromium", "Google Chrome"}),
              "<html><center><font size=\"+1\"><hr><b>You have not neither Mozilla Firefox nor "
              "Chromium nor Google Chrome installed on your "
              "computer.</b></font></center><hr><br></html>");
    EXPECT_NE(std::string(kCreateIndexPage).find("<form action=\"Create_Cache_Watcher_Index\">"),
              std::string::npos);
}

TEST(CacheWatcherPages, ResultPageCountsAndOneBlockPerFile) {
    ResultPage page("harbour", 3, 2, "");
    page.addFile("/c/a.htm", "https://sea.example/a", "Tides",
                 {"...<b>harbour</b>", "the <b>harbour</b>"});
    page.addFile("/c/b.htm", "", "", {"<b>harbour</b> wall"});
    const std::string& t = page.text();
    EXPECT_EQ(
        t.rfind("<HTML><TITLE>Searching results.</TITLE><font size =+1>For query:&quot;<b>harbour"
                "</b>&quot;<br> has been found <b>3</b>  entries in  <b>2</b> files.</font><hr>",
                0),
        0u)
        << t;
    EXPECT_LT(t.find("<b>3</b>"), t.find("<b>2</b>"));
    EXPECT_EQ(count(t, "<DT><FONT SIZE=+1><b>"), 2);
    EXPECT_EQ(count(t, "<LI>..."), 3);
    EXPECT_NE(t.find("<a href=\"https://sea.example/a\">Tides</a>"), std::string::npos);
    EXPECT_NE(t.find("<b>/c/b.htm</b>"), std::string::npos) << "the name stands in for a title";
    EXPECT_NE(t.find("<A HREF = \"/c/b.htm\">/c/b.htm</A>"), std::string::npos);

    ResultPage withLog("x", 1, 1, "see /home/a/Files.log");
    EXPECT_NE(withLog.text().find("<b>1</b> files (see /home/a/Files.log)."), std::string::npos);
}

TEST(CacheWatcherPages, OutsideTextIsEscapedAndOnlyWebAddressesAreLinked) {
    ResultPage page("<script>alert('q')</script>", 2, 2, "");
    page.addFile("/c/a<b>.html", "javascript:alert(1)", "<i>Title & \"more\"</i>", {});
    page.addFile("/c/d.htm", "JavaScript://%0aalert(1)", "t", {});
    page.addFile("/c/e.htm", "HTTPS://ok.example/\"><script>", "t", {});
    page.addUnreadableFile("/c/<img src=x>.htm");
    const std::string& t = page.text();
    EXPECT_EQ(t.find("<script>"), std::string::npos) << t;
    EXPECT_EQ(t.find("<i>Title"), std::string::npos);
    EXPECT_EQ(t.find("<img"), std::string::npos);
    EXPECT_EQ(count(t, "avascript"), 0) << "neither linked nor shown";
    EXPECT_NE(t.find("&lt;script&gt;alert(&#39;q&#39;)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(t.find("/c/a&lt;b&gt;.html"), std::string::npos);
    EXPECT_NE(t.find("&lt;i&gt;Title &amp; &quot;more&quot;&lt;/i&gt;"), std::string::npos);
    EXPECT_NE(t.find("<a href=\"HTTPS://ok.example/&quot;&gt;&lt;script&gt;\">"),
              std::string::npos);

    EXPECT_EQ(linkableAddress("ftp://files.example/x"), "ftp://files.example/x");
    EXPECT_EQ(linkableAddress("http:relative"), "");
    EXPECT_EQ(linkableAddress("data:text/html,<b>"), "");
    EXPECT_EQ(linkableAddress("file:///etc/passwd"), "");
    EXPECT_EQ(linkableAddress(""), "");
}

}  // namespace

namespace {

// The shipped search form is what the Cache Watcher's form handling expects.
TEST(CacheWatcherPages, ShippedFormSubmitsTheSearchField) {
    std::ifstream in(std::string(VELLUMAR_SOURCE_DIR) + "/data/home/form.htm");
    ASSERT_TRUE(in);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("<form action=\"Execute_Search_Query\">"), std::string::npos);
    EXPECT_NE(text.str().find("name=\"SearchExpr\""), std::string::npos);
}

}  // namespace
