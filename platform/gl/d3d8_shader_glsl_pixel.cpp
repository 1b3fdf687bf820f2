// Pixel shaders as GLSL. ps.1.0-1.3: the texture instructions fill t0..t3 from the coordinates
// vTex0..vTex3 and the textures of the same stages, then the arithmetic works on r0, r1, t, v0/v1
// and the constants; ps.1.4: texld/texcrd fill r registers from coordinates (t0..t5 are the
// coordinates) or, in the second phase, from r registers. Results are scaled, saturated and kept
// in the registers' range (-1..1, ps.1.4 -8..8); co-issued pairs read their sources before either
// writes. r0 is the colour; fog and the alpha test follow as in the texture-stage pipeline.
#include <vector>

#include "platform/gl/d3d8_fixed_function.h"
#include "platform/gl/d3d8_fixed_function_bits.h"
#include "platform/gl/d3d8_shader_glsl_common.h"
#include "platform/gl/d3d8_shader_program.h"
#include "platform/gl/d3d8_shader_tokens.h"

using namespace shader_tokens;
using shader_glsl::Append;

namespace {

class PixelWriter {
public:
    PixelWriter(const ShaderFunction& f, const PixelShaderSetup& setup, std::string* out)
        : m_f(f), m_setup(setup), m_out(out)
    {
        for (const ShaderInstruction& i : f.instructions) {
            if (i.opcode == kDef && i.destination.number < static_cast<std::uint32_t>(kPixelConstants))
                m_defined[i.destination.number] = true;
        }
    }

    std::string Register(const ShaderOperand& op) const
    {
        char text[32];
        switch (op.type) {
            case kTemp:
                std::snprintf(text, sizeof text, "r%u", op.number);
                break;
            case kInput:
                std::snprintf(text, sizeof text, "v%u", op.number);
                break;
            case kConst:
                std::snprintf(text, sizeof text, m_defined[op.number & 7] ? "d%u" : "sc.pc[%u]", op.number);
                break;
            case kTexture:
                std::snprintf(text, sizeof text, m_f.Is14() ? "vTex%u" : "t%u", op.number);
                break;
            default:
                return "vec4(0.0)";
        }
        return text;
    }

    std::string Read(const ShaderOperand& op) const
    {
        return shader_glsl::Modify(Register(op) + shader_glsl::Swizzle(op.swizzle), op.modifier);
    }

    // Coordinates for ps.1.4 texld and texcrd, with their projective divide.
    std::string Coordinates(const ShaderOperand& op) const
    {
        const std::string c = Register(op) + shader_glsl::Swizzle(op.swizzle);
        if (op.modifier == kModDivideZ)
            return "vec4((" + c + ").xy / (" + c + ").z, 1.0, 1.0)";
        if (op.modifier == kModDivideW)
            return "vec4((" + c + ").xyz / (" + c + ").w, 1.0)";
        return c;
    }

    // A texture read of the stage at a vec4 coordinate expression; an unbound stage reads white.
    std::string Sample(std::uint32_t stage, const std::string& coordinates) const
    {
        char text[32];
        std::snprintf(text, sizeof text, "uTexture%u", stage);
        switch (m_setup.textureKinds[stage & 7]) {
            case kTexture2D:
                return std::string("texture(") + text + ", (" + coordinates + ").xy)";
            case kTextureCube:
                return std::string("texture(") + text + ", (" + coordinates + ").xyz)";
            default:
                return "vec4(1.0)";
        }
    }

    void Instructions()
    {
        std::vector<std::string> pendingWrites;
        for (std::size_t index = 0; index < m_f.instructions.size(); ++index) {
            const ShaderInstruction& in = m_f.instructions[index];
            if (!in.coissue) {
                for (const std::string& write : pendingWrites)
                    *m_out += write;
                pendingWrites.clear();
            }
            if (TextureInstruction(in))
                continue;
            std::string result;
            if (!Arithmetic(in, index, &result))
                continue;
            pendingWrites.push_back(result);
        }
        for (const std::string& write : pendingWrites)
            *m_out += write;
    }

private:
    std::string TexCoord(std::uint32_t stage) const
    {
        char text[16];
        std::snprintf(text, sizeof text, "vTex%u", stage & 7);
        return text;
    }

