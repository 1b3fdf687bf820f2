// The whole-tree walk of a graphic object's nodes: an explicit stack of pending nodes, the root
// pushed first; each popped node is visited, then its children are pushed in index order. Nodes
// are thus visited root first, then the last child's subtree before the earlier ones. The stack
// lives on the caller's frame for ordinary trees and grows on the heap for wide ones.
#pragma once
#include <cstring>

#include "core/types.h"
#include "world/nodes/graph_node.h"

class NodeWalkStack {
public:
    NodeWalkStack() = default;
    ~NodeWalkStack()
    {
        if (m_items != m_inline)
            delete[] m_items;
    }
    NodeWalkStack(const NodeWalkStack&) = delete;
    NodeWalkStack& operator=(const NodeWalkStack&) = delete;

    void Push(GraphNode* node)
    {
        if (m_count == m_capacity)
            Grow();
        m_items[m_count++] = node;
    }
    GraphNode* Pop() { return m_items[--m_count]; }
    bool Empty() const { return m_count == 0; }

private:
    void Grow()
    {
        const u32_t capacity = m_capacity * 2;
        GraphNode** grown = new GraphNode*[capacity];
        std::memcpy(grown, m_items, sizeof(GraphNode*) * m_count);
        if (m_items != m_inline)
            delete[] m_items;
        m_items = grown;
        m_capacity = capacity;
    }

    static constexpr u32_t kInlineCapacity = 64;
    GraphNode* m_inline[kInlineCapacity];
    GraphNode** m_items = m_inline;
    u32_t m_count = 0;
    u32_t m_capacity = kInlineCapacity;
};

// Visits every node of the tree below top (top included) in walk order; a visit that returns
// true ends the walk. Nothing for a null top.
template <class Visit>
void WalkNodeTree(GraphNode* top, Visit visit)
{
    if (!top)
        return;
    NodeWalkStack pending;
    pending.Push(top);
    while (!pending.Empty()) {
        GraphNode* node = pending.Pop();
        if (visit(node))
            return;
        for (u32_t i = 0; i < node->childCount; ++i)
            pending.Push(node->children[i]);
    }
}
