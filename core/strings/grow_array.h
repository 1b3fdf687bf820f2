// A plain growable array without virtual operations: items, count, capacity and a one-byte growth step.
#pragma once
#include <cstdlib>
#include <cstring>
#include "core/types.h"

template <class T>
struct GrowArray {
    T* items = nullptr;
    s32_t count = 0;
    s32_t capacity = 0;
    u8_t growStep = 1;  // a step of 0 is taken as 1

    GrowArray() = default;
    explicit GrowArray(u8_t step) : growStep(step) {}
    ~GrowArray() { Free(); }
    GrowArray(const GrowArray&) = delete;
    GrowArray& operator=(const GrowArray&) = delete;

    // Appends a copy of the item (T must be trivially copyable); returns its index.
    s32_t Append(const T& item)
    {
        if (count == capacity) {
            s32_t step = growStep == 0 ? 1 : growStep;
            T* grown = static_cast<T*>(std::malloc(sizeof(T) * static_cast<size_t>(capacity + step)));
            if (!grown)
                return -1;
            if (items)
                std::memcpy(static_cast<void*>(grown), items, sizeof(T) * static_cast<size_t>(count));
            std::free(items);
            items = grown;
            capacity += step;
        }
        items[count] = item;
        return count++;
    }
    void Free()
    {
        std::free(items);
        items = nullptr;
        count = 0;
        capacity = 0;
    }
    T& operator[](s32_t index) { return items[index]; }
    const T& operator[](s32_t index) const { return items[index]; }
};