    // Emits texture instructions; false for an arithmetic one.
    bool TextureInstruction(const ShaderInstruction& in)
    {
        const ShaderOperand& d = in.destination;
        const std::uint32_t n = d.number;
        const std::string coordinates = TexCoord(n);
        char t[8];
        std::snprintf(t, sizeof t, "t%u", n);
        if (m_f.Is14()) {
            char r[8];
            std::snprintf(r, sizeof r, "r%u", n);
            switch (in.opcode) {
                case kTex:
                    Append(m_out, "    %s = %s;\n", r, Sample(n, Coordinates(in.sources[0])).c_str());
                    return true;
                case kTexCoord: {
                    const std::string mask = shader_glsl::Mask(d.mask);
                    Append(m_out, "    %s%s = clamp(%s, -8.0, 8.0)%s;\n", r, mask.c_str(),
                           Coordinates(in.sources[0]).c_str(), mask.c_str());
                    return true;
                }
                case kTexKill:
                    Append(m_out, "    if (any(lessThan((%s).xyz, vec3(0.0)))) discard;\n", Register(d).c_str());
                    return true;
                case kTexDepth:
                    Append(m_out, "    gl_FragDepth = clamp(%s.y == 0.0 ? 1.0 : %s.x / %s.y, 0.0, 1.0);\n", r, r, r);
                    return true;
                case kPhase:
                    return true;
                default:
                    return false;
            }
        }
        const std::string s0 = in.sourceCount > 0 ? Read(in.sources[0]) : "";
        auto dotRow = [&]() { return "dot(" + coordinates + ".xyz, (" + s0 + ").xyz)"; };
        switch (in.opcode) {
            case kTex: {
                std::string c = coordinates;
                const BYTE by = m_setup.projectedBy[n & 7];
                if (by >= 1 && by <= 4)
                    c = "(" + coordinates + " / " + coordinates + "." + "xyzw"[by - 1] + ")";
                Append(m_out, "    %s = %s;\n", t, Sample(n, c).c_str());
                return true;
            }
            case kTexCoord:
                Append(m_out, "    %s = vec4(clamp(%s.xyz, 0.0, 1.0), 1.0);\n", t, coordinates.c_str());
                return true;
            case kTexKill:
                Append(m_out, "    if (any(lessThan(%s.xyz, vec3(0.0)))) discard;\n", coordinates.c_str());
                return true;
            case kTexBem:
            case kTexBemL:
                // u' = u + m00 du + m10 dv, v' = v + m01 du + m11 dv with the matrix of this stage.
                Append(m_out,
                       "    { vec4 s = %s; vec4 m = sc.bumpMatrix[%u];\n"
                       "      %s = %s; }\n",
                       s0.c_str(), n, t,
                       Sample(n, "vec4(" + coordinates + ".x + m.x * s.x + m.z * s.y, " + coordinates +
                                     ".y + m.y * s.x + m.w * s.y, 0.0, 1.0)")
                           .c_str());
                if (in.opcode == kTexBemL)
                    Append(m_out,
                           "    %s.rgb *= clamp((%s).z * sc.bumpLuminance[%u].x + sc.bumpLuminance[%u].y, 0.0, 1.0);\n",
                           t, s0.c_str(), n, n);
                return true;
            case kTexReg2Ar:
                Append(m_out, "    %s = %s;\n", t, Sample(n, "vec4((" + s0 + ").w, (" + s0 + ").x, 0.0, 1.0)").c_str());
                return true;
            case kTexReg2Gb:
                Append(m_out, "    %s = %s;\n", t, Sample(n, "vec4((" + s0 + ").y, (" + s0 + ").z, 0.0, 1.0)").c_str());
                return true;
            case kTexReg2Rgb:
                Append(m_out, "    %s = %s;\n", t, Sample(n, "vec4((" + s0 + ").xyz, 1.0)").c_str());
                return true;
            case kTexM3x2Pad:
            case kTexM3x3Pad: {
                char pad[16];
                std::snprintf(pad, sizeof pad, "pad%zu", m_pads.size());
                Append(m_out, "    float %s = %s;\n", pad, dotRow().c_str());
                m_pads.push_back(pad);
                return true;
            }
            case kTexM3x2Tex:
            case kTexM3x2Depth: {
                const std::string u = TakePad(1);
                if (in.opcode == kTexM3x2Tex) {
                    Append(m_out, "    %s = %s;\n", t,
                           Sample(n, "vec4(" + u + ", " + dotRow() + ", 0.0, 1.0)").c_str());
                } else {
                    Append(m_out, "    { float w = %s; gl_FragDepth = clamp(w == 0.0 ? 1.0 : %s / w, 0.0, 1.0); }\n",
                           dotRow().c_str(), u.c_str());
                }
                return true;
            }
            case kTexM3x3Tex:
            case kTexM3x3:
            case kTexM3x3Spec:
            case kTexM3x3VSpec:
            case kTexM3x3Diff: {
                const std::string u = TakePad(2);
                const std::string v = TakePad(1);
                const std::string normal = "vec3(" + u + ", " + v + ", " + dotRow() + ")";
                if (in.opcode == kTexM3x3) {
                    Append(m_out, "    %s = vec4(%s, 1.0);\n", t, normal.c_str());
                } else if (in.opcode == kTexM3x3Spec || in.opcode == kTexM3x3VSpec) {
                    // The eye vector is a constant, or the w of the three coordinates.
                    const std::string eye =
                        in.opcode == kTexM3x3Spec
                            ? "(" + Read(in.sources[1]) + ").xyz"
                            : "vec3(" + TexCoord(n - 2) + ".w, " + TexCoord(n - 1) + ".w, " + coordinates + ".w)";
                    Append(m_out,
                           "    { vec3 N = %s; vec3 E = %s; float nn = dot(N, N);\n"
                           "      vec3 R = nn == 0.0 ? -E : 2.0 * N * dot(N, E) / nn - E;\n"
                           "      %s = %s; }\n",
                           normal.c_str(), eye.c_str(), t, Sample(n, "vec4(R, 1.0)").c_str());
                } else {
                    Append(m_out, "    %s = %s;\n", t, Sample(n, "vec4(" + normal + ", 1.0)").c_str());
                }
                return true;
            }
            case kTexDp3Tex:
                Append(m_out, "    %s = %s;\n", t, Sample(n, "vec4(" + dotRow() + ", 0.0, 0.0, 1.0)").c_str());
                return true;
            case kTexDp3:
                Append(m_out, "    %s = vec4(%s);\n", t, dotRow().c_str());
                return true;
            default:
                return false;
        }
    }

