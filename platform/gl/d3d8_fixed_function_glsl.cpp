// GLSL for a fixed-function key. Vertex stage: transform (or the pre-transformed screen mapping),
// lighting, vertex fog, texture-coordinate generation and transforms. Fragment stage: the texture
// stages in order, specular add, fog, alpha test.
#include <cstdio>

#include "platform/gl/d3d8_fixed_function.h"
#include "platform/gl/d3d8_fixed_function_bits.h"
#include "platform/gl/d3d8_vertex_format.h"

using namespace ffbits;

// The device-state block every generated program declares; a program that links stages of two
// generators relies on both declaring it identically.
const char kDeviceStateGlsl[] = R"(struct Light {
    vec4 diffuse;
    vec4 specular;
    vec4 ambient;
    vec4 position;
    vec4 direction;
    vec4 attenuation;
    vec4 cone;
};
layout(std140, binding = 0) uniform DeviceState {
    mat4 worldViewProj;
    mat4 worldView;
    mat4 normalMatrix;
    mat4 textureMatrix[8];
    vec4 textureFactor;
    vec4 fogColour;
    vec4 fogParams;
    vec4 screen;
    vec4 ambient;
    vec4 materialDiffuse;
    vec4 materialAmbient;
    vec4 materialSpecular;
    vec4 materialEmissive;
    vec4 materialPower;
    Light lights[8];
    vec4 eyeClipPlanes[6];
    vec4 clipPlanes[6];
    vec4 pixelCentre;
} ds;
)";

