// The virtual file system: one current file, taken from disk when it is there and otherwise from
// the newest archive that holds it. Archive data are stored scrambled and unscrambled as read.
#include "core/files/vfs.h"

#include "core/strings/text_case.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/log.h"
#include "core/files/uff_file.h"
#include "core/files/vfs_disk_index.h"
#include "platform/file_system.h"
#include "platform/win32.h"

namespace {

constexpr size_t kMaxComponentLength = 63;
// Room for the paths this module builds from a folder and a name; longer ones name nothing.
constexpr size_t kPathBufferSize = 1024;
// ReadEntry takes a signed count: large reads go in pieces of this size.
constexpr u32_t kReadPiece = 1u << 30;

struct VFSCurrentFile {
    std::FILE* disk = nullptr;
    bool inArchive = false;
    UffFile* archive = nullptr;  // the archive of the last file found in one
    s32_t entry = -1;
    bool binary = true;
    // Archive files opened in text mode: the whole entry as stored, plus a zero byte.
    u8_t* textStart = nullptr;
    u8_t* textCursor = nullptr;
    u32_t textSize = 0;
};

UffFile* g_archives[VFS_MAX_ARCHIVES] = {};
int g_archiveCount = 0;
VFSCurrentFile g_current;

inline bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

inline u8_t UnscrambleByte(u8_t stored, u32_t position)
{
    return static_cast<u8_t>(static_cast<u8_t>(stored - static_cast<u8_t>(position)) ^ VFS_SCRAMBLE_KEY);
}

// folder + "\" + name, or name alone for the working folder. False when it does not fit.
bool JoinPath(char* out, const char* folder, const char* name)
{
    const int length = folder[0] ? std::snprintf(out, kPathBufferSize, "%s\\%s", folder, name)
                                 : std::snprintf(out, kPathBufferSize, "%s", name);
    return length >= 0 && static_cast<size_t>(length) < kPathBufferSize;
}

// A path to an entry index: each component is a child of the one before, from the root.
s32_t VFSFindEntry(const UffFile* archive, const char* path)
{
    s32_t entry = archive->Root();
    if (entry < 0)
        return -1;
    char component[kMaxComponentLength + 1];
    const char* p = path;
    while (IsSeparator(*p))
        ++p;
    while (*p) {
        size_t length = 0;
        for (; *p && !IsSeparator(*p); ++p) {
            if (length == kMaxComponentLength)
                return -1;  // too long to be an entry name
            component[length++] = *p;
        }
        component[length] = '\0';
        entry = archive->FindChild(entry, component);
        if (entry < 0)
            return -1;
        while (IsSeparator(*p))
            ++p;
    }
    return entry;
}

void DestroyArchives()
{
    g_current.archive = nullptr;
    for (int i = 0; i < g_archiveCount; ++i) {
        delete g_archives[i];
        g_archives[i] = nullptr;
    }
    g_archiveCount = 0;
}

bool VFSOpenInArchive(int slot, const char* fileName, bool binary)
{
    UffFile* archive = g_archives[slot];
    const s32_t entry = VFSFindEntry(archive, fileName);
    if (entry < 0)
        return false;
    // Whatever entry this archive had open belongs to a file that is no longer current.
    archive->CloseEntry();
    if (!binary) {
        const u32_t size = archive->GetEntrySize(entry);
        u8_t* text = new (std::nothrow) u8_t[static_cast<size_t>(size) + 1];
        bool read = text && archive->OpenEntry(entry);
        for (u32_t done = 0; read && done < size;) {
            const u32_t piece = size - done < kReadPiece ? size - done : kReadPiece;
            read = archive->ReadEntry(text + done, static_cast<s32_t>(piece)) == 1;
            done += piece;
        }
        if (!read) {
            delete[] text;
            archive->CloseEntry();
            return false;
        }
        text[size] = 0;
        g_current.textStart = text;
        g_current.textCursor = text;
        g_current.textSize = size;
    }
    g_current.inArchive = true;
    g_current.archive = archive;
    g_current.entry = entry;
    g_current.binary = binary;
    return true;
}

char* LoadWholeFile(const char* fileName, u32_t* sizeOut, u32_t extraBytes)
{
    if (sizeOut)
        *sizeOut = 0;
    if (!VFSOpenFile(fileName, true))
        return nullptr;
    const u32_t size = VFSGetFileSize();
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + extraBytes];
    bool read = buffer != nullptr;
    if (read) {
        const int result = VFSReadFile(buffer, size);
        read = g_current.inArchive ? result == 1 : static_cast<u32_t>(result) == size;
    }
    VFSCloseFile();
    if (!read) {
        delete[] buffer;
        return nullptr;
    }
    if (extraBytes)
        std::memset(buffer + size, 0, extraBytes);
    if (sizeOut)
        *sizeOut = size;
    return buffer;
}

}  // namespace

