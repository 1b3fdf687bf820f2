// Reading shader token words and vertex declarations back, checked word by word: the device gets
// raw words from the caller and trusts none of them.
#include <cstring>

#include "platform/gl/d3d8_shader_program.h"
#include "platform/gl/d3d8_shader_tokens.h"

using namespace shader_tokens;

namespace {

// Parameter words an instruction carries (destination and sources); -1 for an unknown opcode.
int ParameterCount(std::uint32_t opcode, const ShaderFunction& f)
{
    const bool vs = !f.pixel;
    const bool ps = f.pixel;
    const bool ps14 = f.Is14();
    switch (opcode) {
        case kNop:
            return 0;
        case kMov:
            return 2;
        case kAdd:
        case kSub:
        case kMul:
        case kDp3:
            return 3;
        case kMad:
            return 4;
        case kDp4:
            return (vs || ps14 || f.minor >= 2) ? 3 : -1;
        case kRcp:
        case kRsq:
        case kExp:
        case kLog:
        case kLit:
        case kFrc:
        case kExpP:
        case kLogP:
            return vs ? 2 : -1;
        case kMin:
        case kMax:
        case kSlt:
        case kSge:
        case kDst:
        case kM4x4:
        case kM4x3:
        case kM3x4:
        case kM3x3:
        case kM3x2:
            return vs ? 3 : -1;
        case kLrp:
        case kCnd:
            return ps ? 4 : -1;
        case kCmp:
            return (ps14 || (ps && f.minor >= 2)) ? 4 : -1;
        case kBem:
            return ps14 ? 3 : -1;
        case kTex:
        case kTexCoord:
            return ps ? (ps14 ? 2 : 1) : -1;
        case kTexKill:
            return ps ? 1 : -1;
        case kTexDepth:
            return ps14 ? 1 : -1;
        case kTexBem:
        case kTexBemL:
        case kTexReg2Ar:
        case kTexReg2Gb:
        case kTexM3x2Pad:
        case kTexM3x2Tex:
        case kTexM3x3Pad:
        case kTexM3x3Tex:
        case kTexM3x3VSpec:
            return (ps && !ps14) ? 2 : -1;
        case kTexM3x3Spec:
            return (ps && !ps14) ? 3 : -1;
        case kTexReg2Rgb:
        case kTexDp3Tex:
        case kTexDp3:
        case kTexM3x3:
            return (ps && !ps14 && f.minor >= 2) ? 2 : -1;
        case kTexM3x2Depth:
            return (ps && !ps14 && f.minor >= 3) ? 2 : -1;
        case kDef:
            return 5;
        case kPhase:
            return ps14 ? 0 : -1;
        default:
            return -1;
    }
}

// Registers of a kind in the function's version; 0 when the kind does not exist there.
int RegisterCount(std::uint32_t type, const ShaderFunction& f, bool* writable, bool* readable)
{
    *writable = *readable = false;
    if (!f.pixel) {
        switch (type) {
            case kTemp:
                *writable = *readable = true;
                return kVertexTemps;
            case kInput:
                *readable = true;
                return kVertexInputs;
            case kConst:
                *readable = true;
                return kVertexConstants;
            case kAddress:
                *writable = true;
                return f.minor >= 1 ? 1 : 0;
            case kRasterOut:
                *writable = true;
                return 3;
            case kAttributeOut:
                *writable = true;
                return 2;
            case kTexCoordOut:
                *writable = true;
                return kVertexTexCoordOuts;
            default:
                return 0;
        }
    }
    const bool ps14 = f.Is14();
    switch (type) {
        case kTemp:
            *writable = *readable = true;
            return ps14 ? 6 : 2;
        case kInput:
            *readable = true;
            return 2;
        case kConst:
            *readable = true;
            return kPixelConstants;
        case kTexture:
            *readable = true;
            *writable = !ps14;
            return ps14 ? 6 : 4;
        default:
            return 0;
    }
}

// The texture instructions that read a texture (the one of the stage their destination names).
bool SamplesTexture(std::uint32_t opcode)
{
    switch (opcode) {
        case kTex:
        case kTexBem:
        case kTexBemL:
        case kTexReg2Ar:
        case kTexReg2Gb:
        case kTexReg2Rgb:
        case kTexM3x2Tex:
        case kTexM3x3Tex:
        case kTexM3x3Spec:
        case kTexM3x3VSpec:
        case kTexDp3Tex:
            return true;
        default:
            return false;
    }
}

bool Fail(std::string* error, const char* text)
{
    if (error)
        *error = text;
    return false;
}

bool ReadOperand(std::uint32_t word, bool destination, const ShaderFunction& f, ShaderOperand* out)
{
    if (!(word & kParameter))
        return false;
    ShaderOperand op;
    op.type = (word >> kRegisterTypeShift) & 7;
    op.number = word & kRegisterNumberMask;
    op.relative = (word & kRelativeAddress) != 0;
    bool writable = false, readable = false;
    const int count = RegisterCount(op.type, f, &writable, &readable);
    if (count == 0 || (destination ? !writable : !readable))
        return false;
    if (op.relative && (destination || f.pixel || op.type != kConst))
        return false;
    if (!op.relative && op.number >= static_cast<std::uint32_t>(count))
        return false;
    if (destination) {
        op.mask = (word >> kWriteMaskShift) & 0xF;
        op.saturate = (word & kSaturate) != 0;
        const int shift = static_cast<int>((word >> kResultShiftShift) & 0xF);
        op.shift = shift >= 8 ? shift - 16 : shift;
        if (op.mask == 0 || op.shift < -3 || op.shift > 3)
            return false;
        if (!f.pixel && (op.saturate || op.shift != 0))
            return false;
    } else {
        op.swizzle = (word >> kSwizzleShift) & 0xFF;
        op.modifier = (word >> kSourceModifierShift) & 0xF;
        if (op.modifier > kModDivideW || (!f.pixel && op.modifier > kModNegate))
            return false;
    }
    *out = op;
    return true;
}

}  // namespace

