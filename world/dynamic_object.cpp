#include "world/dynamic_object.h"

#include "core/sound_source.h"

DynamicObject::DynamicObject() : sound(new SoundSource(this)) {}

DynamicObject::~DynamicObject()
{
    sound->Release();
    delete sound;
}

void DynamicObject::GetGeometryBounds(float* box) const
{
    const Vector3 p = GetPosition();
    box[0] = box[3] = p.x;
    box[1] = box[4] = p.y;
    box[2] = box[5] = p.z;
}
