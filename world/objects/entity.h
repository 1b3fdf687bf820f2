// The invisible placed classes: the entity (a graphic object that is neither drawn nor updated and
// ignores damage: a marker with a name and a position), the networked entity (an entity that can
// be a respawn point) and the equipment (an item without a shape of its own).
#pragma once
#include "world/objects/graph_obj.h"

class Entity : public GraphObj {
public:
    // typeId 9.
    Entity();

    void Render() override {}
    void ApplyDamage(int /*kind*/, float /*angle*/, float /*amount*/) override {}
    // A box of no size at the entity's position: the world grid links the entity where it stands.
    void GetGeometryBounds(float* box) override;
    void Update() override {}
    const char* GetObjectFolder() const override { return "object\\map_obj\\"; }

    // Behind the graphic object's operations: whether the entity marks a respawn point.
    virtual s32_t IsRespawnPoint() const { return 0; }
};

class EntityNet : public Entity {
public:
    EntityNet() = default;

    // The graphic object's parameters, then "type" with exactly one value: "respawn point" (any
    // letter case) makes the entity a respawn point; any other value is taken without effect.
    bool SetParam(const char* keyword, const EngineString* values, int count) override;
    s32_t IsRespawnPoint() const override { return respawnPoint; }

    s32_t respawnPoint = 0;
};

class Equipment : public DynamicObject {
public:
    // typeId 8.
    Equipment();

    void Render() override {}
    void ApplyDamage(int /*kind*/, float /*angle*/, float /*amount*/) override {}
    // A box of no size at the origin, where an object without a position stands.
    void GetGeometryBounds(float* box) override;
    void Update() override {}
};
