#include "world/graph_obj.h"

#include <strings.h>

#include <vector>

#include "platform/d3dx8_math.h"
#include "world/anim_mesh.h"
#include "world/graph_node.h"

GraphObj::GraphObj() : m_root(new GraphNode("root")) {}

GraphObj::~GraphObj()
{
    delete m_root;
}

Vector3 GraphObj::GetPosition() const
{
    const D3DMATRIX& local = m_root->GetLocalMatrix();
    return {local.m[3][0], local.m[3][1], local.m[3][2]};
}

void GraphObj::SetPosition(const Vector3& position)
{
    D3DMATRIX local = m_root->GetLocalMatrix();
    local.m[3][0] = position.x;
    local.m[3][1] = position.y;
    local.m[3][2] = position.z;
    m_root->SetLocalMatrix(local);
}

namespace {

template <class Visit>
void ForEachNode(GraphNode* root, Visit visit)
{
    std::vector<GraphNode*> pending = {root};
    while (!pending.empty()) {
        GraphNode* node = pending.back();
        pending.pop_back();
        if (visit(node))
            return;
        for (s32_t i = node->GetChildCount() - 1; i >= 0; --i)
            pending.push_back(node->GetChild(i));
    }
}

}  // namespace

void GraphObj::GetGeometryBounds(float* box) const
{
    D3DXVECTOR3 lo(1e30f, 1e30f, 1e30f), hi(-1e30f, -1e30f, -1e30f);
    bool any = false;
    ForEachNode(m_root, [&](GraphNode* node) {
        const AnimMesh* mesh = node->GetAnimMesh();
        if (!mesh || mesh->frames_c == 0)
            return false;
        D3DXMATRIX world;
        node->UpdateTransform(&world);
        for (u32_t m = 0; m < mesh->frames[0].meshes_c; ++m) {
            const AnimVertexData* vertices = mesh->GetMeshVertices(0, m);
            for (int corner = 0; corner < 8; ++corner) {
                const D3DXVECTOR3 local((corner & 4) ? vertices->boxMax.x : vertices->boxMin.x,
                                        (corner & 2) ? vertices->boxMax.y : vertices->boxMin.y,
                                        (corner & 1) ? vertices->boxMax.z : vertices->boxMin.z);
                D3DXVECTOR3 p;
                D3DXVec3TransformCoord(&p, &local, &world);
                D3DXVec3Minimize(&lo, &lo, &p);
                D3DXVec3Maximize(&hi, &hi, &p);
                any = true;
            }
        }
        return false;
    });
    if (!any) {
        DynamicObject::GetGeometryBounds(box);
        return;
    }
    box[0] = lo.x;
    box[1] = lo.y;
    box[2] = lo.z;
    box[3] = hi.x;
    box[4] = hi.y;
    box[5] = hi.z;
}

bool GraphObj::FindNamedPoint(const char* pointName, GraphNode** nodeOut, Vector3* pointOut) const
{
    bool found = false;
    ForEachNode(m_root, [&](GraphNode* node) {
        const AnimMesh* mesh = node->GetAnimMesh();
        if (!mesh)
            return false;
        const s32_t nameIndex = mesh->FindName(pointName);
        if (nameIndex >= 0) {
            const s32_t index = mesh->FindMesh(static_cast<u32_t>(nameIndex), 0);
            if (index >= 0) {
                *pointOut = mesh->GetMeshVertices(0, static_cast<u32_t>(index))->centre;
                found = true;
            }
        }
        for (u32_t b = 0; !found && b < mesh->dummyBoxes_c; ++b) {
            if (strcasecmp(mesh->dummyBoxes[b].name, pointName) == 0) {
                *pointOut = mesh->dummyBoxes[b].position;
                found = true;
            }
        }
        if (found)
            *nodeOut = node;
        return found;
    });
    return found;
}