    // The pad value `back` places before the end of the unused ones (they are used up by the
    // instruction that completes the matrix).
    std::string TakePad(std::size_t back)
    {
        if (m_pads.size() < back)
            return "0.0";
        const std::string pad = m_pads[m_pads.size() - back];
        if (back == 1)
            m_pads.clear();
        return pad;
    }

    // Emits the computation of an arithmetic instruction and returns its write.
    bool Arithmetic(const ShaderInstruction& in, std::size_t index, std::string* write)
    {
        if (!in.hasDestination || in.opcode == kDef || in.opcode == kNop)
            return false;
        const std::string s0 = in.sourceCount > 0 ? Read(in.sources[0]) : "";
        const std::string s1 = in.sourceCount > 1 ? Read(in.sources[1]) : "";
        const std::string s2 = in.sourceCount > 2 ? Read(in.sources[2]) : "";
        std::string e;
        switch (in.opcode) {
            case kMov:
                e = s0;
                break;
            case kAdd:
                e = "(" + s0 + " + " + s1 + ")";
                break;
            case kSub:
                e = "(" + s0 + " - " + s1 + ")";
                break;
            case kMul:
                e = "(" + s0 + " * " + s1 + ")";
                break;
            case kMad:
                e = "(" + s0 + " * " + s1 + " + " + s2 + ")";
                break;
            case kDp3:
                e = "vec4(dot((" + s0 + ").xyz, (" + s1 + ").xyz))";
                break;
            case kDp4:
                e = "vec4(dot(" + s0 + ", " + s1 + "))";
                break;
            case kLrp:
                e = "mix(" + s2 + ", " + s1 + ", " + s0 + ")";
                break;
            case kCnd:
                e = "mix(" + s2 + ", " + s1 + ", vec4(greaterThan(" + s0 + ", vec4(0.5))))";
                break;
            case kCmp:
                e = "mix(" + s2 + ", " + s1 + ", vec4(greaterThanEqual(" + s0 + ", vec4(0.0))))";
                break;
            case kBem: {
                char m[32];
                std::snprintf(m, sizeof m, "sc.bumpMatrix[%u]", in.destination.number & 7);
                e = "vec4((" + s0 + ").x + " + m + ".x * (" + s1 + ").x + " + m + ".z * (" + s1 + ").y, (" + s0 +
                    ").y + " + m + ".y * (" + s1 + ").x + " + m + ".w * (" + s1 + ").y, 0.0, 0.0)";
                break;
            }
            default:
                return false;
        }
        const ShaderOperand& d = in.destination;
        static const char* const kScale[7] = {"0.125", "0.25", "0.5", "", "2.0", "4.0", "8.0"};
        Append(m_out, "    vec4 res%zu = %s;\n", index, e.c_str());
        if (d.shift != 0)
            Append(m_out, "    res%zu *= %s;\n", index, kScale[d.shift + 3]);
        if (d.saturate)
            Append(m_out, "    res%zu = clamp(res%zu, 0.0, 1.0);\n", index, index);
        const char* range = m_f.Is14() ? "8.0" : "1.0";
        Append(m_out, "    res%zu = clamp(res%zu, -%s, %s);\n", index, index, range, range);
        const std::string mask = shader_glsl::Mask(d.mask);
        char line[96];
        std::snprintf(line, sizeof line, "    %s%s = res%zu%s;\n", Register(d).c_str(), mask.c_str(), index,
                      mask.c_str());
        *write = line;
        return true;
    }

