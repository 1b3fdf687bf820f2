// The "UFF 1.0" reader. The directory is checked as it is loaded: a file whose directory does not
// describe a sound tree inside the file is not open, so no later lookup or read can leave it.
#include "core/files/uff_file.h"

#include <cstring>
#include <new>

#include "core/files/byte_io.h"
#include "platform/file_system.h"

namespace {

constexpr char kHeader[8] = {'U', 'F', 'F', ' ', '1', '.', '0', '\n'};
constexpr std::uint64_t kHeaderSize = sizeof kHeader;
// Name count, entry count and name-table size: the least a directory holds besides its records.
constexpr std::uint64_t kDirectoryFixedSize = 12;
// The directory position stored in the last 4 bytes.
constexpr std::uint64_t kTrailerSize = 4;

inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool NamesEqualIgnoringCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}

// Narrow records store "none" as all ones.
inline s32_t WidenLink(u32_t value, u32_t allOnes)
{
    return value == allOnes ? -1 : static_cast<s32_t>(value);
}

}  // namespace

UffFile::UffFile(const char* fileName)
{
    if (!fileName)
        return;
    m_stream = PlatformOpenFile(fileName, "rb");
    if (m_stream && !LoadDirectory())
        FreeAll();
}

UffFile::~UffFile()
{
    FreeAll();
}

bool UffFile::OpenImage(const void* image, size_t size)
{
    FreeAll();
    if (!image || size == 0)
        return false;
    m_image = static_cast<const u8_t*>(image);
    m_imageSize = size;
    if (!LoadDirectory())
        FreeAll();
    return IsOpen();
}

bool UffFile::MapFile()
{
    if (m_image)
        return true;
    if (!m_stream)
        return false;
    size_t size = 0;
    const void* mapping = PlatformMapFile(m_stream, &size);
    if (!mapping)
        return false;
    m_image = static_cast<const u8_t*>(mapping);
    m_imageSize = size;
    m_ownsMapping = true;
    return true;
}

bool UffFile::ReadAt(std::uint64_t position, void* out, size_t count)
{
    if (m_image) {
        if (position > m_imageSize || count > m_imageSize - position)
            return false;
        std::memcpy(out, m_image + position, count);
        return true;
    }
    return std::fseek(m_stream, static_cast<long>(position), SEEK_SET) == 0 &&
           std::fread(out, 1, count, m_stream) == count;
}

void UffFile::FreeAll()
{
    if (m_nameBlock) {
        delete[] m_nameBlock;
        m_nameBlock = nullptr;
    } else {
        for (s32_t i = 0; i < m_nameCount; ++i)
            delete[] m_names[i];
    }
    delete[] m_names;
    m_names = nullptr;
    m_nameCount = 0;
    m_nameCapacity = 0;
    delete[] m_entries;
    m_entries = nullptr;
    m_entryCount = 0;
    m_entryCapacity = 0;
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (m_ownsMapping)
        PlatformUnmapFile(m_image, m_imageSize);
    m_image = nullptr;
    m_imageSize = 0;
    m_ownsMapping = false;
    m_root = -1;
    m_openEntry = -1;
    m_position = 0;
}

bool UffFile::LoadDirectory()
{
    std::uint64_t fileSize = m_imageSize;
    if (!m_image) {
        if (std::fseek(m_stream, 0, SEEK_END) != 0)
            return false;
        const long end = std::ftell(m_stream);
        if (end < 0)
            return false;
        fileSize = static_cast<std::uint64_t>(end);
    }
    if (fileSize < kHeaderSize + kDirectoryFixedSize + kTrailerSize)
        return false;

    char header[sizeof kHeader];
    if (!ReadAt(0, header, sizeof header) || std::memcmp(header, kHeader, sizeof kHeader) != 0)
        return false;
    u8_t trailer[kTrailerSize];
    if (!ReadAt(fileSize - kTrailerSize, trailer, sizeof trailer))
        return false;
    const u32_t dirOffset = LoadU32(trailer);
    if (dirOffset < kHeaderSize || dirOffset + kDirectoryFixedSize > fileSize - kTrailerSize)
        return false;

    const size_t directorySize = static_cast<size_t>(fileSize - kTrailerSize - dirOffset);
    m_position = fileSize - kTrailerSize;
    if (m_image)
        return ParseDirectory(m_image + dirOffset, directorySize, dirOffset);
    // The directory size comes from the real file length, never from a field, so this is bounded.
    u8_t* directory = new (std::nothrow) u8_t[directorySize];
    if (!directory)
        return false;
    const bool ok = ReadAt(dirOffset, directory, directorySize) && ParseDirectory(directory, directorySize, dirOffset);
    delete[] directory;
    return ok;
}