bool VFSInit()
{
    Log("Initializing virtual file system...");
    // A second start without a shutdown begins afresh.
    VFSCloseFile();
    DestroyArchives();
    UffFile* mainArchive = PlatformFileExists("main.bfs") ? new (std::nothrow) UffFile("main.bfs") : nullptr;
    // Without its archive the program cannot start: the reason goes to the log and the terminal.
    if (!mainArchive) {
        Log("\n");
        LogFailure("VFS: File 'main.bfs' not found!\n");
        return false;
    }
    if (!mainArchive->IsOpen()) {
        Log("\n");
        LogFailure("VFS: File 'main.bfs' has invalid format!\n");
        delete mainArchive;
        return false;
    }
    DebugPrint("VFS: 'main.bfs' loaded succesfuly.\n");
    // Archives are read through mappings: no system call per read. A failed mapping reads through the stream.
    mainArchive->MapFile();
    g_archives[0] = mainArchive;
    g_archiveCount = 1;
    g_current.archive = mainArchive;

    for (int number = 1; number <= 9; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "main%02d.bfs", number);
        UffFile* archive = new (std::nothrow) UffFile(name);
        if (archive && archive->IsOpen()) {
            archive->MapFile();
            g_archives[g_archiveCount++] = archive;
        } else {
            delete archive;
        }
    }
    Log("done\n");
    return true;
}

void VFSShutdown()
{
    Log("Destroying virtual file system...");
    // A file still open may lie in an archive that is about to go.
    VFSCloseFile();
    DestroyArchives();
    VFSDiskIndexClear();
    Log("done\n");
}

bool VFSOpenFile(const char* fileName, bool binary)
{
    VFSCloseFile();
    if (!fileName)
        return false;

    std::FILE* disk = VFSDiskMayHold(fileName) ? PlatformOpenFile(fileName, "rb") : nullptr;
    if (disk && !PlatformIsRegularFile(disk)) {
        std::fclose(disk);
        disk = nullptr;
    }
    if (disk) {
        g_current.disk = disk;
        g_current.inArchive = false;
        g_current.binary = binary;
        return true;
    }
    for (int slot = g_archiveCount - 1; slot >= 0; --slot) {
        if (VFSOpenInArchive(slot, fileName, binary))
            return true;
    }
    return false;
}

void VFSCloseFile()
{
    if (g_current.inArchive && g_current.archive)
        g_current.archive->CloseEntry();
    if (g_current.disk)
        std::fclose(g_current.disk);
    g_current.disk = nullptr;
    g_current.inArchive = false;
    g_current.entry = -1;
    delete[] g_current.textStart;
    g_current.textStart = nullptr;
    g_current.textCursor = nullptr;
    g_current.textSize = 0;
    g_current.binary = true;
}

u32_t VFSGetFileSize()
{
    if (g_current.inArchive)
        return g_current.archive ? g_current.archive->GetEntrySize(g_current.entry) : 0;
    if (!g_current.disk)
        return 0;
    const std::int64_t size = PlatformFileSize(g_current.disk);
    if (size < 0)
        return 0;
    return size > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<u32_t>(size);
}

int VFSReadFile(void* buffer, u32_t count)
{
    if (!buffer && count)
        return 0;
    if (g_current.disk) {
        const size_t wanted = count > 0x7FFFFFFFu ? 0x7FFFFFFFu : count;
        return static_cast<int>(std::fread(buffer, 1, wanted, g_current.disk));
    }
    UffFile* archive = g_current.archive;
    const s32_t entry = g_current.entry;
    if (!g_current.inArchive || !archive || !archive->IsOpen() || entry < 0)
        return 0;
    // The first read after opening seeks to the entry's data; later ones go on from there.
    archive->OpenEntry(entry);
    if (archive->OpenEntryIndex() != entry)
        return 0;
    const s32_t position = archive->TellInEntry(entry);
    const u32_t size = archive->GetEntrySize(entry);
    if (position < 0 || static_cast<u32_t>(position) > size)
        return 0;
    // Never past the end of the entry: what follows belongs to other files or the directory.
    const u32_t remaining = size - static_cast<u32_t>(position);
    const u32_t amount = count < remaining ? count : remaining;
    if (amount == 0)
        return count == 0 ? 1 : 0;
    u8_t* bytes = static_cast<u8_t*>(buffer);
    // A mapped archive: one pass from the mapping into the buffer.
    if (const u8_t* stored = archive->ReadEntryInPlace(amount)) {
        VFSUnscrambleCopy(bytes, stored, amount, static_cast<u32_t>(position));
        return 1;
    }
    for (u32_t done = 0; done < amount;) {
        const u32_t piece = amount - done < kReadPiece ? amount - done : kReadPiece;
        if (archive->ReadEntry(bytes + done, static_cast<s32_t>(piece)) != 1)
            return 0;
        done += piece;
    }
    VFSUnscramble(bytes, amount, static_cast<u32_t>(position));
    return 1;
}

