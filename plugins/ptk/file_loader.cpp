#include "plugins/ptk/file_loader.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "plugins/ptk/host_binding.h"

namespace ptk {

namespace {
WholeFileFallback g_fallback = nullptr;

char* ReadDisk(const char* name)
{
    std::FILE* file = std::fopen(name, "rb");
    if (!file)
        return nullptr;
    char* buffer = nullptr;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            buffer = new (std::nothrow) char[static_cast<std::size_t>(size) + 1];
            if (buffer) {
                const std::size_t read = std::fread(buffer, 1, static_cast<std::size_t>(size), file);
                buffer[read] = '\0';
            }
        }
    }
    std::fclose(file);
    return buffer;
}
}  // namespace

char* LoadWholeFile(const char* name)
{
    if (!name)
        return nullptr;
    // A name that does not open on the disk (the usual case: game files live in the archives) goes
    // through the program's file system.
    std::FILE* probe = std::fopen(name, "rb");
    if (probe) {
        std::fclose(probe);
        return ReadDisk(name);
    }
    std::size_t size = 0;
    return g_fallback ? g_fallback(name, &size) : nullptr;
}

void SetWholeFileFallback(WholeFileFallback fallback)
{
    g_fallback = fallback;
}

char* LoadThroughHost(const char* name, std::size_t* size)
{
    if (!g_host.vfsOpenFile || !g_host.vfsGetFileSize || !g_host.vfsReadFile)
        return nullptr;
    if (!g_host.vfsOpenFile(name))
        return nullptr;
    const std::uint32_t length = g_host.vfsGetFileSize();
    char* buffer = new (std::nothrow) char[static_cast<std::size_t>(length) + 1];
    if (buffer) {
        // The host answers a count for disk files and a flag for archive entries: a zeroed buffer
        // keeps a short read from leaving stale bytes in the text.
        std::memset(buffer, 0, static_cast<std::size_t>(length) + 1);
        g_host.vfsReadFile(buffer, length);
    }
    if (g_host.vfsCloseFile)
        g_host.vfsCloseFile();
    if (size)
        *size = buffer ? std::strlen(buffer) : 0;
    return buffer;
}

bool JoinName(char* out, std::size_t capacity, const char* folder, const char* name, const char* extension)
{
    if (!out || capacity == 0)
        return false;
    out[0] = '\0';
    const int written =
        std::snprintf(out, capacity, "%s%s%s", folder ? folder : "", name ? name : "", extension ? extension : "");
    if (written < 0 || static_cast<std::size_t>(written) >= capacity) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace ptk
