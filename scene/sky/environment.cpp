#include "scene/sky/environment.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/strings/engine_string.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "map/map_cvars.h"
#include "platform/d3d8.h"
#include "render/draw2d/colour_pack.h"
#include "render/land/map_render_setup.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

struct BlendModeName {
    const char* name;
    u32_t value;
};

constexpr BlendModeName kBlendModes[] = {
    {"D3DBLEND_ZERO", D3DBLEND_ZERO},
    {"D3DBLEND_ONE", D3DBLEND_ONE},
    {"D3DBLEND_SRCCOLOR", D3DBLEND_SRCCOLOR},
    {"D3DBLEND_INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
    {"D3DBLEND_SRCALPHA", D3DBLEND_SRCALPHA},
    {"D3DBLEND_INVSRCALPHA", D3DBLEND_INVSRCALPHA},
    {"D3DBLEND_DESTALPHA", D3DBLEND_DESTALPHA},
    {"D3DBLEND_INVDESTALPHA", D3DBLEND_INVDESTALPHA},
    {"D3DBLEND_DESTCOLOR", D3DBLEND_DESTCOLOR},
    {"D3DBLEND_INVDESTCOLOR", D3DBLEND_INVDESTCOLOR},
    {"D3DBLEND_SRCALPHASAT", D3DBLEND_SRCALPHASAT},
    {"D3DBLEND_BOTHSRCALPHA", D3DBLEND_BOTHSRCALPHA},
    {"D3DBLEND_BOTHINVSRCALPHA", D3DBLEND_BOTHINVSRCALPHA},
};

constexpr const char* kFogColourKey = "fogcol";

u32_t FogColourTruncated()
{
    return ColourPackTruncated(mcfogcolor.Colour());
}

// The section "<word>.<name>" itself: null when any step of the path is missing (the file's own
// lookup would stop at the deepest section found instead).
ScriptSection* FindEnvironmentSection(ScriptFile& file, const char* word, const char* name)
{
    ScriptSection* section = file.Root()->FindChild(word);
    const char* step = name;
    while (section && step) {
        const char* dot = std::strchr(step, '.');
        const std::size_t length = dot ? static_cast<std::size_t>(dot - step) : std::strlen(step);
        section = section->FindChild(step, length);
        step = dot ? dot + 1 : nullptr;
    }
    return section;
}

void PaintWithFog(GraphObj& sky, const ScriptCommand& line)
{
    // A line without both node and mesh names is left alone.
    if (line.WordCount() < 3)
        return;
    GraphNode* node = sky.FindChild(line.Word(1));
    if (!node || !node->GetAnimMesh())
        return;
    const AnimMesh* mesh = node->GetAnimMesh();
    const s32_t nameIndex = mesh->FindName(line.Word(2));
    if (nameIndex < 0)
        return;
    const s32_t meshIndex = mesh->FindMesh(static_cast<u32_t>(nameIndex), 0);
    if (meshIndex >= 0)
        node->SetMeshColor(static_cast<u32_t>(meshIndex), FogColourTruncated());
}

void ApplySection(GraphObj& sky, const ScriptSection& section)
{
    std::vector<EngineString> values;
    for (const ScriptCommand& line : section.commands) {
        if (line.WordCount() == 0)
            continue;
        if (CompareNoCase(line.Keyword(), kFogColourKey) == 0) {
            PaintWithFog(sky, line);
            continue;
        }
        values.clear();
        for (int i = 1; i < line.WordCount(); ++i)
            values.emplace_back(line.Word(i));
        sky.SetParam(line.Keyword(), values.data(), static_cast<int>(values.size()));
    }
}

GraphObj* MakeSkyObject()
{
    GraphObj* sky = new GraphObj();
    sky->alwaysAnimated = 1;
    return sky;
}

}  // namespace

void EnvironmentLoad(const char* name)
{
    // Callers release the previous environment first; one that did not would leak its objects.
    delete g_mapRender.skyBefore;
    delete g_mapRender.skyAfter;
    g_mapRender.skyBefore = MakeSkyObject();
    g_mapRender.skyAfter = MakeSkyObject();
    ScriptFile* file = GetScriptFile("env", false);
    if (!file)
        return;
    if (name) {
        if (const ScriptSection* before = FindEnvironmentSection(*file, "before", name))
            ApplySection(*g_mapRender.skyBefore, *before);
        if (const ScriptSection* after = FindEnvironmentSection(*file, "after", name))
            ApplySection(*g_mapRender.skyAfter, *after);
    }
    g_mapRender.skyBefore->GetGeometryBounds(g_mapRender.skyBox);
    g_mapRender.skyAfter->GetGeometryBounds(g_mapRender.skyAfterBox);
}

u32_t BlendModeFromName(const char* name)
{
    if (!name)
        return 0;
    for (const BlendModeName& entry : kBlendModes) {
        if (std::strcmp(entry.name, name) == 0)
            return entry.value;
    }
    return 0;
}
