#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.Path().empty());
        folder.Write("Maps/Town/Level.DAT", "level");
        folder.Write("Data/readme.txt");
    }
    TempDir folder;
};

TEST_F(PathResolverTest, ResolvesSpellingsToTheNamesOnDisk)
{
    struct Case {
        const char* written;
        const char* onDisk;
    };
    const Case cases[] = {
        {"Maps/Town/Level.DAT", "Maps/Town/Level.DAT"},
        {"maps\\town\\level.dat", "Maps/Town/Level.DAT"},
        {"MAPS//TOWN\\\\LEVEL.dat", "Maps/Town/Level.DAT"},
        {"maps\\", "Maps"},
        {"maps/town/../TOWN/./level.dat", "Maps/Town/../Town/./Level.DAT"},
        // Missing parts keep their spelling after the folders that exist.
        {"MAPS\\missing\\New.txt", "Maps/missing/New.txt"},
        {"data\\README.TXT\\below", "Data/readme.txt/below"},
    };
    for (const Case& c : cases) {
        std::string resolved;
        EXPECT_TRUE(PlatformResolvePath((folder.Path() + "\\" + c.written).c_str(), resolved)) << c.written;
        EXPECT_EQ(resolved, folder / c.onDisk) << c.written;
    }
}

TEST_F(PathResolverTest, ExactSpellingWinsOverOtherCases)
{
    folder.Write("Data/FILE.txt", "upper");
    folder.Write("Data/file.txt", "lower");
    std::string resolved;
    ASSERT_TRUE(PlatformResolvePath((folder / "data/file.txt").c_str(), resolved));
    EXPECT_EQ(resolved, folder / "Data/file.txt");
    ASSERT_TRUE(PlatformResolvePath((folder / "data/FILE.txt").c_str(), resolved));
    EXPECT_EQ(resolved, folder / "Data/FILE.txt");
    // Neither spelling matches exactly: the choice does not depend on the directory's order.
    ASSERT_TRUE(PlatformResolvePath((folder / "data/File.txt").c_str(), resolved));
    EXPECT_EQ(resolved, folder / "Data/FILE.txt");
}

TEST_F(PathResolverTest, RelativePathsStartInTheWorkingFolder)
{
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(folder.Path().c_str()), 0);
    std::string resolved;
    const bool ok = PlatformResolvePath("MAPS\\town\\LEVEL.DAT", resolved);
    FILE* file = PlatformOpenFile("maps\\TOWN\\level.dat", "rb");
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(resolved, "Maps/Town/Level.DAT");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

// Game-data names are relative to the working folder: there a component longer than 63
// characters names nothing.
TEST_F(PathResolverTest, RelativeComponentsLongerThan63CharactersNameNothing)
{
    const std::string name63(63, 'a');
    folder.Write("Data/" + name63, "long");
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(folder.Path().c_str()), 0);
    const bool found63 = PlatformFileExists(("DATA/" + std::string(63, 'A')).c_str());
    std::vector<std::string> failures;
    for (const std::string& tooLong : {std::string(64, 'a'), std::string(5000, 'b')}) {
        std::string resolved = "left over";
        if (PlatformResolvePath(("Data/" + tooLong).c_str(), resolved) || !resolved.empty())
            failures.push_back("resolved " + std::to_string(tooLong.size()));
        if (PlatformFileExists((tooLong + "/x").c_str()))
            failures.push_back("exists " + std::to_string(tooLong.size()));
        if (std::FILE* file = PlatformOpenFile(("Data/" + tooLong).c_str(), "wb")) {
            std::fclose(file);
            failures.push_back("created " + std::to_string(tooLong.size()));
        }
    }
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_TRUE(found63);
    EXPECT_EQ(failures, std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(folder / "Data/" + std::string(64, 'a')));
}

