// A graphic object's definition lines: the 37 keywords that build its node tree, place and turn
// nodes, set textures, colours, materials, level-of-detail rules and per-mesh flags, shader
// settings, the billboard, damage and destruction, and its fixed weapon.

#include <cstdio>
#include <cstring>
#include <string>

#include "actors/weapons/weapon.h"
#include "core/strings/finite_number.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/random.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/strings/text_case.h"
#include "game/mission_objects/named_objects.h"
#include "game/mission_objects/object_factory.h"
#include "gui/texts/gui_locale.h"
#include "map/registry/world_registry.h"
#include "map/materials/material_table.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"
#include "render/draw2d/colour_pack.h"

namespace {

// Keywords whose value count is free.
constexpr int kAnyCount = 255;
// Lengths in definitions are in units of 10 world units.
constexpr float kLengthScale = 10.0f;
constexpr float kBillboardVariantScale = 1.2207404e-4f;  // 4 / 32767
constexpr float kRandUnit = 3.0518509e-5f;               // 1 / 32767
constexpr const char* kSharedTextureFolder = "component\\_common\\";
constexpr const char* kExtrasFolder = "component\\extras\\";

// The least value counts of the keywords whose count is free (below these a line would read values
// it does not have).
constexpr int kSetShMinimum = 4;
constexpr int kSetPShMinimum = 2;
constexpr int kSetGShMinimum = 2;
constexpr int kSvLengthMinimum = 2;
constexpr int kScaleMinimum = 2;
constexpr int kLodMinimum = 2;

using Values = const EngineString*;

float ReadFloat(const EngineString& value)
{
    return value.ToFloat();
}

int ReadInt(const EngineString& value)
{
    int result = 0;
    if (std::sscanf(value.Text(), "%d", &result) != 1)
        return 0;
    return result;
}

bool ReadFlag(const EngineString& value)
{
    return ReadInt(value) != 0;
}

bool SameText(const char* a, const char* b)
{
    return CompareNoCase(a, b) == 0;
}

std::string Numbered(const char* name, int k)
{
    return std::string(name) + "_" + std::to_string(k);
}

// The mesh rule: a frame-0 mesh matches a name when its own name equals it (equal length, then
// without regard to case) or equals the name followed by "_0", "_1" or "_2".
bool MeshNameMatches(const char* meshName, const char* given)
{
    if (SameText(meshName, given))
        return true;
    for (int k = 0; k < 3; ++k) {
        if (SameText(meshName, Numbered(given, k).c_str()))
            return true;
    }
    return false;
}

// Applies the change to every frame-0 mesh the mesh rule matches.
template <class Change>
void ForMatchingMeshes(GraphNode& node, const char* given, Change change)
{
    const AnimMesh* mesh = node.GetAnimMesh();
    const u32_t count = node.FrameZeroMeshCount();
    for (u32_t i = 0; i < count; ++i) {
        if (MeshNameMatches(mesh->MeshName(mesh->frames[0].meshes[i]), given))
            change(i);
    }
}

// The mesh-file addressing of "color" and "texture": the mesh of that name in frame 0 and of its
// numbered variants, each found through the mesh file's string table; names not found are skipped.
template <class Change>
void ForNamedMeshes(GraphNode& node, const char* given, Change change)
{
    const AnimMesh* mesh = node.GetAnimMesh();
    const std::string names[4] = {given, Numbered(given, 0), Numbered(given, 1), Numbered(given, 2)};
    for (const std::string& name : names) {
        const s32_t nameIndex = mesh->FindName(name.c_str());
        if (nameIndex < 0)
            continue;
        const s32_t index = mesh->FindMesh(static_cast<u32_t>(nameIndex), 0);
        if (index >= 0)
            change(static_cast<u32_t>(index));
    }
}

// The node named by the value, when it has a mesh: the per-mesh keywords need one.
GraphNode* MeshNode(GraphObj& object, const EngineString& value)
{
    GraphNode* node = object.FindChild(value.Text());
    return node && node->GetAnimMesh() ? node : nullptr;
}

// A per-mesh flag set through the mesh rule.
template <class Change>
bool SetMeshFlag(GraphObj& object, Values values, Change change)
{
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    MeshSettings* settings = node->GetMeshSettings();
    ForMatchingMeshes(*node, values[1].Text(), [&](u32_t i) { change(settings[i]); });
    return true;
}

u32_t LodModeCode(int code)
{
    switch (code) {
        case 1:
            return 1;
        case 2:
            return 2;
        case 3:
            return 0x12;
        case 4:
            return 0x22;
        case 5:
            return 0x32;
        case 6:
            return 5;
        case 7:
            return 9;
        case 8:
            return 0x42;
        case 9:
            return 0x80;
        default:
            return 3;
    }
}

// Keyword cases ------------------------------------------------------------------------------------

bool ParamPos(GraphObj& object, Values values, int)
{
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node)
        return false;
    node->SetPosition({ReadFloat(values[1]) * kLengthScale, ReadFloat(values[2]) * kLengthScale,
                       ReadFloat(values[3]) * kLengthScale});
    object.boundsValid = 0;
    return true;
}

