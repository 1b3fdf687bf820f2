// Texture level of detail: the quality setting of the account, the console switches, and the
// interface textures that always stay at full resolution.

#include <cstdio>
#include <cstring>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "render/device/render_context.h"
#include "render/textures/texture_manager.h"

namespace {

// Interface textures are drawn at their own size on the screen: they keep every level.
constexpr const char* kFullResolutionMarks[] = {"component\\gui", "font",    "icon", "crosshair",
                                                "select",         "compass", "scope"};

bool KeepsFullResolution(const char* name)
{
    for (const char* mark : kFullResolutionMarks) {
        if (std::strstr(name, mark))
            return true;
    }
    return false;
}

s32_t SetTextureLodCommand(const char* arguments)
{
    int level = 0;
    if (!arguments || std::sscanf(arguments, "%d", &level) != 1)
        return 0;
    if (g_render.device)
        g_render.device->ResourceManagerDiscardBytes(0);
    TexturesSetLOD(level);
    return 0;
}

s32_t ApplyTextureQualityCommand(const char*)
{
    TexturesApplyQualitySetting();
    return 0;
}

}  // namespace

ConsoleVar ritexlod("ritexlod", CVAR_INT, "0");
// Kept with each player account (the accounts store it by name); only the texture manager reads it.
ConsoleVar as_tqmod("as_tqmod", CVAR_STRING, "HIGH");
ConsoleVar rxtexlod("rxtexlod", SetTextureLodCommand);
ConsoleVar gxtexlod("gxtexlod", ApplyTextureQualityCommand);

void TexturesSetLOD(int level)
{
    const DWORD lod = static_cast<DWORD>(level);
    for (TextureSlot& slot : g_textures.slots) {
        if (!slot.texture || KeepsFullResolution(slot.name.Text()))
            continue;
        if (slot.texture->GetLOD() != lod)
            slot.texture->SetLOD(lod);
        if (slot.reflectMap)
            slot.reflectMap->SetLOD(lod);
        if (slot.secondReflectMap)
            slot.secondReflectMap->SetLOD(lod);
    }
    ConPrint(0, "Textures LOD set to %d\n", level);
}

int TextureQualityLevel(const char* quality)
{
    constexpr const char* kWords[] = {"VERY LOW", "LOW", "MEDIUM", "HIGH"};
    if (!quality)
        return -1;
    for (int index = 0; index < 4; ++index) {
        if (CompareNoCase(quality, kWords[index]) == 0)
            return 3 - index;
    }
    return -1;
}

void TexturesApplyQualitySetting()
{
    const int level = TextureQualityLevel(as_tqmod.String());
    ritexlod.SetInt(level);
    TexturesSetLOD(level);
}
