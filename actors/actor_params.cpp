// An actor's definition lines: the 22 keywords that place and shape its body, build it from its class
// script, give it weapons, its AI's script and parameters, its oxygen and its blood. Lines it does
// not know go to the weapon of its last "weapon" line.
#include <cstdlib>
#include <cstring>
#include <string>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "actors/anim_name_tables.h"
#include "actors/mesh_lod_lines.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "core/console/console.h"
#include "core/log.h"
#include "core/random.h"
#include "core/strings/text_case.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr int kAnyCount = 255;
constexpr float kLengthScale = 10.0f;
constexpr const char* kBodyTextureFolder = "component\\model\\";

using Values = const EngineString*;

bool ParamPos(Actor& actor, Values values, int count)
{
    GraphNode* node = actor.FindChild(values[0].Text());
    if (!node) {
        Log("WARNING: Param '%s", "pos");
        for (int i = 0; i < count; ++i)
            Log(" %s", values[i].Text());
        Log("' for object '%s' not set\n", actor.name.Text());
        return false;
    }
    const Vector3 point = {values[1].ToFloat() * kLengthScale, values[2].ToFloat() * kLengthScale,
                           values[3].ToFloat() * kLengthScale};
    node->SetPosition(point);
    actor.boundsValid = 0;
    if (actor.ai)
        actor.ai->SetHomePosition(point);
    return true;
}

bool ParamRot(Actor& actor, Values values, int)
{
    GraphNode* node = actor.FindChild(values[0].Text());
    if (!node)
        return false;
    if (CompareNoCase(values[0].Text(), "root") == 0) {
        actor.SetHeading(values[2].ToFloat());
        actor.SetPitch(values[3].ToFloat());
        return true;
    }
    node->SetRotation({values[1].ToFloat(), values[2].ToFloat(), values[3].ToFloat()});
    actor.boundsValid = 0;
    return true;
}

// node, parent, [":" parent dummy,] file, [":" [own dummy]]: a trailing ":" names no own dummy.
bool ParamAnim(Actor& actor, Values values, int count)
{
    if (count < 3 || count > 7)
        return false;
    int at = 2;
    const char* parentDummy = nullptr;
    if (std::strcmp(values[2].Text(), ":") == 0) {
        // The parent's dummy and then the file must follow.
        if (count < 5)
            return false;
        parentDummy = values[3].Text();
        at = 4;
    }
    if (at >= count)
        return false;
    const char* fileName = values[at].Text();
    const char* ownDummy = nullptr;
    if (at + 2 < count && std::strcmp(values[at + 1].Text(), ":") == 0)
        ownDummy = values[at + 2].Text();
    GraphNode* parent = actor.FindChild(values[1].Text());
    if (!parent)
        return false;
    AnimMesh* mesh = nullptr;
    EngineString folder;
    if (!actor.LoadAnim(fileName, &mesh, &folder))
        return false;
    GraphObjAddMeshNode(parent, values[0].Text(), mesh, folder.Text(), parentDummy, ownDummy);
    actor.boundsValid = 0;
    return true;
}

// The first animation file of the entry a name-table cell names; null when there is none.
AnimMesh* CellAnimation(const AnimGroup* group, u8_t cell)
{
    if (!group || cell == ANIM_CELL_NONE || cell >= group->entries.size())
        return nullptr;
    return group->entries[cell].animations[0];
}

bool ParamScript(Actor& actor, Values values, int)
{
    ActorClassInfo* info = ActorClassLoad(&actor, values[0].Text(), actor.defName);
    if (!info)
        return false;
    actor.classInfo = info;
    const u32_t legsGroup = actor.weaponKind;
    const u32_t torsoGroup = actor.torsoSet;
    const u32_t legsCell = legsGroup * LEGS_TABLE_ROW + LEGS_IDLE * ACTOR_POSES;
    const u32_t torsoCell = torsoGroup * TORSO_TABLE_ROW + TORSO_POSE * ACTOR_POSES;
    AnimMesh* legs = legsGroup < info->legsGroups.size() && legsCell < info->legsNames.size()
                         ? CellAnimation(&info->legsGroups[legsGroup], info->legsNames[legsCell])
                         : nullptr;
    AnimMesh* torso = torsoGroup < info->torsoGroups.size() && torsoCell < info->torsoNames.size()
                          ? CellAnimation(&info->torsoGroups[torsoGroup], info->torsoNames[torsoCell])
                          : nullptr;
    AnimMesh* head = CellAnimation(&info->headGroup, 0);
    if (!legs || !torso || !head) {
        Log("WARNING: Actor '%s': class '%s' lacks the standing legs, torso or head\n", actor.name.Text(),
            actor.defName.Text());
        return false;
    }
    GraphNode* legsNode = GraphObjAddMeshNode(actor.GetRootNode(), "legs", legs, kBodyTextureFolder, nullptr, nullptr);
    GraphNode* torsoNode = GraphObjAddMeshNode(legsNode, "torso", torso, kBodyTextureFolder, "xa", "xa1");
    GraphObjAddMeshNode(torsoNode, "head", head, kBodyTextureFolder, "xb", "xb1");
    ActorAimAdjust(&actor, false);
    return true;
}

