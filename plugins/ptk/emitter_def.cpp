#include "plugins/ptk/emitter_def.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

#include "plugins/ptk/controllers.h"
#include "plugins/ptk/file_loader.h"
#include "plugins/ptk/host_binding.h"

namespace ptk {

OwnedPtrList<EmitterDef>* g_emitterDefs = nullptr;

namespace {

void WarnLimit(const char* scriptName, const char* key, float value, std::int32_t limit)
{
    if (g_runtime.conPrint)
        g_runtime.conPrint(0, "WARNING : (%s) %s = %.0f is above its limit: %d taken\n", scriptName ? scriptName : "",
                           key, static_cast<double>(value), limit);
}
void Appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Appendf(std::string& out, const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written > 0)
        out.append(buffer, static_cast<std::size_t>(written) < sizeof buffer ? written : sizeof buffer - 1);
}

const char* const kParameterVars[PARAM_COUNT] = {"RGB", "Dir", "Scale", "Vel", "Rot", "A"};
const char* const kParameterSwitches[PARAM_COUNT] = {"Color", "Dir", "Scale", "Velocity", "Rotation", "Alpha"};
}  // namespace

std::uint32_t SourceBlend(std::int32_t index)
{
    static const std::uint32_t kTable[] = {BLEND_ZERO,         BLEND_ONE,          BLEND_DESTCOLOR,
                                           BLEND_INVDESTCOLOR, BLEND_SRCALPHA,     BLEND_INVSRCALPHA,
                                           BLEND_DESTALPHA,    BLEND_INVDESTALPHA, BLEND_SRCALPHASAT};
    return index >= 0 && index < 9 ? kTable[index] : BLEND_ZERO;
}

std::uint32_t DestinationBlend(std::int32_t index)
{
    static const std::uint32_t kTable[] = {BLEND_ZERO,        BLEND_ONE,          BLEND_SRCCOLOR,
                                           BLEND_INVSRCCOLOR, BLEND_SRCALPHA,     BLEND_INVSRCALPHA,
                                           BLEND_DESTALPHA,   BLEND_INVDESTALPHA, BLEND_ZERO};
    return index >= 0 && index < 9 ? kTable[index] : BLEND_ZERO;
}

EmitterDef::EmitterDef(const std::string& defName) : ScriptObject(defName, FindType("emiter_def"))
{
    Declare("int", "Texture", &texture);
    Declare("float", "Lifetime", &lifetime);
    Declare("float", "PtkLife", &ptkLife);
    Declare("float", "Freq", &freq);
    Declare("float", "Grav", &grav);
    Declare("float", "Quant", &quant);
    Declare("float", "Vel", &vel);
    Declare("float", "Rot", &rot);
    Declare("vec3", "Dir", dir);
    Declare("float", "Scale", &scale);
    Declare("float", "MinSiz", &minSiz);
    Declare("float", "MaxSiz", &maxSiz);
    Declare("color", "RGB", rgb);
    Declare("float", "A", &a);
    Declare("float", "Radius", &radius);
    Declare("float", "Width", &width);
    Declare("float", "Height", &height);
    Declare("float", "Length", &length);
    rotationSign = RandomUniform(-1.0f, 1.0f) < 0.0f ? -1.0f : 1.0f;
}

std::int32_t EmitterDef::TextureHandle(std::int32_t index) const
{
    const TextureEntry* entry = textures.At(index);
    return entry ? entry->handle : 0;
}

