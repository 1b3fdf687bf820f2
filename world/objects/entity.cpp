#include "world/objects/entity.h"

#include "core/strings/text_case.h"

namespace {

void PointBox(const Vector3& point, float* box)
{
    box[0] = box[3] = point.x;
    box[1] = box[4] = point.y;
    box[2] = box[5] = point.z;
}

}  // namespace

Entity::Entity()
{
    typeId = OBJECT_TYPE_ENTITY;
}

void Entity::GetGeometryBounds(float* box)
{
    PointBox(GetPosition(), box);
}

bool EntityNet::SetParam(const char* keyword, const EngineString* values, int count)
{
    if (GraphObj::SetParam(keyword, values, count))
        return true;
    if (CompareNoCase(keyword ? keyword : "", "type") != 0 || count != 1)
        return false;
    if (CompareNoCase(values[0].Text(), "respawn point") == 0)
        respawnPoint = 1;
    return true;
}

Equipment::Equipment()
{
    typeId = OBJECT_TYPE_EQUIPMENT;
}

void Equipment::GetGeometryBounds(float* box)
{
    PointBox({0.0f, 0.0f, 0.0f}, box);
}