bool ParamPosObj(GraphObj& object, Values values, int)
{
    Vector3 position;
    if (!GameGetNamedObjectPosition(values[0].Text(), &position))
        return false;
    object.GetRootNode()->SetPosition(position);
    object.boundsValid = 0;
    return true;
}

bool ParamRot(GraphObj& object, Values values, int)
{
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node)
        return false;
    node->SetRotation({ReadFloat(values[1]), ReadFloat(values[2]), ReadFloat(values[3])});
    object.boundsValid = 0;
    return true;
}

bool ParamColor(GraphObj& object, Values values, int)
{
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    const u32_t colour =
        ColourPackRounded(ReadFloat(values[2]), ReadFloat(values[3]), ReadFloat(values[4]), ReadFloat(values[5]));
    if (SameText(values[1].Text(), "all")) {
        for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i)
            node->SetMeshColor(i, colour);
    } else {
        ForNamedMeshes(*node, values[1].Text(), [&](u32_t i) { node->SetMeshColor(i, colour); });
    }
    return true;
}

bool ParamAnim(GraphObj& object, Values values, int count)
{
    if (count < 3 || count > 7)
        return false;
    int at = 2;
    const char* parentDummy = nullptr;
    if (std::strcmp(values[at].Text(), ":") == 0) {
        if (at + 1 >= count)
            return false;
        parentDummy = values[at + 1].Text();
        at += 2;
    }
    if (at >= count)
        return false;
    const char* fileName = values[at].Text();
    const char* ownDummy = nullptr;
    if (at + 1 < count && std::strcmp(values[at + 1].Text(), ":") == 0) {
        // A line ending in ":" names no dummy after it.
        if (at + 2 >= count)
            return false;
        ownDummy = values[at + 2].Text();
    }
    GraphNode* parent = object.FindChild(values[1].Text());
    if (!parent)
        return false;
    AnimMesh* mesh = nullptr;
    EngineString folder;
    if (!object.LoadAnim(fileName, &mesh, &folder))
        return false;
    GraphObjAddMeshNode(parent, values[0].Text(), mesh, folder.Text(), parentDummy, ownDummy);
    object.boundsValid = 0;
    if (count == 3)
        object.AddMeshShaderSettings(mesh);
    return true;
}

bool ParamTexture(GraphObj& object, Values values, int)
{
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    IDirect3DTexture8* texture = nullptr;
    EngineString folder;
    if (!object.LoadTexture(values[2].Text(), &texture, &folder))
        return false;
    ForNamedMeshes(*node, values[1].Text(), [&](u32_t i) { node->SetMeshTexture(i, texture); });
    return true;
}

// Whether the whole text reads as one number.
bool IsWholeNumber(const EngineString& value)
{
    float number = 0.0f;
    return ReadWholeFiniteFloat(value.Text(), number);
}

