// Shader settings: per-object overrides of how single meshes are shaded, made by the "setgsh"
// parameter (geometry shadows) or declared by a mesh file, and tuned by "setsh" and "setpsh".
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class DynamicObject;
class GraphNode;
class IDirect3DTexture8;
struct AnimFrameMesh;

// Kinds of a setting.
constexpr s32_t SHADER_SETTING_DECLARED = -1;  // declared by a mesh file, no "setsh" line has set it
constexpr s32_t SHADER_SETTING_PLAIN = 0;      // "setsh"
constexpr s32_t SHADER_SETTING_PIXEL = 1;      // "setpsh"
constexpr s32_t SHADER_SETTING_GEOMETRY_SHADOW = 3;

struct ShaderSetting {
    EngineString name;
    s32_t kind = SHADER_SETTING_PLAIN;
    s32_t words[3] = {};
    float param1 = 0.0f;
    float param2 = 0.0f;
    float param3 = 0.0f;
    GraphNode* node = nullptr;      // the node it applies to (not owned)
    AnimFrameMesh* mesh = nullptr;  // frame 0's record of the mesh it applies to (not owned)
    Vector3 position;               // set for settings a mesh file declares
    IDirect3DTexture8* texture = nullptr;
    u8_t* buffers[2] = {};  // owned; freed with the setting
    u8_t enabled = 1;
};

// An object's settings. Grows by exactly one entry per append.
struct ShaderSettingList {
    ShaderSetting** items = nullptr;
    u32_t count = 0;
    DynamicObject* owner = nullptr;
    u8_t visible = 0;       // the list is visible in the current view
    float distance = 0.0f;  // the owner's view distance of the frame
    Vector3 boxMin;
    Vector3 boxMax;
};

ShaderSettingList* ShaderSettingListCreate(DynamicObject* owner);
// Takes the setting.
void ShaderSettingListAppend(ShaderSettingList* list, ShaderSetting* setting);
// The first setting whose name equals the text without regard to case, or null.
ShaderSetting* ShaderSettingListFind(const ShaderSettingList* list, const char* name);
// Frees every setting (its buffers, its name, the record), the array and the list. Null is ignored.
void ShaderSettingListFree(ShaderSettingList* list);
