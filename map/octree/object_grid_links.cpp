// The object grid's links: the index-addressed pool, linking an entry into the leaves its box
// overlaps in every repetition of the world, and the per-leaf collections of the view passes.
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <new>

#include "map/terrain/map_state.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/land/visible_nodes.h"
#include "world/objects/graph_obj.h"
#include "world/world_cvars.h"

namespace {

// Boxes this many world sizes from the origin and more are linked nowhere: their tile numbers do
// not fit the entry's signed bytes, and the float-to-integer conversion of the tile index must stay
// within range.
constexpr float kMaxTileNumber = 127.0f;

GridLink& LinkAt(u32_t index)
{
    return g_map.gridLinks[index];
}

// The new slots go on the free list in ascending order, so the highest becomes the head.
bool GrowPool()
{
    const u32_t capacity = g_map.gridLinkCapacity;
    const u32_t grown = capacity ? capacity * 2 : 16;
    if (grown <= capacity)
        return false;
    GridLink* links = new (std::nothrow) GridLink[grown];
    if (!links)
        return false;
    if (capacity)
        std::memcpy(links, g_map.gridLinks, sizeof(GridLink) * capacity);
    delete[] g_map.gridLinks;
    g_map.gridLinks = links;
    g_map.gridLinkCapacity = grown;
    for (u32_t i = capacity; i < grown; ++i) {
        GridLink& slot = links[i];
        slot.next = g_map.gridLinkFree;
        slot.prev = GRID_LINK_NONE;
        slot.entry = nullptr;
        slot.entryNext = GRID_LINK_NONE;
        slot.node = nullptr;
        if (g_map.gridLinkFree != GRID_LINK_NONE)
            LinkAt(g_map.gridLinkFree).prev = i;
        g_map.gridLinkFree = i;
    }
    return true;
}

void PushFree(u32_t index)
{
    GridLink& link = LinkAt(index);
    link.next = g_map.gridLinkFree;
    link.prev = GRID_LINK_NONE;
    link.entry = nullptr;
    link.node = nullptr;
    if (g_map.gridLinkFree != GRID_LINK_NONE)
        LinkAt(g_map.gridLinkFree).prev = index;
    g_map.gridLinkFree = index;
}

// The entry put first in the leaf's packed list, as LinkEntry puts its link first; false when the
// list cannot grow (the entry is then linked nowhere in the leaf).
bool PackFront(OctreeNode* node, ObjectGridEntry* entry)
{
    if (node->packedCount == node->packedCapacity) {
        const u32_t grown = node->packedCapacity ? node->packedCapacity * 2 : 8;
        if (grown <= node->packedCapacity)
            return false;
        PackedGridEntry* packed = new (std::nothrow) PackedGridEntry[grown];
        if (!packed)
            return false;
        if (node->packedCount)
            std::memcpy(packed, node->packedEntries, sizeof(PackedGridEntry) * node->packedCount);
        delete[] node->packedEntries;
        node->packedEntries = packed;
        node->packedCapacity = grown;
    }
    PackedGridEntry* packed = node->packedEntries;
    std::memmove(packed + 1, packed, sizeof(PackedGridEntry) * node->packedCount);
    packed[0].boxMin = entry->boxMin;
    packed[0].boxMax = entry->boxMax;
    packed[0].owner = entry->owner;
    packed[0].entry = entry;
    packed[0].kind = entry->kind;
    std::memcpy(packed[0].tileRect, entry->tileRect, sizeof packed[0].tileRect);
    ++node->packedCount;
    return true;
}

// One of the entry's places in the leaf's packed list taken out, the others keeping their order.
void Unpack(OctreeNode* node, const ObjectGridEntry* entry)
{
    PackedGridEntry* packed = node->packedEntries;
    for (u32_t i = 0; i < node->packedCount; ++i) {
        if (packed[i].entry != entry)
            continue;
        std::memmove(packed + i, packed + i + 1, sizeof(PackedGridEntry) * (node->packedCount - i - 1));
        --node->packedCount;
        return;
    }
}

void LinkEntry(OctreeNode* node, ObjectGridEntry* entry)
{
    if (g_map.gridLinkFree == GRID_LINK_NONE && !GrowPool())
        return;
    if (!PackFront(node, entry))
        return;
    const u32_t index = g_map.gridLinkFree;
    GridLink& link = LinkAt(index);
    g_map.gridLinkFree = link.next;
    if (g_map.gridLinkFree != GRID_LINK_NONE)
        LinkAt(g_map.gridLinkFree).prev = GRID_LINK_NONE;

    link.next = node->linkHead;
    link.prev = GRID_LINK_NONE;
    if (node->linkHead != GRID_LINK_NONE)
        LinkAt(node->linkHead).prev = index;
    node->linkHead = index;

    link.entry = entry;
    link.entryNext = entry->firstLink;
    entry->firstLink = index;
    link.node = node;
}

void LinkPiece(OctreeNode* node, const float* piece, ObjectGridEntry* entry)
{
    if (!node->OverlapsBox(piece))
        return;
    if (node->IsLeaf()) {
        LinkEntry(node, entry);
        return;
    }
    for (OctreeNode* child : node->children)
        LinkPiece(child, piece, entry);
}

// A box the tile arithmetic can take: finite, not empty, and within the tiles the entry can name.
bool BoxIsLinkable(const float* box, float size)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(box[axis]) || !std::isfinite(box[axis + 3]) || box[axis] > box[axis + 3])
            return false;
    }
    const float limit = kMaxTileNumber * size;
    for (int axis : {0, 2, 3, 5}) {
        if (!(std::fabs(box[axis]) < limit))
            return false;
    }
    return true;
}

