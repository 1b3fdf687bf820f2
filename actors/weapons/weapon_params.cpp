// A weapon's definition keys: the 42 keys of its definition file and of the carrier's lines it is
// handed, the first-person view read from the script "weapon", the projectile template read from
// the script "bullet" and the sub-weapons read from their own definition files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actors/mesh_lod_lines.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "core/files/def_file.h"
#include "core/strings/finite_number.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/strings/text_case.h"
#include "game/mission_objects/weapon_placements.h"
#include "gui/screens/gui.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr int kAnyCount = 255;
// Lengths in definitions are in units of 10 world units.
constexpr float kLengthScale = 10.0f;
constexpr float kDegreesToRadians = 0.017453292f;
// The first-person section has one child per animation and then the view settings.
constexpr u32_t kFirstPersonChildren = MAX_WEAPON_FP_ANIMS + 1;
// The most values one definition line hands on, as the object loader does.
constexpr int kMaxParamValues = 64;

using Values = const EngineString*;

float ReadFloat(const char* text)
{
    return FiniteFloatOrZero(text);
}

int ReadInt(const char* text)
{
    int result = 0;
    return std::sscanf(text, "%d", &result) == 1 ? result : 0;
}

float ReadFloat(const EngineString& value)
{
    return ReadFloat(value.Text());
}

int ReadInt(const EngineString& value)
{
    return ReadInt(value.Text());
}

bool Same(const char* a, const char* b)
{
    return CompareNoCase(a, b) == 0;
}

// "true" or "false" into the flag; false for another word.
bool ReadTruth(const EngineString& value, bool* flag)
{
    if (Same(value.Text(), "true")) {
        *flag = true;
        return true;
    }
    if (Same(value.Text(), "false")) {
        *flag = false;
        return true;
    }
    return false;
}

u32_t FireModeBit(const char* word)
{
    if (Same(word, "AUTO"))
        return kFireModeAuto;
    if (Same(word, "SEMI"))
        return kFireModeSingle;
    if (Same(word, "BURST"))
        return kFireModeBurst;
    return 0;
}

// Loads the wave and its numbered variants "<name>_0", "<name>_1", ... into the level until one
// does not load.
void LoadSoundLevel(SoundSet* set, SoundSource* source, const char* name, s32_t level)
{
    if (SoundInstance* sound = SoundLoad(source, name, SOUND_MODE_OBJECT))
        set->Add(sound, level);
    for (int k = 0;; ++k) {
        const std::string variant = std::string(name) + "_" + std::to_string(k);
        SoundInstance* sound = SoundLoad(source, variant.c_str(), SOUND_MODE_OBJECT);
        if (!sound)
            break;
        set->Add(sound, level);
    }
}

// A new sound set with the command's extra parameter (word 2) and the names of words 3 on, one per
// level; it replaces the set already there.
void ReadSoundSet(Projectile* bullet, SoundSet** slot, const ScriptCommand& command, int levels)
{
    SoundSet* set = new SoundSet;
    set->extraParam = ReadInt(command.Word(2));
    for (int level = 0; level < levels; ++level)
        LoadSoundLevel(set, bullet->sound, command.Word(3 + level), level);
    delete *slot;
    *slot = set;
}

