// The device's vertex and pixel shaders: creation (the tokens are read back, checked and test-
// compiled once), deletion, binding, constants, and the programs linked for them. A vertex shader
// without a pixel shader feeds the texture-stage pipeline's generated fragment stage; a pixel shader
// without a vertex shader reads the generated fixed-function vertex stage.
#include <cstdio>
#include <cstring>

#include "platform/gl/d3d8_device.h"
#include "platform/gl/d3d8_fixed_function_bits.h"
#include "platform/gl/d3d8_gl_program.h"
#include "platform/gl/d3d8_shader_tokens.h"
#include "platform/d3dx8_shader.h"

using namespace ffbits;

namespace {

std::uint32_t g_nextShaderSerial = 1;
int g_translatorState = -1;  // -1 not tried yet, 0 failed, 1 works

float BitsFloat(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void Report(const char* what, const char* detail)
{
    char line[1400];
    std::snprintf(line, sizeof line, "%s: %s\n", what, detail ? detail : "");
    OutputDebugStringA(line);
}

// A compile of one stage alone: catches translations GLSL does not accept at creation time.
bool Compiles(GLenum kind, const std::string& source)
{
    const GLuint shader = GlCompileStage(kind, source, "Shader translation");
    if (shader)
        gl.DeleteShader(shader);
    return shader != 0;
}

PixelShaderSetup TrialSetup(const ShaderFunction& function)
{
    PixelShaderSetup setup;
    for (int stage = 0; stage < 8; ++stage)
        setup.textureKinds[stage] = (function.sampledStages & (1u << stage)) ? kTexture2D : kTextureNone;
    return setup;
}

// The stage bits that make the fixed-function vertex stage hand every stage's coordinates on.
std::uint64_t CoordinateStage(const DWORD* ts, bool pretransformed)
{
    std::uint64_t bits = kStageSamples | (std::uint64_t(kTexture2D) << kTextureKindShift);
    const DWORD index = ts[D3DTSS_TEXCOORDINDEX];
    bits |= std::uint64_t(index & 7) << kTexCoordSetShift;
    bits |= std::uint64_t((index >> 16) & 3) << kTexCoordGenShift;
    const DWORD count = ts[D3DTSS_TEXTURETRANSFORMFLAGS] & 7;
    if (!pretransformed && count >= D3DTTFF_COUNT1 && count <= D3DTTFF_COUNT4)
        bits |= std::uint64_t(count) << kTransformCountShift;
    return bits;
}

bool StageReadsCoordinates(std::uint64_t stage)
{
    return (stage & kStageSamples) && Field(stage, kTextureKindShift, 2) != kTextureNone;
}

}  // namespace

bool GlShaderTranslatorWorks()
{
    return g_translatorState == 1;
}

std::size_t ShaderProgramKeyHash::operator()(const ShaderProgramKey& key) const
{
    std::size_t hash = FixedFunctionKeyHash()(key.fixed);
    for (std::uint32_t word : {key.vertexSerial, key.pixelSerial, key.textureKinds, key.projectedBy})
        hash = (hash ^ word) * 0x100000001b3ull;
    return hash;
}

bool ShaderTranslatorSelfTest()
{
    static const char kVertexSource[] =
        "vs.1.1\n"
        "dp4 oPos.x, v0, c0\n"
        "dp4 oPos.y, v0, c1\n"
        "dp4 oPos.z, v0, c2\n"
        "dp4 oPos.w, v0, c3\n"
        "mov a0.x, c4.x\n"
        "mov oD0, c[a0.x + 5]\n"
        "mov oT0, v0\n";
    static const char kPixelSource[] =
        "ps.1.1\n"
        "def c1, 0.5, 0.5, 0.5, 1.0\n"
        "tex t0\n"
        "mul r0, t0, v0\n"
        "+add r0.a, c1.a, -r0_bias.a\n"
        "mad_sat r0.rgb, r0, c0, c1_bx2\n";
    ID3DXBuffer* vertexCode = nullptr;
    ID3DXBuffer* pixelCode = nullptr;
    bool works = false;
    if (SUCCEEDED(D3DXAssembleShader(kVertexSource, sizeof kVertexSource - 1, 0, nullptr, &vertexCode, nullptr)) &&
        SUCCEEDED(D3DXAssembleShader(kPixelSource, sizeof kPixelSource - 1, 0, nullptr, &pixelCode, nullptr))) {
        ShaderFunction vertex, pixel;
        std::string error;
        if (ParseShaderFunction(static_cast<const DWORD*>(vertexCode->GetBufferPointer()), false, &vertex, &error) &&
            ParseShaderFunction(static_cast<const DWORD*>(pixelCode->GetBufferPointer()), true, &pixel, &error)) {
            std::string vertexGlsl, pixelGlsl;
            GenerateVertexShaderGlsl(vertex, ShaderLinkage(), &vertexGlsl);
            GeneratePixelShaderGlsl(pixel, TrialSetup(pixel), &pixelGlsl);
            const GLuint program = GlBuildProgram(vertexGlsl, pixelGlsl, "Shader program");
            works = program != 0;
            if (program)
                gl.DeleteProgram(program);
        }
    }
    if (vertexCode)
        vertexCode->Release();
    if (pixelCode)
        pixelCode->Release();
    return works;
}

void GlDevice::VerifyShaderTranslator()
{
    if (g_translatorState < 0)
        g_translatorState = ShaderTranslatorSelfTest() ? 1 : 0;
}

// ---- creation and deletion

GlVertexShader* GlDevice::FindVertexShader(DWORD handle)
{
    if (!(handle & 1) || handle < 3)
        return nullptr;
    const std::size_t index = (handle >> 1) - 1;
    return index < m_vertexShaders.size() ? m_vertexShaders[index].get() : nullptr;
}

GlPixelShader* GlDevice::FindPixelShader(DWORD handle)
{
    if (handle == 0 || handle > m_pixelShaders.size())
        return nullptr;
    return m_pixelShaders[handle - 1].get();
}

HRESULT GlDevice::CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD)
{
    if (!handle)
        return D3DERR_INVALIDCALL;
    *handle = 0;
    if (!declaration || !function || !GlShaderTranslatorWorks())
        return D3DERR_INVALIDCALL;
    auto record = std::make_unique<GlVertexShader>();
    std::string error;
    if (!ParseVertexDeclaration(declaration, &record->declaration)) {
        Report("CreateVertexShader", "the declaration is not one this device takes");
        return D3DERR_INVALIDCALL;
    }
    if (!ParseShaderFunction(function, false, &record->function, &error)) {
        Report("CreateVertexShader", error.c_str());
        return D3DERR_INVALIDCALL;
    }
    MakeCurrent();
    std::string glsl;
    GenerateVertexShaderGlsl(record->function, ShaderLinkage(), &glsl);
    if (!Compiles(GL_VERTEX_SHADER, glsl))
        return D3DERR_INVALIDCALL;
    record->serial = g_nextShaderSerial++;
    std::size_t index = 0;
    while (index < m_vertexShaders.size() && m_vertexShaders[index])
        ++index;
    if (index == m_vertexShaders.size())
        m_vertexShaders.emplace_back();
    m_vertexShaders[index] = std::move(record);
    *handle = static_cast<DWORD>(((index + 1) << 1) | 1);
    return D3D_OK;
}

