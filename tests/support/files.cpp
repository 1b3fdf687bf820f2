#include "support/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::error_code failure;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), failure);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
