// A fixture for tests of code that reads through the virtual file system: a fresh working folder
// per test, and the file system shut down (archives closed, current file closed) after it.
#pragma once
#include <optional>
#include <string>

#include "core/files/vfs.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"

class VfsTest : public TempDirTest {
protected:
    void TearDown() override
    {
        VFSShutdown();
        TempDirTest::TearDown();
    }
};

// The whole file through VFSOpenFile, VFSGetFileSize, VFSReadFile and VFSCloseFile; nothing when it
// cannot be opened or read.
inline std::optional<std::string> VfsReadAll(const char* fileName)
{
    if (!VFSOpenFile(fileName, true))
        return std::nullopt;
    std::string bytes(VFSGetFileSize(), '\0');
    const int result = VFSReadFile(bytes.data(), static_cast<u32_t>(bytes.size()));
    VFSCloseFile();
    if (result <= 0 && !bytes.empty())
        return std::nullopt;
    return bytes;
}