bool ParamLod(GraphObj& object, Values values, int count)
{
    // A distance that is not finite is no mesh name either: the line is refused.
    if (count < kLodMinimum || IsNonFiniteNumber(values[1].Text()))
        return false;
    if (IsWholeNumber(values[1])) {
        if (count < 3)
            return false;
        GraphNode* node = object.FindChild(values[0].Text());
        if (!node)
            return false;
        return node->AddLodLevel(ReadFloat(values[1]) * kLengthScale, values[2].Text(),
                                 count == 4 ? values[3].Text() : nullptr) == 1;
    }
    if (count < 5 || count > 8)
        return false;
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    const AnimMesh* mesh = node->GetAnimMesh();
    MeshSettings* settings = node->GetMeshSettings();
    const char* given = values[1].Text();
    const bool withModes = count == 8;
    for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i) {
        const char* meshName = mesh->MeshName(mesh->frames[0].meshes[i]);
        MeshSettings& s = settings[i];
        if (SameText(meshName, given)) {
            for (int k = 0; k < 3; ++k) {
                s.lodHidden[k] = ReadInt(values[2 + k]) == 1 ? 1 : 0;
                if (withModes)
                    s.lodMode[k] = LodModeCode(ReadInt(values[5 + k]));
            }
            continue;
        }
        // A numbered variant holds one level's rule: the flag of its level.
        for (int k = 0; k < 3; ++k) {
            if (!SameText(meshName, Numbered(given, k).c_str()))
                continue;
            s.lodHidden[0] = ReadInt(values[2 + k]) == 1 ? 1 : 0;
            if (withModes)
                s.lodMode[0] = LodModeCode(ReadInt(values[5 + k]));
        }
    }
    return true;
}

bool ParamClipVeg(GraphObj& object, Values values, int)
{
    object.clipsVegetation = ReadFlag(values[0]) ? 1 : 0;
    return true;
}

bool ParamSvLength(GraphObj& object, Values values, int count)
{
    if (count < kSvLengthMinimum)
        return false;
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node)
        return false;
    if (count == 2) {
        node->SetShadowLength(ReadFloat(values[1]) * kLengthScale);
        return true;
    }
    if (!node->GetAnimMesh())
        return false;
    const float length = ReadFloat(values[2]) * kLengthScale;
    MeshSettings* settings = node->GetMeshSettings();
    ForMatchingMeshes(*node, values[1].Text(), [&](u32_t i) { settings[i].shadowLength = length; });
    return true;
}

bool ParamBillboard(GraphObj& object, Values values, int)
{
    IDirect3DTexture8* texture = nullptr;
    EngineString folder;
    if (!object.LoadTexture(values[0].Text(), &texture, &folder))
        return false;
    object.billboardTexture = texture;
    const float distance = ReadFloat(values[1]) * kLengthScale;
    object.billboardNear = object.billboardMid = object.billboardFar = distance;
    object.billboardVariant = static_cast<u8_t>(static_cast<float>(EngineRand()) * kBillboardVariantScale);
    return true;
}

bool ParamNoClip(GraphObj& object, Values values, int)
{
    return SetMeshFlag(object, values, [](MeshSettings& s) { s.noClip = 1; });
}

bool ParamSoundSet(GraphObj& object, Values values, int)
{
    if (!object.sound || !object.sound->CreateAudioPath())
        return false;
    SoundSetTable* table = LoadSoundSets(&object, values[0].Text());
    if (!table)
        return false;
    object.sound->SetSoundTable(table);
    return true;
}

IDirect3DTexture8* SharedTexture(const EngineString& name)
{
    return TextureFindOrLoad((std::string(kSharedTextureFolder) + name.Text()).c_str());
}

bool ParamSetSh(GraphObj& object, Values values, int count)
{
    if (count < kSetShMinimum)
        return false;
    ShaderSetting* setting = ShaderSettingListFind(object.shaderSettings, values[0].Text());
    if (!setting)
        return false;
    setting->texture = SharedTexture(values[1]);
    setting->param1 = ReadFloat(values[2]);
    setting->param2 = ReadFloat(values[3]);
    setting->kind = SHADER_SETTING_PLAIN;
    return true;
}

bool ParamSetLdr(GraphObj& object, Values values, int)
{
    return SetMeshFlag(object, values, [](MeshSettings& s) { s.setLdr = 1; });
}

