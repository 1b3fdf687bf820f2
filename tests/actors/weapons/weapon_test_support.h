// Helpers of the weapon tests: the sample data packed into the archive, the GUI screens the sample
// weapons name, definition lines split as the definition reader splits them, and everything weapons
// leave behind (envelopes, handlers, placements, the retire table, the registry) let go after each
// test.
#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "actors/actor_cvars.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "core/files/def_file.h"
#include "game/mission_objects/weapon_placements.h"
#include "gui/screens/gui.h"
#include "map/registry/world_registry.h"
#include "support/def_apply.h"
#include "tests/actors/actor_test_support.h"

namespace weapon_test {

// Hands the line (a key and its values, split at blanks) to the object's SetParam.
inline bool ApplyLine(DynamicObject& object, const std::string& line)
{
    std::istringstream words(line);
    std::string key;
    words >> key;
    std::vector<EngineString> values;
    std::string word;
    while (words >> word)
        values.emplace_back(word.c_str());
    return object.SetParam(key.c_str(), values.data(), static_cast<int>(values.size()));
}

// How often the text occurs in the log written since the offset.
inline int LogCount(size_t offset, const std::string& text)
{
    const std::string log = actor_test::LogFrom(offset);
    int count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

class WeaponFixture : public actor_test::ClassFixture {
protected:
    void SetUp() override
    {
        ClassFixture::SetUp();
        for (const char* screen : {"CROSS", "RIFLE", "SCOPE"})
            GuiAddScreen(new GuiScreen(screen));
    }
    void TearDown() override
    {
        // Registered objects the test left behind go first, then what they referred to.
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        while (count > 0) {
            DynamicObject* object = objects[count - 1];
            DynObjectRemove(object);
            delete object;
            DynObjectsGet(&objects, &count);
        }
        ProjectileTableClear();
        ProjectileTableFree();
        EnvelopeTableDeleteAll();
        EventHandlerListFreeAll();
        GameWeaponPlacementsClear();
        GuiShutdown();
        DefFileFreeAll();
        ClassFixture::TearDown();
    }
    // A weapon built from its sample definition "object\weapons\<name>.def".
    Weapon* LoadSample(const char* weaponName)
    {
        Weapon* weapon = new Weapon;
        weapon->name.Assign(weaponName);
        const std::string file = std::string("object\\weapons\\") + weaponName + ".def";
        m_results = ApplyDefFile(file.c_str(), weapon);
        return weapon;
    }

    std::vector<bool> m_results;

private:
    // Soldiers' "oxygen" lines set the console variable.
    KeepVar m_oxygen{mi_oxygen};
};

}  // namespace weapon_test
