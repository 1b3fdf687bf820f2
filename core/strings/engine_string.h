// The engine's string: text below 128 characters lives in the object, longer text on the heap.
#pragma once
#include "core/types.h"

class EngineString {
public:
    static constexpr u32_t kInlineSize = 128;

    // The shared two-entry allocator table every string carries (entry 0 allocate, entry 1 free).
    struct AllocatorTable {
        char* (*allocate)(u32_t length);
        void (*free)(char* block);
    };

    EngineString();                                      // empty text
    explicit EngineString(const char* text);             // FromText: null is taken as empty
    EngineString(const EngineString& other);             // copy
    EngineString& operator=(const EngineString& other);  // Assign
    ~EngineString();

    // A string of the given length whose characters the caller fills (through Data()).
    static EngineString Reserve(u32_t length);
    static char* Allocate(u32_t length);  // a heap block of length + 1 bytes
    static void Free(char* block);

    // Fills a fresh or cleared string with exactly count characters and a terminating zero.
    // A heap block still held is released (after the characters are taken, which may come from it).
    void SetChars(const char* characters, u32_t count);
    void Assign(const EngineString& other);
    void Assign(const char* text);
    // Releases the heap block when there is one and sets the length to 0; inline characters stay.
    void Clear();

    u32_t Length() const { return m_length; }
    // The text read as one float; 0 when it does not start with a number or the number is not finite.
    float ToFloat() const;
    // The text read as one integer ("%d"); 0 when it does not start with a number.
    int ToInt() const;
    bool IsEmpty() const { return m_length == 0; }
    bool IsOnHeap() const { return m_length >= kInlineSize; }
    const char* Text() const;
    char* Data();

private:
    const AllocatorTable* m_allocator;
    u32_t m_length;
    union {
        char inlineText[kInlineSize];
        char* heapText;
    } m_text;

    void CopyFrom(const char* text, u32_t length);
    void ReleaseHeap();
};
