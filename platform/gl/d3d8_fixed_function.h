// The fixed-function pipeline as generated GLSL: a compact key of the state that shapes the
// program, the program source made from a key, a cache of linked programs, and the uniform block
// that carries the values (matrices, colours, lights) every program reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/d3d8.h"
#include "platform/gl/d3d8_gl.h"

// The state that selects a program. Values that only feed uniforms (colours, matrices, fog
// distances, the alpha reference) are not part of it. Built without allocation.
struct FixedFunctionKey {
    std::uint32_t vertexFormat = 0;  // the flexible vertex format
    std::uint32_t vertexState = 0;   // lighting, material sources, vertex fog, shading
    std::uint32_t lightTypes = 0;    // 2 bits per light: 0 off, else its D3DLIGHTTYPE
    std::uint32_t pixelState = 0;    // alpha test, fog kind, specular add
    std::uint64_t stages[D3DMAX_TEXTURE_STAGES] = {};

    bool operator==(const FixedFunctionKey&) const = default;
};

struct FixedFunctionKeyHash {
    std::size_t operator()(const FixedFunctionKey& key) const;
};

enum FixedFunctionTextureKind : BYTE { kTextureNone = 0, kTexture2D = 1, kTextureCube = 2 };

// What the key is built from: the device's state tables, the vertex format, what is bound.
struct FixedFunctionState {
    const DWORD* renderStates;                 // D3DRS_COUNT entries
    const DWORD (*stageStates)[D3DTSS_COUNT];  // D3DMAX_TEXTURE_STAGES rows
    DWORD fvf;
    BYTE textureKinds[D3DMAX_TEXTURE_STAGES];  // FixedFunctionTextureKind per stage
    BYTE lightTypes[8];                        // 0 for a disabled light
    // The projection's fourth column is (0, 0, 0, 1): w says nothing about depth, so table fog
    // reads the device depth z instead of the eye depth w.
    bool affineProjection = false;
};

FixedFunctionKey BuildFixedFunctionKey(const FixedFunctionState& state);

// The device-state uniform block (struct Light and DeviceState ds) as every generated program declares it.
extern const char kDeviceStateGlsl[];

// The GLSL of a key: a vertex and a fragment shader reading the uniform block below.
void GenerateFixedFunctionSource(const FixedFunctionKey& key, std::string* vertexSource, std::string* fragmentSource);

// The uniform block (std140, binding 0). Matrices are Direct3D's row-major floats as they are:
// read by GLSL as column-major they give M * v for Direct3D's v * M.
struct FixedFunctionLight {
    float diffuse[4];
    float specular[4];
    float ambient[4];
    float position[4];     // camera space; w = range
    float direction[4];    // camera space, normalised; w = spot falloff
    float attenuation[4];  // constant, linear, quadratic
    float cone[4];         // cos(theta / 2), cos(phi / 2)
};

struct FixedFunctionUniforms {
    float worldViewProj[16];
    float worldView[16];
    float normalMatrix[16];  // inverse transpose of worldView in the upper 3 x 3
    float textureMatrix[D3DMAX_TEXTURE_STAGES][16];
    float textureFactor[4];
    float fogColour[4];
    float fogParams[4];  // start, end, density, 1 / (end - start)
    float screen[4];     // 2 / target width, 2 / target height, alpha reference 0..255
    float ambient[4];
    float materialDiffuse[4];
    float materialAmbient[4];
    float materialSpecular[4];
    float materialEmissive[4];
    float materialPower[4];
    FixedFunctionLight lights[8];
    float eyeClipPlanes[6][4];  // the user clip planes in camera space, for untransformed vertices
    float clipPlanes[6][4];     // the user clip planes as set: clip space, for vertex shader output
    // Direct3D puts pixel centres on whole viewport coordinates, GL half a pixel further on: clip x
    // and y move by (1 / viewport width, -1 / viewport height) times w.
    float pixelCentre[4];
};
static_assert(sizeof(FixedFunctionLight) == 112);
static_assert(offsetof(FixedFunctionUniforms, textureFactor) == 704);
static_assert(offsetof(FixedFunctionUniforms, lights) == 864);
static_assert(offsetof(FixedFunctionUniforms, eyeClipPlanes) == 1760);

// Linked programs by key. Lookups do not allocate; a miss compiles and links once.
class FixedFunctionPrograms {
public:
    // 0 when the program could not be built (reported once through the debugger output).
    GLuint Find(const FixedFunctionKey& key);
    // Deletes every program; the owning context must be current.
    void Clear();
    std::size_t Count() const { return m_programs.size(); }

private:
    std::unordered_map<FixedFunctionKey, GLuint, FixedFunctionKeyHash> m_programs;
};
