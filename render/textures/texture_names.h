// Small text helpers of the texture manager's names.
#pragma once
#include <cstddef>
#include <cstring>

// The part of a name after its last backslash, or the whole name when it has none.
inline const char* TextureFilePart(const char* name)
{
    const char* slash = std::strrchr(name, '\\');
    return slash ? slash + 1 : name;
}

// Copies at most capacity - 1 characters and a terminating zero: a longer text is cut.
inline void TextureCopyCut(char* out, size_t capacity, const char* text)
{
    if (capacity == 0)
        return;
    size_t length = std::strlen(text);
    if (length >= capacity)
        length = capacity - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}