HRESULT GlDevice::DeleteVertexShader(DWORD handle)
{
    GlVertexShader* record = FindVertexShader(handle);
    if (!record)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    DeleteShaderPrograms(record->serial);
    if (m_vertexShaderRecord == record) {
        // Deleting the current shader leaves no vertex processing selected.
        m_vertexShaderRecord = nullptr;
        m_vertexShader = 0;
        m_layout = FvfLayout();
    }
    m_configuredFvf = ~0u;
    m_vertexShaders[(handle >> 1) - 1].reset();
    m_dirty |= kDirtyProgram | kDirtyVertexInput;
    return D3D_OK;
}

HRESULT GlDevice::CreatePixelShader(const DWORD* function, DWORD* handle)
{
    if (!handle)
        return D3DERR_INVALIDCALL;
    *handle = 0;
    if (!function || !GlShaderTranslatorWorks())
        return D3DERR_INVALIDCALL;
    auto record = std::make_unique<GlPixelShader>();
    std::string error;
    if (!ParseShaderFunction(function, true, &record->function, &error)) {
        Report("CreatePixelShader", error.c_str());
        return D3DERR_INVALIDCALL;
    }
    MakeCurrent();
    std::string glsl;
    GeneratePixelShaderGlsl(record->function, TrialSetup(record->function), &glsl);
    if (!Compiles(GL_FRAGMENT_SHADER, glsl))
        return D3DERR_INVALIDCALL;
    record->serial = g_nextShaderSerial++;
    std::size_t index = 0;
    while (index < m_pixelShaders.size() && m_pixelShaders[index])
        ++index;
    if (index == m_pixelShaders.size())
        m_pixelShaders.emplace_back();
    m_pixelShaders[index] = std::move(record);
    *handle = static_cast<DWORD>(index + 1);
    return D3D_OK;
}

