// The material table: loading, freeing and the lookups by name and by texture.
#include "map/materials/material_table.h"

#include "core/strings/text_case.h"

#include "core/files/script_file.h"
#include "map/materials/material.h"
#include "map/materials/material_loading.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_names.h"

namespace {

struct MaterialTable {
    Material* materials = nullptr;
    u32_t count = 0;
};

MaterialTable g_materialTable;

// Every loaded texture keeps the material its file is assigned to. The table is made anew for each
// mission, so the textures that outlive a mission take their material again from the new table
// (or none while there is no table) instead of keeping a pointer into the freed one.
void ResolveTextureMaterials()
{
    for (const TextureSlot& slot : g_textures.slots) {
        if (!slot.texture)
            continue;
        TextureInfo record;
        TextureGetRecord(slot.texture, &record);
        Material* material = MaterialFindByTexture(TextureFilePart(record.path));
        if (record.material == material)
            continue;
        record.material = material;
        TextureSetRecord(slot.texture, &record);
    }
}

}  // namespace

Material::Material()
{
    for (int k = 0; k < 3; ++k)
        surface.sets[k] = &step[k].sounds;
}

Material::~Material()
{
    delete[] assignedTextures;
}

void MaterialsLoad()
{
    MaterialsFree();
    ScriptFile* script = GetScriptFile("material", false);
    if (!script)
        return;
    ScriptSection* root = script->Root();
    const size_t sections = root->children.size();
    if (sections == 0)
        return;
    g_materialTable.materials = new Material[sections];
    for (const ScriptSection* section : root->children)
        MaterialReadSection(&g_materialTable.materials[g_materialTable.count++], *section);
    MaterialsAssignTextures(g_materialTable.materials, g_materialTable.count);
    ResolveTextureMaterials();
}

void MaterialsFree()
{
    delete[] g_materialTable.materials;
    g_materialTable.materials = nullptr;
    g_materialTable.count = 0;
    ResolveTextureMaterials();
}

u32_t MaterialCount()
{
    return g_materialTable.count;
}

Material* MaterialAt(u32_t index)
{
    return index < g_materialTable.count ? &g_materialTable.materials[index] : nullptr;
}

Material* MaterialFind(const char* name)
{
    if (!name)
        return nullptr;
    for (u32_t i = 0; i < g_materialTable.count; ++i) {
        if (CompareNoCase(g_materialTable.materials[i].name, name) == 0)
            return &g_materialTable.materials[i];
    }
    return nullptr;
}

Material* MaterialFindByTexture(const char* fileName)
{
    if (!fileName)
        return nullptr;
    for (u32_t i = 0; i < g_materialTable.count; ++i) {
        Material& material = g_materialTable.materials[i];
        for (u32_t t = 0; t < material.assignedTextureCount; ++t) {
            if (CompareNoCase(material.assignedTextures[t].Text(), fileName) == 0)
                return &material;
        }
    }
    return nullptr;
}
