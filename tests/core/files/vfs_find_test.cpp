// Listing folders, existence tests and whole-file loads over disk and archives.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/files/vfs.h"
#include "support/vfs_fixture.h"

namespace {

struct Reported {
    std::string name;
    std::string folder;
    std::string content;
    bool operator==(const Reported&) const = default;
};
std::vector<Reported> g_reported;

// Records each report, and reads the file while the listing runs.
void Record(const char* name, const char* folder)
{
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return;
    const std::string path = std::string(folder) + (folder[std::strlen(folder) - 1] == '\\' ? "" : "\\") + name;
    g_reported.push_back({name, folder, VfsReadAll(path.c_str()).value_or("<folder>")});
}

class VfsFindTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        g_reported.clear();
        ASSERT_TRUE(WriteTestArchive("main.bfs", {{"maps\\a.txt", "A0"},
                                                  {"maps\\b.dat", "B0"},
                                                  {"maps\\noext", "N0"},
                                                  {"maps\\sub\\x.txt", "X0"},
                                                  {"maps\\dup.txt", "DUP0"},
                                                  {"maps\\both.txt", "BOTH0"}}));
        ASSERT_TRUE(WriteTestArchive("main01.bfs",
                                     {{"maps\\dup.txt", "DUP1"}, {"maps\\c.TXT", "C1"}, {"maps\\both.txt", "BOTH1"}}));
        ASSERT_TRUE(WriteFileBytes("maps/dup.txt", "DUPdisk"));
        ASSERT_TRUE(WriteFileBytes("maps/d.txt", "Ddisk"));
        ASSERT_TRUE(VFSInit());
    }
};

TEST_F(VfsFindTest, ReportsEachFileOnceFromWhereItIsRead)
{
    VFSFindFile("maps", "txt", Record, false);
    const std::vector<Reported> expected = {
        {"d.txt", "maps", "Ddisk"},    {"dup.txt", "maps", "DUPdisk"}, {"c.TXT", "maps", "C1"},
        {"both.txt", "maps", "BOTH1"}, {"a.txt", "maps", "A0"},
    };
    EXPECT_EQ(g_reported, expected);
}

TEST_F(VfsFindTest, AnyExtensionAndAllEntries)
{
    VFSFindFile("maps", "*", Record, false);
    std::vector<std::string> names;
    for (const Reported& report : g_reported)
        names.push_back(report.name);
    EXPECT_EQ(names, (std::vector<std::string>{"d.txt", "dup.txt", "c.TXT", "both.txt", "a.txt", "b.dat"}));

    // All entries: names without a dot and folders too, whatever the extension; archive entries
    // come with the folder and a separator.
    g_reported.clear();
    VFSFindFile("MAPS", "dat", Record, true);
    std::vector<std::string> archived;
    for (const Reported& report : g_reported) {
        if (report.folder == "MAPS\\")
            archived.push_back(report.name);
    }
    EXPECT_EQ(archived, (std::vector<std::string>{"c.TXT", "both.txt", "a.txt", "b.dat", "noext", "sub"}));
}

TEST_F(VfsFindTest, NothingWithoutCallbackOrFolder)
{
    EXPECT_FALSE(VFSFindFile("maps", "txt", nullptr, false));
    EXPECT_FALSE(VFSFindFile("nowhere", "*", Record, true));
    EXPECT_FALSE(VFSFindFile("maps\\a.txt", "*", Record, true));  // a file has no children
    EXPECT_TRUE(g_reported.empty());
    // What was reported answers: from disk, from an archive only, or nothing of that extension.
    EXPECT_TRUE(VFSFindFile("maps", "txt", Record, false));
    EXPECT_TRUE(VFSFindFile("maps", "dat", Record, false));
    EXPECT_FALSE(VFSFindFile("maps", "wav", Record, false));
}

TEST_F(VfsFindTest, FileExistsOverDiskAndSlots)
{
    struct Case {
        const char* name;
        int first;
        int last;
        bool exists;
    } cases[] = {
        {"d.txt", 5, 9, true},  // disk, whatever the slots
        {"c.txt", 0, 0, false}, {"C.txt", 1, -1, true}, {"a.txt", 1, 1, false},
        {"a.txt", 0, -1, true}, {"sub", 0, 0, true},  // folders exist too
        {"zzz", 0, -1, false},  {"a.txt", 5, 9, false}, {"a.txt", -3, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VFSFileExists("maps", c.name, c.first, c.last), c.exists)
            << c.name << " " << c.first << ".." << c.last;
    EXPECT_TRUE(VFSFileExists("maps\\sub", "X.TXT", 0, -1));
}

TEST_F(VfsFindTest, LoadFileAndLoadTextFile)
{
    ASSERT_TRUE(WriteFileBytes("empty_disk", ""));
    struct Case {
        const char* name;
        const char* content;
    } cases[] = {{"maps\\a.txt", "A0"}, {"maps\\d.txt", "Ddisk"}, {"empty_disk", ""}};
    for (const Case& c : cases) {
        u32_t size = 99;
        std::unique_ptr<char[]> bytes(VFSLoadFile(c.name, &size));
        ASSERT_NE(bytes, nullptr) << c.name;
        EXPECT_EQ(std::string(bytes.get(), size), c.content);
        size = 99;
        std::unique_ptr<char[]> text(VFSLoadTextFile(c.name, &size));
        ASSERT_NE(text, nullptr) << c.name;
        EXPECT_EQ(size, std::strlen(c.content));
        EXPECT_STREQ(text.get(), c.content);
    }
    u32_t size = 99;
    EXPECT_EQ(VFSLoadFile("maps\\missing", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(VFSLoadTextFile("maps\\missing", nullptr), nullptr);
}

}  // namespace