HRESULT GlDevice::DeletePixelShader(DWORD handle)
{
    GlPixelShader* record = FindPixelShader(handle);
    if (!record)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    DeleteShaderPrograms(record->serial);
    if (m_pixelShaderRecord == record) {
        m_pixelShaderRecord = nullptr;
        m_pixelShader = 0;
    }
    m_pixelShaders[handle - 1].reset();
    m_dirty |= kDirtyProgram;
    return D3D_OK;
}

void GlDevice::DeleteShaderPrograms(std::uint32_t serial)
{
    for (auto entry = m_shaderPrograms.begin(); entry != m_shaderPrograms.end();) {
        if (entry->first.vertexSerial == serial || entry->first.pixelSerial == serial) {
            if (entry->second == m_program) {
                m_program = 0;
                gl.UseProgram(0);
            }
            if (entry->second)
                gl.DeleteProgram(entry->second);
            entry = m_shaderPrograms.erase(entry);
        } else {
            ++entry;
        }
    }
    m_shaderKeyValid = false;
}

// ---- binding and constants

HRESULT GlDevice::SetPixelShader(DWORD handle)
{
    GlPixelShader* record = nullptr;
    if (handle != 0 && !(record = FindPixelShader(handle)))
        return D3DERR_INVALIDCALL;
    if (handle == m_pixelShader)
        return D3D_OK;
    m_pixelShader = handle;
    m_pixelShaderRecord = record;
    m_dirty |= kDirtyProgram;
    return D3D_OK;
}

HRESULT GlDevice::GetPixelShader(DWORD* handle)
{
    if (!handle)
        return D3DERR_INVALIDCALL;
    *handle = m_pixelShader;
    return D3D_OK;
}

HRESULT GlDevice::SetVertexShaderConstant(DWORD firstRegister, const void* data, DWORD count)
{
    if (!data || firstRegister >= 96 || count > 96 - firstRegister)
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return D3D_OK;
    std::memcpy(m_shaderConstants.vertex[firstRegister], data, sizeof(float) * 4 * count);
    MarkShaderConstants(m_shaderConstants.vertex[firstRegister], sizeof(float) * 4 * count);
    return D3D_OK;
}

HRESULT GlDevice::GetVertexShaderConstant(DWORD firstRegister, void* data, DWORD count)
{
    if (!data || firstRegister >= 96 || count > 96 - firstRegister)
        return D3DERR_INVALIDCALL;
    if (count)
        std::memcpy(data, m_shaderConstants.vertex[firstRegister], sizeof(float) * 4 * count);
    return D3D_OK;
}

HRESULT GlDevice::SetPixelShaderConstant(DWORD firstRegister, const void* data, DWORD count)
{
    if (!data || firstRegister >= 8 || count > 8 - firstRegister)
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return D3D_OK;
    std::memcpy(m_shaderConstants.pixel[firstRegister], data, sizeof(float) * 4 * count);
    MarkShaderConstants(m_shaderConstants.pixel[firstRegister], sizeof(float) * 4 * count);
    return D3D_OK;
}

HRESULT GlDevice::GetPixelShaderConstant(DWORD firstRegister, void* data, DWORD count)
{
    if (!data || firstRegister >= 8 || count > 8 - firstRegister)
        return D3DERR_INVALIDCALL;
    if (count)
        std::memcpy(data, m_shaderConstants.pixel[firstRegister], sizeof(float) * 4 * count);
    return D3D_OK;
}

void GlDevice::UpdateBumpConstants(DWORD stage)
{
    const DWORD* ts = m_stageStates[stage];
    float* matrix = m_shaderConstants.bumpMatrix[stage];
    matrix[0] = BitsFloat(ts[D3DTSS_BUMPENVMAT00]);
    matrix[1] = BitsFloat(ts[D3DTSS_BUMPENVMAT01]);
    matrix[2] = BitsFloat(ts[D3DTSS_BUMPENVMAT10]);
    matrix[3] = BitsFloat(ts[D3DTSS_BUMPENVMAT11]);
    float* luminance = m_shaderConstants.bumpLuminance[stage];
    luminance[0] = BitsFloat(ts[D3DTSS_BUMPENVLSCALE]);
    luminance[1] = BitsFloat(ts[D3DTSS_BUMPENVLOFFSET]);
    MarkShaderConstants(matrix, sizeof m_shaderConstants.bumpMatrix[stage]);
    MarkShaderConstants(luminance, sizeof m_shaderConstants.bumpLuminance[stage]);
}

