// Little-endian field-by-field reading and writing for the engine's binary formats. The reader works
// over a byte span and reports failure instead of reading past its end; the writers go to a FILE*
// or to a fixed buffer. Failure is sticky: after the first short read or write every later call
// fails too, so a parser may read a run of fields and test once.
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstring>
#include "core/types.h"

inline u16_t LoadU16(const u8_t* p)
{
    return static_cast<u16_t>(p[0] | (p[1] << 8));
}

inline u32_t LoadU32(const u8_t* p)
{
    return static_cast<u32_t>(p[0]) | (static_cast<u32_t>(p[1]) << 8) | (static_cast<u32_t>(p[2]) << 16) |
           (static_cast<u32_t>(p[3]) << 24);
}

inline void StoreU16(u8_t* p, u16_t value)
{
    p[0] = static_cast<u8_t>(value);
    p[1] = static_cast<u8_t>(value >> 8);
}

inline void StoreU32(u8_t* p, u32_t value)
{
    p[0] = static_cast<u8_t>(value);
    p[1] = static_cast<u8_t>(value >> 8);
    p[2] = static_cast<u8_t>(value >> 16);
    p[3] = static_cast<u8_t>(value >> 24);
}

class ByteReader {
public:
    ByteReader(const void* data, size_t size) : m_data(static_cast<const u8_t*>(data)), m_size(data ? size : 0) {}

    bool Ok() const { return m_ok; }
    size_t Position() const { return m_position; }
    size_t Size() const { return m_size; }
    size_t Remaining() const { return m_size - m_position; }
    const u8_t* Cursor() const { return m_data + m_position; }

    // True when count more bytes are there; marks the reader failed otherwise.
    bool Need(size_t count)
    {
        if (m_ok && count <= Remaining())
            return true;
        m_ok = false;
        return false;
    }
    bool Skip(size_t count)
    {
        if (!Need(count))
            return false;
        m_position += count;
        return true;
    }
    bool Seek(size_t position)
    {
        if (!m_ok || position > m_size) {
            m_ok = false;
            return false;
        }
        m_position = position;
        return true;
    }
    bool ReadBytes(void* out, size_t count)
    {
        if (!Need(count))
            return false;
        if (count)
            std::memcpy(out, m_data + m_position, count);
        m_position += count;
        return true;
    }
    // Failed reads store 0.
    bool ReadU8(u8_t& value)
    {
        value = 0;
        if (!Need(1))
            return false;
        value = m_data[m_position++];
        return true;
    }
    bool ReadU16(u16_t& value)
    {
        value = 0;
        if (!Need(2))
            return false;
        value = LoadU16(m_data + m_position);
        m_position += 2;
        return true;
    }
    bool ReadU32(u32_t& value)
    {
        value = 0;
        if (!Need(4))
            return false;
        value = LoadU32(m_data + m_position);
        m_position += 4;
        return true;
    }
    bool ReadS32(s32_t& value)
    {
        u32_t bits;
        const bool ok = ReadU32(bits);
        value = static_cast<s32_t>(bits);
        return ok;
    }
    bool ReadF32(float& value)
    {
        u32_t bits;
        const bool ok = ReadU32(bits);
        std::memcpy(&value, &bits, sizeof value);
        return ok;
    }

private:
    const u8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
    bool m_ok = true;
};

// The typed little-endian writes over a writer's WriteBytes.
template <class Writer>
class LittleEndianWrites {
public:
    bool WriteU8(u8_t value) { return Self().WriteBytes(&value, 1); }
    bool WriteU16(u16_t value)
    {
        u8_t bytes[2];
        StoreU16(bytes, value);
        return Self().WriteBytes(bytes, 2);
    }
    bool WriteU32(u32_t value)
    {
        u8_t bytes[4];
        StoreU32(bytes, value);
        return Self().WriteBytes(bytes, 4);
    }
    bool WriteS32(s32_t value) { return WriteU32(static_cast<u32_t>(value)); }
    bool WriteF32(float value)
    {
        u32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return WriteU32(bits);
    }

private:
    Writer& Self() { return static_cast<Writer&>(*this); }
};

// Appends to a stream; Ok() turns false at the first failed write.
class ByteFileWriter : public LittleEndianWrites<ByteFileWriter> {
public:
    explicit ByteFileWriter(std::FILE* stream) : m_stream(stream), m_ok(stream != nullptr) {}

    bool Ok() const { return m_ok; }
    bool WriteBytes(const void* data, size_t count)
    {
        if (m_ok && count && std::fwrite(data, 1, count, m_stream) != count)
            m_ok = false;
        return m_ok;
    }

private:
    std::FILE* m_stream;
    bool m_ok;
};

// Fills a caller's buffer of fixed capacity; a write that does not fit fails and writes nothing.
class ByteBufferWriter : public LittleEndianWrites<ByteBufferWriter> {
public:
    ByteBufferWriter(void* data, size_t capacity) : m_data(static_cast<u8_t*>(data)), m_capacity(data ? capacity : 0) {}

    bool Ok() const { return m_ok; }
    size_t Position() const { return m_position; }
    bool WriteBytes(const void* data, size_t count)
    {
        if (!m_ok || count > m_capacity - m_position) {
            m_ok = false;
            return false;
        }
        if (count)
            std::memcpy(m_data + m_position, data, count);
        m_position += count;
        return true;
    }

private:
    u8_t* m_data;
    size_t m_capacity;
    size_t m_position = 0;
    bool m_ok = true;
};
