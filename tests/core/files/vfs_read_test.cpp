// Opening and reading files through the virtual file system: precedence of disk and archives, path
// spellings, piecewise reads, lines, and the one current file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/uff_file.h"
#include "core/files/vfs.h"
#include "platform/file_system.h"
#include "support/vfs_fixture.h"

namespace {

// Debug output goes to stderr only when this is set before the first debug line of the process.
const int g_debugOutputOn = setenv("ZINTAR_DEBUG", "1", 0);

std::string BinaryBytes(size_t count)
{
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return bytes;
}

using VfsReadTest = VfsTest;

TEST(VfsScrambleTest, StoredBytesDependOnTheirPositionInTheEntry)
{
    // 'A' stored at entry position 0 and at 300 (300 mod 256 = 44).
    u8_t stored[] = {0x1A, 0x46};
    VFSUnscramble(stored, 1, 0);
    VFSUnscramble(stored + 1, 1, 300);
    EXPECT_EQ(stored[0], 'A');
    EXPECT_EQ(stored[1], 'A');

    // Round trips over lengths around the block size and start positions that wrap.
    for (u32_t length : {0u, 1u, 31u, 32u, 33u, 300u}) {
        for (u32_t start : {0u, 7u, 255u, 70000u}) {
            const std::string plain = BinaryBytes(length);
            std::string scrambled = plain;
            VFSScramble(reinterpret_cast<u8_t*>(scrambled.data()), length, start);
            std::string copied(length, '\0');
            VFSUnscrambleCopy(reinterpret_cast<u8_t*>(copied.data()), reinterpret_cast<const u8_t*>(scrambled.data()),
                              length, start);
            VFSUnscramble(reinterpret_cast<u8_t*>(scrambled.data()), length, start);
            EXPECT_EQ(scrambled, plain) << length << " from " << start;
            EXPECT_EQ(copied, plain) << length << " from " << start;
        }
    }
}

TEST_F(VfsReadTest, DiskWinsThenTheNewestArchive)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs",
                                 {{"data\\a.txt", "main-a"}, {"data\\b.txt", "main-b"}, {"data\\c.txt", "main-c"}}));
    ASSERT_TRUE(WriteTestArchive("main01.bfs", {{"data\\b.txt", "one-b"}}));
    // No archive numbered 2: number 3 takes slot 2.
    ASSERT_TRUE(WriteTestArchive("main03.bfs", {{"data\\c.txt", "three-c"}, {"data\\b.txt", "three-b"}}));
    ASSERT_TRUE(WriteFileBytes("data/a.txt", "disk-a"));
    ASSERT_TRUE(VFSInit());
    ASSERT_EQ(VFSArchiveCount(), 3);
    EXPECT_EQ(VFSArchive(1)->EntryCount(), 3);  // root, data, b.txt
    EXPECT_TRUE(VFSFileExists("data", "c.txt", 2, 2));
    EXPECT_FALSE(VFSFileExists("data", "c.txt", 1, 1));

    EXPECT_EQ(VfsReadAll("data\\a.txt"), "disk-a");
    EXPECT_EQ(VfsReadAll("data\\b.txt"), "three-b");
    EXPECT_EQ(VfsReadAll("data\\c.txt"), "three-c");
    EXPECT_EQ(VfsReadAll("data\\d.txt"), std::nullopt);
}

TEST_F(VfsReadTest, PathSpellingsNameTheSameEntry)
{
    const std::string longName(63, 'n');
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"data\\sub\\file.txt", "found"}, {longName + "\\x.txt", "long"}}));
    // The packer refuses names that no path can reach; a plain UFF writer still makes one.
    const std::string tooLong(64, 'n');
    ASSERT_TRUE(WriteTestUff("main01.bfs", {{"root/" + tooLong, "unreachable"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_EQ(VFSArchiveCount(), 2);
    struct Spelling {
        std::string path;
        bool found;
    } spellings[] = {
        {"data\\sub\\file.txt", true},
        {"\\\\data\\sub\\file.txt", true},
        {"data\\\\sub//file.txt", true},
        {"data/sub/file.txt", true},
        {"DATA\\Sub\\FILE.TXT", true},
        {"/data/sub/file.txt//", true},
        {"data\\sub\\file.tx", false},
        {"data\\file.txt", false},
        {"data\\sub\\file.txt\\x", false},
        {longName + "\\x.txt", true},
        {tooLong, false},
        {std::string(5000, 'z'), false},
    };
    for (const Spelling& spelling : spellings) {
        const std::optional<std::string> bytes = VfsReadAll(spelling.path.c_str());
        EXPECT_EQ(bytes.has_value(), spelling.found) << spelling.path;
    }
    EXPECT_EQ(VfsReadAll("DATA/SUB/file.txt"), "found");
}

TEST_F(VfsReadTest, ReadingInPiecesEqualsReadingWhole)
{
    const std::string content = BinaryBytes(10000);
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"bin\\blob.dat", content}}));
    ASSERT_TRUE(VFSInit());
    EXPECT_EQ(VfsReadAll("bin\\blob.dat"), content);
    for (u32_t piece : {1u, 7u, 4096u}) {
        ASSERT_TRUE(VFSOpenFile("bin\\blob.dat", true));
        ASSERT_EQ(VFSGetFileSize(), content.size());
        std::string read;
        std::vector<char> buffer(piece);
        while (read.size() < content.size()) {
            const u32_t wanted = static_cast<u32_t>(std::min<size_t>(piece, content.size() - read.size()));
            ASSERT_EQ(VFSReadFile(buffer.data(), wanted), 1) << "piece " << piece << " at " << read.size();
            read.append(buffer.data(), wanted);
        }
        VFSCloseFile();
        EXPECT_EQ(read, content) << "piece " << piece;
    }
}

