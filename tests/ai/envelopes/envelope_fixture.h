// Envelope tests: the AI of a mission (ai_mission_fixture.h) with console 0 open, world objects in
// the registry, and the mission files written into "mission\yard". Everything the envelope code made
// (the table, the player's envelope, the markers) is deleted after each test, before the objects.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/ai_mission_fixture.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "map/meshes/map_object.h"
#include "map/registry/world_registry.h"
#include "render/render_cvars.h"
#include "support/engine_log.h"
#include "support/files.h"

class EnvelopeMission : public AIMission {
protected:
    static constexpr const char* kFolder = "mission\\yard";

    void SetUp() override
    {
        AIMission::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        EnvelopeDestroyAll();
        for (DynamicObject* object : m_objects) {
            DynObjectRemove(object);
            delete object;
        }
        for (Actor* body : m_bodies)
            DynObjectRemove(body);
        gbteskenable.SetBool(false);
        DefFileFreeAll();
        ConShutdown();
        AIMission::TearDown();
    }
    // Writes a file of the mission folder; the definition cache forgets what it read before.
    void WriteMissionFile(const char* name, const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes(std::string("mission/yard/") + name, text));
        DefFileFreeAll();
    }
    // A world object of that name at the place, in the registry; deleted after the test.
    MapObject* Object(const char* name, Vector3 place = {})
    {
        MapObject* object = new MapObject();
        object->name.Assign(name);
        object->SetPosition(place);
        DynObjectAdd(object);
        m_objects.push_back(object);
        return object;
    }
    // A soldier's body in the registry and the actor table.
    Actor* Body(const char* name, float x)
    {
        Actor* body = Soldier(name, x)->body;
        DynObjectAdd(body);
        return body;
    }
    static std::vector<std::string> Console() { return engine_log::ConsoleLines(0); }

    std::vector<DynamicObject*> m_objects;
};
