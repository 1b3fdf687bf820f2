// Damaged UFF files and archives: truncated, with fields overwritten, and randomly mutated. None
// may crash or read outside the file; a reader that opens must be able to read every entry.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/random.h"
#include "core/files/uff_file.h"
#include "core/files/vfs.h"
#include "support/vfs_fixture.h"

namespace {

const std::vector<TestFile> kArchiveFiles = {
    {"data\\readme.txt", "first line\nsecond line\n"},
    {"data\\sub\\table.bin", std::string("\x00\x01\x02\xFF\xFE", 5)},
    {"data\\empty.txt", ""},
    {"top.def", "key value\n"},
};

// Every entry of an open reader can be read whole, and every walk ends.
void ExpectEntriesReadable(UffFile& file)
{
    ASSERT_TRUE(file.IsOpen());
    for (s32_t entry = 0; entry < file.EntryCount(); ++entry) {
        std::string buffer(file.GetEntrySize(entry), '\0');
        ASSERT_TRUE(file.OpenEntry(entry));
        EXPECT_EQ(file.ReadEntry(buffer.data(), -1), 1) << "entry " << entry;
        file.CloseEntry();
        EXPECT_NE(file.GetEntryName(entry), nullptr);
        EXPECT_LE(file.ListChildren(entry, nullptr, 0), file.EntryCount());
        file.FindChild(entry, "no such child");
    }
}

// Everything the file system offers, over the files the archive held before it was damaged.
void ExerciseVfs()
{
    char buffer[64];
    for (const TestFile& file : kArchiveFiles) {
        if (VFSOpenFile(file.path.c_str(), true)) {
            std::string bytes(VFSGetFileSize(), '\0');
            VFSReadFile(bytes.data(), static_cast<u32_t>(bytes.size()));
            VFSReadFile(buffer, sizeof buffer);
        }
        if (VFSOpenFile(file.path.c_str(), false)) {
            while (VFSReadLine(buffer, sizeof buffer) > 0) {
            }
        }
        VFSCloseFile();
        delete[] VFSLoadTextFile(file.path.c_str());
    }
    VFSFindFile(
        "data", "*", [](const char*, const char*) {}, true);
    VFSFindFile(
        "", "txt", [](const char*, const char*) {}, false);
}

using UffRobustnessTest = TempDirTest;

TEST_F(UffRobustnessTest, EveryTruncationIsRefused)
{
    ASSERT_TRUE(WriteTestArchive("whole.bfs", kArchiveFiles));
    const std::string whole = ReadFileBytes("whole.bfs");
    for (size_t length = 0; length < whole.size(); ++length) {
        ASSERT_TRUE(WriteFileBytes("cut.bfs", whole.substr(0, length)));
        UffFile file("cut.bfs");
        EXPECT_FALSE(file.IsOpen()) << "length " << length;
        EXPECT_EQ(file.FindChild(file.Root(), "data"), -1);
        EXPECT_FALSE(file.OpenEntry(0));
    }
}

// A small file with 12-byte records: root (0) with children a (1) and b (2), b with child c (3).
// The patches overwrite one field each; the reader must refuse all of them.
TEST_F(UffRobustnessTest, DamagedFieldsAreRefused)
{
    ASSERT_TRUE(WriteTestUff("good.uff", {{"root", "R"}, {"root/a", "AAAA"}, {"root/b", "BB"}, {"root/b/c", "C"}}));
    const std::string good = ReadFileBytes("good.uff");
    const u32_t dir = LoadU32(reinterpret_cast<const u8_t*>(good.data() + good.size() - 4));
    const u32_t records = dir + 8;
    const u32_t table = records + 4 * 12;  // the name-table size; the names follow
    auto u8At = [](std::string& bytes, size_t at, u8_t value) { bytes[at] = static_cast<char>(value); };
    auto u32At = [](std::string& bytes, size_t at, u32_t value) {
        StoreU32(reinterpret_cast<u8_t*>(&bytes[at]), value);
    };
    struct Patch {
        const char* label;
        std::function<void(std::string&)> apply;
    } patches[] = {
        {"header text", [&](std::string& b) { b[3] = '2'; }},
        {"directory before the data", [&](std::string& b) { u32At(b, b.size() - 4, 7); }},
        {"directory past the end", [&](std::string& b) { u32At(b, b.size() - 4, static_cast<u32_t>(b.size())); }},
        {"directory at the trailer",
         [&](std::string& b) { u32At(b, b.size() - 4, static_cast<u32_t>(b.size() - 12)); }},
        {"huge name count", [&](std::string& b) { u32At(b, dir, 0xFFFFFFF0u); }},
        {"huge entry count", [&](std::string& b) { u32At(b, dir + 4, 0x7FFFFFF0u); }},
        {"entry count one too many", [&](std::string& b) { u32At(b, dir + 4, 5); }},
        {"name count one too many", [&](std::string& b) { u32At(b, dir, 5); }},
        {"name count one too few", [&](std::string& b) { u32At(b, dir, 3); }},
        {"name table too long", [&](std::string& b) { u32At(b, table, 1000); }},
        {"name table cut", [&](std::string& b) { u32At(b, table, 5); }},
        {"last name unterminated", [&](std::string& b) { b[b.size() - 5] = 'x'; }},
        {"next out of range", [&](std::string& b) { u8At(b, records + 1 * 12 + 0, 4); }},
        {"child out of range", [&](std::string& b) { u8At(b, records + 2 * 12 + 1, 200); }},
        {"parent out of range", [&](std::string& b) { u8At(b, records + 3 * 12 + 2, 9); }},
        {"name out of range", [&](std::string& b) { u8At(b, records + 1 * 12 + 11, 5); }},
        {"offset inside the header", [&](std::string& b) { u32At(b, records + 1 * 12 + 3, 4); }},
        {"size past the directory", [&](std::string& b) { u32At(b, records + 1 * 12 + 7, 8); }},
        {"huge size", [&](std::string& b) { u32At(b, records + 3 * 12 + 7, 0xFFFFFFFFu); }},
        {"child is its own sibling", [&](std::string& b) { u8At(b, records + 1 * 12 + 0, 1); }},
        {"sibling chain back to the first child", [&](std::string& b) { u8At(b, records + 2 * 12 + 0, 1); }},
        {"child loops to the root", [&](std::string& b) { u8At(b, records + 3 * 12 + 1, 0); }},
        {"two parents share a child", [&](std::string& b) { u8At(b, records + 1 * 12 + 1, 3); }},
    };
    {
        UffFile check("good.uff");
        ExpectEntriesReadable(check);
        ASSERT_EQ(check.EntryCount(), 4);
        ASSERT_EQ(check.FindChild(check.FindChild(0, "b"), "c"), 3);
    }
    for (const Patch& patch : patches) {
        std::string bytes = good;
        patch.apply(bytes);
        ASSERT_NE(bytes, good) << patch.label;
        ASSERT_TRUE(WriteFileBytes("bad.uff", bytes));
        UffFile file("bad.uff");
        EXPECT_FALSE(file.IsOpen()) << patch.label;
        EXPECT_EQ(file.EntryCount(), 0) << patch.label;
        EXPECT_EQ(file.FindChild(0, "a"), -1) << patch.label;

        UffFile image;
        EXPECT_FALSE(image.OpenImage(bytes.data(), bytes.size())) << patch.label;
    }
}

// Entries that no walk from the root reaches are not checked for cycles, but walks over them end.
TEST_F(UffRobustnessTest, WalksOverUnreachedLoopsEnd)
{
    ASSERT_TRUE(WriteTestUff("loop.uff", {{"root", ""}, {"x", ""}, {"y", ""}}));
    std::string bytes = ReadFileBytes("loop.uff");
    const u32_t records = LoadU32(reinterpret_cast<const u8_t*>(bytes.data() + bytes.size() - 4)) + 8;
    // Cut the top-level chain after the root, then make x and y each other's children and siblings.
    bytes[records + 0] = static_cast<char>(0xFF);
    bytes[records + 1 * 12 + 0] = 2;
    bytes[records + 1 * 12 + 1] = 2;
    bytes[records + 2 * 12 + 0] = 1;
    bytes[records + 2 * 12 + 1] = 1;
    ASSERT_TRUE(WriteFileBytes("loop.uff", bytes));
    UffFile file("loop.uff");
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.FindChild(1, "nothing"), -1);
    EXPECT_LE(file.ListChildren(1, nullptr, 0), file.EntryCount());
}

