// A fresh temporary folder made the working folder for the life of the object, then removed with
// everything in it.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/files.h"

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Absolute path of the folder.
    const std::string& Path() const { return m_path; }
    // The absolute path of a file or folder inside it.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }
    // Writes the file inside it (folders made on the way); its absolute path.
    std::string Write(const std::string& relative, const std::string& bytes = "x") const;

private:
    std::string m_path;
    std::string m_previous;
};

// A test fixture that runs every test in its own fresh working folder.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override { m_tempDir = std::make_unique<TempDir>(); }
    void TearDown() override { m_tempDir.reset(); }
    const std::string& TempPath() const { return m_tempDir->Path(); }

private:
    std::unique_ptr<TempDir> m_tempDir;
};