namespace {

class Source {
public:
    explicit Source(std::string* text) : m_text(text) { m_text->clear(); }
    Source& operator<<(const char* text)
    {
        m_text->append(text);
        return *this;
    }
    Source& operator<<(int value)
    {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", value);
        m_text->append(digits);
        return *this;
    }

private:
    std::string* m_text;
};

bool StageSamples(std::uint64_t stage)
{
    return (stage & kStageSamples) != 0;
}
std::uint32_t TextureKind(std::uint64_t stage)
{
    return Field(stage, kTextureKindShift, 2);
}
// A stage with a bound texture reads coordinates; an unbound one reads opaque white.
bool StageReadsCoordinates(std::uint64_t stage)
{
    return StageSamples(stage) && TextureKind(stage) != kTextureNone;
}

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

const char* MaterialColour(std::uint32_t source, const char* material)
{
    if (source == D3DMCS_COLOR1)
        return "inDiffuse";
    if (source == D3DMCS_COLOR2)
        return "inSpecular";
    return material;
}

// Coordinates of a vertex's set padded the way the transform expects them: a 1 after the last
// given component, so that a 2D set can be moved by the third matrix row.
void PaddedTexCoord(Source& out, const FvfLayout& layout, std::uint32_t set)
{
    if (set >= layout.texCoordCount) {
        out << "vec4(0.0, 0.0, 0.0, 1.0)";
        return;
    }
    const int index = static_cast<int>(set);
    switch (layout.texCoordSize[set]) {
        case 1:
            out << "vec4(inTex" << index << ", 1.0, 0.0, 0.0)";
            break;
        case 2:
            out << "vec4(inTex" << index << ", 1.0, 0.0)";
            break;
        case 3:
            out << "vec4(inTex" << index << ", 1.0)";
            break;
        default:
            out << "inTex" << index;
            break;
    }
}

void WriteVertexShader(const FixedFunctionKey& key, std::string* text)
{
    FvfLayout layout;
    FvfDescribe(key.vertexFormat, &layout);
    const bool pretransformed = layout.pretransformed;
    const bool lighting = (key.vertexState & kLighting) != 0;
    const bool flat = (key.vertexState & kFlatShading) != 0;
    const std::uint32_t fogKind = Field(key.pixelState, kFogKindShift, 2);
    const std::uint32_t fogMode = Field(key.pixelState, kFogModeShift, 2);

    Source out(text);
    out << "#version 450 core\n" << kDeviceStateGlsl;
    out << "layout(location = 0) in vec4 inPosition;\n";
    if (layout.normalOffset >= 0)
        out << "layout(location = 1) in vec3 inNormal;\n";
    if (layout.diffuseOffset >= 0)
        out << "layout(location = 2) in vec4 inDiffuse;\n";
    if (layout.specularOffset >= 0)
        out << "layout(location = 3) in vec4 inSpecular;\n";
    static const char* const kVectorTypes[5] = {"", "float", "vec2", "vec3", "vec4"};
    for (int i = 0; i < layout.texCoordCount; ++i)
        out << "layout(location = " << (4 + i) << ") in " << kVectorTypes[layout.texCoordSize[i]] << " inTex" << i
            << ";\n";
    out << (flat ? "flat " : "") << "out vec4 vDiffuse;\n";
    out << (flat ? "flat " : "") << "out vec4 vSpecular;\n";
    out << "out float vFog;\n";
    for (int s = 0; s < 8; ++s) {
        if (StageReadsCoordinates(key.stages[s]))
            out << "out vec4 vTex" << s << ";\n";
    }

    out << "void main() {\n";
    if (pretransformed) {
        // Screen pixels against the whole target; Direct3D puts pixel centres on integers.
        out << "    float w = inPosition.w > 0.0 ? 1.0 / inPosition.w : 1.0;\n"
               "    vec2 ndc = vec2((inPosition.x + 0.5) * ds.screen.x - 1.0, 1.0 - (inPosition.y + 0.5) * "
               "ds.screen.y);\n"
               "    gl_Position = vec4(ndc * w, clamp(inPosition.z, 0.0, 1.0) * w, w);\n"
               "    vec3 eyePos = vec3(0.0);\n"
               "    vec3 eyeNormal = vec3(0.0);\n";
    } else {
        out << "    vec4 position = vec4(inPosition.xyz, 1.0);\n"
               "    gl_Position = ds.worldViewProj * position;\n"
               "    vec3 eyePos = (ds.worldView * position).xyz;\n";
        // World-space planes, compared in camera space (the device moves them there).
        const std::uint32_t clipPlanes = Field(key.vertexState, kClipPlaneShift, 6);
        for (int i = 0; i < 6; ++i) {
            if (clipPlanes & (1u << i))
                out << "    gl_ClipDistance[" << i << "] = dot(vec4(eyePos, 1.0), ds.eyeClipPlanes[" << i << "]);\n";
        }
        out << "    gl_Position.xy += ds.pixelCentre.xy * gl_Position.w;\n";
        if (layout.normalOffset >= 0) {
            out << "    vec3 eyeNormal = mat3(ds.normalMatrix) * inNormal;\n";
            if (key.vertexState & kNormalizeNormals)
                out << "    eyeNormal = normalize(eyeNormal);\n";
        } else {
            out << "    vec3 eyeNormal = vec3(0.0);\n";
        }
    }

    if (lighting) {
        out << "    vec4 mDiffuse = "
            << MaterialColour(Field(key.vertexState, kDiffuseSourceShift, 2), "ds.materialDiffuse") << ";\n";
        out << "    vec4 mAmbient = "
            << MaterialColour(Field(key.vertexState, kAmbientSourceShift, 2), "ds.materialAmbient") << ";\n";
        out << "    vec4 mSpecular = "
            << MaterialColour(Field(key.vertexState, kSpecularSourceShift, 2), "ds.materialSpecular") << ";\n";
        out << "    vec4 mEmissive = "
            << MaterialColour(Field(key.vertexState, kEmissiveSourceShift, 2), "ds.materialEmissive") << ";\n";
        out << "    vec3 lAmbient = vec3(0.0);\n    vec3 lDiffuse = vec3(0.0);\n    vec3 lSpecular = vec3(0.0);\n";
        out << "    vec3 toEye = " << ((key.vertexState & kLocalViewer) ? "normalize(-eyePos)" : "vec3(0.0, 0.0, -1.0)")
            << ";\n";
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t type = (key.lightTypes >> (2 * i)) & 3;
            if (type == 0)
                continue;
            out << "    {\n        vec3 L;\n        float atten = 1.0;\n";
            if (type == D3DLIGHT_DIRECTIONAL) {
                out << "        L = -ds.lights[" << i << "].direction.xyz;\n";
            } else {
                out << "        vec3 d = ds.lights[" << i << "].position.xyz - eyePos;\n"
                    << "        float dist = length(d);\n"
                    << "        L = d / max(dist, 1e-6);\n"
                    << "        atten = dist > ds.lights[" << i << "].position.w ? 0.0 : 1.0 / max(dot(ds.lights[" << i
                    << "].attenuation.xyz, vec3(1.0, dist, dist * dist)), 1e-6);\n";
                if (type == D3DLIGHT_SPOT) {
                    out << "        vec4 cone = ds.lights[" << i << "].cone;\n"
                        << "        float rho = dot(-L, ds.lights[" << i << "].direction.xyz);\n"
                        << "        atten *= rho > cone.x ? 1.0 : (rho <= cone.y ? 0.0 : pow((rho - cone.y) / "
                           "max(cone.x - cone.y, 1e-6), ds.lights["
                        << i << "].direction.w));\n";
                }
            }
            out << "        lAmbient += atten * ds.lights[" << i << "].ambient.rgb;\n"
                << "        float nDotL = max(dot(eyeNormal, L), 0.0);\n"
                << "        lDiffuse += atten * nDotL * ds.lights[" << i << "].diffuse.rgb;\n";
            if (key.vertexState & kSpecularLighting) {
                out << "        if (nDotL > 0.0)\n"
                    << "            lSpecular += atten * pow(max(dot(eyeNormal, normalize(toEye + L)), 0.0), "
                       "ds.materialPower.x) * ds.lights["
                    << i << "].specular.rgb;\n";
            }
            out << "    }\n";
        }
        out << "    vDiffuse = clamp(vec4(mEmissive.rgb + mAmbient.rgb * (ds.ambient.rgb + lAmbient) + mDiffuse.rgb * "
               "lDiffuse, mDiffuse.a), 0.0, 1.0);\n"
               "    vSpecular = clamp(vec4(mSpecular.rgb * lSpecular, mSpecular.a), 0.0, 1.0);\n";
    } else {
        out << "    vDiffuse = " << (layout.diffuseOffset >= 0 ? "inDiffuse" : "vec4(1.0)") << ";\n";
        out << "    vSpecular = " << (layout.specularOffset >= 0 ? "inSpecular" : "vec4(0.0)") << ";\n";
    }

