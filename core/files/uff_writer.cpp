// The "UFF 1.0" writer: entry data are written as they come, the directory when the writer dies.
#include <cstring>
#include <new>

#include "core/files/byte_io.h"
#include "core/files/uff_file.h"
#include "platform/file_system.h"

namespace {

constexpr char kHeader[8] = {'U', 'F', 'F', ' ', '1', '.', '0', '\n'};
// Offsets and the directory position are 32-bit: data may not reach past this.
constexpr std::uint64_t kMaxPosition = 0xFFFFFFFFu;
constexpr s32_t kFirstCapacity = 8;

u32_t NameHash(const char* name)
{
    u32_t hash = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        hash = hash * 23u + *p;
    return hash;
}

}  // namespace

UffWriter::UffWriter(const char* fileName) : UffFile(nullptr)
{
    m_stream = fileName ? PlatformOpenFile(fileName, "wb") : nullptr;
    if (m_stream)
        WriteBytes(kHeader, sizeof kHeader);
}

UffWriter::UffWriter(std::FILE* stream) : UffFile(nullptr)
{
    m_stream = stream;
    if (m_stream)
        WriteBytes(kHeader, sizeof kHeader);
}

UffWriter::~UffWriter()
{
    if (m_stream && !m_failed)
        WriteDirectory();
    for (NameLink*& head : m_buckets) {
        while (head) {
            NameLink* next = head->next;
            delete head;
            head = next;
        }
    }
    delete[] m_lastChild;
    // The reader part closes the file and frees names and entries.
}

bool UffWriter::Finish()
{
    if (!m_stream)
        return false;
    if (!m_failed)
        WriteDirectory();
    if (m_stream && std::fflush(m_stream) != 0)
        m_failed = true;
    if (m_stream && std::fclose(m_stream) != 0)
        m_failed = true;
    m_stream = nullptr;
    return !m_failed;
}

bool UffWriter::Emit(const void* data, std::size_t count)
{
    return std::fwrite(data, 1, count, m_stream) == count;
}

void UffWriter::WriteBytes(const void* data, u32_t count)
{
    if (m_failed || count == 0)
        return;
    if (m_position + count > kMaxPosition || !Emit(data, count)) {
        m_failed = true;
        return;
    }
    m_position += count;
}

bool UffWriter::GrowEntries()
{
    const s32_t capacity = m_entryCapacity ? m_entryCapacity * 2 : kFirstCapacity;
    UffEntry* entries = new (std::nothrow) UffEntry[capacity];
    s32_t* lastChild = new (std::nothrow) s32_t[capacity];
    if (!entries || !lastChild) {
        delete[] entries;
        delete[] lastChild;
        return false;
    }
    if (m_entryCount) {
        std::memcpy(entries, m_entries, sizeof(UffEntry) * static_cast<size_t>(m_entryCount));
        std::memcpy(lastChild, m_lastChild, sizeof(s32_t) * static_cast<size_t>(m_entryCount));
    }
    delete[] m_entries;
    delete[] m_lastChild;
    m_entries = entries;
    m_lastChild = lastChild;
    m_entryCapacity = capacity;
    return true;
}

s32_t UffWriter::AddName(const char* name)
{
    NameLink*& bucket = m_buckets[NameHash(name) % kNameBuckets];
    for (const NameLink* link = bucket; link; link = link->next) {
        if (std::strcmp(m_names[link->name], name) == 0)
            return link->name;
    }
    if (m_nameCount == m_nameCapacity) {
        const s32_t capacity = m_nameCapacity ? m_nameCapacity * 2 : kFirstCapacity;
        char** names = new (std::nothrow) char*[capacity];
        if (!names)
            return -1;
        if (m_nameCount)
            std::memcpy(names, m_names, sizeof(char*) * static_cast<size_t>(m_nameCount));
        delete[] m_names;
        m_names = names;
        m_nameCapacity = capacity;
    }
    const size_t length = std::strlen(name);
    char* copy = new (std::nothrow) char[length + 1];
    NameLink* link = new (std::nothrow) NameLink{bucket, m_nameCount};
    if (!copy || !link) {
        delete[] copy;
        delete link;
        return -1;
    }
    std::memcpy(copy, name, length + 1);
    m_names[m_nameCount] = copy;
    bucket = link;
    return m_nameCount++;
}

