// The UFF reader and writer through real files: record widths, the tree, names, entry reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/uff_file.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"

namespace {

using UffFileTest = TempDirTest;

struct WidthCase {
    s32_t names;
    s32_t entries;
    int width;
};

class UffWidthTest : public TempDirTest, public ::testing::WithParamInterface<WidthCase> {};

// Entry 0 is the root; every fourth entry after it is a second-level child of the entry before,
// the rest are children of the root; the last entry is a second top-level entry. Entry i holds
// the byte i & 0xFF and is named "n" + (i % names).
TEST_P(UffWidthTest, RoundTripKeepsTreeNamesAndData)
{
    const WidthCase param = GetParam();
    std::vector<s32_t> parents(param.entries);
    {
        UffWriter writer("tree.uff");
        ASSERT_TRUE(writer.IsOpen());
        for (s32_t i = 0; i < param.entries; ++i) {
            const std::string name = "n" + std::to_string(i % param.names);
            s32_t parent = 0;
            if (i == 0 || i == param.entries - 1)
                parent = -1;
            else if (i % 4 == 0)
                parent = i - 1;
            parents[i] = parent;
            ASSERT_EQ(writer.BeginEntry(name.c_str(), parent), i);
            const u8_t byte = static_cast<u8_t>(i);
            writer.Write(&byte, 1);
            writer.EndEntry();
        }
    }

    // The record width shows in the file size: header, data, counts, records, table size, names, trailer.
    std::uint64_t tableSize = 0;
    for (s32_t i = 0; i < param.names; ++i)
        tableSize += std::to_string(i).size() + 2;
    const std::uint64_t expected =
        8 + param.entries + 8 + static_cast<std::uint64_t>(param.entries) * param.width + 4 + tableSize + 4;
    EXPECT_EQ(ReadFileBytes("tree.uff").size(), expected);

    UffFile file("tree.uff");
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Root(), 0);
    EXPECT_EQ(file.EntryCount(), param.entries);
    EXPECT_EQ(file.NameCount(), param.names);
    EXPECT_EQ(file.GetNextSibling(0), param.entries - 1);
    EXPECT_EQ(file.GetNextSibling(param.entries - 1), -1);
    for (s32_t i = 0; i < param.entries; ++i) {
        ASSERT_EQ(file.GetParent(i), parents[i]) << "entry " << i;
        ASSERT_EQ(file.FindChild(i, nullptr), parents[i]);
        ASSERT_EQ(std::string(file.GetEntryName(i)), "n" + std::to_string(i % param.names));
        ASSERT_EQ(file.GetEntrySize(i), 1u);
    }
    // Children keep the order in which they were added.
    const s32_t rootChildren = file.ListChildren(0, nullptr, 0);
    std::vector<s32_t> children(rootChildren);
    file.ListChildren(0, children.data(), rootChildren);
    for (size_t k = 1; k < children.size(); ++k)
        ASSERT_LT(children[k - 1], children[k]);
    // Data of the first, a middle and the last entry.
    for (s32_t i : {0, param.entries / 2, param.entries - 1}) {
        u8_t byte = 0;
        ASSERT_TRUE(file.OpenEntry(i));
        ASSERT_EQ(file.ReadEntry(&byte, -1), 1);
        file.CloseEntry();
        EXPECT_EQ(byte, static_cast<u8_t>(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, UffWidthTest,
                         ::testing::Values(WidthCase{254, 254, 12}, WidthCase{254, 255, 16}, WidthCase{255, 255, 16},
                                           WidthCase{65534, 65534, 16}, WidthCase{10, 65535, 24},
                                           WidthCase{65535, 65535, 24}));

TEST_F(UffFileTest, NamesAreSharedExactlyAndFoundWithoutRegardToCase)
{
    {
        UffWriter writer("names.uff");
        writer.BeginEntry("root", -1);
        writer.EndEntry();
        for (const char* name : {"same", "Alpha", "alpha", "same"}) {
            writer.BeginEntry(name, 0);
            writer.EndEntry();
        }
        const s32_t nested = writer.BeginEntry("deep", 1);
        writer.EndEntry();
        EXPECT_EQ(nested, 5);
    }
    UffFile file("names.uff");
    ASSERT_TRUE(file.IsOpen());
    // "root", "same", "Alpha", "alpha", "deep": the second "same" reuses the first string.
    EXPECT_EQ(file.NameCount(), 5);
    EXPECT_EQ(file.GetEntryName(1), file.GetEntryName(4));

    struct Lookup {
        s32_t entry;
        const char* name;
        s32_t found;
    } lookups[] = {
        {0, "ALPHA", 2}, {0, "alpha", 2}, {0, "Same", 1}, {0, "deep", -1},  // only direct children
        {1, "DEEP", 5},  {0, "alph", -1}, {0, "", -1},    {-1, "same", -1}, {99, "same", -1},
    };
    for (const Lookup& lookup : lookups)
        EXPECT_EQ(file.FindChild(lookup.entry, lookup.name), lookup.found) << lookup.entry << " " << lookup.name;
}

TEST_F(UffFileTest, ListChildrenCountsBeyondMax)
{
    ASSERT_TRUE(WriteTestUff("list.uff", {{"root/a", "1"}, {"root/b", "2"}, {"root/c", "3"}}));
    UffFile file("list.uff");
    ASSERT_TRUE(file.IsOpen());
    s32_t out[3] = {-7, -7, -7};
    EXPECT_EQ(file.ListChildren(0, out, 0), 3);
    EXPECT_EQ(out[0], -7);
    EXPECT_EQ(file.ListChildren(0, out, 2), 3);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], -7);
    EXPECT_EQ(file.ListChildren(1, out, 3), 0);
}

TEST_F(UffFileTest, FileWithoutEntriesHasNoRoot)
{
    {
        UffWriter writer("empty.uff");
    }
    EXPECT_EQ(ReadFileBytes("empty.uff"),
              std::string("UFF 1.0\n", 8) + std::string("\0\0\0\0\0\0\0\0\0\0\0\0\x08\0\0\0", 16));
    UffFile file("empty.uff");
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Root(), -1);
    EXPECT_EQ(file.EntryCount(), 0);
    EXPECT_EQ(file.FindChild(file.Root(), "x"), -1);
    EXPECT_FALSE(file.OpenEntry(0));
}

