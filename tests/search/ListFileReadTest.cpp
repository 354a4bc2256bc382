// Reading list files: only regular text files of sensible size give a query.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "search/ListFileQuery.h"
#include "support/TempDir.h"

using namespace vellumar;
namespace fs = std::filesystem;

TEST(ListFileRead, OnlyRegularTextFilesOfSensibleSize) {
    testing_support::TempDir tmp;
    std::ofstream(tmp / "list.txt") << "cat dog";
    EXPECT_EQ(readListFile(tmp / "list.txt"), "cat dog");
    EXPECT_FALSE(readListFile(tmp / "missing.txt"));
    EXPECT_FALSE(readListFile(tmp.path())) << "a folder";

    // 50 MB (sparse): refused without being read.
    {
        std::ofstream big(tmp / "big.txt");
        big << "cat";
    }
    fs::resize_file(tmp / "big.txt", 50u * 1024 * 1024);
    EXPECT_FALSE(readListFile(tmp / "big.txt"));
    fs::resize_file(tmp / "big.txt", kMaxListFileBytes);
    EXPECT_FALSE(readListFile(tmp / "big.txt")) << "NUL bytes: not a text file";

    std::ofstream(tmp / "binary.bin", std::ios::binary) << std::string("MZ\x90\0\x03", 5);
    EXPECT_FALSE(readListFile(tmp / "binary.bin"));

    // A FIFO with no writer would block a plain open() for ever.
    ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readListFile(tmp / "fifo"));

    fs::create_symlink(tmp / "list.txt", tmp / "link.txt");
    EXPECT_EQ(readListFile(tmp / "link.txt"), "cat dog") << "a link to a text file is fine";
}