bool ParseShaderFunction(const DWORD* tokens, bool pixel, ShaderFunction* out, std::string* error)
{
    if (!tokens || !out)
        return Fail(error, "no shader code");
    ShaderFunction f;
    f.pixel = pixel;
    const std::uint32_t version = tokens[0];
    if ((version & kVersionTypeMask) != (pixel ? kPixelVersion : kVertexVersion))
        return Fail(error, pixel ? "not a pixel shader" : "not a vertex shader");
    f.major = static_cast<int>((version >> 8) & 0xFF);
    f.minor = static_cast<int>(version & 0xFF);
    if (f.major != 1 || f.minor > (pixel ? 4 : 1))
        return Fail(error, "shader version not supported");

    std::size_t at = 1;
    bool ended = false;
    while (at < kMaxShaderWords) {
        const std::uint32_t word = tokens[at++];
        if (word == kEndToken) {
            ended = true;
            break;
        }
        const std::uint32_t opcode = word & kOpcodeMask;
        if (opcode == kComment) {
            const std::size_t length = (word >> kCommentLengthShift) & 0x7FFF;
            if (length > kMaxShaderWords - at)
                return Fail(error, "comment runs past the end of the code");
            at += length;
            continue;
        }
        if (word & kParameter)
            return Fail(error, "parameter word where an instruction was expected");
        const int expected = ParameterCount(opcode, f);
        const int given = static_cast<int>((word >> kLengthShift) & 0xF);
        if (expected < 0)
            return Fail(error, "instruction not known in this version");
        if (given != expected)
            return Fail(error, "instruction with a wrong number of parameters");
        if (static_cast<std::size_t>(given) > kMaxShaderWords - at)
            return Fail(error, "instruction runs past the end of the code");
        ShaderInstruction instruction;
        instruction.opcode = opcode;
        instruction.coissue = (word & kCoissue) != 0;
        if (instruction.coissue && (!pixel || opcode == kDef || opcode == kPhase))
            return Fail(error, "co-issue where it is not allowed");
        if (opcode == kDef) {
            ShaderOperand destination;
            const std::uint32_t reg = tokens[at];
            if (!ReadOperand(reg, false, f, &destination) || destination.type != kConst || destination.relative)
                return Fail(error, "def of something other than a constant register");
            instruction.destination = destination;
            instruction.hasDestination = true;
            std::memcpy(instruction.values, tokens + at + 1, sizeof instruction.values);
            at += 5;
            f.instructions.push_back(instruction);
            continue;
        }
        if (given > 0) {
            // Texture kill of ps.1.4 names the register it tests, which it only reads.
            const bool readOnlyDestination = opcode == kTexKill;
            if (!ReadOperand(tokens[at], !readOnlyDestination, f, &instruction.destination)) {
                // ps.1.0-1.3 texture kill names a t register, which is writable there.
                if (!(readOnlyDestination && ReadOperand(tokens[at], true, f, &instruction.destination)))
                    return Fail(error, "bad destination register");
            }
            instruction.hasDestination = true;
            instruction.sourceCount = given - 1;
            for (int i = 0; i < instruction.sourceCount; ++i) {
                if (!ReadOperand(tokens[at + 1 + i], false, f, &instruction.sources[i]))
                    return Fail(error, "bad source register");
            }
            at += static_cast<std::size_t>(given);
        }
        const ShaderOperand& d = instruction.destination;
        if (pixel && instruction.hasDestination) {
            // Texture instructions: ps.1.0-1.3 write t registers, ps.1.4 r registers.
            const bool textureOp = opcode >= kTexCoord && opcode != kExpP && opcode != kLogP && opcode != kCnd &&
                                   opcode != kCmp && opcode != kBem;
            if (textureOp && opcode != kTexKill && d.type != (f.Is14() ? kTemp : kTexture))
                return Fail(error, "texture instruction writing the wrong kind of register");
            if (SamplesTexture(opcode))
                f.sampledStages |= 1u << d.number;
        }
        if (!pixel) {
            for (int i = 0; i < instruction.sourceCount; ++i) {
                if (instruction.sources[i].type == kInput)
                    f.inputsRead |= 1u << instruction.sources[i].number;
            }
            if (d.type == kAddress && d.mask != 1)
                return Fail(error, "a0 is written as a0.x");
        }
        f.instructions.push_back(instruction);
    }
    if (!ended)
        return Fail(error, "no end word");
    *out = std::move(f);
    return true;
}

