// The virtual file system: loose files in the working folder over the archives "main.bfs" and
// "main01.bfs".."main09.bfs" (newest wins). One current file for the whole program.
#pragma once
#include "core/types.h"

class UffFile;

constexpr int VFS_MAX_ARCHIVES = 10;
constexpr u8_t VFS_SCRAMBLE_KEY = 0x5B;

// Opens the archives; false when "main.bfs" is missing or invalid.
bool VFSInit();
void VFSShutdown();

// Makes the file current (closing whatever was open); disk first, then the archives newest first.
bool VFSOpenFile(const char* fileName, bool binary = true);
void VFSCloseFile();
u32_t VFSGetFileSize();
// Disk file: the number of bytes read. Archive file: 1 when the bytes (capped at what remains in
// the entry) were read, 0 otherwise.
int VFSReadFile(void* buffer, u32_t count);
// Next line of a file opened in text mode (newline kept); 0 at the end.
int VFSReadLine(char* buffer, int bufferSize);

using VFSFindCallback = void (*)(const char* name, const char* folder);
// Reports the matching entries of the folder, from disk, then from the archives; true when it
// reported any.
bool VFSFindFile(const char* folder, const char* extension, VFSFindCallback callback, bool allEntries);
// True when folder\name exists on disk or in archive slots first..last (-1 = the newest).
bool VFSFileExists(const char* folder, const char* name, int firstSlot, int lastSlot);

// The whole file in a new[] buffer (the caller deletes it); null when it cannot be opened or read.
char* VFSLoadFile(const char* fileName, u32_t* sizeOut = nullptr);
// As VFSLoadFile with one zero byte after the data.
char* VFSLoadTextFile(const char* fileName, u32_t* sizeOut = nullptr);

// Unscrambles n bytes that start at position p0 of an archive entry's data.
void VFSUnscramble(u8_t* bytes, u32_t count, u32_t startPosition);
// The same from stored bytes into another buffer, in one pass.
void VFSUnscrambleCopy(u8_t* out, const u8_t* stored, u32_t count, u32_t startPosition);
// The inverse, used by the archive packer.
void VFSScramble(u8_t* bytes, u32_t count, u32_t startPosition);

// Archive table access for tests and tools.
int VFSArchiveCount();
UffFile* VFSArchive(int slot);