void ReadBulletProperty(Projectile* bullet, const ScriptCommand& command)
{
    const char* key = command.Word(1);
    auto f = [&](int word) { return ReadFloat(command.Word(word)); };
    auto u = [&](int word) { return static_cast<u32_t>(ReadInt(command.Word(word))); };
    if (Same(key, "weight")) {
        bullet->weight = f(2);
    } else if (Same(key, "resistance")) {
        bullet->resistance = f(2);
    } else if (Same(key, "damage")) {
        bullet->damage = f(2);
    } else if (Same(key, "radius")) {
        bullet->radius = f(2) * kLengthScale;
    } else if (Same(key, "hit_time")) {
        bullet->fuseTime = u(2);
    } else if (Same(key, "life_time")) {
        bullet->lifeTime = u(2);
    } else if (Same(key, "screen_shake")) {
        for (int i = 0; i < 4; ++i)
            bullet->screenShake[i] = f(2 + i);
    } else if (Same(key, "deviation")) {
        bullet->deviation[0] = f(2);
        bullet->deviation[1] = f(3);
    } else if (Same(key, "sound_hit")) {
        ReadSoundSet(bullet, &bullet->hitSounds, command, 1);
    } else if (Same(key, "sound_fly")) {
        ReadSoundSet(bullet, &bullet->flySounds, command, 1);
    } else if (Same(key, "sound_explo")) {
        // Three levels are named; a shorter line would leave levels without a name.
        if (command.WordCount() < 6) {
            Log("WARNING: Bullet '%s': sound_explo names fewer than 3 sounds, line skipped\n", bullet->name.Text());
            return;
        }
        ReadSoundSet(bullet, &bullet->explosionSounds, command, 3);
    } else if (Same(key, "particle")) {
        bullet->explosionParticle.Assign(command.Word(2));
    } else if (Same(key, "particle_fly")) {
        bullet->airBurstParticle.Assign(command.Word(2));
    } else if (Same(key, "particle_trace")) {
        bullet->trailParticle.Assign(command.Word(2));
    } else if (Same(key, "muzzlevelocity")) {
        bullet->muzzleVelocity = f(2);
    } else if (Same(key, "decal_size")) {
        bullet->decalSize[0] = f(2) * kLengthScale;
        bullet->decalSize[1] = f(3) * kLengthScale;
    } else if (Same(key, "decal_radius")) {
        bullet->decalRadius = f(2) * kLengthScale;
    } else if (Same(key, "initial_density")) {
        bullet->initialDensity = f(2);
    } else if (Same(key, "final_density")) {
        bullet->finalDensity = f(2);
    } else if (Same(key, "range")) {
        bullet->range = f(2);
    } else if (Same(key, "drawdelay")) {
        bullet->drawDelay = u(2);
    } else if (Same(key, "pieces")) {
        // Read signed: "pieces -3" must not become four thousand million projectiles a shot.
        const s32_t pieces = ReadInt(command.Word(2));
        if (pieces < 1 || pieces > static_cast<s32_t>(PROJECTILE_MAX_PIECES)) {
            bullet->pieces = pieces < 1 ? 1 : PROJECTILE_MAX_PIECES;
            Log("WARNING: Bullet '%s': pieces %d out of 1..%u, %u taken\n", bullet->name.Text(), pieces,
                PROJECTILE_MAX_PIECES, bullet->pieces);
        } else {
            bullet->pieces = static_cast<u32_t>(pieces);
        }
    }
}

bool ParamBullet(Weapon& weapon, Values values, int)
{
    ScriptFile* script = GetScriptFile("bullet", false);
    // A second block replaces the first: its copies in flight are detached first.
    weapon.ReleaseBulletTemplate();
    Projectile* bullet = new Projectile;
    weapon.bulletTemplate = bullet;
    bullet->name.Assign(values[0]);
    if (!script)
        return true;
    const ScriptSection* section = script->FindSection(values[0].Text());
    for (const ScriptCommand& command : section->commands) {
        const char* word = command.Keyword();
        if (Same(word, "type")) {
            const char* type = command.Word(1);
            if (Same(type, "HIT")) {
                bullet->bulletType = BULLET_TYPE_HIT;
            } else if (Same(type, "EXPLOSIVE")) {
                bullet->bulletType = BULLET_TYPE_EXPLOSIVE;
            } else if (Same(type, "BLANK")) {
                bullet->bulletType = BULLET_TYPE_BLANK;
                bullet->blank = 1;
                break;
            }
        } else if (Same(word, "anim")) {
            AnimMesh* mesh = nullptr;
            if (bullet->LoadAnim(command.Word(2), &mesh, &bullet->modelFolder))
                bullet->model = mesh;
        } else if (Same(word, "texture")) {
            bullet->textureName.Assign(command.Word(1));
        } else if (Same(word, "property")) {
            ReadBulletProperty(bullet, command);
        }
    }
    return true;
}

u32_t FrameZeroMeshes(const AnimMesh* mesh)
{
    return mesh && mesh->frames_c ? mesh->frames[0].meshes_c : 0;
}

