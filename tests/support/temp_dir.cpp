#include "support/temp_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::error_code failure;
    m_previous = fs::current_path(failure).string();
    std::string pattern = (fs::temp_directory_path(failure) / "zintar_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
        return;
    }
    m_path = pattern;
    if (::chdir(m_path.c_str()) != 0)
        ADD_FAILURE() << "cannot enter " << m_path;
}

TempDir::~TempDir()
{
    if (!m_previous.empty() && ::chdir(m_previous.c_str()) != 0)
        ADD_FAILURE() << "cannot return to " << m_previous;
    if (!m_path.empty()) {
        std::error_code failure;
        fs::remove_all(m_path, failure);
    }
}

std::string TempDir::Write(const std::string& relative, const std::string& bytes) const
{
    const std::string path = *this / relative;
    if (!WriteFileBytes(path, bytes))
        ADD_FAILURE() << "cannot write " << path;
    return path;
}
