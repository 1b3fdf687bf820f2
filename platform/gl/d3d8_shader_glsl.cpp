// Vertex shaders as GLSL. Registers become locals (r0..r11, the a0 index, the o* outputs),
// v registers vertex attributes at their own numbers, c registers the constant block (or, when the
// shader defines them, literals). Each instruction is one vec4 expression written through its
// mask; the outputs then go to the names the pixel stage reads.
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/gl/d3d8_fixed_function.h"
#include "platform/gl/d3d8_fixed_function_bits.h"
#include "platform/gl/d3d8_shader_glsl_common.h"
#include "platform/gl/d3d8_shader_program.h"
#include "platform/gl/d3d8_shader_tokens.h"

using namespace shader_tokens;
using shader_glsl::Append;

namespace shader_glsl {

const char* const kConstantBlock = R"(layout(std140, binding = 1) uniform ShaderConstants {
    vec4 vc[96];
    vec4 pc[8];
    vec4 bumpMatrix[8];
    vec4 bumpLuminance[8];
} sc;
)";

void Append(std::string* text, const char* format, ...)
{
    char buffer[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length > 0)
        text->append(buffer, static_cast<std::size_t>(length) < sizeof buffer ? static_cast<std::size_t>(length)
                                                                              : sizeof buffer - 1);
}

std::string Float(float value)
{
    if (std::isnan(value))
        value = 0.0f;
    if (std::isinf(value))
        value = value > 0 ? 3.402823e38f : -3.402823e38f;
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.9g", static_cast<double>(value));
    std::string text = digits;
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

std::string Swizzle(std::uint32_t swizzle)
{
    if ((swizzle & 0xFF) == kIdentitySwizzle)
        return "";
    std::string text = ".";
    for (int i = 0; i < 4; ++i)
        text.push_back("xyzw"[(swizzle >> (2 * i)) & 3]);
    return text;
}

std::string Mask(std::uint32_t mask)
{
    if ((mask & 0xF) == 0xF)
        return "";
    std::string text = ".";
    for (int i = 0; i < 4; ++i) {
        if (mask & (1u << i))
            text.push_back("xyzw"[i]);
    }
    return text;
}

std::string Modify(const std::string& v, std::uint32_t modifier)
{
    switch (modifier) {
        case kModNegate:
            return "(-" + v + ")";
        case kModBias:
            return "(" + v + " - 0.5)";
        case kModBiasNegate:
            return "(0.5 - " + v + ")";
        case kModSign:
            return "(2.0 * " + v + " - 1.0)";
        case kModSignNegate:
            return "(1.0 - 2.0 * " + v + ")";
        case kModComplement:
            return "(1.0 - " + v + ")";
        case kModTimes2:
            return "(2.0 * " + v + ")";
        case kModTimes2Negate:
            return "(-2.0 * " + v + ")";
        default:
            return v;
    }
}

}  // namespace shader_glsl

namespace {

constexpr const char* kVertexHelpers = R"(
float d3dRcp(float x) { return x == 1.0 ? 1.0 : (x == 0.0 ? 3.402823e38 : 1.0 / x); }
float d3dRsq(float x) { float a = abs(x); return a == 1.0 ? 1.0 : (a == 0.0 ? 3.402823e38 : inversesqrt(a)); }
float d3dLog(float x) { float a = abs(x); return a == 0.0 ? -3.402823e38 : log2(a); }
vec4 d3dLogP(float x) {
    float a = abs(x);
    if (a == 0.0) return vec4(-3.402823e38, 1.0, -3.402823e38, 1.0);
    float e = floor(log2(a));
    return vec4(e, a / exp2(e), log2(a), 1.0);
}
vec4 d3dExpP(float x) { float f = floor(x); return vec4(exp2(f), x - f, exp2(x), 1.0); }
vec4 d3dLit(vec4 s) {
    vec4 d = vec4(1.0, 0.0, 0.0, 1.0);
    if (s.x > 0.0) {
        d.y = s.x;
        if (s.y > 0.0) d.z = pow(s.y, clamp(s.w, -127.9961, 127.9961));
    }
    return d;
}
vec4 cRel(int i) { return (i >= 0 && i < 96) ? sc.vc[i] : vec4(0.0); }
)";

class VertexWriter {
public:
    VertexWriter(const ShaderFunction& f, std::string* out) : m_out(out)
    {
        for (const ShaderInstruction& i : f.instructions) {
            if (i.opcode == kDef && i.destination.number < static_cast<std::uint32_t>(kVertexConstants))
                m_defined[i.destination.number] = true;
        }
    }

    bool Defined(std::uint32_t n) const { return n < static_cast<std::uint32_t>(kVertexConstants) && m_defined[n]; }