// One child section of the first-person section: its animation entry.
void ReadFirstPersonEntry(Weapon& weapon, u32_t index, const ScriptSection& child, AnimMesh** lastLoaded)
{
    AnimEntry& entry = weapon.fpAnims[index];
    for (AnimMesh*& slot : entry.animations)
        slot = nullptr;
    entry.animationCount = 0;
    for (const ScriptCommand& command : child.commands) {
        const char* word = command.Keyword();
        if (std::strcmp(word, "triggerframe") == 0) {
            const int slot = ReadInt(command.Word(1));
            if (command.WordCount() < 3 || slot < 0 || slot >= ANIM_TRIGGER_SLOTS) {
                Log("WARNING: Weapon '%s' first-person '%s': trigger slot %s skipped\n", weapon.name.Text(),
                    child.Name(), command.Word(1));
                continue;
            }
            const char* frame = command.Word(2);
            entry.triggerFrames[slot] = std::strcmp(frame, "last") == 0 ? 0xFFFF : static_cast<u16_t>(ReadInt(frame));
        } else if (std::strcmp(word, "anim") == 0) {
            const int pairs = (command.WordCount() - 2) / 2;
            if (pairs + entry.animationCount > MAX_ANIM_ALIASES) {
                Log("WARNING: Weapon '%s' first-person '%s': more than %d animations, line skipped\n",
                    weapon.name.Text(), child.Name(), MAX_ANIM_ALIASES);
                continue;
            }
            for (int k = 0; k < pairs; ++k) {
                const u16_t n = entry.animationCount;
                const std::string file = std::string("..\\weapon\\") + command.Word(2 * k + 3);
                AnimMesh* mesh = nullptr;
                if (!weapon.LoadAnim(file.c_str(), &mesh, &weapon.fpAnimList))
                    continue;
                entry.animations[n] = mesh;
                entry.slotSpeed[n] = ReadFloat(command.Word(2 * k + 2));
                entry.animationCount = static_cast<u16_t>(n + 1);
                *lastLoaded = mesh;
            }
            entry.reverse = std::strcmp(command.Word(command.WordCount() - 1), "reverseframes") == 0 ? 1 : 0;
        } else if (std::strcmp(word, "nolod") == 0) {
            weapon.fpNoLod[index] = true;
        }
    }
}

// The textures of every first-person mesh, level by level, the animations one after another.
void ReadFirstPersonTextures(Weapon& weapon)
{
    u32_t meshes[MAX_WEAPON_FP_ANIMS] = {};
    u32_t total = 0;
    for (u32_t a = 0; a < MAX_WEAPON_FP_ANIMS; ++a) {
        const AnimEntry& entry = weapon.fpAnims[a];
        meshes[a] = entry.animationCount > 0 ? FrameZeroMeshes(entry.animations[0]) : 0;
        total += meshes[a];
    }
    weapon.fpTextureCount = total;
    for (IDirect3DTexture8**& textures : weapon.fpTextures)
        textures = new IDirect3DTexture8*[total > 0 ? total : 1]();
    for (u32_t level = 0; level < WEAPON_FP_LODS; ++level) {
        u32_t index = 0;
        for (u32_t a = 0; a < MAX_WEAPON_FP_ANIMS; ++a) {
            const AnimEntry& entry = weapon.fpAnims[a];
            const AnimMesh* file = level < entry.animationCount ? entry.animations[level] : nullptr;
            // A level file with fewer meshes than the slot-0 file has no texture for the others.
            if (file && FrameZeroMeshes(file) < meshes[a]) {
                Log("WARNING: Weapon '%s': first-person animation %u level %u has fewer meshes than level 0, "
                    "its textures are skipped\n",
                    weapon.name.Text(), a, level);
                file = nullptr;
            }
            if (!file) {
                index += meshes[a];
            } else {
                for (u32_t k = 0; k < meshes[a]; ++k, ++index) {
                    const AnimMaterial* material = file->GetMeshTextureRef(0, k);
                    const u32_t texture =
                        material ? material->textureWord & ANIM_TEXTURE_INDEX_MASK : ANIM_TEXTURE_NONE;
                    if (texture == ANIM_TEXTURE_NONE || texture >= file->textures_c)
                        continue;
                    const std::string path = std::string("component\\weapon\\") + file->textures[texture].Text();
                    weapon.fpTextures[level][index] = TextureFindOrLoad(path.c_str());
                }
            }
            if (level == 0 && a + 1 < MAX_WEAPON_FP_ANIMS)
                weapon.fpTextureStart[a + 1] = index;
        }
    }
}

