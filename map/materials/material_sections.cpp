// Reading one material from its section of the script "material": the "property" lines, then the
// child sections, whose first lines are positional (their keyword is not looked at) and whose
// later "property" lines set options. A missing line or word leaves the default.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/files/script_file.h"
#include "core/strings/finite_number.h"
#include "core/sound/sound_sets.h"
#include "core/strings/text_case.h"
#include "map/materials/material.h"
#include "map/materials/material_loading.h"
#include "render/textures/texture_manager.h"

s32_t MaterialWordInt(const char* word)
{
    int value = 0;
    if (std::sscanf(word, "%d", &value) != 1)
        return 0;
    return value;
}

float MaterialWordFloat(const char* word)
{
    return FiniteFloatOrZero(word);
}

u8_t MaterialWordFlag(const char* word)
{
    return MaterialWordInt(word) != 0 ? 1 : 0;
}

void MaterialCopyText(char* out, const char* text)
{
    const size_t length = std::min(std::strlen(text), static_cast<size_t>(MATERIAL_TEXT_SIZE - 1));
    std::memcpy(out, text, length);
    out[length] = '\0';
}

namespace {

bool Is(const char* word, const char* keyword)
{
    return CompareNoCase(word, keyword) == 0;
}

// The sound "material\<name>", then "material\<name>_0", "_1", ... up to the first that does not load.
void LoadSoundSet(SoundSet& set, const char* soundName)
{
    if (!soundName[0])
        return;
    const std::string base = std::string("material\\") + soundName;
    set.Add(SoundLoad(nullptr, base.c_str(), SOUND_MODE_OBJECT), 0);
    for (int k = 0;; ++k) {
        const std::string variant = base + "_" + std::to_string(k);
        SoundInstance* sound = SoundLoad(nullptr, variant.c_str(), SOUND_MODE_OBJECT);
        if (!sound)
            return;
        set.Add(sound, 0);
    }
}

// The texture "component\extras\<name>" when it exists, then its numbered variants while there is
// room: from "_1" when the plain one was found, else from "_0".
void LoadDecalTextures(MaterialDecalSection& section, const char* textureName)
{
    section.decalTextureCount = 0;
    if (!textureName[0])
        return;
    const std::string path = std::string("component\\extras\\") + textureName;
    int k = 0;
    if (IDirect3DTexture8* texture = TextureFindOrLoad(path.c_str())) {
        section.decalTextures[section.decalTextureCount++] = texture;
        k = 1;
    }
    for (; k < MATERIAL_MAX_DECAL_TEXTURES; ++k) {
        const std::string variant = path + "_" + std::to_string(k);
        IDirect3DTexture8* texture = TextureFindOrLoad(variant.c_str());
        if (!texture)
            return;
        section.decalTextures[section.decalTextureCount++] = texture;
    }
}

// An interval in word 1 and a sound name in word 2.
void ReadSoundLine(const ScriptCommand& line, SoundSet& set, s32_t& interval)
{
    interval = MaterialWordInt(line.Word(1));
    LoadSoundSet(set, line.Word(2));
}

void ReadHit(MaterialHitSettings& hit, const ScriptSection& section)
{
    hit.decalRandRot = 1;
    hit.noRicochet = 0;
    hit.noDecal = 0;
    hit.decalStretch = 1.0f;
    hit.decalTextureCount = 0;
    const auto& lines = section.commands;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ScriptCommand& line = lines[i];
        if (i == 0) {
            ReadSoundLine(line, hit.sounds, hit.soundInterval);
        } else if (i == 1) {
            LoadDecalTextures(hit, line.Word(1));
        } else if (i == 2) {
            MaterialCopyText(hit.effect, line.Word(1));
        } else if (Is(line.Keyword(), "property")) {
            const char* option = line.Word(1);
            if (Is(option, "decal_size")) {
                hit.decalSize[0] = MaterialWordFloat(line.Word(2));
                hit.decalSize[1] = MaterialWordFloat(line.Word(3));
            } else if (Is(option, "decal_rand_rot")) {
                hit.decalRandRot = MaterialWordFlag(line.Word(2));
            } else if (Is(option, "decal_stretch")) {
                hit.decalStretch = MaterialWordFloat(line.Word(2));
            } else if (Is(option, "no_bullet_ric")) {
                hit.noRicochet = MaterialWordFlag(line.Word(2));
            } else if (Is(option, "no_decal")) {
                hit.noDecal = MaterialWordFlag(line.Word(2));
            }
        }
    }
}

