#include "core/strings/engine_string.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "core/strings/finite_number.h"

namespace {

const EngineString::AllocatorTable g_stringAllocator = {&EngineString::Allocate, &EngineString::Free};

// True when the text starts inside the given block of characters (its terminating zero included).
bool PointsInto(const char* text, const char* block, u32_t length)
{
    std::less_equal<const char*> notAfter;
    return notAfter(block, text) && notAfter(text, block + length);
}

}  // namespace

char* EngineString::Allocate(u32_t length)
{
    return static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
}

void EngineString::Free(char* block)
{
    std::free(block);
}

EngineString::EngineString() : m_allocator(&g_stringAllocator), m_length(0)
{
    m_text.inlineText[0] = '\0';
}

EngineString::EngineString(const char* text) : m_allocator(&g_stringAllocator), m_length(0)
{
    m_text.inlineText[0] = '\0';
    if (text)
        CopyFrom(text, static_cast<u32_t>(std::strlen(text)));
}

EngineString::EngineString(const EngineString& other) : m_allocator(&g_stringAllocator), m_length(0)
{
    CopyFrom(other.Text(), other.m_length);
}

EngineString& EngineString::operator=(const EngineString& other)
{
    Assign(other);
    return *this;
}

EngineString::~EngineString()
{
    ReleaseHeap();
}

EngineString EngineString::Reserve(u32_t length)
{
    EngineString reserved;
    if (length >= kInlineSize) {
        char* block = reserved.m_allocator->allocate(length);
        if (!block)
            return reserved;  // stays empty: the caller sees a length of 0 and writes nothing
        reserved.m_text.heapText = block;
    }
    reserved.m_length = length;
    // The caller fills the characters afterwards; zeroed, a text it has not filled reads as zeros, never
    // as garbage.
    std::memset(reserved.Data(), 0, static_cast<size_t>(length) + 1);
    return reserved;
}

void EngineString::SetChars(const char* characters, u32_t count)
{
    // A heap block still held here would leak; the characters may come from it, so copy them out first.
    if (IsOnHeap()) {
        EngineString copy;
        copy.CopyFrom(characters, count);
        Assign(copy);
        return;
    }
    CopyFrom(characters, count);
}

void EngineString::Assign(const EngineString& other)
{
    if (&other == this)
        return;
    ReleaseHeap();
    CopyFrom(other.Text(), other.m_length);
}

void EngineString::Assign(const char* text)
{
    if (!text) {
        ReleaseHeap();
        m_text.inlineText[0] = '\0';
        return;
    }
    // Text taken from our own heap block must be copied before that block is released.
    if (IsOnHeap() && PointsInto(text, m_text.heapText, m_length)) {
        EngineString copy(text);
        Assign(copy);
        return;
    }
    const u32_t length = static_cast<u32_t>(std::strlen(text));
    ReleaseHeap();
    CopyFrom(text, length);
}

void EngineString::Clear()
{
    ReleaseHeap();
    m_length = 0;
}

const char* EngineString::Text() const
{
    return IsOnHeap() ? m_text.heapText : m_text.inlineText;
}

float EngineString::ToFloat() const
{
    float value = 0.0f;
    return ReadFiniteFloat(Text(), value) ? value : 0.0f;
}

int EngineString::ToInt() const
{
    int value = 0;
    return std::sscanf(Text(), "%d", &value) == 1 ? value : 0;
}

char* EngineString::Data()
{
    return IsOnHeap() ? m_text.heapText : m_text.inlineText;
}

// Expects no heap block to be held. Inline copies use memmove: the source may be our own inline text.
void EngineString::CopyFrom(const char* text, u32_t length)
{
    if (length < kInlineSize) {
        std::memmove(m_text.inlineText, text, length);
        m_text.inlineText[length] = '\0';
        m_length = length;
        return;
    }
    char* block = m_allocator->allocate(length);
    if (!block) {
        m_length = 0;
        m_text.inlineText[0] = '\0';
        return;
    }
    std::memcpy(block, text, length);
    block[length] = '\0';
    m_text.heapText = block;
    m_length = length;
}

// Inline characters are left as they are; after a heap block the inline area held its pointer, so it
// is made an empty text.
void EngineString::ReleaseHeap()
{
    if (!IsOnHeap())
        return;
    m_allocator->free(m_text.heapText);
    m_length = 0;
    m_text.inlineText[0] = '\0';
}