void GlDevice::MarkShaderConstants(const void* first, std::size_t bytes)
{
    const std::size_t begin =
        static_cast<std::size_t>(static_cast<const BYTE*>(first) - reinterpret_cast<const BYTE*>(&m_shaderConstants));
    const std::size_t end = begin + bytes;
    if (m_shaderConstantsDirtyEnd == m_shaderConstantsDirtyFirst) {
        m_shaderConstantsDirtyFirst = begin;
        m_shaderConstantsDirtyEnd = end;
    } else {
        if (begin < m_shaderConstantsDirtyFirst)
            m_shaderConstantsDirtyFirst = begin;
        if (end > m_shaderConstantsDirtyEnd)
            m_shaderConstantsDirtyEnd = end;
    }
    m_dirty |= kDirtyShaderConstants;
}

void GlDevice::UploadShaderConstants()
{
    if (m_shaderConstantsDirtyEnd > m_shaderConstantsDirtyFirst) {
        ++m_counts.uploads;
        m_counts.uploadBytes += static_cast<UINT>(m_shaderConstantsDirtyEnd - m_shaderConstantsDirtyFirst);
        gl.NamedBufferSubData(m_shaderConstantBuffer, static_cast<GLintptr>(m_shaderConstantsDirtyFirst),
                              static_cast<GLsizeiptr>(m_shaderConstantsDirtyEnd - m_shaderConstantsDirtyFirst),
                              reinterpret_cast<const BYTE*>(&m_shaderConstants) + m_shaderConstantsDirtyFirst);
    }
    m_shaderConstantsDirtyFirst = m_shaderConstantsDirtyEnd = 0;
}

// ---- draw-time set-up

void GlDevice::ConfigureDeclarationInputs()
{
    const VertexDeclaration& declaration = m_vertexShaderRecord->declaration;
    for (GLuint location = 0; location < 16; ++location) {
        const VertexElement* element = nullptr;
        for (int i = 0; i < declaration.elementCount; ++i) {
            if (declaration.elements[i].reg == location)
                element = &declaration.elements[i];
        }
        if (!element) {
            gl.DisableVertexArrayAttrib(m_vertexArray, location);
            continue;
        }
        GLint size = 4;
        GLenum type = GL_FLOAT;
        GLboolean normalised = GL_FALSE;
        switch (element->type) {
            case D3DVSDT_FLOAT1:
                size = 1;
                break;
            case D3DVSDT_FLOAT2:
                size = 2;
                break;
            case D3DVSDT_FLOAT3:
                size = 3;
                break;
            case D3DVSDT_D3DCOLOR:  // 0xAARRGGBB words: the bytes B, G, R, A
                size = GL_BGRA;
                type = GL_UNSIGNED_BYTE;
                normalised = GL_TRUE;
                break;
            case D3DVSDT_UBYTE4:
                type = GL_UNSIGNED_BYTE;
                break;
            case D3DVSDT_SHORT2:
                size = 2;
                type = GL_SHORT;
                break;
            case D3DVSDT_SHORT4:
                type = GL_SHORT;
                break;
            default:
                break;
        }
        gl.EnableVertexArrayAttrib(m_vertexArray, location);
        gl.VertexArrayAttribFormat(m_vertexArray, location, size, type, normalised, element->offset);
        gl.VertexArrayAttribBinding(m_vertexArray, location, 0);
    }
}

