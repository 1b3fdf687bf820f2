#include "game/mission_objects/sun_effect_load.h"

#include <cstdlib>
#include <string>

#include "core/strings/finite_number.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "render/textures/texture_manager.h"
#include "scene/sky/environment.h"
#include "scene/sky/sun_effect.h"

namespace {

bool Is(const char* text, const char* word)
{
    return CompareNoCase(text, word) == 0;
}

void SetProperty(SunFlareElement& element, const char* key, const char* value)
{
    if (Is(key, "tex"))
        element.texture = TextureFindOrLoad((std::string("component\\effect\\") + value).c_str());
    else if (Is(key, "size"))
        element.size = FiniteFloatOrZero(value);
    else if (Is(key, "stretch_coef"))
        element.sizeFactor = FiniteFloatOrZero(value);
    else if (Is(key, "opacity"))
        element.alphaFactor = FiniteFloatOrZero(value);
    else if (Is(key, "trace"))
        element.enabled = !Is(value, "false");
    else if (Is(key, "stretch"))
        element.intensityScaled = !Is(value, "false");
    else if (Is(key, "alpha"))
        element.noAlphaFactor = Is(value, "true");
    else if (Is(key, "src_blend"))
        element.sourceBlend = BlendModeFromName(value);
    else if (Is(key, "dest_blend"))
        element.destinationBlend = BlendModeFromName(value);
}

}  // namespace

u32_t SunEffectLoad(const char* sectionName, SunFlareElement** out)
{
    *out = nullptr;
    ScriptFile* script = GetScriptFile("sun", false);
    if (!script)
        return 0;
    const ScriptSection* section = script->FindSection(sectionName ? sectionName : "");
    if (!section || section->children.empty())
        return 0;
    const u32_t count = static_cast<u32_t>(section->children.size());
    SunFlareElement* elements = new SunFlareElement[count]();
    for (u32_t i = 0; i < count; ++i) {
        for (const ScriptCommand& command : section->children[i]->commands) {
            if (Is(command.Keyword(), "property") && command.WordCount() >= 3)
                SetProperty(elements[i], command.Word(1), command.Word(2));
        }
    }
    *out = elements;
    return count;
}