bool ParamWeapon(Actor& actor, Values values, int)
{
    if (actor.weaponCount >= kActorWeaponSlots) {
        Log("WARNING: Actor '%s': no free weapon slot for '%s'\n", actor.name.Text(), values[0].Text());
        return false;
    }
    Weapon* weapon = new Weapon;
    actor.paramWeapon = weapon;
    actor.weapons[actor.weaponCount] = weapon;
    weapon->name.Assign(values[0]);
    weapon->owner = &actor;
    actor.weaponOwned[actor.weaponCount] = true;
    ++actor.weaponCount;
    return true;
}

bool ParamAiScript(Actor& actor, Values values, int count)
{
    if (!actor.ai || count < 1)
        return false;
    const int chosen = count > 1 ? EngineRand() % count : 0;
    actor.ai->SetScriptFile(values[chosen].Text());
    ConPrint(0, "%s: Associated with ai script '%s'\n", actor.name.Text(), values[chosen].Text());
    return true;
}

bool ParamAiParam(Actor& actor, Values values, int count)
{
    AIEntity* entity = actor.GetAIEntity();
    if (!actor.ai || !entity || count < 1)
        return false;
    return entity->SetParam(values[0].Text(), values + 1, count - 1);
}

bool ParamOxygen(Actor& actor, Values values, int)
{
    actor.oxygen = actor.oxygenMax = values[0].ToFloat();
    mi_oxygen.SetInt(values[0].ToInt());
    return true;
}

// What the graphic object's own line does for the actor: its node, mesh, sound and blood keys (the
// "decal" sizes and textures are the actor's bleeding data).
bool Graphic(Actor& actor, const char* keyword, Values values, int count)
{
    return actor.GraphObj::SetParam(keyword, values, count);
}

struct Keyword {
    const char* name;
    int count;
    // Null: the graphic object's handling of the same keyword.
    bool (*apply)(Actor& actor, Values values, int count);
};

const Keyword kKeywords[] = {
    {"pos", 4, ParamPos},
    {"posobj", 1, nullptr},
    {"rot", 4, ParamRot},
    {"color", 6, nullptr},
    {"anim", kAnyCount, ParamAnim},
    {"texture", 3, nullptr},
    {"class", 1, [](Actor& a, Values v, int) { return a.defName.Assign(v[0]), true; }},
    {"script", 1, ParamScript},
    {"weapon", 1, ParamWeapon},
    {"lod", kAnyCount, [](Actor& a, Values v, int count) { return ApplyMeshLodLine(a, v, count, ActorLodRenderCode); }},
    {"svlength", kAnyCount,
     [](Actor& a, Values v, int count) { return count >= 2 && Graphic(a, "svlength", v, count); }},
    {"aiscript", kAnyCount, ParamAiScript},
    {"aiparam", kAnyCount, ParamAiParam},
    {"soundset", 1, nullptr},
    {"mtl", 3, nullptr},
    {"lodhideall", 1, nullptr},
    {"scale", 2, nullptr},
    {"infoname", 1, nullptr},
    {"lodrender", 4, nullptr},
    // The weapon choice screen reads "guiimage" from a weapon's file; hung on a soldier the line has
    // nothing to do, and is no fault of the file.
    {"guiimage", 1, [](Actor&, Values, int) { return true; }},
    {"oxygen", 1, ParamOxygen},
    {"decal", 4, nullptr},
};
static_assert(sizeof kKeywords / sizeof kKeywords[0] == 22, "an actor knows 22 keywords");

}  // namespace

bool Actor::SetParam(const char* keyword, const EngineString* values, int count)
{
    const char* given = keyword ? keyword : "";
    if (count < 0 || (count > 0 && !values))
        return false;
    for (const Keyword& entry : kKeywords) {
        if (CompareNoCase(entry.name, given) != 0)
            continue;
        if (entry.count != kAnyCount && entry.count != count)
            return false;
        return entry.apply ? entry.apply(*this, values, count) : Graphic(*this, entry.name, values, count);
    }
    // A weapon keyword after a "weapon" line configures that weapon: a line the definition means, not
    // an unknown one, so it is handed on without the warning.
    if (paramWeapon && WeaponKnowsParam(given))
        return paramWeapon->SetParam(given, values, count);
    Log("WARNING: Unknow Actor param %s [%s:%d]\n", given, "actor", __LINE__);
    // Before any "weapon" line there is no weapon to take the line.
    if (!paramWeapon)
        return false;
    return paramWeapon->SetParam(given, values, count);
}