    if (fogKind == kFogVertex) {
        out << "    float fogDistance = " << ((key.vertexState & kRangeFog) ? "length(eyePos)" : "abs(eyePos.z)")
            << ";\n";
        out << "    vFog = clamp(" << FogFactor(fogMode) << ", 0.0, 1.0);\n";
    } else if (fogKind == kFogTable) {
        out << "    vFog = gl_Position.w;\n";  // the depth the fragment stage turns into fog
    } else if (fogKind == kFogFromSpecular) {
        out << "    vFog = " << (layout.specularOffset >= 0 ? "inSpecular.a" : "1.0") << ";\n";
    } else {
        out << "    vFog = 1.0;\n";
    }

    for (int s = 0; s < 8; ++s) {
        const std::uint64_t stage = key.stages[s];
        if (!StageReadsCoordinates(stage))
            continue;
        out << "    vTex" << s << " = ";
        switch (Field(stage, kTexCoordGenShift, 2)) {
            case D3DTSS_TCI_CAMERASPACENORMAL >> 16:
                out << "vec4(eyeNormal, 1.0)";
                break;
            case D3DTSS_TCI_CAMERASPACEPOSITION >> 16:
                out << "vec4(eyePos, 1.0)";
                break;
            case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR >> 16:
                out << "vec4(reflect(normalize(eyePos + vec3(0.0, 0.0, 1e-9)), eyeNormal), 1.0)";
                break;
            default:
                PaddedTexCoord(out, layout, Field(stage, kTexCoordSetShift, 3));
                break;
        }
        out << ";\n";
        if (Field(stage, kTransformCountShift, 3) != 0)
            out << "    vTex" << s << " = ds.textureMatrix[" << s << "] * vTex" << s << ";\n";
    }
    out << "}\n";
}

// A stage argument as a vec4 expression.
void Argument(Source& out, std::uint32_t argument)
{
    const char* base = "vDiffuse";
    switch (argument & D3DTA_SELECTMASK) {
        case D3DTA_CURRENT:
            base = "current";
            break;
        case D3DTA_TEXTURE:
            base = "tex";
            break;
        case D3DTA_TFACTOR:
            base = "ds.textureFactor";
            break;
        case D3DTA_SPECULAR:
            base = "vSpecular";
            break;
        case D3DTA_TEMP:
            base = "temp";
            break;
        default:
            break;
    }
    if (argument & D3DTA_COMPLEMENT)
        out << "(vec4(1.0) - ";
    if (argument & D3DTA_ALPHAREPLICATE)
        out << "vec4(" << base << ".a)";
    else
        out << base;
    if (argument & D3DTA_COMPLEMENT)
        out << ")";
}