int VFSReadLine(char* buffer, int bufferSize)
{
    // Room for at least one character and the terminating zero.
    if (!buffer || bufferSize < 2)
        return 0;
    if (g_current.disk) {
        if (!std::fgets(buffer, bufferSize, g_current.disk))
            return 0;
        const int length = static_cast<int>(std::strlen(buffer));
        return length > 0 ? length : 1;
    }
    if (!g_current.inArchive || !g_current.archive || !g_current.archive->IsOpen() || g_current.entry < 0 ||
        !g_current.textStart)
        return 0;
    const u8_t* end = g_current.textStart + g_current.textSize;
    if (g_current.textCursor >= end)
        return 0;
    int stored = 0;
    while (stored < bufferSize - 1 && g_current.textCursor < end) {
        const u32_t position = static_cast<u32_t>(g_current.textCursor - g_current.textStart);
        const char c = static_cast<char>(UnscrambleByte(*g_current.textCursor++, position));
        buffer[stored++] = c;
        if (c == '\n' || c == '\0')
            break;
    }
    buffer[stored] = '\0';
    return stored;
}

bool VFSFindFile(const char* folder, const char* extension, VFSFindCallback callback, bool allEntries)
{
    if (!callback)
        return false;
    if (!folder)
        folder = "";
    if (!extension)
        extension = "*";

    bool reported = false;
    char pattern[kPathBufferSize];
    char wildcard[kPathBufferSize];
    std::snprintf(wildcard, sizeof wildcard, "*.%s", extension);
    if (JoinPath(pattern, folder, wildcard)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                callback(found.cFileName, folder);
                reported = true;
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }

    char folderWithSeparator[kPathBufferSize];
    const int length = std::snprintf(folderWithSeparator, sizeof folderWithSeparator, "%s\\", folder);
    if (length < 0 || static_cast<size_t>(length) >= sizeof folderWithSeparator)
        return reported;
    const char* reportedFolder = allEntries ? folderWithSeparator : folder;
    const bool anyExtension = std::strcmp(extension, "*") == 0;

    auto nextArchiveWithFolder = [folder](int slot, s32_t& entry) {
        for (; slot >= 0; --slot) {
            entry = VFSFindEntry(g_archives[slot], folder);
            if (entry >= 0)
                break;
        }
        return slot;
    };
    s32_t folderEntry = -1;
    int slot = nextArchiveWithFolder(g_archiveCount - 1, folderEntry);
    const int newestSlot = slot;
    while (slot >= 0) {
        const UffFile* archive = g_archives[slot];
        s32_t steps = 0;
        for (s32_t child = archive->GetFirstChild(folderEntry); child >= 0 && steps < archive->EntryCount();
             child = archive->GetNextSibling(child), ++steps) {
            const char* name = archive->GetEntryName(child);
            if (!allEntries) {
                const char* dot = std::strrchr(name, '.');
                if (!dot || (!anyExtension && CompareNoCase(dot + 1, extension) != 0))
                    continue;
            }
            // Reported once, from disk or from the newest archive that has it.
            if (!VFSFileExists(folder, name, slot + 1, newestSlot)) {
                callback(name, reportedFolder);
                reported = true;
            }
        }
        slot = nextArchiveWithFolder(slot - 1, folderEntry);
    }
    return reported;
}

bool VFSFileExists(const char* folder, const char* name, int firstSlot, int lastSlot)
{
    if (!folder || !name)
        return false;
    char path[kPathBufferSize];
    if (!JoinPath(path, folder, name))
        return false;
    if (VFSDiskMayHold(path) && PlatformFileExists(path))
        return true;
    if (lastSlot == -1 || lastSlot >= g_archiveCount)
        lastSlot = g_archiveCount - 1;
    for (int slot = firstSlot < 0 ? 0 : firstSlot; slot <= lastSlot; ++slot) {
        if (VFSFindEntry(g_archives[slot], path) >= 0)
            return true;
    }
    return false;
}

char* VFSLoadFile(const char* fileName, u32_t* sizeOut)
{
    return LoadWholeFile(fileName, sizeOut, 0);
}

char* VFSLoadTextFile(const char* fileName, u32_t* sizeOut)
{
    return LoadWholeFile(fileName, sizeOut, 1);
}

int VFSArchiveCount()
{
    return g_archiveCount;
}

UffFile* VFSArchive(int slot)
{
    return slot >= 0 && slot < g_archiveCount ? g_archives[slot] : nullptr;
}
