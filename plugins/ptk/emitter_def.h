// Emitter definitions (".emt" files): how one emitter spawns, moves, colours and draws its
// particles; loaded when a template names them and kept in their registry until the map unloads.
#pragma once
#include <cstdint>
#include <string>

#include "plugins/ptk/owned_ptr_list.h"
#include "plugins/ptk/script_objects.h"

namespace ptk {

class Controller;

// Direct3D 8 blend factors as the host reads them.
enum BlendFactor : std::uint32_t {
    BLEND_ZERO = 1,
    BLEND_ONE = 2,
    BLEND_SRCCOLOR = 3,
    BLEND_INVSRCCOLOR = 4,
    BLEND_SRCALPHA = 5,
    BLEND_INVSRCALPHA = 6,
    BLEND_DESTALPHA = 7,
    BLEND_INVDESTALPHA = 8,
    BLEND_DESTCOLOR = 9,
    BLEND_INVDESTCOLOR = 10,
    BLEND_SRCALPHASAT = 11,
};
std::uint32_t SourceBlend(std::int32_t index);
std::uint32_t DestinationBlend(std::int32_t index);

struct TextureEntry {
    std::string name;
    std::int32_t handle;
};

// The per-particle parameters a definition can drive by particle age.
enum ParticleParameter {
    PARAM_COLOR,
    PARAM_DIR,
    PARAM_SCALE,
    PARAM_VELOCITY,
    PARAM_ROTATION,
    PARAM_ALPHA,
    PARAM_COUNT
};

constexpr std::int32_t kNoShape = -1;

class EmitterDef : public ScriptObject {
public:
    explicit EmitterDef(const std::string& defName);
    ~EmitterDef() override { DropControllers(); }

    // The whole definition after its name: object body, settings, Objects and Textures.
    bool ReadDefinition(ScriptCursor& cursor);
    void Write(std::string& out) const;
    // Takes the per-particle controllers and makes the shape.
    void Finalise();

    // Declared variables.
    std::int32_t texture = 0;
    float lifetime = 0.0f;
    float ptkLife = 0.0f;
    float freq = 1.0f;
    float grav = 0.0f;
    float quant = 2.0f;
    float vel = 0.0f;
    float rot = 0.0f;
    float dir[3] = {0.0f, 0.0f, 0.0f};
    float scale = 1.0f;
    float minSiz = 1.0f;
    float maxSiz = 1.0f;
    float rgb[3] = {1.0f, 1.0f, 1.0f};
    float a = 1.0f;
    float radius = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float length = 0.0f;

    // Settings.
    std::int32_t srcblend = 0;
    std::int32_t destblend = 0;
    std::int32_t alphatest = 0;
    std::int32_t colorbyenv = 0;
    std::int32_t emtType = 0;
    std::int32_t ptkType = 0;
    std::int32_t texScale = 1;
    std::int32_t loop = 0;
    std::int32_t transform = 0;
    std::int32_t perEmitter[PARAM_COUNT] = {1, 1, 1, 1, 1, 1};  // Color, Dir, Scale, Velocity, Rotation, Alpha
    float rVel = 0.0f;
    float rLife = 0.0f;

    std::string path;
    OwnedPtrList<TextureEntry> textures{100};
    std::string meshName;
    std::int32_t meshHandle = 0;
    std::int32_t shape = kNoShape;
    Controller* perParticle[PARAM_COUNT] = {};
    float rotationSign = 1.0f;

    // The texture handle at the index; 0 for an index outside the list.
    std::int32_t TextureHandle(std::int32_t index) const;

private:
    bool ReadSettings(ScriptCursor& cursor);
};

// Like the plug-in's lists and curves, the counts a definition gives are bounded: particles per
// emission (an effect file's "Quant") and the atlas grid's side ("TexScale", whose square counts the
// frames). A larger value is taken as the limit, with a warning line on the console.
constexpr std::int32_t kQuantLimit = 1000;
constexpr std::int32_t kTexScaleLimit = 64;

// The registry (capacity 100), made at map load.
extern OwnedPtrList<EmitterDef>* g_emitterDefs;
void EmitterDefsCreate();
void EmitterDefsDelete();
// "object\gfx\<name>.emt" from the registry, else read and registered; null on failure.
EmitterDef* LoadEmitterDef(const char* path);
// Reads a definition layer from a text (no registry): the detached definition or null.
EmitterDef* ReadEmitterDefText(const char* text, const char* scriptName);
void FinaliseEmitterDefs();

}  // namespace ptk