TEST_F(VfsReadTest, ReadsStopAtTheEndOfTheEntry)
{
    // The entry is followed by another one, whose bytes must not leak into the first.
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"a.bin", BinaryBytes(100)}, {"b.bin", "following entry"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_TRUE(VFSOpenFile("a.bin", true));
    std::string buffer(1000, '#');
    ASSERT_EQ(VFSReadFile(buffer.data(), 60), 1);
    EXPECT_EQ(buffer.substr(0, 60), BinaryBytes(60));
    buffer.assign(1000, '#');
    ASSERT_EQ(VFSReadFile(buffer.data(), 1000), 1);
    EXPECT_EQ(buffer.substr(0, 40), BinaryBytes(100).substr(60));
    EXPECT_EQ(buffer.substr(40), std::string(960, '#'));
    EXPECT_EQ(VFSReadFile(buffer.data(), 1), 0);
    VFSCloseFile();
}

TEST_F(VfsReadTest, OpeningClosesTheFileBefore)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"first.txt", "first file"}, {"second.txt", "second file"}}));
    ASSERT_TRUE(WriteFileBytes("disk.txt", "on disk"));
    ASSERT_TRUE(VFSInit());
    char buffer[32] = {};
    for (bool firstBinary : {true, false}) {
        ASSERT_TRUE(VFSOpenFile("first.txt", firstBinary));
        ASSERT_GT(firstBinary ? VFSReadFile(buffer, 3) : VFSReadLine(buffer, 4), 0);
        // No close in between: the next open must start cleanly at the start of its own file.
        EXPECT_EQ(VfsReadAll("second.txt"), "second file");
    }
    ASSERT_TRUE(VFSOpenFile("disk.txt", true));
    EXPECT_EQ(VfsReadAll("first.txt"), "first file");
}

TEST_F(VfsReadTest, ReadLineFromArchiveAndDisk)
{
    const std::string text = std::string("one\ntwo\r\n\nlast");
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"lines.txt", text}, {"zero.txt", std::string("ab\0cd", 5)}}));
    ASSERT_TRUE(WriteFileBytes("disk_lines.txt", text));
    ASSERT_TRUE(VFSInit());
    for (const char* name : {"lines.txt", "disk_lines.txt"}) {
        ASSERT_TRUE(VFSOpenFile(name, false)) << name;
        std::vector<std::string> lines;
        char buffer[64];
        while (VFSReadLine(buffer, sizeof buffer) > 0)
            lines.emplace_back(buffer);
        VFSCloseFile();
        EXPECT_EQ(lines, (std::vector<std::string>{"one\n", "two\r\n", "\n", "last"})) << name;
    }

    // A short buffer cuts lines into pieces of size - 1.
    ASSERT_TRUE(VFSOpenFile("lines.txt", false));
    char small[3];
    std::vector<int> counts;
    for (int stored; (stored = VFSReadLine(small, sizeof small)) > 0;)
        counts.push_back(stored);
    EXPECT_EQ(counts, (std::vector<int>{2, 2, 2, 2, 1, 1, 2, 2}));
    EXPECT_EQ(VFSReadLine(small, 1), 0);

    // A zero byte ends a line and is counted.
    ASSERT_TRUE(VFSOpenFile("zero.txt", false));
    char buffer[16];
    EXPECT_EQ(VFSReadLine(buffer, sizeof buffer), 3);
    EXPECT_EQ(VFSReadLine(buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, "cd");

    // Archive files opened in binary mode have no lines.
    ASSERT_TRUE(VFSOpenFile("lines.txt", true));
    EXPECT_EQ(VFSReadLine(buffer, sizeof buffer), 0);
}

TEST_F(VfsReadTest, FolderOnDiskDoesNotHideArchiveFile)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"notes.txt", "archived"}}));
    ASSERT_TRUE(WriteFileBytes("notes.txt/inside", "x"));
    ASSERT_TRUE(VFSInit());
    EXPECT_EQ(VfsReadAll("notes.txt"), "archived");
}