s32_t UffWriter::BeginEntry(const char* name, s32_t parent)
{
    if (m_writing != -1)
        return 0;
    if (parent != -1 && !ValidEntry(parent))
        return -1;
    if (m_entryCount == m_entryCapacity && !GrowEntries())
        return -1;
    const s32_t nameIndex = AddName(name ? name : "");
    if (nameIndex < 0)
        return -1;

    const s32_t index = m_entryCount++;
    m_entries[index] = UffEntry{-1, -1, parent, static_cast<u32_t>(m_position), 0, nameIndex};
    m_lastChild[index] = -1;
    if (parent == -1) {
        if (m_lastTopLevel >= 0)
            m_entries[m_lastTopLevel].next = index;
        else
            m_root = index;
        m_lastTopLevel = index;
    } else {
        const s32_t last = m_lastChild[parent];
        if (last >= 0)
            m_entries[last].next = index;
        else
            m_entries[parent].child = index;
        m_lastChild[parent] = index;
    }
    m_writing = index;
    return index;
}

void UffWriter::Write(const void* data, u32_t count)
{
    if (!m_stream || m_writing == -1 || (count && !data))
        return;
    WriteBytes(data, count);
    m_entries[m_writing].size += count;
}

void UffWriter::WriteDirectory()
{
    const u32_t nameCount = static_cast<u32_t>(m_nameCount);
    const u32_t entryCount = static_cast<u32_t>(m_entryCount);
    const int width = RecordWidth(nameCount, entryCount);
    std::uint64_t tableSize = 0;
    for (s32_t i = 0; i < m_nameCount; ++i)
        tableSize += std::strlen(m_names[i]) + 1;
    const std::uint64_t directorySize = 8 + static_cast<std::uint64_t>(entryCount) * width + 4 + tableSize + 4;
    if (m_position + directorySize > kMaxPosition + 4) {
        m_failed = true;
        return;
    }

    // Built in memory and written in one piece.
    u8_t* directory = new (std::nothrow) u8_t[directorySize];
    if (!directory) {
        m_failed = true;
        return;
    }
    const u32_t dirOffset = static_cast<u32_t>(m_position);
    ByteBufferWriter out(directory, directorySize);
    out.WriteU32(nameCount);
    out.WriteU32(entryCount);
    for (s32_t i = 0; i < m_entryCount; ++i) {
        const UffEntry& entry = m_entries[i];
        // The narrow forms keep the low bits, so that -1 becomes all ones.
        if (width == 24) {
            out.WriteS32(entry.next);
            out.WriteS32(entry.child);
            out.WriteS32(entry.parent);
            out.WriteU32(entry.offset);
            out.WriteU32(entry.size);
            out.WriteS32(entry.name);
        } else if (width == 16) {
            out.WriteU16(static_cast<u16_t>(entry.next));
            out.WriteU16(static_cast<u16_t>(entry.child));
            out.WriteU16(static_cast<u16_t>(entry.parent));
            out.WriteU32(entry.offset);
            out.WriteU32(entry.size);
            out.WriteU16(static_cast<u16_t>(entry.name));
        } else {
            out.WriteU8(static_cast<u8_t>(entry.next));
            out.WriteU8(static_cast<u8_t>(entry.child));
            out.WriteU8(static_cast<u8_t>(entry.parent));
            out.WriteU32(entry.offset);
            out.WriteU32(entry.size);
            out.WriteU8(static_cast<u8_t>(entry.name));
        }
    }
    out.WriteU32(static_cast<u32_t>(tableSize));
    for (s32_t i = 0; i < m_nameCount; ++i)
        out.WriteBytes(m_names[i], std::strlen(m_names[i]) + 1);
    out.WriteU32(dirOffset);
    if (out.Ok() && Emit(directory, directorySize))
        m_position += directorySize;
    else
        m_failed = true;
    delete[] directory;
}