// The folders of an absolute path (where the program is installed, the working folder) are the
// system's: any length it allows, and the names below them are still matched without regard to case.
TEST_F(PathResolverTest, AbsolutePathsTakeFoldersOfAnyLength)
{
    const std::string folder70(70, 'f');
    folder.Write(folder70 + "/Plugins/Inside.txt", "deep");
    std::string resolved;
    ASSERT_TRUE(PlatformResolvePath((folder / folder70 + "\\plugins\\INSIDE.TXT").c_str(), resolved));
    EXPECT_EQ(resolved, folder / folder70 + "/Plugins/Inside.txt");
    EXPECT_TRUE(PlatformFileExists((folder / std::string(70, 'F') + "/plugins/inside.txt").c_str()));
    FILE* file = PlatformOpenFile((folder / folder70 + "/saves/out.bin").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_TRUE(std::filesystem::exists(folder / folder70 + "/saves/out.bin"));
    // A component the system cannot hold still names nothing.
    EXPECT_FALSE(PlatformFileExists((folder / std::string(5000, 'b')).c_str()));
    EXPECT_EQ(PlatformOpenFile((folder / std::string(5000, 'b')).c_str(), "wb"), nullptr);
}

TEST_F(PathResolverTest, EmptyPathsNameNothing)
{
    std::string resolved;
    EXPECT_FALSE(PlatformResolvePath("", resolved));
    EXPECT_FALSE(PlatformResolvePath(nullptr, resolved));
    EXPECT_EQ(PlatformOpenFile("", "rb"), nullptr);
}

TEST_F(PathResolverTest, WritingCreatesMissingFoldersInsideExistingOnes)
{
    for (const char* mode : {"wb", "a"}) {
        const std::string written = folder.Path() + "\\maps\\TOWN\\Saves\\" + mode + "\\out.bin";
        FILE* file = PlatformOpenFile(written.c_str(), mode);
        ASSERT_NE(file, nullptr) << mode;
        std::fputs("saved", file);
        std::fclose(file);
        // The existing "Maps/Town" is reused, not doubled by a new "maps/TOWN".
        EXPECT_EQ(ReadFileBytes(folder / "Maps/Town/Saves/" + mode + "/out.bin"), "saved") << mode;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "maps"));

    EXPECT_EQ(PlatformOpenFile((folder / "Other/in.bin").c_str(), "rb"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder / "Other"));
}