bool ParamMtl(GraphObj& object, Values values, int)
{
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    Material* material = MaterialFind(values[2].Text());
    const AnimMesh* mesh = node->GetAnimMesh();
    const char* given = values[1].Text();
    for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i) {
        const char* meshName = mesh->MeshName(mesh->frames[0].meshes[i]);
        if (!MeshNameMatches(meshName, given))
            continue;
        node->GetMeshSettings()[i].material = material;
        // The mesh of the name itself ends the scan.
        if (SameText(meshName, given))
            break;
    }
    return true;
}

bool ParamLodHideAll(GraphObj& object, Values values, int)
{
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    MeshSettings* settings = node->GetMeshSettings();
    for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i) {
        MeshSettings& s = settings[i];
        if (s.lodTagged)
            s.lodHidden[0] = 1;
        else
            s.lodHidden[0] = s.lodHidden[1] = s.lodHidden[2] = 1;
    }
    return true;
}

bool ParamSetPSh(GraphObj& object, Values values, int count)
{
    if (count < kSetPShMinimum)
        return false;
    ShaderSetting* setting = ShaderSettingListFind(object.shaderSettings, values[0].Text());
    if (!setting)
        return false;
    setting->texture = SharedTexture(values[1]);
    setting->kind = SHADER_SETTING_PIXEL;
    if (count >= 3)
        setting->param3 = ReadFloat(values[2]);
    return true;
}

bool ParamFly(GraphObj& object, Values values, int)
{
    object.fly = ReadFlag(values[0]) ? 1 : 0;
    return true;
}

bool ParamUnlit(GraphObj& object, Values values, int)
{
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    MeshSettings* settings = node->GetMeshSettings();
    if (SameText(values[1].Text(), "all")) {
        for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i)
            settings[i].lit = 0;
    } else {
        ForMatchingMeshes(*node, values[1].Text(), [&](u32_t i) { settings[i].lit = 0; });
    }
    return true;
}

bool ParamScale(GraphObj& object, Values values, int count)
{
    if (count < kScaleMinimum)
        return false;
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node)
        return false;
    float scale;
    if (count == 3) {
        const float low = ReadFloat(values[1]);
        const float high = ReadFloat(values[2]);
        scale = low + (high - low) * static_cast<float>(EngineRand()) * kRandUnit;
    } else {
        scale = ReadFloat(values[1]);
    }
    node->SetScale(scale);
    object.boundsValid = 0;
    return true;
}

bool ParamInfoName(GraphObj& object, Values values, int)
{
    GuiLocalize(values[0], &object.infoName);
    return true;
}

bool ParamSetGSh(GraphObj& object, Values values, int count)
{
    if (count < kSetGShMinimum)
        return false;
    if (!object.shaderSettings)
        object.shaderSettings = ShaderSettingListCreate(&object);
    GraphNode* node = MeshNode(object, values[0]);
    if (!node)
        return false;
    AnimMesh* mesh = node->GetAnimMesh();
    const char* given = values[1].Text();
    const std::string forms[4] = {given, Numbered(given, 0), Numbered(given, 1), Numbered(given, 2)};
    auto append = [&](u32_t i) {
        ShaderSetting* setting = new ShaderSetting;
        setting->name.Assign("geometry-shadow");
        setting->kind = SHADER_SETTING_GEOMETRY_SHADOW;
        setting->node = node;
        setting->mesh = &mesh->frames[0].meshes[i];
        setting->texture = count >= 3 ? SharedTexture(values[2]) : node->GetMeshTextures()[i];
        ShaderSettingListAppend(object.shaderSettings, setting);
    };
    for (u32_t i = 0; i < node->FrameZeroMeshCount(); ++i) {
        if (SameText(given, "all"))
            append(i);
        const char* meshName = mesh->MeshName(mesh->frames[0].meshes[i]);
        for (const std::string& form : forms) {
            if (SameText(meshName, form.c_str()))
                append(i);
        }
    }
    return true;
}

bool ParamLodRender(GraphObj& object, Values values, int)
{
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node)
        return false;
    const u8_t flags[3] = {static_cast<u8_t>(ReadFlag(values[1]) ? 1 : 0),
                           static_cast<u8_t>(ReadFlag(values[2]) ? 1 : 0),
                           static_cast<u8_t>(ReadFlag(values[3]) ? 1 : 0)};
    node->SetLodRender(flags);
    return true;
}

