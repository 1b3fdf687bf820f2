#include "world/dynamic_object.h"

#include "core/sound_source.h"

DynamicObject::DynamicObject() : sound(new SoundSource(this)) {}

DynamicObject::~DynamicObject()
{
    sound->Release();
    delete sound;
}