TEST_F(PathResolverTest, FolderAndFileOperations)
{
    EXPECT_TRUE(PlatformIsDirectory((folder / "maps\\town").c_str()));
    EXPECT_FALSE(PlatformIsDirectory((folder / "maps\\town\\level.dat").c_str()));
    EXPECT_TRUE(PlatformFileExists((folder / "maps\\town\\level.dat").c_str()));
    EXPECT_FALSE(PlatformFileExists((folder / "maps\\town\\other.dat").c_str()));

    EXPECT_TRUE(PlatformCreateDirectories((folder / "MAPS\\New\\Deeper").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Maps/New/Deeper"));
    EXPECT_TRUE(PlatformCreateDirectories((folder / "maps").c_str()));
    EXPECT_FALSE(PlatformCreateDirectories((folder / "data\\readme.txt\\sub").c_str()));

    EXPECT_TRUE(PlatformRemoveFile((folder / "MAPS\\TOWN\\LEVEL.DAT").c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder / "Maps/Town/Level.DAT"));
    EXPECT_FALSE(PlatformRemoveFile((folder / "MAPS\\TOWN\\LEVEL.DAT").c_str()));
}

TEST_F(PathResolverTest, FileTimesAreWholeSecondsOfRegularFilesOnly)
{
    // Two files whose times lie 90.5 seconds apart: whole seconds, the later one larger.
    const auto base = std::filesystem::last_write_time(folder / "Maps/Town/Level.DAT");
    std::filesystem::last_write_time(folder / "Data/readme.txt", base + std::chrono::milliseconds(90500));
    std::int64_t level = 0, readme = 0;
    ASSERT_TRUE(PlatformFileModifiedSeconds((folder / "maps\\town\\level.dat").c_str(), &level));
    ASSERT_TRUE(PlatformFileModifiedSeconds((folder / "DATA\\README.TXT").c_str(), &readme));
    EXPECT_GE(readme - level, 90);
    EXPECT_LE(readme - level, 91);

    for (const char* nothing : {"maps\\town", "maps\\town\\other.dat", ""}) {
        std::int64_t seconds = -7;
        EXPECT_FALSE(PlatformFileModifiedSeconds((folder / nothing).c_str(), &seconds)) << nothing;
        EXPECT_EQ(seconds, -7) << nothing;
    }
}

TEST_F(PathResolverTest, OpenFilesTellTheirKindAndSizeAndMapWhole)
{
    FILE* file = PlatformOpenFile((folder / "maps\\town\\level.dat").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(PlatformIsRegularFile(file));
    EXPECT_EQ(PlatformFileSize(file), 5);
    std::size_t size = 0;
    const void* image = PlatformMapFile(file, &size);
    std::fclose(file);
    ASSERT_NE(image, nullptr);
    // The mapping outlives the file it was made from.
    EXPECT_EQ(std::string(static_cast<const char*>(image), size), "level");
    PlatformUnmapFile(image, size);

    // A folder opens for reading, but it is no file to read or map.
    FILE* dir = std::fopen((folder / "Maps").c_str(), "rb");
    ASSERT_NE(dir, nullptr);
    EXPECT_FALSE(PlatformIsRegularFile(dir));
    EXPECT_EQ(PlatformMapFile(dir, &size), nullptr);
    std::fclose(dir);

    folder.Write("Data/empty.bin", "");
    FILE* empty = std::fopen((folder / "Data/empty.bin").c_str(), "rb");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(PlatformIsRegularFile(empty));
    EXPECT_EQ(PlatformFileSize(empty), 0);
    EXPECT_EQ(PlatformMapFile(empty, &size), nullptr);
    std::fclose(empty);
}

TEST_F(PathResolverTest, FoldersAsOnDiskListTheirNamesAndStampTheirChanges)
{
    const std::string data = folder / "Data";
    std::vector<std::string> names;
    ASSERT_TRUE(PlatformListFolder(data.c_str(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "readme.txt"}));
    EXPECT_FALSE(PlatformListFolder((folder / "data").c_str(), names));  // no case matching here

    PlatformFolderStamp before;
    PlatformFolderStamp again;
    ASSERT_TRUE(PlatformFolderStampOf(data.c_str(), &before));
    ASSERT_TRUE(PlatformFolderStampOf(data.c_str(), &again));
    EXPECT_EQ(before, again);
    // A new subfolder adds a link to its parent: the stamp changes whatever the clock's grain.
    std::filesystem::create_directory(data + "/Sub");
    ASSERT_TRUE(PlatformFolderStampOf(data.c_str(), &again));
    EXPECT_FALSE(before == again);
    EXPECT_FALSE(PlatformFolderStampOf((data + "/readme.txt").c_str(), &again));
    EXPECT_FALSE(PlatformFolderStampOf((folder / "Missing").c_str(), &again));

    EXPECT_TRUE(PlatformPathExistsAsWritten((data + "/readme.txt").c_str()));
    EXPECT_FALSE(PlatformPathExistsAsWritten((data + "/README.txt").c_str()));
    EXPECT_FALSE(PlatformPathExistsAsWritten((folder.Path() + "\\Data\\readme.txt").c_str()));
}

TEST(WorkingFolderTest, IsTheAbsoluteWorkingFolderWhenItFits)
{
    char buffer[4096];
    ASSERT_TRUE(PlatformCurrentFolder(buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), std::filesystem::current_path().string());
    char small[2];
    EXPECT_FALSE(PlatformCurrentFolder(small, sizeof small));
}

}  // namespace
