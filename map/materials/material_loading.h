// What the material table's readers share: the numbers and texts of script words, and the reading
// of one material section of the script "material".
#pragma once
#include "core/types.h"

class Material;
struct ScriptSection;

// "%d" and "%f" readings: a word that is not a number gives 0.
s32_t MaterialWordInt(const char* word);
float MaterialWordFloat(const char* word);
// A flag is set when its whole number is not 0.
u8_t MaterialWordFlag(const char* word);
// Copies at most 127 characters and a terminating zero.
void MaterialCopyText(char* out, const char* text);

// Fills the record from its section of the script "material": the name, the defaults, the
// "property" lines and the impact, crash, step and friction sections.
void MaterialReadSection(Material* material, const ScriptSection& section);
// Gives the materials their assigned textures and regions from the section "MATERIALS" of the
// script "detect".
void MaterialsAssignTextures(Material* materials, u32_t count);