TEST_F(UffFileTest, EntryReadsFollowTheStream)
{
    ASSERT_TRUE(WriteTestUff("data.uff", {{"root", "ROOT"}, {"root/a", "abcdef"}, {"root/b", "XYZ"}}));
    UffFile file("data.uff");
    ASSERT_TRUE(file.IsOpen());
    char buffer[256] = {};
    EXPECT_EQ(file.ReadEntry(buffer, 1), 0);  // nothing open

    ASSERT_TRUE(file.OpenEntry(1));
    ASSERT_EQ(file.ReadEntry(buffer, 2), 1);
    EXPECT_EQ(std::string(buffer, 2), "ab");
    // A second open changes nothing: reading goes on where it stopped.
    EXPECT_FALSE(file.OpenEntry(2));
    EXPECT_EQ(file.OpenEntryIndex(), 1);
    ASSERT_EQ(file.ReadEntry(buffer, 2), 1);
    EXPECT_EQ(std::string(buffer, 2), "cd");
    EXPECT_EQ(file.TellInEntry(1), 4);
    file.CloseEntry();

    ASSERT_TRUE(file.OpenEntry(2));
    ASSERT_EQ(file.ReadEntry(buffer, -1), 1);
    EXPECT_EQ(std::string(buffer, 3), "XYZ");
    // Reads are not held to the entry, but past the end of the file they fail.
    EXPECT_EQ(file.ReadEntry(buffer, 8), 1);
    EXPECT_EQ(file.ReadEntry(buffer, 200), 0);
    EXPECT_EQ(file.ReadEntry(buffer, -2), 0);
}

TEST_F(UffFileTest, ReadsFromAMemoryImage)
{
    ASSERT_TRUE(WriteTestUff("image.uff", {{"mesh/frames", "0123456789"}, {"mesh/strings", "tex"}}));
    const std::string image = ReadFileBytes("image.uff");
    UffFile file;
    ASSERT_TRUE(file.OpenImage(image.data(), image.size()));
    const s32_t frames = file.FindChild(file.Root(), "FRAMES");
    ASSERT_EQ(frames, 1);
    char buffer[10];
    ASSERT_TRUE(file.OpenEntry(frames));
    ASSERT_EQ(file.ReadEntry(buffer, -1), 1);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");

    const std::string cut = image.substr(0, image.size() - 1);
    EXPECT_FALSE(file.OpenImage(cut.data(), cut.size()));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.EntryCount(), 0);
}

TEST_F(UffFileTest, MissingFileLeavesReaderEmpty)
{
    UffFile file("absent.uff");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Root(), -1);
    EXPECT_EQ(file.FindChild(0, "x"), -1);
    EXPECT_EQ(file.GetEntryName(0), nullptr);
    EXPECT_FALSE(file.OpenEntry(0));
}

TEST_F(UffFileTest, WriterRefusesNestedEntriesAndBadParents)
{
    {
        UffWriter writer("nested.uff");
        EXPECT_EQ(writer.BeginEntry("root", -1), 0);
        EXPECT_EQ(writer.BeginEntry("inner", 0), 0);  // refused: the root is still being written
        writer.EndEntry();
        EXPECT_EQ(writer.BeginEntry("child", 7), -1);  // no such parent
        EXPECT_EQ(writer.BeginEntry("child", 0), 1);
        writer.EndEntry();
        EXPECT_EQ(writer.EntryCount(), 2);
    }
    UffFile file("nested.uff");
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.EntryCount(), 2);
    EXPECT_EQ(file.FindChild(0, "child"), 1);
}

TEST_F(UffFileTest, WriterThatCannotCreateItsFileWritesNothing)
{
    ASSERT_TRUE(WriteFileBytes("blocker", "a file, not a folder"));
    {
        UffWriter writer("blocker/out.uff");
        EXPECT_FALSE(writer.IsOpen());
        EXPECT_EQ(writer.BeginEntry("a", -1), 0);
        writer.Write("xyz", 3);
        writer.EndEntry();
        EXPECT_EQ(writer.BeginEntry("b", -1), 1);
        writer.EndEntry();
    }
    EXPECT_EQ(ReadFileBytes("blocker"), "a file, not a folder");
}

}  // namespace