    const ShaderFunction& m_f;
    const PixelShaderSetup& m_setup;
    std::string* m_out;
    bool m_defined[kPixelConstants] = {};
    std::vector<std::string> m_pads;
};

const char* FogFactor(std::uint32_t mode)
{
    switch (mode) {
        case D3DFOG_EXP:
            return "exp(-ds.fogParams.z * fogDistance)";
        case D3DFOG_EXP2:
            return "exp(-(ds.fogParams.z * fogDistance) * (ds.fogParams.z * fogDistance))";
        default:
            return "(ds.fogParams.y - fogDistance) * ds.fogParams.w";
    }
}

}  // namespace

void GeneratePixelShaderGlsl(const ShaderFunction& f, const PixelShaderSetup& setup, std::string* out)
{
    using namespace ffbits;
    std::string& s = *out;
    s.clear();
    s += "#version 450 core\n";
    s += kDeviceStateGlsl;
    s += shader_glsl::kConstantBlock;
    for (std::uint32_t stage = 0; stage < 8; ++stage) {
        if ((f.sampledStages & (1u << stage)) && setup.textureKinds[stage] != kTextureNone)
            Append(&s, "layout(binding = %u) uniform %s uTexture%u;\n", stage,
                   setup.textureKinds[stage] == kTextureCube ? "samplerCube" : "sampler2D", stage);
    }
    const char* flat = setup.flatColours ? "flat " : "";
    Append(&s, "%sin vec4 vDiffuse;\n%sin vec4 vSpecular;\nin float vFog;\n", flat, flat);
    for (int i = 0; i < 8; ++i)
        Append(&s, "in vec4 vTex%d;\n", i);
    bool writesDepth = false;
    for (const ShaderInstruction& in : f.instructions) {
        writesDepth |= in.opcode == kTexDepth || in.opcode == kTexM3x2Depth;
        if (in.opcode == kDef && in.destination.number < static_cast<std::uint32_t>(kPixelConstants))
            Append(&s, "const vec4 d%u = vec4(%s, %s, %s, %s);\n", in.destination.number,
                   shader_glsl::Float(in.values[0]).c_str(), shader_glsl::Float(in.values[1]).c_str(),
                   shader_glsl::Float(in.values[2]).c_str(), shader_glsl::Float(in.values[3]).c_str());
    }
    s += "layout(location = 0) out vec4 fragColour;\nvoid main() {\n";
    if (writesDepth)
        s += "    gl_FragDepth = gl_FragCoord.z;\n";
    s += "    vec4 v0 = clamp(vDiffuse, 0.0, 1.0);\n    vec4 v1 = clamp(vSpecular, 0.0, 1.0);\n";
    for (int i = 0; i < 6; ++i)
        Append(&s, "    vec4 r%d = vec4(0.0);\n    vec4 t%d = vec4(0.0);\n", i, i);

    PixelWriter writer(f, setup, &s);
    writer.Instructions();

    s += "    vec4 colour = r0;\n";
    const std::uint32_t fogKind = Field(setup.pixelState, kFogKindShift, 2);
    const std::uint32_t fogMode = Field(setup.pixelState, kFogModeShift, 2);
    const std::uint32_t alphaFunc = Field(setup.pixelState, kAlphaFuncShift, 4);
    if (fogKind == kFogTable) {
        Append(&s,
               "    float fogDistance = %s;\n"
               "    colour.rgb = mix(ds.fogColour.rgb, colour.rgb, clamp(%s, 0.0, 1.0));\n",
               (setup.pixelState & kFogDeviceDepth) ? "gl_FragCoord.z" : "vFog", FogFactor(fogMode));
    } else if (fogKind != kFogNone) {
        s += "    colour.rgb = mix(ds.fogColour.rgb, colour.rgb, clamp(vFog, 0.0, 1.0));\n";
    }
    if (alphaFunc != 0) {
        static const char* const kCompare[9] = {"", "false", "<", "==", "<=", ">", "!=", ">=", "true"};
        s += "    float alpha8 = floor(clamp(colour.a, 0.0, 1.0) * 255.0 + 0.5);\n";
        if (alphaFunc == D3DCMP_NEVER)
            s += "    discard;\n";
        else if (alphaFunc <= D3DCMP_ALWAYS)
            Append(&s, "    if (!(alpha8 %s ds.screen.z)) discard;\n", kCompare[alphaFunc]);
    }
    s += "    fragColour = colour;\n}\n";
}