void ReadFirstPersonLods(Weapon& weapon, const ScriptSection& section, const AnimMesh* lastLoaded)
{
    const u32_t count = FrameZeroMeshes(lastLoaded);
    weapon.fpMeshLodCount = count;
    weapon.fpMeshLod = new MeshLodInfo[count > 0 ? count : 1];
    for (const ScriptCommand& command : section.commands) {
        if (std::strcmp(command.Keyword(), "lod") != 0 || command.WordCount() < 5)
            continue;
        const bool withCodes = command.WordCount() == 8;
        for (u32_t i = 0; i < count; ++i) {
            if (!Same(lastLoaded->MeshName(lastLoaded->frames[0].meshes[i]), command.Word(1)))
                continue;
            for (int j = 0; j < 3; ++j) {
                weapon.fpMeshLod[i].levelFlags[j] = ReadInt(command.Word(2 + j)) == 1;
                if (withCodes)
                    weapon.fpMeshLod[i].renderCodes[j] = WeaponLodRenderCode(ReadInt(command.Word(5 + j)));
            }
        }
    }
}

s32_t StanceIndex(const char* name)
{
    static const char* const kStances[WEAPON_STANCES] = {"WALK", "CROUCH", "PRONE", "RUN"};
    for (u32_t i = 0; i < WEAPON_STANCES; ++i) {
        if (Same(name, kStances[i]))
            return static_cast<s32_t>(i);
    }
    return -1;
}

void ReadFirstPersonView(Weapon& weapon, const ScriptSection& view)
{
    for (const ScriptCommand& command : view.commands) {
        if (!Same(command.Keyword(), "property"))
            continue;
        const char* key = command.Word(1);
        const Vector3 xyz = {ReadFloat(command.Word(2)), ReadFloat(command.Word(3)), ReadFloat(command.Word(4))};
        if (Same(key, "scale"))
            weapon.fpScale = xyz;
        else if (Same(key, "pos"))
            weapon.fpPosition = xyz;
        else if (Same(key, "fov"))
            weapon.fpFov = ReadFloat(command.Word(2)) * kDegreesToRadians;
    }
    // A block of no known stance adds to the stance of the block before it (WALK for the first).
    s32_t stance = 0;
    for (const ScriptSection* child : view.children) {
        const s32_t named = StanceIndex(child->Name());
        if (named >= 0)
            stance = named;
        WeaponStanceSway& sway = weapon.stanceSway[stance];
        for (const ScriptCommand& command : child->commands) {
            if (!Same(command.Keyword(), "property"))
                continue;
            const char* key = command.Word(1);
            float* target = nullptr;
            int count = 2;
            if (Same(key, "walk_x"))
                target = sway.walkX;
            else if (Same(key, "walk_y"))
                target = sway.walkY;
            else if (Same(key, "walk_z"))
                target = sway.walkZ;
            else if (Same(key, "yaw"))
                target = sway.yaw, count = 3;
            else if (Same(key, "rot_x"))
                target = sway.rotX;
            if (!target)
                continue;
            for (int i = 0; i < count; ++i)
                target[i] = ReadFloat(command.Word(2 + i));
        }
    }
}

void ReadFirstPersonParticles(Weapon& weapon, ScriptFile* script, const char* value)
{
    const std::string path = std::string("WEAPON.") + value + ".Particles";
    const ScriptSection* section = script->FindSection(path.c_str());
    if (!section || !Same(section->Name(), "Particles"))
        return;
    for (const ScriptCommand& command : section->commands) {
        const u32_t index = WeaponFirstPersonAnimIndex(command.Keyword());
        if (index >= MAX_WEAPON_FP_ANIMS) {
            Log("WARNING: Weapon '%s': particle line for unknown animation '%s' skipped\n", weapon.name.Text(),
                command.Keyword());
            continue;
        }
        weapon.fpParticleNames[index].Assign(command.Word(1));
        weapon.fpParticleOffsets[index] = {ReadFloat(command.Word(2)), ReadFloat(command.Word(3)),
                                           ReadFloat(command.Word(4))};
    }
}

