#include "render/device/shader_hash.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

HashNode* g_spareNodes = nullptr;

// Each block starts with the link to the next one, padded so that the caller's bytes are aligned.
struct BlockHeader {
    alignas(std::max_align_t) BlockHeader* next;
};
BlockHeader* g_blocks = nullptr;

}  // namespace

HashTable::HashTable(u32_t count) : buckets(new HashNode*[count > 0 ? count : 1]()), bucketCount(count), itemCount(0) {}

HashTable::~HashTable()
{
    Clear();
    delete[] buckets;
    buckets = nullptr;
}

HashNode* HashTable::Insert(std::uintptr_t key, std::uintptr_t value)
{
    if (bucketCount == 0)
        return nullptr;
    HashNode* node = g_spareNodes;
    if (node)
        g_spareNodes = node->next;
    else
        node = new (std::nothrow) HashNode;
    if (!node)
        return nullptr;
    HashNode*& head = buckets[key % bucketCount];
    node->key = key;
    node->value = value;
    node->next = head;
    head = node;
    ++itemCount;
    return node;
}

void HashTable::Clear()
{
    if (!buckets)
        return;
    for (u32_t i = 0; i < bucketCount; ++i) {
        HashNode* node = buckets[i];
        while (node) {
            HashNode* next = node->next;
            HashNodeRelease(node);
            node = next;
        }
        buckets[i] = nullptr;
    }
    itemCount = 0;
}

HashNode* HashTable::First(HashIterator* iterator) const
{
    iterator->bucket = -1;
    iterator->next = nullptr;
    return Next(iterator);
}

HashNode* HashTable::Next(HashIterator* iterator) const
{
    if (HashNode* node = iterator->next) {
        iterator->next = node->next;
        return node;
    }
    while (iterator->bucket < 0 || static_cast<u32_t>(iterator->bucket) < bucketCount) {
        ++iterator->bucket;
        if (static_cast<u32_t>(iterator->bucket) >= bucketCount)
            break;
        if (HashNode* node = buckets[iterator->bucket]) {
            iterator->next = node->next;
            return node;
        }
    }
    return nullptr;
}

void HashNodeRelease(HashNode* node)
{
    node->next = g_spareNodes;
    g_spareNodes = node;
}

HashNode* HashSpareNodes()
{
    return g_spareNodes;
}

void* BlockListAllocate(u32_t bytes)
{
    void* memory = std::calloc(1, sizeof(BlockHeader) + bytes);
    if (!memory)
        return nullptr;
    auto* block = static_cast<BlockHeader*>(memory);
    block->next = g_blocks;
    g_blocks = block;
    return block + 1;
}

void BlockListFree()
{
    while (BlockHeader* block = g_blocks) {
        g_blocks = block->next;
        std::free(block);
    }
}

u32_t BlockListCount()
{
    u32_t count = 0;
    for (const BlockHeader* block = g_blocks; block; block = block->next)
        ++count;
    return count;
}
