// Damaged definition lines: every keyword with every value count up to nine, from a mix of node
// names, mesh names, dummy marks, numbers and junk, each handed over in an array of exactly that
// many values, so that a line reading a value it was not given shows in the sanitizer build.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actors/weapons/weapon.h"
#include "map/registry/world_registry.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

using graph_test::GraphObjTest;

namespace {

const char* const kKeywords[] = {
    "pos",      "posobj",    "rot",      "color",    "anim",     "texture", "lod",        "clipveg",
    "svlength", "billboard", "noclip",   "soundset", "setsh",    "setldr",  "mtl",        "lodhideall",
    "setpsh",   "fly",       "unlit",    "scale",    "infoname", "setgsh",  "lodrender",  "weapon",
    "indoor",   "animate",   "grdclip",  "hitshake", "energy",   "landtex", "grenadehit", "decal",
    "zone",     "destroy",   "particle", "radius",   "damage",   "unknown",
};
const char* const kWords[] = {"root", "body", ":", "all", "1", "wheel", "-2.5", "parts", "x", ""};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

class PlacedObject : public GraphObj {
public:
    PlacedObject() { typeId = OBJECT_TYPE_MAP_OBJECT; }
};

using GraphObjParamRobustness = GraphObjTest;

TEST_F(GraphObjParamRobustness, EveryKeywordWithEveryShortCount)
{
    AnimMesh* parts = WriteMesh("parts", graph_test::QuadsAff({"body", "wheel", "wheel_1"}));
    PlacedObject object;
    object.name.Assign("o");
    object.GetRootNode()->SetAnimMesh(parts, "component\\extras\\");
    std::vector<Weapon*> weapons;
    for (const char* keyword : kKeywords) {
        for (int count = 0; count <= 9; ++count) {
            for (int offset = 0; offset < kWordCount; ++offset) {
                // Exactly count values on the heap: nothing past them is readable.
                std::unique_ptr<EngineString[]> values(count ? new EngineString[count] : nullptr);
                for (int i = 0; i < count; ++i)
                    values[i].Assign(kWords[(offset + i) % kWordCount]);
                object.SetParam(keyword, values.get(), count);
                if (object.fixedWeapon && (weapons.empty() || weapons.back() != object.fixedWeapon))
                    weapons.push_back(object.fixedWeapon);
            }
        }
    }
    object.fixedWeapon = nullptr;
    for (Weapon* weapon : weapons) {
        DynObjectRemove(weapon);
        delete weapon;
    }
}

}  // namespace
