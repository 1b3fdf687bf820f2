// Bit positions inside FixedFunctionKey, shared by the key builder and the code generator.
#pragma once
#include <cstdint>

namespace ffbits {

// vertexState
constexpr std::uint32_t kLighting = 1u << 0;
constexpr std::uint32_t kSpecularLighting = 1u << 1;
constexpr std::uint32_t kLocalViewer = 1u << 2;
constexpr std::uint32_t kNormalizeNormals = 1u << 3;
constexpr int kDiffuseSourceShift = 4;  // 2 bits each: D3DMATERIALCOLORSOURCE
constexpr int kAmbientSourceShift = 6;
constexpr int kSpecularSourceShift = 8;
constexpr int kEmissiveSourceShift = 10;
constexpr std::uint32_t kFlatShading = 1u << 12;
constexpr std::uint32_t kRangeFog = 1u << 13;
constexpr int kClipPlaneShift = 14;  // 6 bits: the user clip planes in use (D3DRS_CLIPPLANEENABLE)
constexpr std::uint32_t kClipPlaneMask = 0x3Fu << kClipPlaneShift;

// pixelState
constexpr int kAlphaFuncShift = 0;  // 4 bits: D3DCMPFUNC, 0 = no alpha test
constexpr int kFogKindShift = 4;    // 2 bits
constexpr int kFogModeShift = 6;    // 2 bits: D3DFOGMODE of the vertex or table fog
constexpr std::uint32_t kSpecularAdd = 1u << 8;
// Table fog reads the device depth (z in 0..1) instead of the eye depth w: the projection is affine.
constexpr std::uint32_t kFogDeviceDepth = 1u << 9;
enum FogKind : std::uint32_t { kFogNone = 0, kFogVertex = 1, kFogTable = 2, kFogFromSpecular = 3 };

// stages[s]
constexpr std::uint32_t kArgMask = 0x3F;  // select bits and the two modifiers
constexpr int kColourOpShift = 0;         // 5 bits
constexpr int kColourArg1Shift = 5;       // 6 bits each
constexpr int kColourArg2Shift = 11;
constexpr int kColourArg0Shift = 17;
constexpr int kAlphaOpShift = 23;  // 5 bits
constexpr int kAlphaArg1Shift = 28;
constexpr int kAlphaArg2Shift = 34;
constexpr int kAlphaArg0Shift = 40;
constexpr std::uint64_t kResultTemp = 1ull << 46;
constexpr int kTextureKindShift = 47;     // 2 bits: FixedFunctionTextureKind
constexpr int kTexCoordSetShift = 49;     // 3 bits
constexpr int kTexCoordGenShift = 52;     // 2 bits: the D3DTSS_TCI_* generator >> 16
constexpr int kTransformCountShift = 54;  // 3 bits: D3DTTFF_COUNTn, 0 = no transform
constexpr std::uint64_t kTransformProjected = 1ull << 57;
constexpr std::uint64_t kStageSamples = 1ull << 58;

inline std::uint32_t Field(std::uint64_t bits, int shift, int width)
{
    return static_cast<std::uint32_t>((bits >> shift) & ((1ull << width) - 1));
}

}  // namespace ffbits
