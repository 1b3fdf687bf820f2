// A graphic node's levels of detail: the distance-ordered table of reduced mesh sets that the "lod"
// parameter fills, the selection of the node's meshes for one level, and the four mesh lists the
// object's drawing uses per level-of-detail step.

#include <cstring>

#include "core/assert.h"
#include "core/strings/text_case.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

void LodLevel::Set(const u32_t* array, u32_t arrayCount, float atDistance)
{
    delete[] meshes;
    meshes = nullptr;
    distance = atDistance;
    count = arrayCount;
    if (arrayCount) {
        meshes = new u32_t[arrayCount];
        std::memcpy(meshes, array, sizeof(u32_t) * arrayCount);
    }
}

u32_t LodIndexRemove(u32_t* array, u32_t* count, u32_t index)
{
    for (u32_t i = 0; i < *count; ++i) {
        if (array[i] == index) {
            array[i] = array[*count - 1];
            --*count;
            return 1;
        }
    }
    return 0;
}

u32_t LodIndexAddUnique(u32_t* array, u32_t* count, u32_t index)
{
    for (u32_t i = 0; i < *count; ++i) {
        if (array[i] == index)
            return 1;
    }
    array[(*count)++] = index;
    return 1;
}

u32_t* GraphNode::CollectLodMeshes(u32_t* count, s32_t level, u32_t flagMask, u32_t modeMask) const
{
    const u32_t meshCount = FrameZeroMeshCount();
    u32_t* selected = new u32_t[meshCount ? meshCount : 1];
    *count = 0;
    for (u32_t i = 0; i < meshCount; ++i) {
        const AnimFrameMesh& record = animMesh->frames[0].meshes[i];
        if (!(record.flags & flagMask))
            continue;
        if (level != -1) {
            if (record.detailLevel != -1 && record.detailLevel != level)
                continue;
            if (meshSettings) {
                const MeshSettings& settings = meshSettings[i];
                const u32_t step = static_cast<u32_t>(level) < GRAPH_NODE_LOD_STEPS ? static_cast<u32_t>(level) : 0;
                if (!(settings.ModeAt(step) & modeMask) || settings.HiddenAt(step))
                    continue;
            }
        }
        selected[(*count)++] = i;
    }
    return selected;
}

void GraphNode::ApplyMeshNameList(u32_t* array, u32_t* count, const char* names, LodIndexOperation operation) const
{
    const u32_t meshCount = FrameZeroMeshCount();
    const char* cursor = names ? names : "";
    while (*cursor) {
        const char* end = std::strchr(cursor, ' ');
        const size_t length = end ? static_cast<size_t>(end - cursor) : std::strlen(cursor);
        if (length) {
            for (u32_t i = 0; i < meshCount; ++i) {
                const char* meshName = animMesh->MeshName(animMesh->frames[0].meshes[i]);
                const size_t meshLength = std::strlen(meshName);
                const bool plain = meshLength == length && CompareNoCaseN(meshName, cursor, length) == 0;
                // The level-2 variant: the name followed by "_2".
                const bool variant = meshLength == length + 2 && CompareNoCaseN(meshName, cursor, length) == 0 &&
                                     std::strcmp(meshName + length, "_2") == 0;
                if (plain || variant) {
                    operation(array, count, i);
                    break;
                }
            }
        }
        if (!end)
            break;
        cursor = end + 1;
    }
}

LodLevel* GraphNode::InsertLodLevel(float distance)
{
    ENGINE_ASSERT(lodSwitchCount < GRAPH_NODE_MAX_LOD_SWITCHES);
    // Every level at the distance or farther moves up one place, so a new level comes before the
    // levels of an equal distance.
    u32_t slot = lodSwitchCount;
    while (slot > 0 && lodSwitches[slot - 1].distance >= distance) {
        lodSwitches[slot] = lodSwitches[slot - 1];
        --slot;
    }
    lodSwitches[slot] = LodLevel{};
    lodSwitches[slot].distance = distance;
    ++lodSwitchCount;
    return &lodSwitches[slot];
}

u32_t GraphNode::AddLodLevel(float distance, const char* meshNames, const char* extraNames)
{
    if (!animMesh)
        return 0;
    // A full table refuses the level rather than writing past its end.
    if (lodSwitchCount >= GRAPH_NODE_MAX_LOD_SWITCHES)
        return 0;
    const u32_t meshCount = FrameZeroMeshCount();
    u32_t count = 0;
    u32_t* working;
    if (meshNames && CompareNoCase(meshNames, "all") == 0) {
        working = new u32_t[meshCount ? meshCount : 1];
    } else {
        working = CollectLodMeshes(&count, 2, MESH_MODE_COLLIDES, MESH_MODE_COLLIDES);
        ApplyMeshNameList(working, &count, meshNames, LodIndexRemove);
    }
    if (extraNames)
        ApplyMeshNameList(working, &count, extraNames, LodIndexAddUnique);
    InsertLodLevel(distance)->Set(working, count, distance);
    delete[] working;
    return 1;
}

const LodLevel* GraphNode::FindLodLevel(float distance) const
{
    const LodLevel* found = nullptr;
    for (u32_t i = 0; i < lodSwitchCount; ++i) {
        if (lodSwitches[i].distance > distance)
            break;
        found = &lodSwitches[i];
    }
    return found;
}

const LodLevel* GraphNode::GetLastLodLevel() const
{
    return lodSwitchCount ? &lodSwitches[lodSwitchCount - 1] : nullptr;
}

void GraphNode::BuildLodMeshLists()
{
    if (!animMesh)
        return;
    for (u32_t step = 0; step < GRAPH_NODE_LOD_LISTS; ++step) {
        u32_t count = 0;
        u32_t* meshes = CollectLodMeshes(&count, static_cast<s32_t>(step) - 1, MESH_MODE_COLLIDES, MESH_MODE_COLLIDES);
        lodMeshLists[step].Set(meshes, count, 0.0f);
        delete[] meshes;
    }
    lodListsBuilt = 1;
}
