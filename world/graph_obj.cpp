#include "world/graph_obj.h"

#include <strings.h>

#include <vector>

#include "map/object_grid.h"
#include "world/anim_mesh.h"
#include "world/graph_node.h"

GraphObj::GraphObj() : root(new GraphNode("root"))
{
    typeId = OBJECT_TYPE_GRAPHIC;
    SetGridEntry(ObjectGridEntryCreate(OBJECT_GRID_OBJECT, this));
}

GraphObj::~GraphObj()
{
    delete root;
    root = nullptr;
    SetGridEntry(nullptr);
}

void GraphObj::SetPosition(const Vector3& position)
{
    root->SetPosition(position);
    boundsValid = 0;
}

void GraphObj::SetRotation(const Vector3& angles)
{
    root->SetRotation(angles);
    boundsValid = 0;
}

Vector3 GraphObj::GetPosition() const
{
    return root->GetPosition();
}

Vector3 GraphObj::GetRotation() const
{
    return root->GetRotation();
}

namespace {

template <class Visit>
void ForEachNode(GraphNode* top, Visit visit)
{
    std::vector<GraphNode*> pending = {top};
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

bool GraphObj::FindNamedPoint(const char* pointName, GraphNode** nodeOut, Vector3* pointOut) const
{
    bool found = false;
    ForEachNode(root, [&](GraphNode* node) {
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