// The entry's cell test and stamp check that both collections make first.
bool Collectable(const ObjectGridEntry* entry, const s8_t* cell)
{
    return CellRangeContains(cell, entry->tileRect) && entry->visitStamp != g_map.octreeVisitMark;
}

void EntryBox(const ObjectGridEntry* entry, float* box)
{
    box[0] = entry->boxMin.x;
    box[1] = entry->boxMin.y;
    box[2] = entry->boxMin.z;
    box[3] = entry->boxMax.x;
    box[4] = entry->boxMax.y;
    box[5] = entry->boxMax.z;
}

// The distance rule of actors, structures, map objects and trees: false when the object is too
// small for its distance to be drawn at all; otherwise its full-detail flag is set.
bool PassesDistanceRule(ObjectGridEntry* entry)
{
    if (entry->kind != OBJECT_GRID_OBJECT || !entry->owner)
        return true;
    DynamicObject* object = static_cast<DynamicObject*>(entry->owner);
    const s32_t type = object->typeId;
    if (type != OBJECT_TYPE_ACTOR && type != OBJECT_TYPE_STRUCTURE && type != OBJECT_TYPE_MAP_OBJECT &&
        type != OBJECT_TYPE_TREE)
        return true;
    const Vector3 c = {(entry->boxMin.x + entry->boxMax.x) * 0.5f, (entry->boxMin.y + entry->boxMax.y) * 0.5f,
                       (entry->boxMin.z + entry->boxMax.z) * 0.5f};
    const Vector3 diagonal = {entry->boxMax.x - entry->boxMin.x, entry->boxMax.y - entry->boxMin.y,
                              entry->boxMax.z - entry->boxMin.z};
    const float r = 0.5f * std::sqrt(diagonal.x * diagonal.x + diagonal.y * diagonal.y + diagonal.z * diagonal.z);
    const float* eye = RenderGetVisibilityEye();
    const float dx = c.x - eye[0], dy = c.y - eye[1], dz = c.z - eye[2];
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    s32_t detail = 1;
    if (d > r) {
        // The aspect is the integer quotient the tuned values assume; a screen taller than wide
        // would give 0 and divide by zero, so it counts as 1.
        const u32_t width = static_cast<u32_t>(g_render.screenWidth);
        const s32_t height = g_render.screenHeight;
        u32_t aspect = height != 0 ? width / static_cast<u32_t>(height) : 1;
        if (aspect == 0)
            aspect = 1;
        const float k = std::tan(RenderGetFov() / static_cast<float>(aspect) / 2.0f);
        if (r / (d * k) < 1.0f / rfhidesize.Float()) {
            entry->visitStamp = g_map.octreeVisitMark;
            return false;
        }
        if ((d - r) * k * 0.1f > rfspdist.Float())
            detail = 0;
    }
    // The classes with these type ids are graphic objects; one that is not has no flag to set.
    if (GraphObj* graphic = dynamic_cast<GraphObj*>(object))
        graphic->fullDetail = detail;
    return true;
}

}  // namespace

