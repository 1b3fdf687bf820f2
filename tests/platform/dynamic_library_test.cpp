#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32.h"
#include "support/temp_dir.h"

namespace {

using CosFunction = double (*)(double);

TEST(DynamicLibraryTest, LoadsASystemLibraryByBareName)
{
    HMODULE module = LoadLibraryA("libm.so.6");
    ASSERT_NE(module, nullptr);
    auto cosine = reinterpret_cast<CosFunction>(GetProcAddress(module, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(DynamicLibraryTest, FindsALibraryWrittenWithBackslashesInAnotherCase)
{
    HMODULE system = LoadLibraryA("libm.so.6");
    ASSERT_NE(system, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(GetProcAddress(system, "cos")), &info), 0);
    TempDir folder;
    std::filesystem::create_directories(folder / "Plugins");
    std::filesystem::copy_file(info.dli_fname, folder / "Plugins/Math.PLG");

    HMODULE module = LoadLibraryA((folder.Path() + "\\plugins\\math.plg").c_str());
    ASSERT_NE(module, nullptr);
    auto cosine = reinterpret_cast<CosFunction>(GetProcAddress(module, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(FreeLibrary(system));
}

TEST(DynamicLibraryTest, MissingLibrariesAndNullArgumentsFail)
{
    EXPECT_EQ(LoadLibraryA("no_such_library.dll"), nullptr);
    EXPECT_EQ(LoadLibraryA("plugins\\no_such.plg"), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "cos"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}

}  // namespace
