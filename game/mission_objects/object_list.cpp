// The object list loader and the template applier: the commands of "mission.def" and of templates,
// the argument substitution, and the loader state the editor reads.
#include "game/mission_objects/object_list.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/strings/finite_number.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/sound/sound.h"
#include "core/strings/text_case.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/mission_objects/named_objects.h"
#include "game/mission_objects/object_factory.h"
#include "game/view/player_view.h"
#include "game/mission_objects/sun_effect_load.h"
#include "map/map_cvars.h"
#include "map/registry/world_registry.h"
#include "scene/sky/environment.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/sky/sun_effect.h"
#include "world/animation/anim_cache.h"
#include "world/objects/dynamic_object.h"

namespace {

enum Command : s32_t {
    CMD_PARAMETER = -1,
    CMD_LAND,
    CMD_BRIEFING,
    CMD_SETCAMERA,
    CMD_CREATE,
    CMD_SUN,
    CMD_ENV,
    CMD_GPULOAD,
    CMD_TEMPLATE,
    CMD_DEFAULT,
    CMD_SOUND,
    CMD_LODDIST,
    CMD_ENVSOUND,
    CMD_MAX_SAVES,
};

struct CommandEntry {
    const char* keyword;
    s32_t valueCount;  // -1: any
};

// In table order: the first keyword equal to a line's key names its command.
const CommandEntry kCommands[] = {
    {"land", 1},    {"briefing", 1}, {"setcamera", 2}, {"create", 2},  {"sun", 1},
    {"env", 1},     {"gpuload", 1},  {"template", -1}, {"default", 2}, {"sound", -1},
    {"loddist", 3}, {"envsound", 1}, {"max_saves", 1},
};

// The largest argument number "$n" is read as; longer digit runs stay there instead of overflowing.
constexpr s32_t kLargestArgumentNumber = 999999999;

struct LoaderState {
    DynamicObject* currentObject = nullptr;
    EngineString currentClass;
    DefFile* currentFile = nullptr;
    s32_t nesting = 0;  // shared by the loader and the template applier
};
LoaderState g_loader;

// The texts of one run: the substituted values of the current line and the defaults by argument
// position. Kept off the stack, as templates nest up to 32 runs deep.
struct RunTables {
    EngineString values[OBJECT_LIST_MAX_VALUES];
    EngineString defaults[OBJECT_LIST_MAX_VALUES];
};

const char* FileName(const DefFile* file)
{
    return file ? file->name.Text() : "";
}

Command FindCommand(const char* key)
{
    for (s32_t i = 0; i < static_cast<s32_t>(sizeof kCommands / sizeof kCommands[0]); ++i) {
        if (CompareNoCase(kCommands[i].keyword, key) == 0)
            return static_cast<Command>(i);
    }
    return CMD_PARAMETER;
}

// The digits after "$" as a number: leading digits only, none give 0.
s32_t ArgumentNumber(const char* text)
{
    s32_t n = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        n = n > (kLargestArgumentNumber - (*text - '0')) / 10 ? kLargestArgumentNumber : n * 10 + (*text - '0');
    return n;
}

// A float value; 0 when it does not parse.
float FloatOf(const EngineString& text)
{
    return FiniteFloatOrZero(text.Text());
}

// A value written as a number that is not finite ("nan", "inf", "1e39") would be carried into
// positions and distances for the whole mission: the line holding one is refused.
bool HasNonFiniteNumber(const EngineString* values, s32_t count)
{
    for (s32_t i = 0; i < count; ++i) {
        if (IsNonFiniteNumber(values[i].Text()))
            return true;
    }
    return false;
}

// A decimal value; 0 when it does not parse (and held to the 32-bit range).
s32_t DecimalOf(const EngineString& text)
{
    const long value = std::strtol(text.Text(), nullptr, 10);
    if (value > 0x7FFFFFFFL)
        return 0x7FFFFFFF;
    if (value < -0x7FFFFFFFL - 1)
        return -0x7FFFFFFF - 1;
    return static_cast<s32_t>(value);
}

// Substitutes the line's first 64 values into out: "$n" becomes argument n (its default when the
// argument is "-" and a default is set), an invalid n is reported and becomes "0". The number of
// values handed on.
s32_t SubstituteValues(const DefFile* file, const DefEntry& entry, const EngineString* arguments, s32_t argumentCount,
                       const EngineString* defaults, EngineString* out)
{
    const s32_t count = entry.valueCount < OBJECT_LIST_MAX_VALUES ? entry.valueCount : OBJECT_LIST_MAX_VALUES;
    for (s32_t i = 0; i < count; ++i) {
        const char* text = entry.values[i].Text();
        if (text[0] != '$') {
            out[i].Assign(text);
            continue;
        }
        const s32_t n = ArgumentNumber(text + 1);
        if (n >= argumentCount || !arguments) {
            ConPrint(0, ERROR_COLOUR "%s:%d Invalid argument number: %d (valid range is $0 - $%d)\n", FileName(file),
                     entry.line, n, argumentCount - 1);
            out[i].Assign("0");
            continue;
        }
        const EngineString& argument = arguments[n];
        const bool useDefault = defaults && n < OBJECT_LIST_MAX_VALUES && argument.Length() == 1 &&
                                argument.Text()[0] == '-' && !defaults[n].IsEmpty();
        out[i].Assign(useDefault ? defaults[n] : argument);
    }
    return count;
}

// A template name that begins with "." is a path from the object folder with its first three
// characters (such as "..\") dropped.
const char* DropRelativePrefix(const char* name)
{
    for (int i = 0; i < 3 && *name; ++i)
        ++name;
    return name;
}

void ParameterLine(const DefFile* file, const DefEntry& entry, const EngineString* values, s32_t count)
{
    if (!g_loader.currentObject) {
        ConPrint(0, ERROR_COLOUR "%s:%d No current object\n", FileName(file), entry.line);
        return;
    }
    if (!g_loader.currentObject->SetParam(entry.key.Text(), values, count))
        ConPrint(0, ERROR_COLOUR "%s:%d X Invalid command\n", FileName(file), entry.line);
}

void SetCamera(const DefFile* file, const DefEntry& entry, const EngineString* values)
{
    Vector3 from, to;
    if (!GameGetNamedObjectPosition(values[0].Text(), &from)) {
        ConPrint(0, ERROR_COLOUR "%s:%d Cannot find object: %s\n", FileName(file), entry.line, values[0].Text());
        return;
    }
    if (!GameGetNamedObjectPosition(values[1].Text(), &to)) {
        ConPrint(0, ERROR_COLOUR "%s:%d Cannot find object: %s\n", FileName(file), entry.line, values[1].Text());
        return;
    }
    float* view = GameGetViewPos();
    view[0] = from.x;
    view[1] = from.y;
    view[2] = from.z;
    const float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    const float yaw = std::sqrt(dx * dx + dy * dy + dz * dz) < 0.01f ? 0.0f : std::atan2(dz, dx) - 1.5707964f;
    GameSetYawPitch(yaw, 0.0f);
}

void Create(const DefFile* file, const DefEntry& entry, const EngineString* values)
{
    DynamicObject* object = CreateDynamicObjectByClass(values[0].Text());
    if (!object) {
        ConPrint(0, ERROR_COLOUR "%s:%d Failed to create object of class %s\n", FileName(file), entry.line,
                 values[0].Text());
        g_loader.currentObject = nullptr;
        return;
    }
    object->name.Assign(values[1]);
    // A full table refuses the object (with its warning in the log); it is then nobody's.
    if (!DynObjectAdd(object)) {
        delete object;
        g_loader.currentObject = nullptr;
        return;
    }
    g_loader.currentObject = object;
    g_loader.currentClass.Assign(values[0]);
}

void Sun(const EngineString* values)
{
    SunFlareElement* elements = nullptr;
    const u32_t count = SunEffectLoad(values[0].Text(), &elements);
    RenderSetSunEffect(new SunEffect{elements, count});
    RenderSetSunDirection(mvsundir.Vector(), count);
}

void GpuLoad(const EngineString* values)
{
    const std::string fileName = std::string("component\\") + values[0].Text() + ".aff";
    GpuAnimRequest(AnimCacheAcquire(fileName.c_str(), false));
}

void Template(const DefFile* file, const DefEntry& entry, const EngineString* values, s32_t count,
              ObjectListTemplateCallback callback)
{
    if (!g_loader.currentObject) {
        ConPrint(0, ERROR_COLOUR "%s:%d No current object\n", FileName(file), entry.line);
        return;
    }
    const char* name = count > 0 ? values[0].Text() : "";
    const std::string templateName = name[0] == '.'
                                         ? std::string("object\\") + DropRelativePrefix(name) + ".def"
                                         : std::string(g_loader.currentObject->GetObjectFolder()) + name + ".def";
    DefFile* templateFile = DefFileLoad(templateName.c_str());
    if (!templateFile) {
        ConPrint(0, ERROR_COLOUR "%s:%d No such template\n", templateName.c_str(), entry.line);
        return;
    }
    DynamicObject* object = g_loader.currentObject;
    DefFile* outerFile = g_loader.currentFile;
    if (callback)
        callback(object, templateFile);
    if (++g_loader.nesting < OBJECT_LIST_MAX_NESTING)
        GameLoadObjectList(templateFile, count > 1 ? values + 1 : nullptr, count > 1 ? count - 1 : 0, nullptr);
    else
        ConPrint(0, ERROR_COLOUR "%s:%d Infinite recursion found\n", FileName(file), entry.line);
    --g_loader.nesting;
    DefFileRelease(templateFile);
    g_loader.currentObject = object;
    g_loader.currentFile = outerFile;
}

void Default(const DefFile* file, const DefEntry& entry, const EngineString* values, s32_t argumentCount,
             EngineString* defaults)
{
    const s32_t index = DecimalOf(values[0]);
    if (index < 0 || index >= argumentCount || index >= OBJECT_LIST_MAX_VALUES) {
        ConPrint(0, ERROR_COLOUR "%s:%d Bad default param index: %d\n", FileName(file), entry.line, index);
        return;
    }
    defaults[index].Assign(values[1]);
}

// "sound" name x y z min max [shortest longest]: an ambient emitter at a fixed place, its sound and
// the numbered variants name_0, name_1, ... in its own set.
void Sound(const EngineString* values, s32_t count)
{
    // Values the line does not have read as empty, so 0.
    const EngineString empty;
    auto value = [&](s32_t i) -> const EngineString& { return i < count ? values[i] : empty; };
    // The sound system's table ends the program when it overflows; a long list only loses sounds.
    if (SoundSpatialCount() + 1 >= MAX_SPATIAL_SOUNDS) {
        Log("WARNING: Too many spatial sounds (%d), '%s' not placed\n", MAX_SPATIAL_SOUNDS - 1, value(0).Text());
        return;
    }
    SoundSource* source = new SoundSource(nullptr);
    source->CreateAudioPath();
    if (count == 6 || count == 8) {
        const char* name = value(0).Text();
        if (SoundInstance* first = SoundLoad(source, name, SOUND_MODE_OBJECT)) {
            source->ownSet.Add(first, 0);
            for (s32_t i = 0;; ++i) {
                const std::string variant = std::string(name) + "_" + std::to_string(i);
                SoundInstance* instance = SoundLoad(source, variant.c_str(), SOUND_MODE_OBJECT);
                if (!instance)
                    break;
                source->ownSet.Add(instance, 0);
            }
        }
        source->repeatMode = count == 8 ? 1 : 0;
        source->shortestInterval = count == 8 ? DecimalOf(value(6)) : 0;
        source->longestInterval = count == 8 ? DecimalOf(value(7)) : 0;
    }
    source->SetPosition(FloatOf(value(1)), FloatOf(value(2)), FloatOf(value(3)), SOUND_APPLY_DEFERRED);
    source->SetDistances(FloatOf(value(4)), FloatOf(value(5)));
    AddSpatialSound(source);
}

void LodDistances(const DefFile* file, const DefEntry& entry, const EngineString* values)
{
    if (!g_loader.currentObject) {
        ConPrint(0, ERROR_COLOUR "%s:%d No current object\n", FileName(file), entry.line);
        return;
    }
    for (int i = 0; i < 3; ++i)
        g_loader.currentObject->lodDistances[i] = FloatOf(values[i]);
    g_loader.currentObject->hasOwnLodDistances = 1;
}

}  // namespace