bool ParamWeapon(GraphObj& object, Values values, int)
{
    Weapon* weapon = new Weapon;
    object.fixedWeapon = weapon;
    weapon->name.Assign((std::string(values[0].Text()) + "_fixed").c_str());
    if (GraphNode* node = object.FindChild(values[0].Text()))
        weapon->mountNode = node;
    DynObjectAdd(weapon);
    return true;
}

bool ParamIndoor(GraphObj& object, Values values, int)
{
    object.indoorName.Assign(values[0]);
    return true;
}

bool ParamAnimate(GraphObj& object, Values values, int)
{
    object.animate = 1;
    object.animateSpeed = ReadFloat(values[0]);
    object.randomStartFrame = 1;
    return true;
}

bool ParamGrdClip(GraphObj& object, Values values, int)
{
    return SetMeshFlag(object, values, [](MeshSettings& s) { s.groundClip = 1; });
}

bool ParamHitShake(GraphObj& object, Values values, int)
{
    object.hitShake = ReadFlag(values[0]) ? 1 : 0;
    return true;
}

bool ParamEnergy(GraphObj& object, Values values, int)
{
    object.energy = object.maxEnergy = ReadFloat(values[0]);
    return true;
}

bool ParamLandTex(GraphObj& object, Values values, int)
{
    return SetMeshFlag(object, values, [](MeshSettings& s) {
        s.landTexture = 1;
        s.lit = 0;
    });
}

bool ParamGrenadeHit(GraphObj& object, Values values, int)
{
    object.grenadeHit = ReadFlag(values[0]) ? 1 : 0;
    return true;
}

bool ParamDecal(GraphObj& object, Values values, int)
{
    for (int k = 0; k < 3; ++k)
        object.decalSize[k] = ReadFloat(values[k]);
    object.decalTextureCount = 0;
    const std::string base = std::string(kExtrasFolder) + values[3].Text();
    int start = 0;
    if (IDirect3DTexture8* texture = TextureFindOrLoad(base.c_str())) {
        object.decalTextures[object.decalTextureCount++] = texture;
        start = 1;
    }
    for (int k = start; k <= 4; ++k) {
        if (IDirect3DTexture8* texture = TextureFindOrLoad(Numbered(base.c_str(), k).c_str()))
            object.decalTextures[object.decalTextureCount++] = texture;
    }
    return true;
}

bool ParamZone(GraphObj& object, Values values, int)
{
    GraphNode* node = object.FindChild(values[0].Text());
    if (!node)
        return false;
    node->SetZones(values[1].Text());
    return true;
}

bool ParamDestroy(GraphObj& object, Values values, int)
{
    const char* classKeyword;
    const char* folder;
    switch (object.typeId) {
        case OBJECT_TYPE_STRUCTURE:
            classKeyword = "structure";
            folder = "structures\\";
            break;
        case OBJECT_TYPE_MAP_OBJECT:
        case OBJECT_TYPE_VEHICLE:
            classKeyword = "map_obj";
            folder = "map_obj\\";
            break;
        case OBJECT_TYPE_TREE:
            classKeyword = "tree";
            folder = "trees\\";
            break;
        default:
            return false;
    }
    DynamicObject* replacement = CreateDynamicObjectByClass(classKeyword);
    if (!replacement)
        return false;
    replacement->name.Assign((std::string(object.name.Text()) + values[0].Text()).c_str());
    GameApplyTemplateToObject((std::string(folder) + values[0].Text()).c_str(), replacement);
    replacement->replacedOriginal = &object;
    object.destroyedReplacement = replacement;
    DestroyQueueAdd(replacement);
    return true;
}

bool ParamParticle(GraphObj& object, Values values, int)
{
    // At most 127 characters and the terminating zero fit.
    std::snprintf(object.destroyEffect, sizeof object.destroyEffect, "%s", values[0].Text());
    return true;
}

bool ParamRadius(GraphObj& object, Values values, int)
{
    object.damageRadius = ReadFloat(values[0]);
    return true;
}

