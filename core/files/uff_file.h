// "UFF 1.0" chunk files: a tree of named entries with their data, and a directory at the end.
#pragma once
#include <cstdio>
#include <vector>
#include "core/types.h"

struct UffEntry {
    s32_t next;    // next sibling, -1 none
    s32_t child;   // first child, -1 none
    s32_t parent;  // -1 for a top-level entry
    u32_t offset;  // data position from the start of the file
    u32_t size;    // data size in bytes
    s32_t name;    // index into the name table
};

class UffFile {
public:
    // With a name: opens the file for reading and loads its directory. A file whose header,
    // directory, counts, records, names, offsets, sizes or links do not fit is not open.
    explicit UffFile(const char* fileName = nullptr);
    virtual ~UffFile();
    UffFile(const UffFile&) = delete;
    UffFile& operator=(const UffFile&) = delete;

    // Reads a whole file image from memory instead (animated meshes come as one block). The image
    // is not copied: it must outlive the reader. False, with nothing open, when it does not fit.
    bool OpenImage(const void* image, size_t size);
    // Reads the open file through a read-only memory mapping from now on, so that reads make no
    // system call (the archives). The file must not shrink while it is mapped. False when the
    // file cannot be mapped; reads then go on through the stream.
    bool MapFile();

    bool IsOpen() const { return m_stream != nullptr || m_image != nullptr; }
    s32_t Root() const { return m_root; }
    s32_t EntryCount() const { return m_entryCount; }
    s32_t NameCount() const { return m_nameCount; }

    // With no name, the entry's parent; else the first child named so (without regard to case), -1 when none.
    s32_t FindChild(s32_t entry, const char* name) const;
    // False, changing nothing, while another entry is open; else positions the stream at the entry's data.
    bool OpenEntry(s32_t entry);
    // Reads count bytes (-1: the whole entry) in one piece from the stream position; 1 when all were read.
    int ReadEntry(void* buffer, s32_t count);
    // For a mapped file or an image: the next count bytes at the read position, which moves past
    // them. Null when no entry is open, the file is read through a stream, or the bytes are not there.
    const u8_t* ReadEntryInPlace(u32_t count);
    void CloseEntry() { m_openEntry = -1; }
    // A copy of the whole data of the entry (new[]; the caller deletes it) and its size; null when no
    // memory is left or the entry cannot be read (another entry open, a short read).
    u8_t* ReadWholeEntry(s32_t entry, u32_t& size);
    s32_t OpenEntryIndex() const { return m_openEntry; }

    // Field getters: 0, null or -1 for an entry index out of range.
    u32_t GetEntrySize(s32_t entry) const;
    const char* GetEntryName(s32_t entry) const;
    s32_t GetFirstChild(s32_t entry) const;
    s32_t GetNextSibling(s32_t entry) const;
    s32_t GetParent(s32_t entry) const;
    // Stream position minus the entry's data offset.
    s32_t TellInEntry(s32_t entry) const;
    // Stores the first max child indices; returns the number of children (may exceed max).
    s32_t ListChildren(s32_t entry, s32_t* out, s32_t max) const;

    // Bytes per directory record: 12 while both counts are below 255, 16 below 65535, else 24.
    static int RecordWidth(u32_t nameCount, u32_t entryCount)
    {
        if (nameCount < 255 && entryCount < 255)
            return 12;
        if (nameCount < 65535 && entryCount < 65535)
            return 16;
        return 24;
    }

protected:
    bool ValidEntry(s32_t entry) const { return entry >= 0 && entry < m_entryCount; }
    void FreeAll();

    UffEntry* m_entries = nullptr;
    s32_t m_entryCount = 0;
    s32_t m_entryCapacity = 0;
    char** m_names = nullptr;
    s32_t m_nameCount = 0;
    s32_t m_nameCapacity = 0;
    s32_t m_root = -1;
    std::FILE* m_stream = nullptr;
    s32_t m_openEntry = -1;
    // The read position as this class moved it, so that TellInEntry needs no system call.
    std::uint64_t m_position = 0;
    // The whole file in memory: a mapping of our own or a caller's image.
    const u8_t* m_image = nullptr;
    size_t m_imageSize = 0;
    bool m_ownsMapping = false;
    // The reader keeps every name in one block; the writer allocates them one by one.
    char* m_nameBlock = nullptr;

private:
    bool LoadDirectory();
    bool ReadAt(std::uint64_t position, void* out, size_t count);
    // Decodes and checks the directory bytes (from its position to the trailing 4 bytes) of a file
    // whose directory lies at dirOffset.
    bool ParseDirectory(const u8_t* directory, size_t directorySize, u32_t dirOffset);
    bool TreeIsSound() const;
};

class UffWriter : public UffFile {
public:
    // Creates the file ("wb") and writes the 8-byte header.
    explicit UffWriter(const char* fileName);
    // Writes into a stream already open for writing (a memory stream, say), which it closes.
    explicit UffWriter(std::FILE* stream);
    // Writes the directory when the stream is open and closes the file.
    ~UffWriter() override;

    // Appends an entry under parent (-1: top level). 0 while another entry is being written.
    s32_t BeginEntry(const char* name, s32_t parent);
    void Write(const void* data, u32_t count);
    void EndEntry() { m_writing = -1; }
    // Writes the directory and closes the file now; true when every byte reached it. The writer
    // writes nothing more afterwards.
    bool Finish();

private:
    static constexpr int kNameBuckets = 127;
    struct NameLink {
        NameLink* next;
        s32_t name;
    };

    s32_t AddName(const char* name);
    bool GrowEntries();
    void WriteDirectory();
    void WriteBytes(const void* data, u32_t count);
    bool Emit(const void* data, std::size_t count);

    s32_t m_writing = -1;
    s32_t m_lastTopLevel = -1;
    // Last child of every entry, so that appending a child does not walk the sibling chain.
    s32_t* m_lastChild = nullptr;
    // Set when data could not be written or would not fit 32-bit offsets: no directory is written
    // then, so the damaged file does not open.
    bool m_failed = false;
    NameLink* m_buckets[kNameBuckets] = {};
};
