#include "platform/CommaText.h"

#include <gtest/gtest.h>

using vellumar::fromCommaText;
using vellumar::toCommaText;
using List = std::vector<std::string>;

TEST(CommaText, WritesItemsQuotedOnlyWhenTheyNeedIt) {
    const struct {
        List items;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"/home/ann/my docs", "/tmp"}, "\"/home/ann/my docs\",/tmp"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"a,b"}, "\"a,b\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"a", "", "b"}, "a,,b"},
        {{"*.txt", "*.htm"}, "*.txt,*.htm"},
    };
    for (const auto& c : cases) EXPECT_EQ(toCommaText(c.items), c.text) << c.text;
}

TEST(CommaText, ReadsWhatItWritesAndWhatPeopleType) {
    const struct {
        const char* text;
        List items;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"\"\"", {""}},
        {"a,b", {"a", "b"}},
        {"  a , b  ", {"a", "b"}},
        {"a b", {"a", "b"}},  // an unquoted item ends at a blank
        {"\"/home/ann/my docs\",/tmp", {"/home/ann/my docs", "/tmp"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"\"unterminated", {"unterminated"}},
        {"\"ab\"cd,e", {"ab", "cd", "e"}},
        {"\x01\x02x", {"x"}},
    };
    for (const auto& c : cases) EXPECT_EQ(fromCommaText(c.text), c.items) << c.text;
}

TEST(CommaText, RoundTripsAwkwardItems) {
    const List lists[] = {
        {""},
        {"plain"},
        {"with blank", "with,comma", "with\"quote", "", "last"},
        {"\"\"", ",", " "},
    };
    for (const auto& items : lists) EXPECT_EQ(fromCommaText(toCommaText(items)), items);
}