using VfsRobustnessTest = VfsTest;

TEST_F(VfsRobustnessTest, TruncatedMainArchiveStopsStartUp)
{
    ASSERT_TRUE(WriteTestArchive("whole.bfs", kArchiveFiles));
    const std::string whole = ReadFileBytes("whole.bfs");
    for (size_t length = 0; length < whole.size(); length += 3) {
        ASSERT_TRUE(WriteFileBytes("main.bfs", whole.substr(0, length)));
        EXPECT_FALSE(VFSInit()) << "length " << length;
        EXPECT_EQ(VFSArchiveCount(), 0);
        ExerciseVfs();
        VFSShutdown();
    }
}

// Random bytes overwritten, mostly in the directory, a fixed seed so that any failure repeats.
TEST_F(VfsRobustnessTest, MutatedArchivesNeverReadOutside)
{
    ASSERT_TRUE(WriteTestArchive("whole.bfs", kArchiveFiles));
    const std::string whole = ReadFileBytes("whole.bfs");
    const u32_t dir = LoadU32(reinterpret_cast<const u8_t*>(whole.data() + whole.size() - 4));
    EngineSRand(20240611);
    int opened = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = whole;
        const int changes = 1 + EngineRand() % 4;
        for (int i = 0; i < changes; ++i) {
            const size_t span = EngineRand() % 4 == 0 ? bytes.size() : bytes.size() - dir;
            const size_t at = bytes.size() - 1 - static_cast<size_t>(EngineRand()) % span;
            bytes[at] = static_cast<char>(EngineRand() % 3 == 0 ? 0xFF : EngineRand() & 0xFF);
        }
        if (EngineRand() % 8 == 0)
            bytes.resize(bytes.size() - 1 - EngineRand() % 16);
        ASSERT_TRUE(WriteFileBytes("main.bfs", bytes));

        {
            UffFile file("main.bfs");
            if (file.IsOpen())
                ExpectEntriesReadable(file);
        }
        if (VFSInit())
            ++opened;
        ExerciseVfs();
        VFSShutdown();
    }
    // Some mutations leave a sound file (data bytes, unused bits): those paths were walked too.
    EXPECT_GT(opened, 0);
}

}  // namespace
