#include "actors/mesh_lod_lines.h"

#include <string>

#include "core/strings/text_case.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

u32_t ActorLodRenderCode(int number)
{
    static const u32_t kCodes[] = {1, 2, 0x12, 0x22, 0x32, 5, 9, 0x42, 0x80};
    return number >= 1 && number <= 9 ? kCodes[number - 1] : 3;
}

u32_t WeaponLodRenderCode(int number)
{
    return number == 8 ? 3 : ActorLodRenderCode(number);
}

bool ApplyMeshLodLine(GraphObj& object, const EngineString* values, int count, u32_t (*code)(int number))
{
    if (count < 5 || count > 8)
        return false;
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node || !node->GetAnimMesh())
        return false;
    const AnimMesh* mesh = node->GetAnimMesh();
    MeshSettings* settings = node->GetMeshSettings();
    const char* given = values[1].Text();
    const bool withCodes = count == 8;
    const std::string copies[3] = {std::string(given) + "_0", std::string(given) + "_1", std::string(given) + "_2"};
    for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i) {
        const char* meshName = mesh->MeshName(mesh->frames[0].meshes[i]);
        MeshSettings& s = settings[i];
        if (CompareNoCase(meshName, given) == 0) {
            for (int k = 0; k < 3; ++k) {
                s.lodHidden[k] = values[2 + k].ToInt() == 1 ? 1 : 0;
                if (withCodes)
                    s.lodMode[k] = code(values[5 + k].ToInt());
            }
            continue;
        }
        // A level copy holds the one level it stands for.
        for (int k = 0; k < 3; ++k) {
            if (CompareNoCase(meshName, copies[k].c_str()) != 0)
                continue;
            s.lodHidden[0] = values[2 + k].ToInt() == 1 ? 1 : 0;
            if (withCodes)
                s.lodMode[0] = code(values[5 + k].ToInt());
        }
    }
    return true;
}
