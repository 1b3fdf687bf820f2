// A small chained hash table of two-word entries, with one process-wide spare list of nodes that
// tables release into and take from; and a list of memory blocks freed together when a mission is
// left. The vegetation keeps its cells in one such table of 17 buckets.
#pragma once
#include <cstdint>

#include "core/types.h"

// A key and a value word, and the next node of the same bucket (or of the spare list).
struct HashNode {
    std::uintptr_t key;
    std::uintptr_t value;
    HashNode* next;
};

// Where a walk stands: the bucket (-1 before the start) and the node to return next.
struct HashIterator {
    s32_t bucket;
    HashNode* next;
};

class HashTable {
public:
    // A table of that many empty buckets.
    explicit HashTable(u32_t bucketCount);
    // Clears the table and frees the bucket array.
    ~HashTable();
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    // Links a node (from the spare list when there is one) at the head of bucket key % count;
    // null for a table without buckets.
    HashNode* Insert(std::uintptr_t key, std::uintptr_t value);
    // Every node goes to the spare list; the buckets stay, empty.
    void Clear();
    // Starts a walk and returns the first node, or null for an empty table.
    HashNode* First(HashIterator* iterator) const;
    // The next node: the rest of the current chain, then the chains of the following buckets in
    // order; null at the end.
    HashNode* Next(HashIterator* iterator) const;

    HashNode** buckets;
    u32_t bucketCount;
    u32_t itemCount;
};

// Puts a node at the head of the spare list. Spare nodes are never freed.
void HashNodeRelease(HashNode* node);
// The head of the spare list (null when it is empty).
HashNode* HashSpareNodes();

// A block of bytes on the block list (zeroed, aligned for any type); null when memory runs out.
void* BlockListAllocate(u32_t bytes);
// Frees every block of the list, newest first, and leaves it empty. Called when a mission is left.
void BlockListFree();
// Blocks on the list.
u32_t BlockListCount();