bool ParamFpAnim(Weapon& weapon, Values values, int)
{
    weapon.fpAnimName.Assign(values[0]);
    ScriptFile* script = GetScriptFile("weapon", false);
    if (!script)
        return false;
    const std::string path = std::string("WEAPON.") + values[0].Text();
    const ScriptSection* section = script->FindSection(path.c_str());
    if (!section)
        return false;
    if (section->children.size() < kFirstPersonChildren) {
        Log("WARNING: Weapon '%s': first-person section '%s' has %u parts of %u, skipped\n", weapon.name.Text(),
            values[0].Text(), static_cast<u32_t>(section->children.size()), kFirstPersonChildren);
        return false;
    }
    // A second view replaces the first.
    weapon.ReleaseFirstPerson();
    weapon.fpAnims = new AnimEntry[MAX_WEAPON_FP_ANIMS];
    AnimMesh* lastLoaded = nullptr;
    for (u32_t a = 0; a < MAX_WEAPON_FP_ANIMS; ++a)
        ReadFirstPersonEntry(weapon, a, *section->children[a], &lastLoaded);
    ReadFirstPersonTextures(weapon);
    ReadFirstPersonLods(weapon, *section, lastLoaded);
    ReadFirstPersonView(weapon, *section->children[MAX_WEAPON_FP_ANIMS]);
    ReadFirstPersonParticles(weapon, script, values[0].Text());
    return true;
}

// The names of the weapon definitions being read, outermost first: a sub-weapon that names one of
// them (itself, or a file further up that names it in turn) would be read without end.
std::vector<std::string> g_subWeaponChain;

bool SubWeaponInChain(const char* name)
{
    for (const std::string& reading : g_subWeaponChain) {
        if (Same(reading.c_str(), name))
            return true;
    }
    return false;
}

bool ParamSubWeapon(Weapon& weapon, Values values, int count)
{
    // The outermost weapon's own name starts the chain, so that a file naming itself is refused at once.
    const bool outermost = g_subWeaponChain.empty();
    if (outermost)
        g_subWeaponChain.emplace_back(weapon.name.Text());
    // The chain ends with the outermost weapon on every way out, so the next weapon read starts afresh.
    struct ChainEnd {
        bool outermost;
        ~ChainEnd()
        {
            if (outermost)
                g_subWeaponChain.clear();
        }
    } chainEnd{outermost};
    for (int i = 0; i < count; ++i) {
        if (SubWeaponInChain(values[i].Text())) {
            Log("WARNING: Weapon '%s': sub-weapon '%s' is already being read, refused\n", weapon.name.Text(),
                values[i].Text());
            continue;
        }
        Weapon* sub = new Weapon;
        if (!weapon.AddSubWeapon(sub)) {
            Log("WARNING: Weapon '%s': more than %u sub-weapons, '%s' refused\n", weapon.name.Text(),
                WEAPON_MAX_SUBWEAPONS, values[i].Text());
            delete sub;
            return true;
        }
        sub->owner = weapon.owner;
        const std::string file = std::string(weapon.GetObjectFolder()) + values[i].Text() + ".def";
        DefFile* definition = DefFileLoad(file.c_str());
        if (!definition)
            continue;
        if (const DefEntry* named = DefFileFindEntry(definition->first, "weapon"))
            sub->name.Assign(named->Value(0));
        g_subWeaponChain.emplace_back(values[i].Text());
        for (const DefEntry* entry = definition->first; entry; entry = entry->next) {
            const int valueCount = entry->valueCount < kMaxParamValues ? entry->valueCount : kMaxParamValues;
            sub->SetParam(entry->key.Text(), entry->values, valueCount);
        }
        g_subWeaponChain.pop_back();
        DefFileRelease(definition);
    }
    return true;
}

bool ParamMode(Weapon& weapon, Values values, int count)
{
    if (count > static_cast<int>(WEAPON_FIRE_MODE_SLOTS))
        return false;
    for (int i = 0; i < count; ++i) {
        const u32_t bit = FireModeBit(values[i].Text());
        if (!bit)
            continue;
        weapon.fireModeMask |= bit;
        if (weapon.fireModeCount < WEAPON_FIRE_MODE_SLOTS)
            weapon.fireModes[weapon.fireModeCount++] = bit;
        if (i == 0)
            weapon.fireMode = bit;
    }
    return true;
}

bool ParamFpm(Weapon& weapon, Values values, int count)
{
    if (count < 1)
        return false;
    weapon.fpmFirst = ReadFloat(values[0]);
    weapon.fpmSecond = ReadFloat(values[count == 2 ? 1 : 0]);
    return true;
}

