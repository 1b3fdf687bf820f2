#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/temp_dir.h"

namespace {

class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.Path().empty());
        for (const char* name : {"Plugins/b.PLG", "Plugins/a.plg", "Plugins/C.plg", "Plugins/readme.txt",
                                 "Plugins/noext", "Plugins/d.plgx", "Plugins/sub/inner.plg"}) {
            folder.Write(name, "1234");
        }
    }

    // Every name a search lists, in the order it lists them; empty when the search finds nothing.
    static std::vector<std::string> List(const std::string& pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(search));
        return names;
    }

    TempDir folder;
};

using Names = std::vector<std::string>;

TEST_F(FindFileTest, PatternsMatchWithoutRegardToCaseInNameOrder)
{
    struct Case {
        const char* pattern;
        Names expected;
    };
    const Names everything = {".", "..", "a.plg", "b.PLG", "C.plg", "d.plgx", "noext", "readme.txt", "sub"};
    const Case cases[] = {
        {"plugins\\*.plg", {"a.plg", "b.PLG", "C.plg"}},
        {"PLUGINS\\*.PLG", {"a.plg", "b.PLG", "C.plg"}},
        {"plugins\\?.plg*", {"a.plg", "b.PLG", "C.plg", "d.plgx"}},
        {"plugins\\*", everything},
        {"plugins\\*.*", everything},
        {"plugins\\noext.*", {"noext"}},
        {"plugins\\*e*t*", {"noext", "readme.txt"}},
        {"plugins\\SUB", {"sub"}},
        {"plugins\\sub\\*.plg", {"inner.plg"}},
        {"plugins\\*.dll", {}},
        {"missing\\*.plg", {}},
        {"plugins\\", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(List(folder.Path() + "\\" + c.pattern), c.expected) << c.pattern;
    }
}

TEST_F(FindFileTest, ReportsAttributesAndSizes)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder / "plugins\\s*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, "sub");
    EXPECT_EQ(found.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(FindNextFileA(search, &found));
    EXPECT_TRUE(FindClose(search));

    search = FindFirstFileA((folder / "plugins\\a.plg").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(found.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(found.nFileSizeLow, 4u);
    EXPECT_TRUE(FindClose(search));
}

TEST_F(FindFileTest, StaleAndForeignHandlesAreRefused)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder / "plugins\\*.plg").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_FALSE(FindNextFileA(search, &found));
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &found));
    EXPECT_EQ(FindFirstFileA(nullptr, &found), INVALID_HANDLE_VALUE);
}

}  // namespace
