// Every particle script is read whole: from the disk when the name opens there, else through the
// program's file system (the fallback InitCommunication installs).
#pragma once
#include <cstddef>

namespace ptk {

using WholeFileFallback = char* (*)(const char* name, std::size_t* size);

// A new buffer with the file and one zero byte after it (delete[] it), or null.
char* LoadWholeFile(const char* name);
void SetWholeFileFallback(WholeFileFallback fallback);
// Reads through the host's VFS entries; null when one of open, size and read is missing.
char* LoadThroughHost(const char* name, std::size_t* size);

// Joins folder and name into out (capacity bytes with the zero); false, and out empty, when the
// joined name does not fit.
bool JoinName(char* out, std::size_t capacity, const char* folder, const char* name, const char* extension);

}  // namespace ptk