bool ParamType(Weapon& weapon, Values values, int)
{
    static const char* const kTypes[] = {"CSW", "PRIMARY", "SECONDARY", "GRENADE", "EXPLOSIVE"};
    for (u32_t i = 0; i < 5; ++i) {
        if (Same(values[0].Text(), kTypes[i]))
            weapon.slotType = i;
    }
    return true;
}

bool ParamAnim(Weapon& weapon, Values values, int count)
{
    if (count < 3 || count > 7)
        return false;
    // A model line whose parent node the weapon lacks is how a mission lays a weapon on the ground: the
    // placement is recorded for the mission start to replace, and the line has done what it is for.
    if (!weapon.FindChildQuietly(values[1].Text())) {
        GameRecordWeaponPlacement(weapon.name.Text(), weapon.GetPosition(), weapon.GetRotation(), &weapon);
        return true;
    }
    return weapon.GraphObj::SetParam("anim", values, count);
}

bool ParamWeaponSound(Weapon& weapon, Values values, int)
{
    SoundSetTable* table = LoadSoundSets(&weapon, values[0].Text());
    if (!table)
        return false;
    if (!weapon.sound) {
        delete table;
        return false;
    }
    weapon.sound->SetSoundTable(table);
    return true;
}

bool ParamScreen(GuiScreen** screen, Values values)
{
    *screen = GuiFindScreen(values[0].Text());
    return *screen != nullptr;
}

// The graphic object's own handling of the line: its node, mesh and texture keys.
template <const char* const* Name>
bool Graphic(Weapon& w, Values v, int count)
{
    return w.GraphObj::SetParam(*Name, v, count);
}

const char* const kPos = "pos";
const char* const kPosObj = "posobj";
const char* const kRot = "rot";
const char* const kColor = "color";
const char* const kTexture = "texture";

u16_t ReadU16(const EngineString& value)
{
    return static_cast<u16_t>(ReadInt(value));
}

struct Key {
    const char* name;
    int count;
    bool (*apply)(Weapon& w, Values v, int count);
};

