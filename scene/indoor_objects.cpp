#include "scene/indoor_objects.h"

bool IndoorObjectAdd(DynamicObject* /*object*/, const Vector3& /*position*/)
{
    // No indoor plug-in keeps objects yet (and no trace finds an indoor mesh to drop into).
    return false;
}