// The operation on arguments a1, a2, a0 (vec4 locals); c is ".rgb" or ".a".
void Operation(Source& out, std::uint32_t op, bool alpha)
{
    const char* c = alpha ? ".a" : ".rgb";
    auto put = [&out, c](const char* a, const char* middle, const char* b, const char* end) {
        out << a << c << middle << b << c << end;
    };
    switch (op) {
        case D3DTOP_SELECTARG1:
            out << "a1" << c;
            break;
        case D3DTOP_SELECTARG2:
            out << "a2" << c;
            break;
        case D3DTOP_MODULATE:
            put("a1", " * ", "a2", "");
            break;
        case D3DTOP_MODULATE2X:
            put("(a1", " * ", "a2", ") * 2.0");
            break;
        case D3DTOP_MODULATE4X:
            put("(a1", " * ", "a2", ") * 4.0");
            break;
        case D3DTOP_ADD:
            put("a1", " + ", "a2", "");
            break;
        case D3DTOP_ADDSIGNED:
            put("a1", " + ", "a2", " - 0.5");
            break;
        case D3DTOP_ADDSIGNED2X:
            put("(a1", " + ", "a2", " - 0.5) * 2.0");
            break;
        case D3DTOP_SUBTRACT:
            put("a1", " - ", "a2", "");
            break;
        case D3DTOP_ADDSMOOTH:
            out << "a1" << c << " + a2" << c << " - a1" << c << " * a2" << c;
            break;
        case D3DTOP_BLENDDIFFUSEALPHA:
            put("mix(a2", ", a1", "", ", vDiffuse.a)");
            break;
        case D3DTOP_BLENDTEXTUREALPHA:
            put("mix(a2", ", a1", "", ", tex.a)");
            break;
        case D3DTOP_BLENDFACTORALPHA:
            put("mix(a2", ", a1", "", ", ds.textureFactor.a)");
            break;
        case D3DTOP_BLENDCURRENTALPHA:
            put("mix(a2", ", a1", "", ", current.a)");
            break;
        case D3DTOP_BLENDTEXTUREALPHAPM:
            put("a1", " + a2", "", " * (1.0 - tex.a)");
            break;
        case D3DTOP_MODULATEALPHA_ADDCOLOR:
            out << (alpha ? "a1.a" : "a1.rgb + a1.a * a2.rgb");
            break;
        case D3DTOP_MODULATECOLOR_ADDALPHA:
            out << (alpha ? "a1.a" : "a1.rgb * a2.rgb + a1.a");
            break;
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
            out << (alpha ? "a1.a" : "(1.0 - a1.a) * a2.rgb + a1.rgb");
            break;
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
            out << (alpha ? "a1.a" : "(vec3(1.0) - a1.rgb) * a2.rgb + a1.a");
            break;
        case D3DTOP_DOTPRODUCT3:
            out << (alpha ? "" : "vec3(") << "dot(a1.rgb * 2.0 - 1.0, a2.rgb * 2.0 - 1.0)" << (alpha ? "" : ")");
            break;
        case D3DTOP_MULTIPLYADD:
            out << "a0" << c << " + a1" << c << " * a2" << c;
            break;
        case D3DTOP_LERP:
            out << "mix(a2" << c << ", a1" << c << ", a0" << c << ")";
            break;
        case D3DTOP_PREMODULATE:
            out << "a1" << c;
            break;
        default:
            out << "current" << c;
            break;  // bump mapping and disabled alpha pass the current value on
    }
}