void GameLoadObjectList(DefFile* file, const EngineString* arguments, s32_t argumentCount,
                        ObjectListTemplateCallback callback)
{
    if (!file)
        return;
    if (!arguments || argumentCount < 0)
        argumentCount = 0;
    g_loader.currentFile = file;
    // Nodes that the lines make name the list as their source definition.
    const char* outerDefinition = g_frameView.applyingDefinition;
    g_frameView.applyingDefinition = file->name.Text();
    std::unique_ptr<RunTables> tables(new RunTables);
    EngineString* values = tables->values;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        Command command = FindCommand(entry->key.Text());
        if (command != CMD_PARAMETER && kCommands[command].valueCount >= 0 &&
            entry->valueCount != kCommands[command].valueCount) {
            ConPrint(0, ERROR_COLOUR "%s:%d Invalid number of arguments: %d (should be %d)\n", FileName(file),
                     entry->line, entry->valueCount, kCommands[command].valueCount);
            command = CMD_PARAMETER;
        }
        const s32_t count = SubstituteValues(file, *entry, arguments, argumentCount, tables->defaults, values);
        if (HasNonFiniteNumber(values, count)) {
            ConPrint(0, ERROR_COLOUR "%s:%d X Invalid command\n", FileName(file), entry->line);
            continue;
        }
        switch (command) {
            case CMD_PARAMETER:
                ParameterLine(file, *entry, values, count);
                break;
            case CMD_LAND:
            case CMD_BRIEFING:
                break;
            case CMD_SETCAMERA:
                SetCamera(file, *entry, values);
                break;
            case CMD_CREATE:
                Create(file, *entry, values);
                break;
            case CMD_SUN:
                Sun(values);
                break;
            case CMD_ENV:
                EnvironmentLoad(values[0].Text());
                break;
            case CMD_GPULOAD:
                GpuLoad(values);
                break;
            case CMD_TEMPLATE:
                Template(file, *entry, values, count, callback);
                break;
            case CMD_DEFAULT:
                Default(file, *entry, values, argumentCount, tables->defaults);
                break;
            case CMD_SOUND:
                Sound(values, count);
                break;
            case CMD_LODDIST:
                LodDistances(file, *entry, values);
                break;
            case CMD_ENVSOUND:
                SoundSetMusic(SoundLoad(nullptr, values[0].Text(), SOUND_MODE_MUSIC));
                break;
            case CMD_MAX_SAVES:
                gi_maxsaves.SetInt(DecimalOf(values[0]));
                break;
        }
    }
    g_frameView.applyingDefinition = outerDefinition;
}