GLuint GlDevice::LinkShaderProgram(const ShaderProgramKey& key)
{
    std::string vertexSource, fragmentSource, unused;
    const bool flat = (key.fixed.vertexState & kFlatShading) != 0;
    if (m_vertexShaderRecord) {
        ShaderLinkage linkage;
        linkage.flatColours = flat;
        linkage.fogKind = Field(key.fixed.pixelState, kFogKindShift, 2);
        linkage.clipPlanes = Field(key.fixed.vertexState, kClipPlaneShift, 6);
        if (!m_pixelShaderRecord) {
            // Each texture stage reads the oT register its coordinate index names.
            for (int s = 0; s < 8; ++s)
                linkage.texSource[s] = StageReadsCoordinates(key.fixed.stages[s])
                                           ? static_cast<std::int8_t>(Field(key.fixed.stages[s], kTexCoordSetShift, 3))
                                           : -1;
        }
        GenerateVertexShaderGlsl(m_vertexShaderRecord->function, linkage, &vertexSource);
    } else {
        GenerateFixedFunctionSource(key.fixed, &vertexSource, &unused);
    }
    if (m_pixelShaderRecord) {
        PixelShaderSetup setup;
        for (int s = 0; s < 8; ++s) {
            setup.textureKinds[s] = static_cast<BYTE>((key.textureKinds >> (2 * s)) & 3);
            setup.projectedBy[s] = static_cast<BYTE>((key.projectedBy >> (3 * s)) & 7);
        }
        setup.flatColours = flat;
        setup.pixelState = key.fixed.pixelState;
        GeneratePixelShaderGlsl(m_pixelShaderRecord->function, setup, &fragmentSource);
    } else {
        GenerateFixedFunctionSource(key.fixed, &unused, &fragmentSource);
    }
    return GlBuildProgram(vertexSource, fragmentSource, "Shader program");
}

void GlDevice::ApplyShaderProgram()
{
    FixedFunctionState state;
    state.renderStates = m_renderStates;
    state.stageStates = m_stageStates;
    // A vertex shader's output is never pre-transformed.
    state.fvf = m_vertexShaderRecord ? D3DFVF_XYZ : m_vertexShader;
    std::memcpy(state.textureKinds, m_textureKinds, sizeof state.textureKinds);
    for (DWORD i = 0; i < kLightCount; ++i)
        state.lightTypes[i] = m_lightEnabled[i] ? static_cast<BYTE>(m_lights[i].Type) : 0;
    state.affineProjection = m_affineProjection;

    ShaderProgramKey key;
    key.fixed = BuildFixedFunctionKey(state);
    if (m_vertexShaderRecord) {
        key.vertexSerial = m_vertexShaderRecord->serial;
        key.fixed.vertexFormat = 0;
        key.fixed.lightTypes = 0;
        key.fixed.vertexState &= kFlatShading | kClipPlaneMask;
    }
    if (m_pixelShaderRecord) {
        const ShaderFunction& function = m_pixelShaderRecord->function;
        key.pixelSerial = m_pixelShaderRecord->serial;
        // The pixel shader does alpha test and fog itself; the stages only hand coordinates on.
        key.fixed.pixelState &=
            (0xFu << kAlphaFuncShift) | (3u << kFogKindShift) | (3u << kFogModeShift) | kFogDeviceDepth;
        const bool pretransformed = m_layout.pretransformed;
        for (UINT s = 0; s < D3DMAX_TEXTURE_STAGES; ++s) {
            key.fixed.stages[s] = m_vertexShaderRecord ? 0 : CoordinateStage(m_stageStates[s], pretransformed);
            if (!(function.sampledStages & (1u << s)))
                continue;
            key.textureKinds |= static_cast<std::uint32_t>(m_textureKinds[s] & 3) << (2 * s);
            const DWORD flags = m_stageStates[s][D3DTSS_TEXTURETRANSFORMFLAGS];
            const DWORD count = flags & 7;
            if (!function.Is14() && (flags & D3DTTFF_PROJECTED) && count >= 1 && count <= 4)
                key.projectedBy |= count << (3 * s);
        }
    }
    m_programKeyValid = false;  // the fixed-function road must look its program up again
    ApplyClipDistances(Field(key.fixed.vertexState, kClipPlaneShift, 6));
    if (m_shaderKeyValid && key == m_shaderKey)
        return;
    m_shaderKey = key;
    m_shaderKeyValid = true;
    GLuint program = 0;
    const auto found = m_shaderPrograms.find(key);
    if (found != m_shaderPrograms.end()) {
        program = found->second;
    } else {
        // A failed link is kept as 0 too: reported once, not retried every draw.
        program = LinkShaderProgram(key);
        m_shaderPrograms.emplace(key, program);
    }
    if (program != m_program) {
        m_program = program;
        if (program) {
            gl.UseProgram(program);
            ++m_counts.programChanges;
        }
    }
}
