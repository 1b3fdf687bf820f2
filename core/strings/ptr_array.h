// Growable arrays of pointers with a cursor (the index of the element appended last). Both kinds own
// their elements: PtrArray<T> deletes each non-null element through T's virtual destructor.
#pragma once
#include "core/types.h"

class PtrArrayBase {
public:
    static constexpr s32_t kInitialCapacity = 64;

    PtrArrayBase();
    virtual ~PtrArrayBase();
    PtrArrayBase(const PtrArrayBase&) = delete;
    PtrArrayBase& operator=(const PtrArrayBase&) = delete;

    // Index of the first element equal to the pointer, -1 when none.
    virtual s32_t IndexOf(const void* element) const;
    virtual bool Contains(const void* element) const;

    // Grows the block by one slot when full; the cursor becomes the new element's index.
    void AppendRaw(void* element);
    // Removes the element at the index, keeping the order of the others.
    void RemoveAt(s32_t index);

    s32_t Count() const { return m_count; }
    s32_t Capacity() const { return m_capacity; }
    s32_t Cursor() const { return m_cursor; }

protected:
    // Frees the block; count and capacity become 0 and the cursor -1. Elements are the caller's.
    void FreeBlock();

    s32_t m_count;
    s32_t m_capacity;
    s32_t m_cursor;
    void** m_items;
};

template <class T>
class PtrArray : public PtrArrayBase {
public:
    ~PtrArray() override { DeleteAll(); }

    void Append(T* element) { AppendRaw(element); }
    T* Get(s32_t index) const { return static_cast<T*>(m_items[index]); }
    T* operator[](s32_t index) const { return Get(index); }

    // Deletes every non-null element, frees the block; the array stays usable (capacity 0).
    void DeleteAll()
    {
        for (s32_t i = 0; i < m_count; ++i)
            delete static_cast<T*>(m_items[i]);
        FreeBlock();
    }
};

class DynamicObject;
using DynamicObjectArray = PtrArray<DynamicObject>;