bool UffFile::ParseDirectory(const u8_t* directory, size_t directorySize, u32_t dirOffset)
{
    ByteReader reader(directory, directorySize);
    u32_t nameCount = 0;
    u32_t entryCount = 0;
    reader.ReadU32(nameCount);
    reader.ReadU32(entryCount);
    if (!reader.Ok() || nameCount > 0x7FFFFFFFu || entryCount > 0x7FFFFFFFu)
        return false;
    const int width = RecordWidth(nameCount, entryCount);
    // Every record, then the name-table size, must fit before the trailer.
    if (static_cast<std::uint64_t>(entryCount) * width + 4 > reader.Remaining())
        return false;

    if (entryCount) {
        m_entries = new (std::nothrow) UffEntry[entryCount];
        if (!m_entries)
            return false;
    }
    m_entryCount = m_entryCapacity = static_cast<s32_t>(entryCount);
    const u32_t narrowNone = width == 12 ? 0xFFu : 0xFFFFu;
    auto linkFits = [entryCount](s32_t link) {
        return link == -1 || (link >= 0 && static_cast<u32_t>(link) < entryCount);
    };
    for (u32_t i = 0; i < entryCount; ++i) {
        UffEntry& entry = m_entries[i];
        u32_t nameIndex = 0;
        if (width == 24) {
            reader.ReadS32(entry.next);
            reader.ReadS32(entry.child);
            reader.ReadS32(entry.parent);
            reader.ReadU32(entry.offset);
            reader.ReadU32(entry.size);
            reader.ReadU32(nameIndex);
        } else if (width == 16) {
            u16_t next, child, parent, name;
            reader.ReadU16(next);
            reader.ReadU16(child);
            reader.ReadU16(parent);
            reader.ReadU32(entry.offset);
            reader.ReadU32(entry.size);
            reader.ReadU16(name);
            entry.next = WidenLink(next, narrowNone);
            entry.child = WidenLink(child, narrowNone);
            entry.parent = WidenLink(parent, narrowNone);
            nameIndex = name;
        } else {
            u8_t next, child, parent, name;
            reader.ReadU8(next);
            reader.ReadU8(child);
            reader.ReadU8(parent);
            reader.ReadU32(entry.offset);
            reader.ReadU32(entry.size);
            reader.ReadU8(name);
            entry.next = WidenLink(next, narrowNone);
            entry.child = WidenLink(child, narrowNone);
            entry.parent = WidenLink(parent, narrowNone);
            nameIndex = name;
        }
        if (!linkFits(entry.next) || !linkFits(entry.child) || !linkFits(entry.parent) || nameIndex >= nameCount)
            return false;
        // Data lie between the header and the directory.
        if (entry.offset < kHeaderSize || static_cast<std::uint64_t>(entry.offset) + entry.size > dirOffset)
            return false;
        entry.name = static_cast<s32_t>(nameIndex);
    }

    u32_t tableSize = 0;
    reader.ReadU32(tableSize);
    // Each name takes at least its zero byte, which bounds the name count by the real table.
    if (!reader.Ok() || tableSize > reader.Remaining() || nameCount > tableSize)
        return false;
    if (tableSize) {
        m_nameBlock = new (std::nothrow) char[tableSize];
        m_names = new (std::nothrow) char*[nameCount ? nameCount : 1];
        if (!m_nameBlock || !m_names)
            return false;
        reader.ReadBytes(m_nameBlock, tableSize);
    }
    m_nameCapacity = static_cast<s32_t>(nameCount);
    size_t position = 0;
    for (u32_t i = 0; i < nameCount; ++i) {
        const void* zero = std::memchr(m_nameBlock + position, 0, tableSize - position);
        if (!zero)
            return false;
        m_names[i] = m_nameBlock + position;
        m_nameCount = static_cast<s32_t>(i + 1);
        position = static_cast<size_t>(static_cast<const char*>(zero) - m_nameBlock) + 1;
    }
    if (position != tableSize)
        return false;

    m_root = entryCount ? 0 : -1;
    return TreeIsSound();
}