bool GameApplyTemplateToObject(const char* templateName, DynamicObject* object, const DefEntry* templateLine)
{
    if (!object)
        return false;
    const std::string fileName = std::string("object\\") + (templateName ? templateName : "") + ".def";
    DefFile* definition = DefFileLoad(fileName.c_str());
    if (!definition)
        return false;
    DefFile* outerFile = g_loader.currentFile;
    const char* outerDefinition = g_frameView.applyingDefinition;
    g_loader.currentFile = definition;
    g_frameView.applyingDefinition = definition->name.Text();
    // The template line's values after its first (the template's name) are the arguments.
    const EngineString* arguments = templateLine && templateLine->valueCount > 1 ? templateLine->values + 1 : nullptr;
    const s32_t argumentCount = arguments ? templateLine->valueCount - 1 : 0;
    std::unique_ptr<EngineString[]> values(new EngineString[OBJECT_LIST_MAX_VALUES]);
    for (const DefEntry* entry = definition->first; entry; entry = entry->next) {
        s32_t count = entry->valueCount < OBJECT_LIST_MAX_VALUES ? entry->valueCount : OBJECT_LIST_MAX_VALUES;
        if (templateLine)
            count = SubstituteValues(definition, *entry, arguments, argumentCount, nullptr, values.get());
        else
            for (s32_t i = 0; i < count; ++i)
                values[i].Assign(entry->values[i]);
        if (CompareNoCase(entry->key.Text(), "template") == 0) {
            if (++g_loader.nesting > OBJECT_LIST_MAX_NESTING) {
                ConPrint(0, ERROR_COLOUR "%s:%d Infinite recursion found\n", definition->name.Text(), entry->line);
            } else {
                // The nested template gets this line's values as they stand after substitution.
                DefEntry line;
                line.key.Assign(entry->key);
                line.values = values.get();
                line.valueCount = count;
                line.line = entry->line;
                const char* name = count > 0 ? values[0].Text() : "";
                const std::string nested = name[0] == '.' ? std::string(DropRelativePrefix(name)) : std::string(name);
                GameApplyTemplateToObject(nested.c_str(), object, &line);
                line.values = nullptr;
            }
            --g_loader.nesting;
            continue;
        }
        if (HasNonFiniteNumber(values.get(), count) || !object->SetParam(entry->key.Text(), values.get(), count))
            ConPrint(0, ERROR_COLOUR "%s:%d X Invalid command\n", definition->name.Text(), entry->line);
    }
    g_frameView.applyingDefinition = outerDefinition;
    g_loader.currentFile = outerFile;
    DefFileRelease(definition);
    return true;
}

DynamicObject* GameGetCurrentObject()
{
    return g_loader.currentObject;
}

void GameSetCurrentObject(DynamicObject* object)
{
    g_loader.currentObject = object;
}

const char* GameGetCurrentClass()
{
    return g_loader.currentClass.Text();
}

DefFile* GameGetCurrentObjectListFile()
{
    return g_loader.currentFile;
}

void GameObjectListReset()
{
    g_loader.currentObject = nullptr;
    g_loader.currentClass.Clear();
    g_loader.currentFile = nullptr;
    g_loader.nesting = 0;
}
