// The program's own path, for files that live beside the program rather than in the working folder.
#include <unistd.h>

#include <cstring>

#include "platform/win32.h"

namespace {
constexpr DWORD kErrorInsufficientBuffer = 122;
}

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size)
{
    if (module != nullptr || fileName == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const auto total = static_cast<DWORD>(length);
    if (total >= size) {
        // Cut to fit, terminated, as the system does.
        std::memcpy(fileName, path, size - 1);
        fileName[size - 1] = '\0';
        SetLastError(kErrorInsufficientBuffer);
        return size;
    }
    std::memcpy(fileName, path, total);
    fileName[total] = '\0';
    SetLastError(0);
    return total;
}
