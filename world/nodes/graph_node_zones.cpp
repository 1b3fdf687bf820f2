// The zones a graphic node belongs to: null for every zone, else the zones the "zone" parameter
// named, taken from the zone tree of the node's mesh.

#include <cstring>
#include <string>

#include "world/animation/anim_mesh.h"
#include "core/strings/text_case.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_zones.h"

AnimZone** AnimMeshCollectZones(const AnimMesh* mesh)
{
    if (!mesh || !mesh->zoneRoot || mesh->zoneRoot->childCount == 0)
        return nullptr;
    // The result array is the queue itself: zones are appended behind the head as it moves on.
    u32_t capacity = 16;
    AnimZone** queue = new AnimZone*[capacity];
    u32_t count = 0;
    auto append = [&](AnimZone* zone) {
        if (count + 1 >= capacity) {
            capacity *= 2;
            AnimZone** larger = new AnimZone*[capacity];
            std::memcpy(larger, queue, sizeof(AnimZone*) * count);
            delete[] queue;
            queue = larger;
        }
        queue[count++] = zone;
    };
    for (u16_t i = 0; i < mesh->zoneRoot->childCount; ++i)
        append(mesh->zoneRoot->children[i]);
    for (u32_t head = 0; head < count; ++head) {
        const AnimZone* zone = queue[head];
        for (u16_t i = 0; i < zone->childCount; ++i)
            append(zone->children[i]);
    }
    queue[count] = nullptr;
    return queue;
}

AnimZone* MeshZoneFind(AnimZone* const* zones, const char* name)
{
    for (AnimZone* const* zone = zones; zone && *zone; ++zone) {
        if ((*zone)->name && CompareNoCase((*zone)->name, name) == 0)
            return *zone;
    }
    return nullptr;
}

u32_t GraphNode::SetZones(const char* names)
{
    if (!animMesh)
        return 0;
    const char* text = names ? names : "";
    if (CompareNoCase(text, "all") == 0) {
        delete[] zones;
        zones = nullptr;
        return 1;
    }
    AnimZone** all = AnimMeshCollectZones(animMesh);
    if (!all)
        return 0;
    // Room for every zone named once; a name given twice finds the same zone again.
    u32_t nameCount = 1;
    for (const char* c = text; *c; ++c)
        nameCount += *c == ' ' ? 1 : 0;
    AnimZone** chosen = new AnimZone*[nameCount + 1];
    u32_t count = 0;
    const char* cursor = text;
    while (true) {
        const char* end = std::strchr(cursor, ' ');
        const std::string zoneName = end ? std::string(cursor, end) : std::string(cursor);
        if (!zoneName.empty()) {
            if (AnimZone* zone = MeshZoneFind(all, zoneName.c_str()))
                chosen[count++] = zone;
        }
        if (!end)
            break;
        cursor = end + 1;
    }
    chosen[count] = nullptr;
    delete[] all;
    delete[] zones;
    zones = chosen;
    return 1;
}

bool GraphNode::HasZone(const AnimZone* zone) const
{
    if (!zones)
        return true;
    for (AnimZone* const* entry = zones; *entry; ++entry) {
        if (*entry == zone)
            return true;
    }
    return false;
}
