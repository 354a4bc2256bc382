// The program's set-up shared by the window and vellumar-cli: temporary folders and
// converters, the settings as the program starts with them, the index folder of a tool.
#include "platform/ProgramSetup.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace vellumar;

namespace {

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ProgramEnvironment environmentIn(const testing_support::TempDir& tmp, bool readOnlyMedia) {
    ProgramEnvironment environment;
    environment.home = tmp / "home";
    environment.readOnlyMedia = readOnlyMedia;
    environment.systemTemp = tmp / "systmp";
    environment.userConfigFolder = tmp / "config";
    environment.userHome = tmp / "user";
    fs::create_directories(environment.home);
    fs::create_directories(environment.systemTemp);
    return environment;
}

// Restores the current folder at the end of a test.
struct CurrentFolder {
    fs::path saved = fs::current_path();
    ~CurrentFolder() { fs::current_path(saved); }
};

}  // namespace

TEST(ProgramSetup, TheTempFolderIsEmptiedAndReadOnlyMediaGetTheirConvertersCopiedOnce) {
    testing_support::TempDir tmp;
    const ProgramEnvironment normal = environmentIn(tmp, false);
    write(normal.home / "tmp" / "left" / "over.txt", "x");
    write(normal.home / "pdftotext", "converter");
    const ProgramFolders here = prepareProgramFolders(normal);
    EXPECT_EQ(here.programTemp, normal.home / "tmp");
    EXPECT_TRUE(fs::is_empty(here.programTemp));  // leftovers gone, nothing copied
    EXPECT_EQ(here.pdfTextFile, here.programTemp / "pdftotxt.tmp");
    EXPECT_EQ(here.helpFile, normal.home / "Vellumar.html");
    EXPECT_TRUE(here.mountPoint.empty());

    ProgramEnvironment media = normal;
    media.readOnlyMedia = true;
    write(media.home / "gzip", "packer");
    const ProgramFolders onMedia = prepareProgramFolders(media);
    // A folder of the program's own inside the system's, never the system folder itself:
    // the program empties it at every start.
    EXPECT_EQ(onMedia.programTemp.parent_path(), media.systemTemp);
    EXPECT_EQ(read(onMedia.programTemp / "pdftotext"), "converter");
    EXPECT_EQ(read(onMedia.programTemp / "gzip"), "packer");
    EXPECT_FALSE(onMedia.mountPoint.empty());
    EXPECT_TRUE(fs::exists(media.home / "tmp"));  // the media's own folder is left alone
}

TEST(ProgramSetup, OnlyAFullIndexFolderPathIsSweptOfEmptyFolders) {
    testing_support::TempDir tmp;
    const ProgramEnvironment environment = environmentIn(tmp, false);
    const ProgramFolders folders = prepareProgramFolders(environment);
    const fs::path indexes = tmp / "indexes";
    fs::create_directories(indexes / "removed index");
    write(indexes / "kept" / "data", "x");
    write(environment.home / "Vellumar.ini", "[Indexes]\nIndexFolder= " + indexes.string() + " \n");
    const LoadedSettings loaded = loadProgramSettings(environment, folders);
    EXPECT_TRUE(loaded.existed);
    EXPECT_FALSE(fs::exists(indexes / "removed index"));
    EXPECT_TRUE(fs::exists(indexes / "kept" / "data"));

    // An empty or relative folder would sweep whatever folder the program started in.
    CurrentFolder restore;
    const fs::path started = tmp / "started here";
    fs::create_directories(started / "empty");
    fs::create_directories(started / "sub" / "empty");
    fs::current_path(started);
    for (const char* folder : {"", "sub", "."}) {
        write(environment.home / "Vellumar.ini", std::string("[Indexes]\nIndexFolder=") + folder);
        loadProgramSettings(environment, folders);
        EXPECT_TRUE(fs::exists(started / "empty")) << folder;
        EXPECT_TRUE(fs::exists(started / "sub" / "empty")) << folder;
    }
}

TEST(ProgramSetup, ReadOnlyMediaLoadTheirSettingsWithoutSweepingAnything) {
    testing_support::TempDir tmp;
    const ProgramEnvironment environment = environmentIn(tmp, true);
    const ProgramFolders folders = prepareProgramFolders(environment);
    const fs::path indexes = tmp / "indexes";
    fs::create_directories(indexes / "empty");
    write(environment.home / "Vellumar.ini", "[Indexes]\nIndexFolder=" + indexes.string() + "\n");
    write(environment.userConfigFolder / "Vellumar.ini", "[Properties]\nTray=1\n");
    const LoadedSettings loaded = loadProgramSettings(environment, folders);
    EXPECT_TRUE(fs::exists(indexes / "empty"));
    EXPECT_EQ(loaded.settings.indexFolder, indexes.string());  // it exists: not moved
    EXPECT_TRUE(loaded.settings.tray);                         // the user file's key
}

TEST(ProgramSetup, AToolUsesTheStoredIndexFolderOrTheOneTheFirstStartMakes) {
    testing_support::TempDir tmp;
    const ProgramEnvironment environment = environmentIn(tmp, false);
    const ProgramFolders folders = prepareProgramFolders(environment);
    const auto folderOf = [&] {
        return indexFolderOf(loadProgramSettings(environment, folders), environment.home);
    };
    EXPECT_EQ(folderOf(), (environment.home / "Indexes").string());  // never started
    write(environment.home / "Vellumar.ini", "[Indexes]\nIndexFolder=  /data/idx \n");
    EXPECT_EQ(folderOf(), "/data/idx");
    // A settings file without the key: the home, as the window reads it.
    write(environment.home / "Vellumar.ini", "[Properties]\nTray=0\n");
    EXPECT_EQ(folderOf(), environment.home.string());
    write(environment.home / "Vellumar.ini", "[Indexes]\nIndexFolder=   \n");
    EXPECT_EQ(folderOf(), (environment.home / "Indexes").string());
}