// The hit-only options have no field here and are passed over.
void ReadExplosion(MaterialExplosionSettings& explosion, const ScriptSection& section)
{
    explosion.decalTextureCount = 0;
    explosion.decalStretch = 1.0f;
    const auto& lines = section.commands;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ScriptCommand& line = lines[i];
        if (i == 0) {
            MaterialCopyText(explosion.firstName, line.Word(1));
        } else if (i == 1) {
            LoadDecalTextures(explosion, line.Word(1));
        } else if (i == 2) {
            MaterialCopyText(explosion.secondName, line.Word(1));
        } else if (Is(line.Keyword(), "property") && Is(line.Word(1), "decal_stretch")) {
            explosion.decalStretch = MaterialWordFloat(line.Word(2));
        }
    }
}

void ReadGrenade(MaterialGrenadeSettings& grenade, const ScriptSection& section)
{
    grenade.decalTextureCount = 0;
    grenade.noDecal = 0;
    grenade.noParticle = 0;
    grenade.decalStretch = 1.0f;
    const auto& lines = section.commands;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ScriptCommand& line = lines[i];
        if (i == 0) {
            ReadSoundLine(line, grenade.sounds, grenade.soundInterval);
        } else if (i == 1) {
            LoadDecalTextures(grenade, line.Word(1));
            MaterialCopyText(grenade.effect, line.Word(1));
        } else if (Is(line.Keyword(), "property")) {
            const char* option = line.Word(1);
            if (Is(option, "no_decal"))
                grenade.noDecal = MaterialWordFlag(line.Word(2));
            else if (Is(option, "no_particle"))
                grenade.noParticle = MaterialWordFlag(line.Word(2));
            else if (Is(option, "decal_stretch"))
                grenade.decalStretch = MaterialWordFloat(line.Word(2));
        }
    }
}

void ReadNames(char (&names)[MATERIAL_NAME_TRIPLE][MATERIAL_TEXT_SIZE], const ScriptSection& section)
{
    for (size_t i = 0; i < section.commands.size() && i < MATERIAL_NAME_TRIPLE; ++i)
        MaterialCopyText(names[i], section.commands[i].Word(1));
}

void ReadSteps(MaterialStepSounds (&steps)[MATERIAL_STEP_SETS], const ScriptSection& section)
{
    for (size_t i = 0; i < section.commands.size() && i < MATERIAL_STEP_SETS; ++i) {
        ReadSoundLine(section.commands[i], steps[i].sounds, steps[i].interval);
        // The footstep player keeps a set's least time between two plays in the set itself.
        steps[i].sounds.extraParam = steps[i].interval;
    }
}

}  // namespace

void MaterialReadSection(Material* material, const ScriptSection& section)
{
    MaterialCopyText(material->name, section.Name());
    material->regionCount = 0;
    material->resistance = -1;
    material->assignedTextureCount = 0;
    material->velocityResistance = 0.3f;
    material->density = 0.5f;

    for (const ScriptCommand& line : section.commands) {
        if (!Is(line.Keyword(), "property"))
            continue;
        const char* property = line.Word(1);
        if (Is(property, "resistance"))
            material->resistance = MaterialWordInt(line.Word(2));
        else if (Is(property, "density"))
            material->density = MaterialWordFloat(line.Word(2));
        else if (Is(property, "vel_resist"))
            material->velocityResistance = MaterialWordFloat(line.Word(2));
        else if (Is(property, "color"))
            material->color = MaterialWordFlag(line.Word(2));
    }

    for (const ScriptSection* child : section.children) {
        const char* kind = child->Name();
        if (Is(kind, "HIT"))
            ReadHit(material->hit, *child);
        else if (Is(kind, "EXPLOSION"))
            ReadExplosion(material->explosion, *child);
        else if (Is(kind, "GRENADE"))
            ReadGrenade(material->grenade, *child);
        else if (Is(kind, "CRASH"))
            ReadNames(material->crash, *child);
        else if (Is(kind, "STEP"))
            ReadSteps(material->step, *child);
        else if (Is(kind, "FRICTION"))
            ReadNames(material->friction, *child);
    }
}
