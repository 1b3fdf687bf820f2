// A growable array of pointers that does not own its elements: emptying it or destroying it frees
// only the block of pointers, never what they point at.
#pragma once
#include "core/strings/ptr_array.h"

template <class T>
class PtrRefArray : public PtrArrayBase {
public:
    ~PtrRefArray() override = default;

    void Append(T* element) { AppendRaw(element); }
    T* Get(s32_t index) const { return static_cast<T*>(m_items[index]); }
    T* operator[](s32_t index) const { return Get(index); }

    // Removes the first element equal to the pointer: the last element moves into its place and the
    // cursor, when it stood at or beyond the new count, is pulled back to the new last element.
    // False when the pointer is not listed.
    bool RemoveSwapLast(const T* element)
    {
        const s32_t index = IndexOf(element);
        if (index < 0)
            return false;
        --m_count;
        m_items[index] = m_items[m_count];
        if (m_cursor >= m_count)
            m_cursor = m_count - 1;
        return true;
    }

    // Frees the block without touching the elements: count and capacity 0, cursor -1. The array
    // stays usable; the next append allocates again.
    void Release() { FreeBlock(); }
};
