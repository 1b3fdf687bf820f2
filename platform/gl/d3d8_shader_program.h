// Shaders inside the device: assembled token words read back into instructions, vertex shader
// declarations read into vertex fields, and both turned into GLSL. Internal to the device layer.
//
// The GLSL stages meet through the same names the fixed-function programs use (vDiffuse,
// vSpecular, vFog, vTex0..vTex7), so a vertex shader can feed the texture-stage pipeline and the
// fixed-function vertex stage can feed a pixel shader. Shader constants live in a uniform block at
// binding 1 (ShaderConstantBlock); the fixed-function block stays at binding 0.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d8.h"

struct ShaderOperand {
    std::uint32_t type = 0;
    std::uint32_t number = 0;
    bool relative = false;         // c[a0.x + number]
    std::uint32_t mask = 0xF;      // destination: x, y, z, w bits
    bool saturate = false;         // destination
    int shift = 0;                 // destination: result x 2^shift, -3..3
    std::uint32_t swizzle = 0xE4;  // source: 2 bits per output component
    std::uint32_t modifier = 0;    // source: shader_tokens::SourceModifier
};

struct ShaderInstruction {
    std::uint32_t opcode = 0;
    bool coissue = false;
    bool hasDestination = false;
    int sourceCount = 0;
    ShaderOperand destination;
    ShaderOperand sources[3];
    float values[4] = {};  // def
};

struct ShaderFunction {
    bool pixel = false;
    int major = 0, minor = 0;
    std::vector<ShaderInstruction> instructions;
    std::uint32_t sampledStages = 0;  // pixel shaders: the texture stages read
    std::uint32_t inputsRead = 0;     // vertex shaders: the v registers read

    bool Is14() const { return pixel && minor == 4; }
};

// Reads tokens up to the end word (at most kMaxShaderWords). False with a reason for anything
// that is not a well-formed function of a supported version of that kind.
constexpr std::size_t kMaxShaderWords = 16384;
bool ParseShaderFunction(const DWORD* tokens, bool pixel, ShaderFunction* out, std::string* error);

struct VertexElement {
    BYTE reg;
    BYTE type;  // D3DVSDT_TYPE
    WORD offset;
};

struct VertexDeclaration {
    VertexElement elements[16];
    int elementCount = 0;
    UINT size = 0;  // bytes of the stream's fields
    struct Constant {
        UINT reg;
        float values[4];
    };
    std::vector<Constant> constants;  // loaded into the constant registers by SetVertexShader
};

// Stream 0 only (the device has one stream); false for anything else or a malformed list.
bool ParseVertexDeclaration(const DWORD* tokens, VertexDeclaration* out);

// The uniform block of shader constants (std140, binding 1).
struct ShaderConstantBlock {
    float vertex[96][4];
    float pixel[8][4];
    float bumpMatrix[8][4];     // per stage: 00, 01, 10, 11
    float bumpLuminance[8][4];  // per stage: scale, offset
};

// What a vertex shader hands on: flat colours, the fog kind of the fixed-function key
// (ffbits::FogKind), the user clip planes that cut its output (bit i: plane i, given in clip space)
// and, for each vTex<s>, the oT register it carries (-1: none).
struct ShaderLinkage {
    bool flatColours = false;
    std::uint32_t fogKind = 0;
    std::uint32_t clipPlanes = 0;
    std::int8_t texSource[8] = {0, 1, 2, 3, 4, 5, 6, 7};
};
void GenerateVertexShaderGlsl(const ShaderFunction& function, const ShaderLinkage& linkage, std::string* out);

// What a pixel shader program depends on beside its code.
struct PixelShaderSetup {
    BYTE textureKinds[8] = {};  // FixedFunctionTextureKind per stage
    BYTE projectedBy[8] = {};   // tex of ps.1.0-1.3: divide by this component (1..4), 0 = not
    bool flatColours = false;
    std::uint32_t pixelState = 0;  // alpha test and fog bits of the fixed-function key
};
void GeneratePixelShaderGlsl(const ShaderFunction& function, const PixelShaderSetup& setup, std::string* out);

// Assembles, translates, compiles and links a small vertex and pixel shader on the current
// context: true when the whole road works.
bool ShaderTranslatorSelfTest();