bool ParamDamage(GraphObj& object, Values values, int)
{
    object.damageAmount = ReadFloat(values[0]);
    return true;
}

struct Keyword {
    const char* name;
    int count;
    bool (*apply)(GraphObj& object, Values values, int count);
};

// The keywords in their fixed order; the first match wins.
const Keyword kKeywords[] = {
    {"pos", 4, ParamPos},
    {"posobj", 1, ParamPosObj},
    {"rot", 4, ParamRot},
    {"color", 6, ParamColor},
    {"anim", kAnyCount, ParamAnim},
    {"texture", 3, ParamTexture},
    {"lod", kAnyCount, ParamLod},
    {"clipveg", 1, ParamClipVeg},
    {"svlength", kAnyCount, ParamSvLength},
    {"billboard", 2, ParamBillboard},
    {"noclip", 2, ParamNoClip},
    {"soundset", 1, ParamSoundSet},
    {"setsh", kAnyCount, ParamSetSh},
    {"setldr", 2, ParamSetLdr},
    {"mtl", 3, ParamMtl},
    {"lodhideall", 1, ParamLodHideAll},
    {"setpsh", kAnyCount, ParamSetPSh},
    {"fly", 1, ParamFly},
    {"unlit", 2, ParamUnlit},
    {"scale", kAnyCount, ParamScale},
    {"infoname", 1, ParamInfoName},
    {"setgsh", kAnyCount, ParamSetGSh},
    {"lodrender", 4, ParamLodRender},
    {"weapon", 1, ParamWeapon},
    {"indoor", 1, ParamIndoor},
    {"animate", 1, ParamAnimate},
    {"grdclip", 2, ParamGrdClip},
    {"hitshake", 1, ParamHitShake},
    {"energy", 1, ParamEnergy},
    {"landtex", 2, ParamLandTex},
    {"grenadehit", 1, ParamGrenadeHit},
    {"decal", 4, ParamDecal},
    {"zone", 2, ParamZone},
    {"destroy", 1, ParamDestroy},
    {"particle", 1, ParamParticle},
    {"radius", 1, ParamRadius},
    {"damage", 1, ParamDamage},
};
static_assert(sizeof kKeywords / sizeof kKeywords[0] == 37, "the graphic object knows 37 keywords");

// The trace line of a definition line: written in three parts that make one line.
void LogParam(const GraphObj& object, const char* keyword, Values values, int count)
{
    Log("GOBJ '%s' Setting param '%s' with '", object.name.Text(), keyword);
    char text[1024];
    size_t used = 0;
    text[0] = '\0';
    for (int i = 0; i < count && used + 1 < sizeof text; ++i) {
        const int written = std::snprintf(text + used, sizeof text - used, " %s", values[i].Text());
        if (written < 0)
            break;
        used += static_cast<size_t>(written);
    }
    Log("%s", text);
    Log("'\n");
}

}  // namespace

bool GraphObj::SetParam(const char* keywordText, const EngineString* values, int count)
{
    const char* keyword = keywordText ? keywordText : "";
    if (count < 0)
        count = 0;
    LogParam(*this, keyword, values, count);
    for (const Keyword& entry : kKeywords) {
        if (CompareNoCase(entry.name, keyword) != 0)
            continue;
        if (entry.count != kAnyCount && entry.count != count)
            return false;
        return entry.apply(*this, values, count);
    }
    if (fixedWeapon)
        return fixedWeapon->SetParam(keywordText, values, count);
    return false;
}

GraphNode* GraphObjAddMeshNode(GraphNode* parent, const char* name, AnimMesh* mesh, const char* textureFolder,
                               const char* parentDummy, const char* ownDummy)
{
    GraphNode* node = new GraphNode(name);
    node->SetParent(parent);
    node->SetAnimMesh(mesh, textureFolder);
    if (g_frameView.applyingDefinition)
        node->sourceDefName.Assign(g_frameView.applyingDefinition);
    parent->AddChild(node);
    node->SetAttachPoint(AnimMeshFindDummy(parent->GetAnimMesh(), parentDummy), AnimMeshFindDummy(mesh, ownDummy));
    return node;
}