    // The register's value as a vec4 expression (registers past their kind's end read 0).
    std::string Register(const ShaderOperand& op, std::uint32_t offset = 0) const
    {
        const std::uint32_t n = op.number + offset;
        char text[48];
        switch (op.type) {
            case kTemp:
                if (n >= static_cast<std::uint32_t>(kVertexTemps))
                    return "vec4(0.0)";
                std::snprintf(text, sizeof text, "r%u", n);
                return text;
            case kInput:
                if (n >= static_cast<std::uint32_t>(kVertexInputs))
                    return "vec4(0.0)";
                std::snprintf(text, sizeof text, "v%u", n);
                return text;
            case kConst:
                if (op.relative) {
                    std::snprintf(text, sizeof text, "cRel(a0.x + %u)", n);
                    return text;
                }
                if (n >= static_cast<std::uint32_t>(kVertexConstants))
                    return "vec4(0.0)";
                std::snprintf(text, sizeof text, Defined(n) ? "d%u" : "sc.vc[%u]", n);
                return text;
            default:
                return "vec4(0.0)";
        }
    }

    std::string Read(const ShaderOperand& op, std::uint32_t offset = 0) const
    {
        return shader_glsl::Modify(Register(op, offset) + shader_glsl::Swizzle(op.swizzle), op.modifier);
    }

    std::string Expression(const ShaderInstruction& in) const
    {
        const std::string s0 = in.sourceCount > 0 ? Read(in.sources[0]) : "";
        const std::string s1 = in.sourceCount > 1 ? Read(in.sources[1]) : "";
        const std::string s2 = in.sourceCount > 2 ? Read(in.sources[2]) : "";
        auto rows = [&](int count, bool four) {
            std::string e = "vec4(";
            for (int i = 0; i < 4; ++i) {
                if (i)
                    e += ", ";
                if (i >= count) {
                    e += "0.0";
                    continue;
                }
                const std::string row = Read(in.sources[1], static_cast<std::uint32_t>(i));
                e += four ? "dot(" + s0 + ", " + row + ")" : "dot((" + s0 + ").xyz, (" + row + ").xyz)";
            }
            return e + ")";
        };
        switch (in.opcode) {
            case kMov:
                return s0;
            case kAdd:
                return "(" + s0 + " + " + s1 + ")";
            case kSub:
                return "(" + s0 + " - " + s1 + ")";
            case kMul:
                return "(" + s0 + " * " + s1 + ")";
            case kMad:
                return "(" + s0 + " * " + s1 + " + " + s2 + ")";
            case kDp3:
                return "vec4(dot((" + s0 + ").xyz, (" + s1 + ").xyz))";
            case kDp4:
                return "vec4(dot(" + s0 + ", " + s1 + "))";
            case kMin:
                return "min(" + s0 + ", " + s1 + ")";
            case kMax:
                return "max(" + s0 + ", " + s1 + ")";
            case kSlt:
                return "vec4(lessThan(" + s0 + ", " + s1 + "))";
            case kSge:
                return "vec4(greaterThanEqual(" + s0 + ", " + s1 + "))";
            // Scalar instructions read the source's w slot: the component a replicate swizzle names,
            // or w itself without one.
            case kRcp:
                return "vec4(d3dRcp((" + s0 + ").w))";
            case kRsq:
                return "vec4(d3dRsq((" + s0 + ").w))";
            case kExp:
                return "vec4(exp2((" + s0 + ").w))";
            case kLog:
                return "vec4(d3dLog((" + s0 + ").w))";
            case kExpP:
                return "d3dExpP((" + s0 + ").w)";
            case kLogP:
                return "d3dLogP((" + s0 + ").w)";
            case kLit:
                return "d3dLit(" + s0 + ")";
            case kDst:
                return "vec4(1.0, (" + s0 + ").y * (" + s1 + ").y, (" + s0 + ").z, (" + s1 + ").w)";
            case kFrc:
                return "fract(" + s0 + ")";
            case kM4x4:
                return rows(4, true);
            case kM4x3:
                return rows(3, true);
            case kM3x4:
                return rows(4, false);
            case kM3x3:
                return rows(3, false);
            case kM3x2:
                return rows(2, false);
            default:
                return "";
        }
    }