// The 42 keys in their fixed order; the first match wins.
const Key kKeys[] = {
    {"pos", 4, Graphic<&kPos>},
    {"posobj", 1, Graphic<&kPosObj>},
    {"rot", 4, Graphic<&kRot>},
    {"color", 6, Graphic<&kColor>},
    {"anim", kAnyCount, ParamAnim},
    {"texture", 3, Graphic<&kTexture>},
    {"legs", 1, [](Weapon& w, Values v, int) { return w.legsName.Assign(v[0]), true; }},
    {"torso", 1, [](Weapon& w, Values v, int) { return w.torsoName.Assign(v[0]), true; }},
    {"type", 1, ParamType},
    {"pin_inactive", 1, [](Weapon& w, Values v, int) { return w.pinInactive.Assign(v[0]), true; }},
    {"subweapon", kAnyCount, ParamSubWeapon},
    {"mode", kAnyCount, ParamMode},
    {"fpm", kAnyCount, ParamFpm},
    {"delay", 1, [](Weapon& w, Values v, int) { return w.delay = ReadFloat(v[0]), true; }},
    {"zoom", 1, [](Weapon& w, Values v, int) { return w.zoom = ReadFloat(v[0]), true; }},
    {"scatter", 12,
     [](Weapon& w, Values v, int) {
         for (int g = 0; g < 4; ++g)
             for (int i = 0; i < 3; ++i)
                 w.scatter[g][i] = ReadFloat(v[3 * g + i]);
         return true;
     }},
    {"zoomscreen", 1, [](Weapon& w, Values v, int) { return ParamScreen(&w.zoomScreen, v); }},
    {"fp_anim", 1, ParamFpAnim},
    {"silent", 1, [](Weapon& w, Values v, int) { return ReadTruth(v[0], &w.silent); }},
    {"fixed", 1, [](Weapon& w, Values v, int) { return ReadTruth(v[0], &w.fixed); }},
    {"burst", 1, [](Weapon& w, Values v, int) { return w.burstCount = ReadU16(v[0]), true; }},
    {"magazinecap", 1,
     [](Weapon& w, Values v, int) { return w.magazineCap = w.magazineCapFull = w.roundsInGun = ReadU16(v[0]), true; }},
    {"bullet", 1, ParamBullet},
    {"lod", kAnyCount,
     [](Weapon& w, Values v, int count) { return ApplyMeshLodLine(w, v, count, WeaponLodRenderCode); }},
    {"magazinecount", 1,
     [](Weapon& w, Values v, int) { return w.magazineCountFull = w.spareMagazines = ReadU16(v[0]), true; }},
    {"statscreen", 1, [](Weapon& w, Values v, int) { return ParamScreen(&w.statScreen, v); }},
    {"crosshair", 1, [](Weapon& w, Values v, int) { return ParamScreen(&w.crosshairScreen, v); }},
    {"common_stats", 1, [](Weapon& w, Values v, int) { return w.commonStats = ReadInt(v[0]) == 1, true; }},
    {"weapon_sound", 1, ParamWeaponSound},
    {"guiimage", 1, [](Weapon&, Values, int) { return true; }},
    {"guiinfo", 1, [](Weapon&, Values, int) { return true; }},
    {"ainear", 1, [](Weapon& w, Values v, int) { return w.aiNear = ReadFloat(v[0]) * kLengthScale, true; }},
    {"aifar", 1, [](Weapon& w, Values v, int) { return w.aiFar = ReadFloat(v[0]) * kLengthScale, true; }},
    {"aipower", 1, [](Weapon& w, Values v, int) { return w.aiPower = ReadFloat(v[0]), true; }},
    {"aigoodfor", 6,
     [](Weapon& w, Values v, int) {
         for (int i = 0; i < 6; ++i)
             w.aiGoodFor[i] = ReadFloat(v[i]);
         return true;
     }},
    {"aitype", 1, [](Weapon& w, Values v, int) { return w.aiType = ReadInt(v[0]), true; }},
    {"aireptime", 1, [](Weapon& w, Values v, int) { return w.aiRepTime = ReadInt(v[0]), true; }},
    {"ainkills", 1, [](Weapon& w, Values v, int) { return w.aiNKills = ReadInt(v[0]), true; }},
    {"firewait", 1, [](Weapon& w, Values v, int) { return w.fireWait = ReadInt(v[0]), true; }},
    {"trace_count", 1, [](Weapon& w, Values v, int) { return w.traceCount = ReadInt(v[0]), true; }},
    {"button2_off", 1, [](Weapon& w, Values v, int) { return ReadTruth(v[0], &w.button2Off); }},
    {"activate_bullet", 1, [](Weapon& w, Values v, int) { return w.activateBullet.Assign(v[0]), true; }},
};
static_assert(sizeof kKeys / sizeof kKeys[0] == 42, "a weapon knows 42 keys");

}  // namespace

bool Weapon::SetParam(const char* key, const EngineString* values, int count)
{
    const char* given = key ? key : "";
    if (count < 0 || (count > 0 && !values))
        return false;
    for (const Key& entry : kKeys) {
        if (!Same(entry.name, given))
            continue;
        if (entry.count != kAnyCount && entry.count != count)
            return false;
        return entry.apply(*this, values, count);
    }
    Log("WARNING: Unknow Weapon param %s\n", given);
    return false;
}

bool WeaponKnowsParam(const char* key)
{
    for (const Key& entry : kKeys) {
        if (Same(entry.name, key ? key : ""))
            return true;
    }
    return false;
}

u32_t WeaponFirstPersonAnimIndex(const char* name)
{
    static const char* const kNames[MAX_WEAPON_FP_ANIMS] = {"Aim",
                                                            "Shot",
                                                            "Reload",
                                                            "ShotDone",
                                                            "SwitchTo",
                                                            "SwitchFrom",
                                                            "AimEmpty",
                                                            "ReloadEmpty",
                                                            "ShotDoneEmpty",
                                                            "SwitchToEmpty",
                                                            "SwitchFromEmpty",
                                                            "SwitchToSub",
                                                            "SwitchToSubEmpty",
                                                            "ReloadHolster"};
    for (u32_t i = 0; i < MAX_WEAPON_FP_ANIMS; ++i) {
        if (Same(kNames[i], name ? name : ""))
            return i;
    }
    return MAX_WEAPON_FP_ANIMS;
}
