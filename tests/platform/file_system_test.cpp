#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.Path().empty());
        folder.Write("Maps/Town/Level.DAT", "level");
        folder.Write("Data/readme.txt");
    }
    TempDir folder;
};

TEST_F(PathResolverTest, ResolvesSpellingsToTheNamesOnDisk) {
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

TEST_F(PathResolverTest, ExactSpellingWinsOverOtherCases) {
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

TEST_F(PathResolverTest, RelativePathsStartInTheWorkingFolder) {
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

TEST_F(PathResolverTest, ComponentsLongerThan63CharactersNameNothing) {
    const std::string name63(63, 'a');
    folder.Write("Data/" + name63, "long");
    EXPECT_TRUE(PlatformFileExists((folder / "DATA/" + std::string(63, 'A')).c_str()));

    for (const std::string& tooLong : {std::string(64, 'a'), std::string(5000, 'b')}) {
        std::string resolved = "left over";
        EXPECT_FALSE(PlatformResolvePath((folder / "Data/" + tooLong).c_str(), resolved));
        EXPECT_TRUE(resolved.empty());
        EXPECT_FALSE(PlatformFileExists((folder / tooLong + "/x").c_str()));
        EXPECT_EQ(PlatformOpenFile((folder / "Data/" + tooLong).c_str(), "wb"), nullptr);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "Data/" + std::string(64, 'a')));
}

TEST_F(PathResolverTest, EmptyPathsNameNothing) {
    std::string resolved;
    EXPECT_FALSE(PlatformResolvePath("", resolved));
    EXPECT_FALSE(PlatformResolvePath(nullptr, resolved));
    EXPECT_EQ(PlatformOpenFile("", "rb"), nullptr);
}

TEST_F(PathResolverTest, WritingCreatesMissingFoldersInsideExistingOnes) {
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

TEST_F(PathResolverTest, FolderAndFileOperations) {
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

}  // namespace
