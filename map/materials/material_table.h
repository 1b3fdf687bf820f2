// The material table: every surface's material, read from the scripts "material" and "detect" at
// mission start and freed when the mission is left; found by name, by the textures assigned to it,
// and by the rectangles of a texture that belong to another material. Until the table is loaded
// it holds no material. Material pointers are valid until MaterialsFree.
#pragma once
#include "core/types.h"

class IDirect3DTexture8;
class Material;

// Builds the table: one material per section of the script "material", then the textures and
// regions the section "MATERIALS" of the script "detect" assigns. A table already loaded is freed
// first. A missing script or one without sections gives an empty table.
void MaterialsLoad();
// Applies the texture properties "reflect" and "alpha" that "MATERIALS" gives the materials'
// assigned textures (after the land's textures are loaded).
void MaterialsLoadTextureProperties();
// Frees every material and empties the table.
void MaterialsFree();

u32_t MaterialCount();
// Null past the end.
Material* MaterialAt(u32_t index);
// The first material with that name (without regard to case), or null.
Material* MaterialFind(const char* name);
// The first material, in table order, whose "assign" list names that texture file name (without
// regard to case), or null.
Material* MaterialFindByTexture(const char* fileName);

// The material of a hit at (u, v) on a texture of that file name whose own material is given:
// the sub-material of the first region of that texture that holds the point strictly inside;
// otherwise the material itself. Null for no material.
Material* MaterialRefineByRegion(Material* material, const char* textureFileName, float u, float v);
// The same starting from the texture: its recorded material and its file name.
Material* MaterialAtTexturePoint(IDirect3DTexture8* texture, float u, float v);
