#include "scene/plugin_bridges/indoor_objects.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/plugins/plugin_host.h"
#include "platform/d3dx8_math.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

std::vector<IndoorObjectRecord*> g_kept;

template <class Pointer>
PluginWord Word(Pointer pointer)
{
    return reinterpret_cast<PluginWord>(pointer);
}

}  // namespace

IndoorObjectRecord* IndoorObjectAdd(DynamicObject* object, const IndoorPosition& where)
{
    if (!object || !where.object)
        return nullptr;
    auto* record = new IndoorObjectRecord{};
    record->object = Word(object);
    D3DXMATRIX transform;
    D3DXMatrixIdentity(&transform);
    if (auto* graphic = dynamic_cast<GraphObj*>(object); graphic && graphic->GetRootNode()) {
        record->node = Word(graphic->GetRootNode());
        graphic->GetRootNode()->UpdateTransform(&transform);
    } else {
        const Vector3 at = object->GetPosition();
        D3DXMatrixTranslation(&transform, at.x, at.y, at.z);
    }
    std::memcpy(record->transform, &transform, sizeof record->transform);
    record->indoorObject = where.object;
    record->cell = where.cell;
    const Vector3 position = object->GetPosition();
    const float at[3] = {position.x, position.y, position.z};
    IndoorObjectAddEvent event = {record, where.object, where.cell, at, 0};
    g_pluginHost.Broadcast(HookIndoorObjectAdd, Word(&event));
    if (!event.taken) {
        delete record;
        return nullptr;
    }
    g_kept.push_back(record);
    return record;
}

void IndoorObjectForget(DynamicObject* object)
{
    const auto found = std::find_if(g_kept.begin(), g_kept.end(), [object](const IndoorObjectRecord* record) {
        return record->object == Word(object);
    });
    if (found == g_kept.end())
        return;
    delete *found;
    g_kept.erase(found);
}

u32_t IndoorObjectCount()
{
    return static_cast<u32_t>(g_kept.size());
}

void IndoorObjectsFree()
{
    // Taken out first: an object's destructor must not find its own record.
    std::vector<IndoorObjectRecord*> kept;
    kept.swap(g_kept);
    for (IndoorObjectRecord* record : kept) {
        delete reinterpret_cast<DynamicObject*>(record->object);
        delete record;
    }
}
