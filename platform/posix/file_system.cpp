// The path resolver: game data refers to files as "Maps\Town\level.dat" while the disk may spell
// them "maps/town/Level.dat". Every disk access of the engine goes through here, and so do its
// questions about open files (type, size, mapping) and folder listings.
#include "platform/file_system.h"
#include "platform/win32.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kMaxComponentLength = 63;

// '\' -> '/', doubled separators collapsed, trailing separator dropped (except for the root).
// False when the path is empty or a component of a relative path is too long to name anything.
// The length rule is one of game-data names, which are relative to the working folder: an
// absolute path (the program's own folder, the working folder) may hold any folder the system does.
bool NormalisePath(const char* path, std::string& out)
{
    out.clear();
    if (path == nullptr || path[0] == '\0') {
        return false;
    }
    const bool absolute = path[0] == '/' || path[0] == '\\';
    std::size_t componentLength = 0;
    for (const char* p = path; *p != '\0'; ++p) {
        const char c = (*p == '\\') ? '/' : *p;
        if (c == '/') {
            if (!out.empty() && out.back() == '/') {
                continue;
            }
            componentLength = 0;
        } else if (++componentLength > kMaxComponentLength && !absolute) {
            return false;
        }
        out.push_back(c);
    }
    if (out.size() > 1 && out.back() == '/') {
        out.pop_back();
    }
    return true;
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Looks for an entry of `folder` whose name equals `name` without regard to ASCII case. When
// several do, the smallest in byte order wins so that the choice does not depend on readdir.
bool FindEntryIgnoringCase(const std::string& folder, const std::string& name, std::string& found)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool any = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) != 0) {
            continue;
        }
        if (!any || std::strcmp(entry->d_name, found.c_str()) < 0) {
            found = entry->d_name;
            any = true;
        }
    }
    ::closedir(dir);
    return any;
}

bool IsWriteMode(const char* mode)
{
    return std::strchr(mode, 'w') != nullptr || std::strchr(mode, 'a') != nullptr;
}