void WriteFragmentShader(const FixedFunctionKey& key, std::string* text)
{
    const bool flat = (key.vertexState & kFlatShading) != 0;
    const std::uint32_t fogKind = Field(key.pixelState, kFogKindShift, 2);
    const std::uint32_t fogMode = Field(key.pixelState, kFogModeShift, 2);
    const std::uint32_t alphaFunc = Field(key.pixelState, kAlphaFuncShift, 4);

    Source out(text);
    out << "#version 450 core\n" << kDeviceStateGlsl;
    out << (flat ? "flat " : "") << "in vec4 vDiffuse;\n";
    out << (flat ? "flat " : "") << "in vec4 vSpecular;\n";
    out << "in float vFog;\n";
    for (int s = 0; s < 8; ++s) {
        const std::uint64_t stage = key.stages[s];
        if (!StageReadsCoordinates(stage))
            continue;
        out << "in vec4 vTex" << s << ";\n";
        out << "layout(binding = " << s << ") uniform "
            << (TextureKind(stage) == kTextureCube ? "samplerCube" : "sampler2D") << " uTexture" << s << ";\n";
    }
    out << "layout(location = 0) out vec4 fragColour;\n";
    out << "void main() {\n    vec4 current = vDiffuse;\n    vec4 temp = vec4(0.0);\n";

    for (int s = 0; s < 8; ++s) {
        const std::uint64_t stage = key.stages[s];
        const std::uint32_t colourOp = Field(stage, kColourOpShift, 5);
        if (colourOp == 0 || colourOp == D3DTOP_DISABLE)
            break;
        std::uint32_t alphaOp = Field(stage, kAlphaOpShift, 5);
        out << "    {\n";
        if (StageReadsCoordinates(stage)) {
            const bool cube = TextureKind(stage) == kTextureCube;
            const std::uint32_t count = Field(stage, kTransformCountShift, 3);
            const bool projected = (stage & kTransformProjected) != 0 && count >= 1;
            out << "        vec4 tc = vTex" << s << ";\n";
            if (projected) {
                static const char* const kComponent[5] = {"", "x", "y", "z", "w"};
                out << "        tc /= tc." << kComponent[count] << ";\n";
            }
            out << "        vec4 tex = texture(uTexture" << s << ", tc." << (cube ? "xyz" : "xy") << ");\n";
        } else {
            out << "        vec4 tex = vec4(1.0);\n";
        }
        out << "        vec4 a1 = ";
        Argument(out, Field(stage, kColourArg1Shift, 6));
        out << ";\n        vec4 a2 = ";
        Argument(out, Field(stage, kColourArg2Shift, 6));
        out << ";\n        vec4 a0 = ";
        Argument(out, Field(stage, kColourArg0Shift, 6));
        out << ";\n        vec3 rgb = ";
        Operation(out, colourOp, false);
        out << ";\n";
        if (colourOp == D3DTOP_DOTPRODUCT3) {
            out << "        float alpha = rgb.r;\n";  // the dot product goes to alpha as well
        } else {
            if (alphaOp == 0 || alphaOp == D3DTOP_DISABLE)
                alphaOp = 0;
            out << "        a1 = ";
            Argument(out, Field(stage, kAlphaArg1Shift, 6));
            out << ";\n        a2 = ";
            Argument(out, Field(stage, kAlphaArg2Shift, 6));
            out << ";\n        a0 = ";
            Argument(out, Field(stage, kAlphaArg0Shift, 6));
            out << ";\n        float alpha = ";
            Operation(out, alphaOp, true);
            out << ";\n";
        }
        out << "        " << ((stage & kResultTemp) ? "temp" : "current")
            << " = clamp(vec4(rgb, alpha), 0.0, 1.0);\n    }\n";
    }

    out << "    vec4 colour = current;\n";
    if (key.pixelState & kSpecularAdd)
        out << "    colour.rgb = min(colour.rgb + vSpecular.rgb, vec3(1.0));\n";
    if (fogKind == kFogTable) {
        out << "    float fogDistance = " << ((key.pixelState & kFogDeviceDepth) ? "gl_FragCoord.z" : "vFog") << ";\n";
        out << "    float fog = clamp(" << FogFactor(fogMode) << ", 0.0, 1.0);\n";
        out << "    colour.rgb = mix(ds.fogColour.rgb, colour.rgb, fog);\n";
    } else if (fogKind != kFogNone) {
        out << "    colour.rgb = mix(ds.fogColour.rgb, colour.rgb, clamp(vFog, 0.0, 1.0));\n";
    }
    if (alphaFunc != 0) {
        // Compared as 8-bit values, as the reference is.
        static const char* const kCompare[9] = {"", "false", "<", "==", "<=", ">", "!=", ">=", "true"};
        out << "    float alpha8 = floor(colour.a * 255.0 + 0.5);\n";
        if (alphaFunc == D3DCMP_NEVER)
            out << "    discard;\n";
        else
            out << "    if (!(alpha8 " << kCompare[alphaFunc] << " ds.screen.z)) discard;\n";
    }
    out << "    fragColour = colour;\n}\n";
}

}  // namespace

void GenerateFixedFunctionSource(const FixedFunctionKey& key, std::string* vertexSource, std::string* fragmentSource)
{
    WriteVertexShader(key, vertexSource);
    WriteFragmentShader(key, fragmentSource);
}