    void Instruction(const ShaderInstruction& in)
    {
        if (in.opcode == kNop || in.opcode == kDef || !in.hasDestination)
            return;
        const std::string e = Expression(in);
        if (e.empty())
            return;
        const ShaderOperand& d = in.destination;
        if (d.type == kAddress) {
            // The address register takes the value rounded down.
            Append(m_out, "    a0.x = int(floor((%s).x));\n", e.c_str());
            return;
        }
        char name[16];
        switch (d.type) {
            case kTemp:
                std::snprintf(name, sizeof name, "r%u", d.number);
                break;
            case kRasterOut:
                std::snprintf(name, sizeof name, "%s",
                              d.number == kOutPosition ? "oPos" : (d.number == kOutFog ? "oFog" : "oPts"));
                break;
            case kAttributeOut:
                std::snprintf(name, sizeof name, "oD%u", d.number);
                break;
            case kTexCoordOut:
                std::snprintf(name, sizeof name, "oT%u", d.number);
                break;
            default:
                return;
        }
        const std::string mask = shader_glsl::Mask(d.mask);
        if (mask.empty())
            Append(m_out, "    %s = %s;\n", name, e.c_str());
        else
            Append(m_out, "    %s%s = (%s)%s;\n", name, mask.c_str(), e.c_str(), mask.c_str());
    }

private:
    std::string* m_out;
    bool m_defined[kVertexConstants] = {};
};

}  // namespace

void GenerateVertexShaderGlsl(const ShaderFunction& f, const ShaderLinkage& linkage, std::string* out)
{
    std::string& s = *out;
    s.clear();
    s += "#version 450 core\n";
    s += kDeviceStateGlsl;
    s += shader_glsl::kConstantBlock;
    for (int i = 0; i < kVertexInputs; ++i) {
        if (f.inputsRead & (1u << i))
            Append(&s, "layout(location = %d) in vec4 v%d;\n", i, i);
    }
    const char* flat = linkage.flatColours ? "flat " : "";
    Append(&s, "%sout vec4 vDiffuse;\n%sout vec4 vSpecular;\nout float vFog;\n", flat, flat);
    for (int i = 0; i < 8; ++i)
        Append(&s, "out vec4 vTex%d;\n", i);
    // A later def of the same register wins, as it would when loading the constants in order.
    for (std::size_t i = 0; i < f.instructions.size(); ++i) {
        const ShaderInstruction& in = f.instructions[i];
        if (in.opcode != kDef)
            continue;
        bool overridden = false;
        for (std::size_t k = i + 1; k < f.instructions.size(); ++k)
            overridden |=
                f.instructions[k].opcode == kDef && f.instructions[k].destination.number == in.destination.number;
        if (overridden)
            continue;
        Append(&s, "const vec4 d%u = vec4(%s, %s, %s, %s);\n", in.destination.number,
               shader_glsl::Float(in.values[0]).c_str(), shader_glsl::Float(in.values[1]).c_str(),
               shader_glsl::Float(in.values[2]).c_str(), shader_glsl::Float(in.values[3]).c_str());
    }
    s += kVertexHelpers;
    s += "void main() {\n";
    for (int i = 0; i < kVertexTemps; ++i)
        Append(&s, "    vec4 r%d = vec4(0.0);\n", i);
    s += "    ivec4 a0 = ivec4(0);\n"
         "    vec4 oPos = vec4(0.0, 0.0, 0.0, 1.0);\n"
         "    vec4 oD0 = vec4(1.0);\n"
         "    vec4 oD1 = vec4(0.0);\n"
         "    vec4 oFog = vec4(1.0);\n"
         "    vec4 oPts = vec4(1.0);\n";
    for (int i = 0; i < kVertexTexCoordOuts; ++i)
        Append(&s, "    vec4 oT%d = vec4(0.0, 0.0, 0.0, 1.0);\n", i);

    VertexWriter writer(f, &s);
    for (const ShaderInstruction& in : f.instructions)
        writer.Instruction(in);

    s += "    gl_Position = oPos;\n";
    // Clip-space planes meet the position as the shader wrote it, before the pixel-centre shift.
    for (int i = 0; i < 6; ++i) {
        if (linkage.clipPlanes & (1u << i))
            Append(&s, "    gl_ClipDistance[%d] = dot(oPos, ds.clipPlanes[%d]);\n", i, i);
    }
    s += "    gl_Position.xy += ds.pixelCentre.xy * oPos.w;\n"
         "    vDiffuse = clamp(oD0, 0.0, 1.0);\n"
         "    vSpecular = clamp(oD1, 0.0, 1.0);\n";
    if (linkage.fogKind == ffbits::kFogTable)
        s += "    vFog = gl_Position.w;\n";  // the depth the pixel stage turns into fog
    else
        s += "    vFog = clamp(oFog.x, 0.0, 1.0);\n";
    for (int i = 0; i < 8; ++i) {
        const int source = linkage.texSource[i];
        if (source >= 0 && source < kVertexTexCoordOuts)
            Append(&s, "    vTex%d = oT%d;\n", i, source);
        else
            Append(&s, "    vTex%d = vec4(0.0, 0.0, 0.0, 1.0);\n", i);
    }
    s += "}\n";
}