// Creates every missing folder of an already resolved path (the last component included).
bool MakeFolders(const std::string& resolved)
{
    std::string prefix;
    prefix.reserve(resolved.size());
    std::size_t start = 0;
    while (start <= resolved.size()) {
        std::size_t end = resolved.find('/', start);
        if (end == std::string::npos) {
            end = resolved.size();
        }
        prefix.assign(resolved, 0, end);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        start = end + 1;
    }
    struct stat info;
    return ::stat(resolved.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Resolves the path; `info` receives what stat says of the result, its st_mode 0 when it is missing.
bool Resolve(const char* path, std::string& resolved, struct stat& info)
{
    info.st_mode = 0;
    std::string normal;
    if (!NormalisePath(path, normal)) {
        resolved.clear();
        return false;
    }
    // The common case: the path exists as written.
    if (::stat(normal.c_str(), &info) == 0) {
        resolved = std::move(normal);
        return true;
    }
    resolved.clear();
    resolved.reserve(normal.size());
    std::size_t start = 0;
    if (normal[0] == '/') {
        resolved.push_back('/');
        start = 1;
    }
    bool folderMissing = false;
    std::string component;
    std::string match;
    while (start < normal.size()) {
        std::size_t end = normal.find('/', start);
        if (end == std::string::npos) {
            end = normal.size();
        }
        component.assign(normal, start, end - start);
        const std::size_t folderLength = resolved.size();
        if (folderLength > 0 && resolved.back() != '/') {
            resolved.push_back('/');
        }
        const bool special = component == "." || component == "..";
        if (folderMissing || special) {
            resolved += component;
        } else {
            resolved += component;
            if (!PathExists(resolved)) {
                const std::string folder = resolved.substr(0, folderLength);
                if (FindEntryIgnoringCase(folder, component, match)) {
                    resolved.resize(resolved.size() - component.size());
                    resolved += match;
                } else {
                    // Nothing below a missing component exists either: the rest stays as given.
                    folderMissing = true;
                }
            }
        }
        start = end + 1;
    }
    if (folderMissing || ::stat(resolved.c_str(), &info) != 0) {
        info.st_mode = 0;
    }
    return true;
}

}  // namespace

bool PlatformResolvePath(const char* path, std::string& resolved)
{
    struct stat info;
    return Resolve(path, resolved, info);
}

std::FILE* PlatformOpenFile(const char* path, const char* mode)
{
    std::string resolved;
    if (mode == nullptr || !PlatformResolvePath(path, resolved)) {
        return nullptr;
    }
    if (IsWriteMode(mode)) {
        const std::size_t slash = resolved.rfind('/');
        if (slash != std::string::npos && slash > 0 && !MakeFolders(resolved.substr(0, slash))) {
            return nullptr;
        }
    }
    return std::fopen(resolved.c_str(), mode);
}

bool PlatformFileExists(const char* path)
{
    std::string resolved;
    struct stat info;
    return Resolve(path, resolved, info) && info.st_mode != 0;
}

bool PlatformIsDirectory(const char* path)
{
    std::string resolved;
    struct stat info;
    return Resolve(path, resolved, info) && S_ISDIR(info.st_mode);
}

bool PlatformFileModifiedSeconds(const char* path, std::int64_t* seconds)
{
    std::string resolved;
    struct stat info;
    if (!Resolve(path, resolved, info) || ::stat(resolved.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    *seconds = info.st_mtim.tv_sec;
    return true;
}

bool PlatformCreateDirectories(const char* path)
{
    std::string resolved;
    return PlatformResolvePath(path, resolved) && MakeFolders(resolved);
}

BOOL CreateDirectoryA(const char* path, void*)
{
    std::string resolved;
    if (!path || !PlatformResolvePath(path, resolved)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    while (resolved.size() > 1 && resolved.back() == '/')
        resolved.pop_back();
    if (::mkdir(resolved.c_str(), 0777) == 0)
        return TRUE;
    SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : ERROR_PATH_NOT_FOUND);
    return FALSE;
}

bool PlatformRemoveFile(const char* path)
{
    std::string resolved;
    return PlatformResolvePath(path, resolved) && ::unlink(resolved.c_str()) == 0;
}

bool PlatformReplaceFile(const char* from, const char* to)
{
    std::string source;
    std::string target;
    return PlatformResolvePath(from, source) && PlatformResolvePath(to, target) &&
           ::rename(source.c_str(), target.c_str()) == 0;
}

std::FILE* PlatformOpenMemoryStream(char** buffer, std::size_t* size)
{
    return ::open_memstream(buffer, size);
}

bool PlatformIsRegularFile(std::FILE* file)
{
    struct stat info;
    return file != nullptr && ::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

std::int64_t PlatformFileSize(std::FILE* file)
{
    struct stat info;
    if (file == nullptr || ::fstat(::fileno(file), &info) != 0 || info.st_size < 0) {
        return -1;
    }
    return static_cast<std::int64_t>(info.st_size);
}

const void* PlatformMapFile(std::FILE* file, std::size_t* size)
{
    struct stat info;
    if (file == nullptr || size == nullptr) {
        return nullptr;
    }
    const int descriptor = ::fileno(file);
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        return nullptr;
    }
    void* mapping = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (mapping == MAP_FAILED) {
        return nullptr;
    }
    *size = static_cast<std::size_t>(info.st_size);
    return mapping;
}

void PlatformUnmapFile(const void* image, std::size_t size)
{
    if (image != nullptr) {
        ::munmap(const_cast<void*>(image), size);
    }
}

bool PlatformCurrentFolder(char* folder, std::size_t size)
{
    return folder != nullptr && size > 0 && ::getcwd(folder, size) != nullptr;
}

bool PlatformFolderStampOf(const char* folder, PlatformFolderStamp* stamp)
{
    struct stat info;
    if (folder == nullptr || ::stat(folder, &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    stamp->device = info.st_dev;
    stamp->inode = info.st_ino;
    stamp->links = info.st_nlink;
    stamp->size = info.st_size;
    stamp->modifiedSeconds = info.st_mtim.tv_sec;
    stamp->modifiedNanoseconds = info.st_mtim.tv_nsec;
    stamp->changedSeconds = info.st_ctim.tv_sec;
    stamp->changedNanoseconds = info.st_ctim.tv_nsec;
    return true;
}

bool PlatformListFolder(const char* folder, std::vector<std::string>& names)
{
    names.clear();
    DIR* dir = folder != nullptr ? ::opendir(folder) : nullptr;
    if (dir == nullptr) {
        return false;
    }
    while (const dirent* entry = ::readdir(dir)) {
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return true;
}

bool PlatformPathExistsAsWritten(const char* path)
{
    struct stat info;
    return path != nullptr && ::stat(path, &info) == 0;
}

namespace {

bool (*g_atomicWriteHook)(AtomicWriteStage, const char*) = nullptr;

// The test hook's say at a stage: true (go on) without a hook.
bool AtStage(AtomicWriteStage stage, const std::string& temporary)
{
    return !g_atomicWriteHook || g_atomicWriteHook(stage, temporary.c_str());
}

bool WriteAll(int fd, const unsigned char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The rename is on disk only once the folder that holds the name is synced.
bool SyncFolderOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

}  // namespace

void SetAtomicWriteTestHook(bool (*hook)(AtomicWriteStage stage, const char* temporaryPath))
{
    g_atomicWriteHook = hook;
}

bool PlatformWriteFileAtomically(const char* path, const void* bytes, std::size_t size)
{
    std::string target;
    if (!PlatformResolvePath(path, target) || (size > 0 && !bytes))
        return false;
    const std::size_t slash = target.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(target.substr(0, slash)))
        return false;
    const std::string temporary = target + ATOMIC_WRITE_SUFFIX;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const auto* data = static_cast<const unsigned char*>(bytes);
    const std::size_t half = size / 2;
    bool ok = AtStage(ATOMIC_WRITE_OPENED, temporary) && WriteAll(fd, data, half);
    ok = ok && AtStage(ATOMIC_WRITE_HALF_WRITTEN, temporary);
    ok = ok && WriteAll(fd, data + half, size - half) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && AtStage(ATOMIC_WRITE_BEFORE_RENAME, temporary);
    if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The file is whole under its name; a folder that cannot be synced loses no data already there.
    SyncFolderOf(target);
    return true;
}
