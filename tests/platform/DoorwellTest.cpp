#include "platform/Doorwell.h"
#include "platform/Snapcatch.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(Doorwell, ReadsTheSavedFromMarkAndNothingElse) {
    const struct {
        const char* text;
        const char* url;
    } cases[] = {
        {"<!-- saved from url=(0023)http://www.example.com/ -->\n<html>",
         "http://www.example.com/"},
        {"<!-- Saved From URL=(0014)about:internet -->", "about:internet"},
        {"<html><!-- saved from url=(0099)http://short/ --></html>", ""},  // length beyond the text
        {"<!-- saved from url=(0030)http://a.b/ with blanks ok -->", ""},
        {"<!-- saved from url=()http://x/ -->", ""},
        {"<!-- saved from url=(0000) -->", ""},
        {"<html>no mark</html>", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(doorwell::urlFromSavedMark(c.text), c.url) << c.text;
}

TEST(Doorwell, GetUrlAndTheDefaultVerbLookAtTheFile) {
    testing_support::TempDir tmp;
    const auto page = tmp.path() / "page.htm";
    std::ofstream(page) << "<!-- saved from url=(0019)http://example.org/ -->\n<html></html>";
    std::string address = "stale";
    EXPECT_TRUE(doorwell::GetUrl(page.string(), address));
    EXPECT_EQ(address, "http://example.org/");
    EXPECT_TRUE(doorwell::GetUrl(page.string(), address, 7));
    EXPECT_EQ(address, "http://");
    EXPECT_FALSE(doorwell::GetUrl((tmp.path() / "missing.htm").string(), address));
    EXPECT_EQ(address, "");
    EXPECT_EQ(doorwell::GetDefaultItemInMenu(page.string()), "open");
    EXPECT_EQ(doorwell::GetDefaultItemInMenu((tmp.path() / "missing").string()), "");
    EXPECT_EQ(doorwell::GetDefaultItemInMenu(tmp.path().string()), "");
    EXPECT_FALSE(snapcatch::UnHook());  // harmless without a hook, also twice
    EXPECT_FALSE(snapcatch::UnHook());
}
