// The support request file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/SupportRequest.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace vellumar;

namespace {

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SupportRequest, TheFormWrittenTwiceReplacesTheFile) {
    testing_support::TempDir dir;
    const std::string text = supportRequestText();
    EXPECT_NE(text.find(kSupportAddress), std::string::npos);
    EXPECT_LT(text.find(kSupportAddress), text.find("\r\n")) << "named in the first line";
    EXPECT_NE(
        text.find(".\r\n\r\nDate: (enter the date)\r\nOperation system: (enter your OS, for "
                  "example Debian 12)\r\nRAM: (enter how much memory, in Mb, you have)\r\n"
                  "Your Name: (enter your name)\r\nYour e-mail: (our response will be sent to "
                  "this address)\r\nProblem description: (describe your problem here)\r\n"),
        std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "no bare line feeds";

    std::ofstream(dir / kSupportFileName)
        << "the user's old notes, longer than the new form " + std::string(4000, 'x');
    for (int i = 0; i < 2; ++i) {
        const auto file = writeSupportRequest(dir.path());
        ASSERT_TRUE(file);
        EXPECT_EQ(*file, dir / kSupportFileName);
        EXPECT_EQ(readAll(*file), text);
    }
}

TEST(SupportRequest, APlantedLinkIsReplacedNotFollowed) {
    testing_support::TempDir dir;
    std::ofstream(dir / "victim") << "precious";
    fs::create_symlink(dir / "victim", dir / kSupportFileName);
    ASSERT_TRUE(writeSupportRequest(dir.path()));
    EXPECT_EQ(readAll(dir / "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(dir / kSupportFileName));
    EXPECT_FALSE(writeSupportRequest(dir / "missing folder"));
}

}  // namespace
