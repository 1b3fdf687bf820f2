// The plug-in's registries and running lists: a pointer list of fixed capacity that owns its items.
// An append to a full list stores nothing (the caller keeps the item); removing an item moves the
// last one into its place.
#pragma once
#include <cstdint>

namespace ptk {

template <typename T>
class OwnedPtrList {
public:
    explicit OwnedPtrList(std::int32_t capacity = 100) : m_capacity(capacity > 0 ? capacity : 0)
    {
        m_items = m_capacity ? new T*[m_capacity] : nullptr;
    }
    ~OwnedPtrList() { Free(); }
    OwnedPtrList(const OwnedPtrList&) = delete;
    OwnedPtrList& operator=(const OwnedPtrList&) = delete;

    // The index of the stored item, or -1 when the list is full (the item is not taken).
    std::int32_t Append(T* item)
    {
        if (m_count >= m_capacity)
            return -1;
        m_items[m_count] = item;
        m_current = m_count;
        return m_count++;
    }
    // Deletes item i; the last item takes its place.
    void RemoveAt(std::int32_t index)
    {
        if (index < 0 || index >= m_count)
            return;
        delete m_items[index];
        m_items[index] = m_items[m_count - 1];
        --m_count;
        if (m_current >= m_count)
            m_current = m_count - 1;
    }
    // Takes item i out without deleting it; the last item takes its place.
    T* Detach(std::int32_t index)
    {
        if (index < 0 || index >= m_count)
            return nullptr;
        T* item = m_items[index];
        m_items[index] = m_items[m_count - 1];
        --m_count;
        if (m_current >= m_count)
            m_current = m_count - 1;
        return item;
    }
    // Deletes every item; the capacity stays.
    void Clear()
    {
        for (std::int32_t i = 0; i < m_count; ++i)
            delete m_items[i];
        m_count = 0;
        m_current = -1;
    }
    // Deletes every item and the item array: the list holds nothing until it is re-created.
    void Free()
    {
        Clear();
        delete[] m_items;
        m_items = nullptr;
        m_capacity = 0;
    }
    T* At(std::int32_t index) const { return index >= 0 && index < m_count ? m_items[index] : nullptr; }
    std::int32_t Find(const T* item) const
    {
        for (std::int32_t i = 0; i < m_count; ++i) {
            if (m_items[i] == item)
                return i;
        }
        return -1;
    }
    std::int32_t Count() const { return m_count; }
    std::int32_t Capacity() const { return m_capacity; }
    std::int32_t Current() const { return m_current; }

private:
    T** m_items = nullptr;
    std::int32_t m_count = 0;
    std::int32_t m_capacity = 0;
    std::int32_t m_current = -1;
};

}  // namespace ptk