// Every entry reachable from the root through next and child links is reached once: no cycle, no
// shared chain. Walks from the root then end within the entry count.
bool UffFile::TreeIsSound() const
{
    if (m_entryCount == 0)
        return true;
    u8_t* seen = new (std::nothrow) u8_t[m_entryCount]();
    s32_t* pending = new (std::nothrow) s32_t[m_entryCount];
    bool sound = seen && pending;
    if (sound) {
        s32_t top = 0;
        pending[top++] = 0;
        seen[0] = 1;
        while (sound && top > 0) {
            const UffEntry& entry = m_entries[pending[--top]];
            for (s32_t link : {entry.next, entry.child}) {
                if (link < 0)
                    continue;
                if (seen[link]) {
                    sound = false;
                    break;
                }
                seen[link] = 1;
                pending[top++] = link;
            }
        }
    }
    delete[] seen;
    delete[] pending;
    return sound;
}

s32_t UffFile::FindChild(s32_t entry, const char* name) const
{
    if (!ValidEntry(entry))
        return -1;
    if (!name)
        return m_entries[entry].parent;
    // Entries outside the root's tree were not checked for cycles: the walk is bounded all the same.
    s32_t steps = 0;
    for (s32_t child = m_entries[entry].child; child >= 0 && steps < m_entryCount;
         child = m_entries[child].next, ++steps) {
        if (NamesEqualIgnoringCase(m_names[m_entries[child].name], name))
            return child;
    }
    return -1;
}

bool UffFile::OpenEntry(s32_t entry)
{
    if (m_openEntry != -1 || !IsOpen() || !ValidEntry(entry))
        return false;
    const u32_t offset = m_entries[entry].offset;
    if (!m_image && std::fseek(m_stream, static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    m_openEntry = entry;
    m_position = offset;
    return true;
}

int UffFile::ReadEntry(void* buffer, s32_t count)
{
    if (m_openEntry == -1 || !IsOpen())
        return 0;
    if (count == -1)
        count = static_cast<s32_t>(m_entries[m_openEntry].size);
    if (count < 0 || (count > 0 && !buffer))
        return 0;
    const size_t wanted = static_cast<size_t>(count);
    size_t got = 0;
    if (m_image) {
        // Like the stream: what is there is read, and the read fails when that is not all.
        const size_t there = m_position < m_imageSize ? m_imageSize - static_cast<size_t>(m_position) : 0;
        got = wanted < there ? wanted : there;
        if (got)
            std::memcpy(buffer, m_image + m_position, got);
    } else if (wanted) {
        got = std::fread(buffer, 1, wanted, m_stream);
    }
    m_position += got;
    return got == wanted ? 1 : 0;
}

const u8_t* UffFile::ReadEntryInPlace(u32_t count)
{
    if (m_openEntry == -1 || !m_image || m_position > m_imageSize || count > m_imageSize - m_position)
        return nullptr;
    const u8_t* bytes = m_image + m_position;
    m_position += count;
    return bytes;
}

u32_t UffFile::GetEntrySize(s32_t entry) const
{
    return ValidEntry(entry) ? m_entries[entry].size : 0;
}

const char* UffFile::GetEntryName(s32_t entry) const
{
    return ValidEntry(entry) ? m_names[m_entries[entry].name] : nullptr;
}

s32_t UffFile::GetFirstChild(s32_t entry) const
{
    return ValidEntry(entry) ? m_entries[entry].child : -1;
}

s32_t UffFile::GetNextSibling(s32_t entry) const
{
    return ValidEntry(entry) ? m_entries[entry].next : -1;
}

s32_t UffFile::GetParent(s32_t entry) const
{
    return ValidEntry(entry) ? m_entries[entry].parent : -1;
}

s32_t UffFile::TellInEntry(s32_t entry) const
{
    if (!ValidEntry(entry))
        return -1;
    return static_cast<s32_t>(static_cast<std::int64_t>(m_position) - m_entries[entry].offset);
}

s32_t UffFile::ListChildren(s32_t entry, s32_t* out, s32_t max) const
{
    if (!ValidEntry(entry))
        return 0;
    s32_t count = 0;
    for (s32_t child = m_entries[entry].child; child >= 0 && count < m_entryCount; child = m_entries[child].next) {
        if (out && count < max)
            out[count] = child;
        ++count;
    }
    return count;
}

u8_t* UffFile::ReadWholeEntry(s32_t entry, u32_t& size)
{
    size = GetEntrySize(entry);
    u8_t* bytes = new (std::nothrow) u8_t[size ? size : 1];
    if (!bytes)
        return nullptr;
    bool ok = OpenEntry(entry);
    ok = ok && (size == 0 || ReadEntry(bytes, static_cast<s32_t>(size)) == 1);
    CloseEntry();
    if (!ok) {
        delete[] bytes;
        return nullptr;
    }
    return bytes;
}
