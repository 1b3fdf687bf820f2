// Shared-object loading for plug-ins and the editor library. Names written with '\' or in another
// case than on disk are found through the path resolver.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/file_system.h"
#include "platform/win32.h"

HMODULE LoadLibraryA(const char* fileName)
{
    if (fileName == nullptr || fileName[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool hasFolder = std::strchr(fileName, '/') != nullptr || std::strchr(fileName, '\\') != nullptr;
    std::string path;
    if (PlatformResolvePath(fileName, path) && PlatformFileExists(path.c_str())) {
        // dlopen looks a name without a slash up in the library folders, not in the working folder.
        if (!hasFolder && path.find('/') == std::string::npos) {
            path.insert(0, "./");
        }
    } else if (!hasFolder) {
        path = fileName;  // a system library such as "libm.so.6"
    } else if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        OutputDebugStringA(reason != nullptr ? reason : "dlopen failed");
        OutputDebugStringA("\n");
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return module;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (module == nullptr || name == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = ::dlsym(module, name);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module)
{
    if (module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return ::dlclose(module) == 0 ? TRUE : FALSE;
}
