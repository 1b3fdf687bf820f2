// The token form of assembled shaders, shared by the assembler (which writes it) and the device
// (which reads it back and translates it to GLSL). A function is a version word, instructions and
// an end word. An instruction is an opcode word that also carries the number of parameter words
// after it, then a destination parameter and up to three source parameters (a "def" carries its
// four floats as raw words instead of sources). The word layout follows Direct3D 8's.
#pragma once
#include <cstdint>

namespace shader_tokens {

enum Opcode : std::uint32_t {
    kNop = 0,
    kMov = 1,
    kAdd = 2,
    kSub = 3,
    kMad = 4,
    kMul = 5,
    kRcp = 6,
    kRsq = 7,
    kDp3 = 8,
    kDp4 = 9,
    kMin = 10,
    kMax = 11,
    kSlt = 12,
    kSge = 13,
    kExp = 14,
    kLog = 15,
    kLit = 16,
    kDst = 17,
    kLrp = 18,
    kFrc = 19,
    kM4x4 = 20,
    kM4x3 = 21,
    kM3x4 = 22,
    kM3x3 = 23,
    kM3x2 = 24,
    kTexCoord = 64,  // ps.1.4: texcrd
    kTexKill = 65,
    kTex = 66,  // ps.1.4: texld
    kTexBem = 67,
    kTexBemL = 68,
    kTexReg2Ar = 69,
    kTexReg2Gb = 70,
    kTexM3x2Pad = 71,
    kTexM3x2Tex = 72,
    kTexM3x3Pad = 73,
    kTexM3x3Tex = 74,
    kTexM3x3Diff = 75,
    kTexM3x3Spec = 76,
    kTexM3x3VSpec = 77,
    kExpP = 78,
    kLogP = 79,
    kCnd = 80,
    kDef = 81,
    kTexReg2Rgb = 82,
    kTexDp3Tex = 83,
    kTexM3x2Depth = 84,
    kTexDp3 = 85,
    kTexM3x3 = 86,
    kTexDepth = 87,
    kCmp = 88,
    kBem = 89,
    kPhase = 0xFFFD,
    kComment = 0xFFFE,
    kEnd = 0xFFFF,
};

constexpr std::uint32_t kOpcodeMask = 0x0000FFFFu;
constexpr int kLengthShift = 24;  // parameter words after the opcode word (4 bits)
constexpr std::uint32_t kCoissue = 0x40000000u;
constexpr std::uint32_t kEndToken = 0x0000FFFFu;
constexpr int kCommentLengthShift = 16;  // comment: words of text after the opcode word (15 bits)

constexpr std::uint32_t kVertexVersion = 0xFFFE0000u;
constexpr std::uint32_t kPixelVersion = 0xFFFF0000u;
constexpr std::uint32_t kVersionTypeMask = 0xFFFF0000u;

// Parameter words.
constexpr std::uint32_t kParameter = 0x80000000u;
constexpr std::uint32_t kRegisterNumberMask = 0x00000FFFu;
constexpr std::uint32_t kRelativeAddress = 1u << 13;  // vertex shaders: c[a0.x + n]
constexpr int kRegisterTypeShift = 28;                // 3 bits
constexpr int kWriteMaskShift = 16;                   // 4 bits: x, y, z, w
constexpr std::uint32_t kSaturate = 1u << 20;
constexpr int kResultShiftShift = 24;  // 4 bits, signed: 1 x2, 2 x4, 3 x8, 15 d2, 14 d4, 13 d8
constexpr int kSwizzleShift = 16;      // 2 bits per output component, x first
constexpr std::uint32_t kIdentitySwizzle = 0xE4u;
constexpr int kSourceModifierShift = 24;  // 4 bits

enum RegisterType : std::uint32_t {
    kTemp = 0,
    kInput = 1,
    kConst = 2,
    kAddress = 3,  // vertex shaders: a0
    kTexture = 3,  // pixel shaders: t#
    kRasterOut = 4,
    kAttributeOut = 5,
    kTexCoordOut = 6,
};
enum RasterOut : std::uint32_t { kOutPosition = 0, kOutFog = 1, kOutPointSize = 2 };

enum SourceModifier : std::uint32_t {
    kModNone = 0,
    kModNegate = 1,
    kModBias = 2,
    kModBiasNegate = 3,
    kModSign = 4,  // _bx2
    kModSignNegate = 5,
    kModComplement = 6,  // 1 - x
    kModTimes2 = 7,
    kModTimes2Negate = 8,
    kModDivideZ = 9,
    kModDivideW = 10,
};

// Register counts by shader kind.
constexpr int kVertexTemps = 12;
constexpr int kVertexInputs = 16;
constexpr int kVertexConstants = 96;
constexpr int kVertexTexCoordOuts = 8;
constexpr int kPixelConstants = 8;

constexpr std::uint32_t VersionToken(bool pixel, int major, int minor)
{
    return (pixel ? kPixelVersion : kVertexVersion) | (std::uint32_t(major) << 8) | std::uint32_t(minor);
}

constexpr std::uint32_t RegisterToken(std::uint32_t type, std::uint32_t number)
{
    return kParameter | (type << kRegisterTypeShift) | (number & kRegisterNumberMask);
}

}  // namespace shader_tokens
