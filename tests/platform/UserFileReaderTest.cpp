// The one reader of user-editable files, and the settings and query history that read
// through it: names that point at a FIFO, /dev/zero or a folder, and a 50 MB line, must
// each come back at once as damaged, leave the file as it was, and name it in a warning.
#include "platform/ProfileFile.h"
#include "platform/QueryHistoryFile.h"
#include "platform/Settings.h"
#include "platform/UserFileReader.h"

#include "support/TempDir.h"
#include "support/UnusualFiles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace vellumar;
using namespace testing_support;

namespace {

// Generous for the sanitizers on a busy machine; a read without end never returns.
constexpr std::chrono::milliseconds kAtOnce{5000};
const SpecialFile kSpecialKinds[] = {SpecialFile::Fifo, SpecialFile::DevZeroLink,
                                     SpecialFile::Folder};

UserFileRead readQuickly(const fs::path& file, std::uintmax_t limit = kUserFileLimit) {
    UserFileRead read;
    finishesWithin(kAtOnce, "reading " + file.string(), [&] { read = readUserFile(file, limit); });
    return read;
}

}  // namespace

TEST(UserFileReader, SpecialFilesAndHugeFilesAreDamagedAndReadAtOnce) {
    TempDir dir;
    for (SpecialFile kind : kSpecialKinds) {
        const fs::path file = dir / (std::string("special") + std::to_string(int(kind)));
        ASSERT_TRUE(makeSpecialFile(file, kind)) << nameOf(kind);
        const UserFileRead read = readQuickly(file);
        EXPECT_EQ(read.status, UserFileStatus::NotRegular) << nameOf(kind);
        EXPECT_TRUE(read.damaged());
        EXPECT_EQ(problemText(file, read), file.string() + " is not an ordinary file");
    }
    const fs::path huge = dir / "huge.ini";
    writeHugeLine(huge, "Indexes", "IndexFolder", 50);
    const UserFileRead read = readQuickly(huge);
    EXPECT_EQ(read.status, UserFileStatus::TooLarge);
    EXPECT_TRUE(read.data.empty()) << "nothing of it is kept in memory";
    EXPECT_EQ(problemText(huge, read), huge.string() + " is larger than 4 MB");

    const UserFileRead missing = readQuickly(dir / "none.ini");
    EXPECT_EQ(missing.status, UserFileStatus::Missing);
    EXPECT_FALSE(missing.damaged()) << "a missing file is the ordinary first run";
    EXPECT_TRUE(problemText(dir / "none.ini", missing).empty());
}

TEST(UserFileReader, ReadsWholeFilesUpToTheLimitAndThroughLinks) {
    TempDir dir;
    const std::string exact(1000, 'a');
    std::ofstream(dir / "exact", std::ios::binary) << exact;
    std::ofstream(dir / "over", std::ios::binary) << exact << 'b';
    fs::create_symlink(dir / "exact", dir / "link");

    EXPECT_EQ(readQuickly(dir / "exact", 1000).data, exact);
    EXPECT_EQ(readQuickly(dir / "link", 1000).data, exact) << "a link to an ordinary file is fine";
    EXPECT_EQ(readQuickly(dir / "over", 1000).status, UserFileStatus::TooLarge);

    // Files of /proc say they are empty and are not: the reader goes by what read() gives.
    const UserFileRead proc = readQuickly("/proc/self/status");
    ASSERT_TRUE(proc.ok());
    EXPECT_NE(proc.data.find("Name:"), std::string::npos);
}