ObjectGridEntry* ObjectGridEntryCreate(u32_t kind, void* owner)
{
    ObjectGridEntry* entry = new ObjectGridEntry;
    entry->boxMin = {0.0f, 0.0f, 0.0f};
    entry->boxMax = {0.0f, 0.0f, 0.0f};
    std::memset(entry->tileRect, 0, sizeof entry->tileRect);
    entry->traceStamp = g_map.traceStamp - 1;
    entry->visitStamp = 0;
    entry->kind = kind;
    entry->owner = owner;
    entry->firstLink = GRID_LINK_NONE;
    return entry;
}

void GridLinkPoolReset()
{
    GridLinkPoolFree();
}

void GridLinkPoolFree()
{
    for (u32_t i = 0; i < g_map.gridLinkCapacity; ++i) {
        if (ObjectGridEntry* entry = g_map.gridLinks[i].entry) {
            entry->firstLink = GRID_LINK_NONE;
            if (OctreeNode* node = g_map.gridLinks[i].node)
                node->packedCount = 0;
        }
    }
    delete[] g_map.gridLinks;
    g_map.gridLinks = nullptr;
    g_map.gridLinkCapacity = 0;
    g_map.gridLinkFree = GRID_LINK_NONE;
}

int ObjectGridSplitBox(const float* box, float (*pieces)[6])
{
    const float size = MapGetWorldSize();
    const float h = size / 2;
    float c0[3], c1[3];
    s32_t i0[2], i1[2];
    MapPosToCell(box, size, c0, i0);
    MapPosToCell(box + 3, size, c1, i1);
    c1[0] += static_cast<float>(i1[0] - i0[0]) * size;
    c1[2] += static_cast<float>(i1[1] - i0[1]) * size;
    if (i1[0] - i0[0] > 1) {
        c1[0] = c0[0] + size;
        i1[0] = i0[0] + 1;
    }
    if (i1[1] - i0[1] > 1) {
        c1[2] = c0[2] + size;
        i1[1] = i0[1] + 1;
    }
    int count = 0;
    float ox = 0.0f;
    for (s32_t ix = i0[0]; ix <= i1[0]; ++ix, ox += size) {
        float oz = 0.0f;
        for (s32_t iz = i0[1]; iz <= i1[1]; ++iz, oz += size) {
            float* piece = pieces[count++];
            piece[0] = std::fmax(c0[0] - ox, -h);
            piece[1] = box[1];
            piece[2] = std::fmax(c0[2] - oz, -h);
            piece[3] = std::fmin(c1[0] - ox, h);
            piece[4] = box[4];
            piece[5] = std::fmin(c1[2] - oz, h);
        }
    }
    return count;
}