// The disk is looked at afresh on every open: files that appear, change case or go are seen at once.
TEST_F(VfsReadTest, DiskChangesAreSeenAtOnce)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"data\\a.txt", "archive"}}));
    ASSERT_TRUE(VFSInit());
    EXPECT_EQ(VfsReadAll("data\\a.txt"), "archive");
    ASSERT_TRUE(WriteFileBytes("DATA/A.TXT", "disk"));
    EXPECT_EQ(VfsReadAll("data\\a.txt"), "disk");
    EXPECT_TRUE(VFSFileExists("Data", "a.TXT", 1, 0));
    std::filesystem::remove_all("DATA");
    EXPECT_EQ(VfsReadAll("data\\a.txt"), "archive");
    ASSERT_TRUE(WriteFileBytes("data/b.txt", "other"));
    EXPECT_EQ(VfsReadAll("data\\a.txt"), "archive");
    ASSERT_TRUE(WriteFileBytes("data/a.txt", "disk again"));
    EXPECT_EQ(VfsReadAll("data\\a.txt"), "disk again");
}

TEST_F(VfsReadTest, ArchiveWithoutEntriesHoldsNothing)
{
    {
        UffWriter writer("main.bfs");
    }
    ASSERT_TRUE(VFSInit());
    EXPECT_FALSE(VFSOpenFile("anything", true));
    EXPECT_FALSE(VFSOpenFile("", true));
    EXPECT_FALSE(VFSFileExists("", "anything", 0, -1));
}

TEST_F(VfsReadTest, ShutdownEndsTheCurrentFile)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"a.txt", "abc"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_TRUE(VFSOpenFile("a.txt", false));
    VFSShutdown();
    char buffer[8];
    EXPECT_EQ(VFSReadFile(buffer, 3), 0);
    EXPECT_EQ(VFSReadLine(buffer, sizeof buffer), 0);
    EXPECT_EQ(VFSGetFileSize(), 0u);
    EXPECT_EQ(VFSArchiveCount(), 0);
}

TEST_F(VfsReadTest, InitReportsMissingAndDamagedMainArchive)
{
    ASSERT_EQ(g_debugOutputOn, 0);
    struct Case {
        const char* label;
        std::string bytes;  // empty: no file
        bool opens;
        const char* output;
    } cases[] = {
        {"missing", "", false, "VFS: File 'main.bfs' not found!\n"},
        {"damaged", "UFF 1.0\nnot a directory", false, "VFS: File 'main.bfs' has invalid format!\n"},
        {"sound", "", true, "VFS: 'main.bfs' loaded succesfuly.\n"},
    };
    for (const Case& c : cases) {
        PlatformRemoveFile("main.bfs");
        if (c.opens) {
            ASSERT_TRUE(WriteTestArchive("main.bfs", {{"a.txt", "a"}}));
        } else if (!c.bytes.empty()) {
            ASSERT_TRUE(WriteFileBytes("main.bfs", c.bytes));
        }
        testing::internal::CaptureStderr();
        const bool opened = VFSInit();
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(opened, c.opens) << c.label;
        EXPECT_EQ(output, c.output) << c.label;
        EXPECT_EQ(VFSArchiveCount(), c.opens ? 1 : 0) << c.label;
        VFSShutdown();
    }
}

TEST_F(VfsReadTest, PackedFolderReadsBack)
{
    ASSERT_TRUE(WriteFileBytes("tree/Maps/Town/level.def", "level"));
    ASSERT_TRUE(WriteFileBytes("tree/Maps/b.txt", "b"));
    ASSERT_TRUE(WriteFileBytes("tree/Maps/a.txt", "a"));
    ASSERT_TRUE(WriteFileBytes("tree/top.bin", BinaryBytes(70000)));
    std::string error;
    ASSERT_TRUE(BfsPackFolder("tree", "main.bfs", error)) << error;
    ASSERT_TRUE(BfsPackFolder("tree", "again.bfs", error)) << error;
    EXPECT_EQ(ReadFileBytes("main.bfs"), ReadFileBytes("again.bfs"));

    ASSERT_TRUE(VFSInit());
    EXPECT_EQ(VfsReadAll("maps\\town\\LEVEL.DEF"), "level");
    EXPECT_EQ(VfsReadAll("top.bin"), BinaryBytes(70000));
    UffFile* archive = VFSArchive(0);
    const s32_t maps = archive->FindChild(archive->Root(), "Maps");
    ASSERT_GE(maps, 0);
    std::vector<std::string> names;
    for (s32_t child = archive->GetFirstChild(maps); child >= 0; child = archive->GetNextSibling(child))
        names.emplace_back(archive->GetEntryName(child));
    EXPECT_EQ(names, (std::vector<std::string>{"Town", "a.txt", "b.txt"}));

    // A name that no lookup could reach is refused, and no archive is left behind.
    ASSERT_TRUE(WriteFileBytes("tree/" + std::string(64, 'x'), "long"));
    EXPECT_FALSE(BfsPackFolder("tree", "long.bfs", error));
    EXPECT_FALSE(PlatformFileExists("long.bfs"));
}

}  // namespace