TEST(UserFileReader, DamagedSettingsFileGivesDefaultsAWarningAndIsLeftAlone) {
    TempDir dir;
    Settings defaults;
    defaults.indexFolder = dir.path().string();
    for (SpecialFile kind : kSpecialKinds) {
        const fs::path file = dir / ("Vellumar" + std::to_string(int(kind)) + ".ini");
        ASSERT_TRUE(makeSpecialFile(file, kind));
        LoadedSettings loaded;
        finishesWithin(kAtOnce, "settings from " + std::string(nameOf(kind)), [&] {
            loaded = loadSettings({file, {}, false}, defaults);
        });
        EXPECT_EQ(loaded.settings, defaults) << nameOf(kind);
        EXPECT_TRUE(loaded.existed) << "a damaged file is no first run";
        ASSERT_EQ(loaded.warnings.size(), 1u);
        EXPECT_EQ(loaded.warnings[0], file.string() +
                                          " is not an ordinary file.\rDefault values are used; "
                                          "the file is left as it is.");
        EXPECT_FALSE(fs::is_regular_file(file)) << "loading never replaces it";
    }

    // A 50 MB line: defaults at once, and the file keeps its size until the normal end.
    const fs::path huge = dir / "Vellumar.ini";
    writeHugeLine(huge, "Indexes", "IndexFolder", 50);
    const auto size = fs::file_size(huge);
    LoadedSettings loaded;
    finishesWithin(kAtOnce, "settings from a 50 MB line", [&] {
        loaded = loadSettings({huge, {}, false}, defaults);
    });
    EXPECT_EQ(loaded.settings.indexFolder, defaults.indexFolder);
    ASSERT_EQ(loaded.warnings.size(), 1u);
    EXPECT_NE(loaded.warnings[0].find("larger than 4 MB"), std::string::npos);
    EXPECT_EQ(fs::file_size(huge), size);

    // Saving at the end writes the settings the program ran with over it.
    Settings changed = defaults;
    changed.indexName = "mail";
    ASSERT_TRUE(saveSettings({huge, {}, false}, changed));
    EXPECT_LT(fs::file_size(huge), 4096u);
    EXPECT_EQ(loadSettings({huge, {}, false}, defaults).settings.indexName, "mail");
}

TEST(UserFileReader, DamagedUserSettingsAndQueryHistoryAreReportedAndKept) {
    TempDir dir;
    // Read-only media: the user settings file is a FIFO; the program's own file still counts.
    std::ofstream(dir / "Vellumar.ini") << "[Search Options]\nSorting=2\n";
    ASSERT_TRUE(makeSpecialFile(dir / "user.ini", SpecialFile::Fifo));
    LoadedSettings loaded;
    finishesWithin(kAtOnce, "user settings from a FIFO", [&] {
        loaded = loadSettings({dir / "Vellumar.ini", dir / "user.ini", true}, Settings{});
    });
    EXPECT_EQ(loaded.settings.sorting, 2);
    ASSERT_EQ(loaded.warnings.size(), 1u);
    EXPECT_EQ(loaded.warnings[0].rfind((dir / "user.ini").string(), 0), 0u);

    for (SpecialFile kind : kSpecialKinds) {
        const fs::path file = dir / ("Qryhist" + std::to_string(int(kind)) + ".ini");
        ASSERT_TRUE(makeSpecialFile(file, kind));
        std::string problem;
        QueryHistory history{{"stale"}, {}};
        finishesWithin(kAtOnce, "query history",
                       [&] { history = loadQueryHistory(file, &problem); });
        EXPECT_EQ(history, QueryHistory{}) << nameOf(kind);
        EXPECT_EQ(problem.rfind(file.string() + " is not an ordinary file.", 0), 0u);
    }
    std::string problem = "untouched";
    EXPECT_EQ(loadQueryHistory(dir / "missing.ini", &problem), QueryHistory{});
    EXPECT_EQ(problem, "untouched") << "a missing history is no problem";
}

TEST(UserFileReader, ProfileFilesSayWhatIsWrong) {
    TempDir dir;
    ASSERT_TRUE(makeSpecialFile(dir / "Registry.ini", SpecialFile::DevZeroLink));
    ProfileFile profile;
    finishesWithin(kAtOnce, "a profile from /dev/zero",
                   [&] { profile = ProfileFile::load(dir / "Registry.ini"); });
    EXPECT_FALSE(profile.existed());
    EXPECT_TRUE(profile.damaged());
    EXPECT_EQ(profile.problem(), (dir / "Registry.ini").string() + " is not an ordinary file");
    EXPECT_EQ(profile.readString("Software", "Path", "absent"), "absent");

    const ProfileFile missing = ProfileFile::load(dir / "none.ini");
    EXPECT_FALSE(missing.damaged());
    EXPECT_TRUE(missing.problem().empty());
}
