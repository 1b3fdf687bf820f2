// Whole files in and out, for tests that prepare or inspect what the engine reads and writes.
#pragma once
#include <filesystem>
#include <string>

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes the bytes, making missing folders on the way; false on failure.
bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
