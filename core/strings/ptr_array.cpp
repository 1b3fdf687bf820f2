#include "core/strings/ptr_array.h"

#include <cstdlib>
#include <cstring>

namespace {

void** AllocateSlots(s32_t count)
{
    return static_cast<void**>(std::malloc(static_cast<size_t>(count) * sizeof(void*)));
}

}  // namespace

PtrArrayBase::PtrArrayBase() : m_count(0), m_capacity(kInitialCapacity), m_cursor(-1)
{
    m_items = AllocateSlots(kInitialCapacity);
    if (!m_items)
        m_capacity = 0;  // the first append tries again
}

PtrArrayBase::~PtrArrayBase()
{
    FreeBlock();
}

s32_t PtrArrayBase::IndexOf(const void* element) const
{
    for (s32_t i = 0; i < m_count; ++i) {
        if (m_items[i] == element)
            return i;
    }
    return -1;
}

bool PtrArrayBase::Contains(const void* element) const
{
    return IndexOf(element) != -1;
}

// A full block grows by exactly one slot. Arrays that hold more than the first 64 elements pay a copy
// per append; the program's lists rarely get there.
void PtrArrayBase::AppendRaw(void* element)
{
    if (m_count == m_capacity) {
        const s32_t grown = m_count + 1;
        void** block = AllocateSlots(grown);
        if (!block)
            return;
        if (m_count > 0)
            std::memcpy(block, m_items, static_cast<size_t>(m_count) * sizeof(void*));
        std::free(m_items);
        m_items = block;
        m_capacity = grown;
    }
    m_items[m_count] = element;
    m_cursor = m_count;
    ++m_count;
}

// The removed element is not deleted: it goes back to the caller. An index outside the array does nothing.
// The cursor follows its element; when that element is the one removed, there is no last element any more.
void PtrArrayBase::RemoveAt(s32_t index)
{
    if (index < 0 || index >= m_count)
        return;
    const s32_t after = m_count - index - 1;
    if (after > 0)
        std::memmove(&m_items[index], &m_items[index + 1], static_cast<size_t>(after) * sizeof(void*));
    --m_count;
    if (m_cursor == index)
        m_cursor = -1;
    else if (m_cursor > index)
        --m_cursor;
}

void PtrArrayBase::FreeBlock()
{
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
    m_cursor = -1;
}