bool EmitterDef::ReadSettings(ScriptCursor& cursor)
{
    struct IntSetting {
        const char* key;
        std::int32_t* field;
    };
    const IntSetting ints[] = {
        {"Srcblend", &srcblend},
        {"Destblend", &destblend},
        {"Alphatest", &alphatest},
        {"Colorbyenv", &colorbyenv},
        {"EmtType", &emtType},
        {"PtkType", &ptkType},
        {"TexScale", &texScale},
        {"Loop", &loop},
        {"Transform", &transform},
        {"Color", &perEmitter[PARAM_COLOR]},
        {"Dir", &perEmitter[PARAM_DIR]},
        {"Scale", &perEmitter[PARAM_SCALE]},
        {"Velocity", &perEmitter[PARAM_VELOCITY]},
        {"Rotation", &perEmitter[PARAM_ROTATION]},
        {"Alpha", &perEmitter[PARAM_ALPHA]},
    };
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string key;
        if (!ReadIdentifier(cursor, key) || !TakeChar(cursor, '='))
            return false;
        bool known = false;
        for (const IntSetting& setting : ints) {
            if (key == setting.key) {
                if (!ReadInteger(cursor, *setting.field))
                    return false;
                known = true;
                break;
            }
        }
        if (known)
            continue;
        if (key == "RVel") {
            if (!ReadFloat(cursor, rVel))
                return false;
        } else if (key == "RLife") {
            if (!ReadFloat(cursor, rLife))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool EmitterDef::ReadDefinition(ScriptCursor& cursor)
{
    if (!ReadObjectBody(cursor) || !ReadSettings(cursor))
        return false;
    if (quant > static_cast<float>(kQuantLimit)) {
        WarnLimit(cursor.scriptName, "Quant", quant, kQuantLimit);
        quant = static_cast<float>(kQuantLimit);
    }
    if (texScale > kTexScaleLimit) {
        WarnLimit(cursor.scriptName, "TexScale", static_cast<float>(texScale), kTexScaleLimit);
        texScale = kTexScaleLimit;
    }
    std::string word;
    if (!ReadIdentifier(cursor, word))
        return false;
    if (word == "Objects") {
        std::string mesh;
        if (!TakeChar(cursor, '{'))
            return false;
        if (!(PeekChar(cursor) == '"' ? ReadQuoted(cursor, mesh) : ReadIdentifier(cursor, mesh)))
            return false;
        if (!TakeChar(cursor, '}'))
            return false;
        meshName = mesh;
        meshHandle = g_runtime.registerAnim ? g_runtime.registerAnim(meshName.c_str()) : 0;
        if (!ReadIdentifier(cursor, word))
            return false;
    }
    if (word != "Textures" || !TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string textureName;
        std::int32_t unused = 0;
        if (!ReadIdentifier(cursor, textureName) || !ReadInteger(cursor, unused))
            return false;
        const std::int32_t handle = g_runtime.registerTexture ? g_runtime.registerTexture(textureName.c_str()) : 0;
        TextureEntry* entry = new TextureEntry{textureName, handle};
        if (textures.Append(entry) < 0)
            delete entry;
    }
    return true;
}

void EmitterDef::Write(std::string& out) const
{
    Appendf(out, "%s %s\n", type ? type->name.c_str() : "emiter_def", name.c_str());
    out += "{\n";
    WriteVarBlock(out);
    WriteFuncBlock(out);
    out += "}\n{\n";
    Appendf(out, "\tSrcblend = %d\n", srcblend);
    Appendf(out, "\tDestblend = %d\n", destblend);
    Appendf(out, "\tAlphatest = %d\n", alphatest);
    Appendf(out, "\tColorbyenv = %d\n", colorbyenv);
    Appendf(out, "\tEmtType = %d\n", emtType);
    Appendf(out, "\tPtkType = %d\n", ptkType);
    Appendf(out, "\tTexScale = %d\n", texScale);
    Appendf(out, "\tLoop = %d\n", loop);
    Appendf(out, "\tTransform = %d\n", transform);
    for (int i = 0; i < PARAM_COUNT; ++i)
        Appendf(out, "\t%s = %d\n", kParameterSwitches[i], perEmitter[i]);
    Appendf(out, "\tRVel = %f\n", rVel);
    Appendf(out, "\tRLife = %f\n", rLife);
    out += "}\n";
    if (ptkType == 7)
        Appendf(out, "Objects\n{\n\t\"%s\"\n}\n", meshName.c_str());
    out += "Textures\n{\n";
    for (std::int32_t i = 0; i < textures.Count(); ++i)
        Appendf(out, "\t%s   %d\n", textures.At(i)->name.c_str(), textures.At(i)->handle);
    out += "}\n";
}

void EmitterDef::Finalise()
{
    for (int i = 0; i < PARAM_COUNT; ++i) {
        if (perEmitter[i] == 0) {
            const ScriptVar* var = Var(kParameterVars[i]);
            perParticle[i] = var ? var->controller : nullptr;
        }
    }
    if (shape == kNoShape && emtType >= 0 && emtType <= 6)
        shape = emtType;
}

ScriptObject* CreateEmitterDefObject(const std::string& name)
{
    return new EmitterDef(name);
}

bool ReadEmitterDefObject(ScriptObject* object, ScriptCursor& cursor)
{
    return static_cast<EmitterDef*>(object)->ReadDefinition(cursor);
}

void EmitterDefsCreate()
{
    EmitterDefsDelete();
    g_emitterDefs = new OwnedPtrList<EmitterDef>(100);
}

void EmitterDefsDelete()
{
    delete g_emitterDefs;
    g_emitterDefs = nullptr;
}

EmitterDef* ReadEmitterDefText(const char* text, const char* scriptName)
{
    Layer layer;
    ScriptCursor cursor = ScriptBegin(text, scriptName);
    if (!layer.Read(cursor))
        return nullptr;
    return static_cast<EmitterDef*>(layer.DetachFirstObject());
}

EmitterDef* LoadEmitterDef(const char* path)
{
    if (!g_emitterDefs || !path)
        return nullptr;
    for (std::int32_t i = 0; i < g_emitterDefs->Count(); ++i) {
        if (g_emitterDefs->At(i)->path == path)
            return g_emitterDefs->At(i);
    }
    std::unique_ptr<char[]> text(LoadWholeFile(path));
    if (!text)
        return nullptr;
    EmitterDef* def = ReadEmitterDefText(text.get(), path);
    if (!def)
        return nullptr;
    def->path = path;
    // A full registry could not release the definition later: it is not kept.
    if (g_emitterDefs->Append(def) < 0) {
        delete def;
        return nullptr;
    }
    return def;
}

void FinaliseEmitterDefs()
{
    if (!g_emitterDefs)
        return;
    for (std::int32_t i = 0; i < g_emitterDefs->Count(); ++i)
        g_emitterDefs->At(i)->Finalise();
}

}  // namespace ptk