bool ParseVertexDeclaration(const DWORD* tokens, VertexDeclaration* out)
{
    if (!tokens || !out)
        return false;
    VertexDeclaration declaration;
    bool streamSeen = false;
    UINT offset = 0;
    for (std::size_t at = 0; at < 1024;) {
        const DWORD word = tokens[at++];
        if (word == D3DVSD_END()) {
            declaration.size = offset;
            *out = std::move(declaration);
            return true;
        }
        const DWORD kind = word >> D3DVSD_TOKENTYPESHIFT;
        switch (kind) {
            case D3DVSD_TOKEN_NOP:
                if (word != 0)
                    return false;
                break;
            case D3DVSD_TOKEN_STREAM:
                // One stream, and it is stream 0.
                if ((word & 0x0FFFFFFFu) != 0 || streamSeen)
                    return false;
                streamSeen = true;
                break;
            case D3DVSD_TOKEN_STREAMDATA: {
                if (!streamSeen)
                    return false;
                if (word & 0x10000000u) {  // skip
                    offset += 4u * ((word >> 16) & 0xF);
                    break;
                }
                const DWORD type = (word >> 16) & 0xF;
                const DWORD reg = word & 0x1F;
                static constexpr UINT kBytes[8] = {4, 8, 12, 16, 4, 4, 4, 8};
                if (type > D3DVSDT_SHORT4 || reg >= 16 || declaration.elementCount >= 16)
                    return false;
                for (int i = 0; i < declaration.elementCount; ++i) {
                    if (declaration.elements[i].reg == reg)
                        return false;
                }
                declaration.elements[declaration.elementCount++] = {static_cast<BYTE>(reg), static_cast<BYTE>(type),
                                                                    static_cast<WORD>(offset)};
                offset += kBytes[type];
                break;
            }
            case D3DVSD_TOKEN_CONSTMEM: {
                const DWORD count = (word >> 25) & 0xF;
                const DWORD address = word & 0x7F;
                if (address + count > 96 || at + 4u * count > 1024)
                    return false;
                for (DWORD i = 0; i < count; ++i) {
                    VertexDeclaration::Constant constant;
                    constant.reg = address + i;
                    std::memcpy(constant.values, tokens + at, sizeof constant.values);
                    at += 4;
                    declaration.constants.push_back(constant);
                }
                break;
            }
            default:
                // Tessellator and extension tokens: not available here.
                return false;
        }
    }
    return false;
}
