// The section "MATERIALS" of the script "detect": which textures belong to which material, which
// rectangles of them are of another material, and what the textures carry (reflections, alpha).
//
// A line whose word 2 names a material is that material's; with the keyword "assign" its word 1 is
// a texture of the material. The "property" lines directly after it belong to it; the first line
// after them that is not a property line is a line of the walk again.

#include <cstring>

#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "map/materials/material.h"
#include "map/materials/material_loading.h"
#include "map/materials/material_table.h"
#include "render/textures/texture_manager.h"

namespace {

bool Is(const char* word, const char* keyword)
{
    return CompareNoCase(word, keyword) == 0;
}

bool NamesMaterial(const ScriptCommand& line, const Material& material)
{
    return Is(line.Word(2), material.name);
}

// Calls line(command) for each line of the material, then property(command, assigned) for each
// property line that follows it, assigned telling whether the material's line was an "assign".
template <class OnLine, class OnProperty>
void WalkMaterialLines(const ScriptSection& section, const Material& material, OnLine line, OnProperty property)
{
    const auto& lines = section.commands;
    size_t i = 0;
    while (i < lines.size()) {
        const ScriptCommand& own = lines[i++];
        if (!NamesMaterial(own, material))
            continue;
        const bool assigned = Is(own.Keyword(), "assign");
        line(own);
        for (; i < lines.size() && Is(lines[i].Keyword(), "property"); ++i)
            property(lines[i], assigned, own);
    }
}

ScriptSection* DetectMaterials()
{
    ScriptFile* script = GetScriptFile("detect", false);
    return script ? script->FindSection("MATERIALS") : nullptr;
}

// The material of that exact name (case counts here); the owner when none has it.
Material* SubMaterial(Material* materials, u32_t count, const char* name, Material* owner)
{
    for (u32_t m = 0; m < count; ++m) {
        if (std::strcmp(materials[m].name, name) == 0)
            return &materials[m];
    }
    return owner;
}

}  // namespace

void MaterialsAssignTextures(Material* materials, u32_t count)
{
    const ScriptSection* section = DetectMaterials();
    if (!section)
        return;
    for (u32_t m = 0; m < count; ++m) {
        Material& material = materials[m];
        u32_t lines = 0;
        for (const ScriptCommand& line : section->commands)
            lines += NamesMaterial(line, material) ? 1 : 0;
        delete[] material.assignedTextures;
        material.assignedTextures = lines ? new EngineString[lines] : nullptr;
        material.assignedTextureCapacity = lines;
        material.assignedTextureCount = 0;
        WalkMaterialLines(
            *section, material,
            [&](const ScriptCommand& line) {
                if (Is(line.Keyword(), "assign") && material.assignedTextureCount < material.assignedTextureCapacity)
                    material.assignedTextures[material.assignedTextureCount++].Assign(line.Word(1));
            },
            [&](const ScriptCommand& line, bool, const ScriptCommand&) {
                // Regions past the table's room are left out.
                if (!Is(line.Word(1), "sub") || material.regionCount >= MATERIAL_MAX_REGIONS)
                    return;
                MaterialRegion& region = material.regions[material.regionCount++];
                region.textureIndex = static_cast<s32_t>(material.assignedTextureCount) - 1;
                region.owner = &material;
                region.sub = SubMaterial(materials, count, line.Word(6), &material);
                region.umin = MaterialWordFloat(line.Word(2));
                region.vmin = MaterialWordFloat(line.Word(3));
                region.umax = MaterialWordFloat(line.Word(4));
                region.vmax = MaterialWordFloat(line.Word(5));
            });
    }
}

void MaterialsLoadTextureProperties()
{
    const ScriptSection* section = DetectMaterials();
    if (!section)
        return;
    for (u32_t m = 0; m < MaterialCount(); ++m) {
        const Material& material = *MaterialAt(m);
        WalkMaterialLines(
            *section, material, [](const ScriptCommand&) {},
            [](const ScriptCommand& line, bool assigned, const ScriptCommand& own) {
                if (!assigned)
                    return;
                const char* textureName = own.Word(1);
                if (Is(line.Word(1), "reflect"))
                    TextureSetReflectMaps(textureName, line.Word(2), line.Word(3));
                else if (Is(line.Word(1), "alpha"))
                    TextureSetAlphaMap(textureName, line.Word(2));
            });
    }
}
