// A graphic object that blocks traces and takes decals, as the placed classes do; a plain graphic
// object does neither.
#pragma once
#include "world/objects/graph_obj.h"

class CollidableObject : public GraphObj {
public:
    bool IsCollidable() const override { return collidable; }
    bool collidable = true;
};
