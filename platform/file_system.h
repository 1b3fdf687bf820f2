// One path resolver for every disk access of the engine. Paths may be written with '\' or '/';
// a component that does not exist with its exact spelling is matched without regard to case.
// In a relative path (a game-data name) a component longer than 63 characters names nothing;
// absolute paths are taken as the system takes them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The path as it exists on disk (or, for a file to be created, with the existing folders resolved
// and the rest as given). Returns false when the path cannot name anything.
bool PlatformResolvePath(const char* path, std::string& resolved);
// fopen through the resolver. Modes that write create missing folders on the way.
std::FILE* PlatformOpenFile(const char* path, const char* mode);
bool PlatformFileExists(const char* path);
bool PlatformIsDirectory(const char* path);
bool PlatformCreateDirectories(const char* path);
bool PlatformRemoveFile(const char* path);
// The modification time of a disk file, through the resolver, in whole seconds of the system's
// clock; false when the path names no regular file.
bool PlatformFileModifiedSeconds(const char* path, std::int64_t* seconds);
// Puts the file `from` in the place of `to` in one step (what was at `to` is replaced); false on failure.
bool PlatformReplaceFile(const char* from, const char* to);
// A stream whose bytes gather in memory: after fclose, *buffer (malloc'd, the caller frees it) holds
// *size bytes. Null when it cannot be made.
std::FILE* PlatformOpenMemoryStream(char** buffer, std::size_t* size);

// Files the engine holds open.
// Whether the open file is a regular file: fopen opens folders for reading too, and a folder or a
// device is no file to read.
bool PlatformIsRegularFile(std::FILE* file);
// The size of the open file in bytes; -1 when it cannot be told.
std::int64_t PlatformFileSize(std::FILE* file);
// The whole of an open regular file mapped read-only into memory, its size in `size`; null for an
// empty file, anything but a regular file, or when it cannot be mapped. The mapping stays valid after
// the file is closed, until PlatformUnmapFile.
const void* PlatformMapFile(std::FILE* file, std::size_t* size);
void PlatformUnmapFile(const void* image, std::size_t size);

// The working folder as an absolute path; false when it does not fit in `size` bytes.
bool PlatformCurrentFolder(char* folder, std::size_t size);

// Folders as they are on disk, for the engine's own index of disk names: no '\' mapping and no
// case matching here.
// What identifies a folder and its contents at one time: while the stamp stays equal, so does the
// folder's listing.
struct PlatformFolderStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    bool operator==(const PlatformFolderStamp&) const = default;
};
// False when the path is not a folder.
bool PlatformFolderStampOf(const char* folder, PlatformFolderStamp* stamp);
// The names in a folder ("." and ".." included), in no particular order; false when it cannot be read.
bool PlatformListFolder(const char* folder, std::vector<std::string>& names);
// Whether something exists under exactly this path.
bool PlatformPathExistsAsWritten(const char* path);

// Writes the bytes as the whole new content of the file, so that after a crash at any moment a
// reader finds either its old content or the new one, never a part: a temporary file beside it (the
// target's name + ATOMIC_WRITE_SUFFIX) is written and synced, renamed over the target, and the folder
// synced. False, with the target untouched and the temporary file removed, when any step fails.
// Missing folders are created.
inline constexpr const char* ATOMIC_WRITE_SUFFIX = ".tmp";
bool PlatformWriteFileAtomically(const char* path, const void* data, std::size_t size);
// The moments of an atomic write at which a test may act (end its process, or fail the write).
enum AtomicWriteStage {
    ATOMIC_WRITE_OPENED,         // the temporary file exists, nothing written
    ATOMIC_WRITE_HALF_WRITTEN,   // half of the bytes written to the file
    ATOMIC_WRITE_BEFORE_RENAME,  // all bytes written and synced, the target not yet replaced
};
// Called at each stage with the temporary file's path (null: none); a hook that answers false makes
// the write fail there, as a full disk would.
void SetAtomicWriteTestHook(bool (*hook)(AtomicWriteStage stage, const char* temporaryPath));