void ObjectGridLink(ObjectGridEntry* entry, const float* box)
{
    if (!entry)
        return;
    entry->boxMin = {box[0], box[1], box[2]};
    entry->boxMax = {box[3], box[4], box[5]};
    std::memset(entry->tileRect, 0, sizeof entry->tileRect);
    OctreeNode* root = OctreeGetRoot();
    const float size = MapGetWorldSize();
    if (!root || !(size > 0.0f) || !BoxIsLinkable(box, size))
        return;
    float local[3];
    s32_t low[2], high[2];
    MapPosToCell(box, size, local, low);
    MapPosToCell(box + 3, size, local, high);
    entry->tileRect[0] = static_cast<s8_t>(low[0]);
    entry->tileRect[1] = static_cast<s8_t>(low[1]);
    entry->tileRect[2] = static_cast<s8_t>(high[0]);
    entry->tileRect[3] = static_cast<s8_t>(high[1]);
    float pieces[4][6];
    const int count = ObjectGridSplitBox(box, pieces);
    for (int i = 0; i < count; ++i)
        LinkPiece(root, pieces[i], entry);
}

void ObjectGridUnlink(ObjectGridEntry* entry)
{
    if (!entry)
        return;
    while (entry->firstLink != GRID_LINK_NONE && entry->firstLink < g_map.gridLinkCapacity) {
        const u32_t index = entry->firstLink;
        GridLink& link = LinkAt(index);
        if (link.prev != GRID_LINK_NONE)
            LinkAt(link.prev).next = link.next;
        if (link.next != GRID_LINK_NONE)
            LinkAt(link.next).prev = link.prev;
        if (link.node && link.node->linkHead == index)
            link.node->linkHead = link.next;
        if (link.node)
            Unpack(link.node, entry);
        entry->firstLink = link.entryNext;
        link.entryNext = GRID_LINK_NONE;
        PushFree(index);
    }
    entry->firstLink = GRID_LINK_NONE;
}

ObjectGridEntry* ObjectGridFirst(const OctreeNode* node, u32_t* iterator)
{
    const u32_t head = node->linkHead;
    if (head == GRID_LINK_NONE) {
        *iterator = GRID_LINK_NONE;
        return nullptr;
    }
    *iterator = LinkAt(head).next;
    return LinkAt(head).entry;
}

ObjectGridEntry* ObjectGridNext(u32_t* iterator)
{
    if (*iterator == GRID_LINK_NONE)
        return nullptr;
    const GridLink& link = LinkAt(*iterator);
    *iterator = link.next;
    return link.entry;
}

bool CellRangeContains(const s8_t* cell, const s8_t* rect)
{
    return rect[0] <= cell[0] && cell[0] <= rect[2] && rect[1] <= cell[1] && cell[1] <= rect[3];
}

void OctreeNode::CollectDrawable(const D3DXPLANE* planes, ObjectGridEntry** list, u32_t* count, u32_t capacity,
                                 const s8_t* cell)
{
    for (u32_t it = linkHead; it != GRID_LINK_NONE;) {
        const GridLink& link = LinkAt(it);
        it = link.next;
        ObjectGridEntry* entry = link.entry;
        if (!Collectable(entry, cell))
            continue;
        ++g_visible.objectTests;
        float box[6];
        EntryBox(entry, box);
        if (!BoxInsidePlanes(box, planes, 6) || *count >= capacity)
            continue;
        if (!PassesDistanceRule(entry))
            continue;
        list[(*count)++] = entry;
        entry->visitStamp = g_map.octreeVisitMark;
    }
}

void OctreeNode::CollectInPlanes(const D3DXPLANE* planes, u32_t planeCount, ObjectGridEntry** list, u32_t* count,
                                 u32_t capacity, const s8_t* cell)
{
    for (u32_t it = linkHead; it != GRID_LINK_NONE;) {
        const GridLink& link = LinkAt(it);
        it = link.next;
        ObjectGridEntry* entry = link.entry;
        if (!Collectable(entry, cell))
            continue;
        ++g_visible.objectTests;
        float box[6];
        EntryBox(entry, box);
        if (!BoxInsidePlanes(box, planes, planeCount))
            continue;
        if (*count < capacity) {
            list[*count] = entry;
            entry->visitStamp = g_map.octreeVisitMark;
        }
        ++*count;
    }
}
