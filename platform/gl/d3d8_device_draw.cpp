// Drawing: the recorded Direct3D state becomes GL state and a program when a draw needs it, only
// for the parts that changed since the last draw.
#include <cstring>

#include "platform/gl/d3d8_device.h"
#include "platform/d3d8_draw_ranges.h"
#include "platform/gl/d3d8_fixed_function_bits.h"

namespace {

bool PrimitiveMode(D3DPRIMITIVETYPE type, GLenum* mode)
{
    switch (type) {
        case D3DPT_POINTLIST:
            *mode = GL_POINTS;
            return true;
        case D3DPT_LINELIST:
            *mode = GL_LINES;
            return true;
        case D3DPT_LINESTRIP:
            *mode = GL_LINE_STRIP;
            return true;
        case D3DPT_TRIANGLELIST:
            *mode = GL_TRIANGLES;
            return true;
        case D3DPT_TRIANGLESTRIP:
            *mode = GL_TRIANGLE_STRIP;
            return true;
        case D3DPT_TRIANGLEFAN:
            *mode = GL_TRIANGLE_FAN;
            return true;
        default:
            return false;
    }
}

std::uint64_t VerticesOf(D3DPRIMITIVETYPE type, UINT primitives)
{
    const std::uint64_t n = primitives;
    switch (type) {
        case D3DPT_POINTLIST:
            return n;
        case D3DPT_LINELIST:
            return n * 2;
        case D3DPT_LINESTRIP:
            return n + 1;
        case D3DPT_TRIANGLELIST:
            return n * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return n + 2;
        default:
            return 0;
    }
}

GLenum CompareFunction(DWORD function)
{
    switch (function) {
        case D3DCMP_NEVER:
            return GL_NEVER;
        case D3DCMP_LESS:
            return GL_LESS;
        case D3DCMP_EQUAL:
            return GL_EQUAL;
        case D3DCMP_LESSEQUAL:
            return GL_LEQUAL;
        case D3DCMP_GREATER:
            return GL_GREATER;
        case D3DCMP_NOTEQUAL:
            return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL:
            return GL_GEQUAL;
        default:
            return GL_ALWAYS;
    }
}

GLenum StencilOperation(DWORD operation)
{
    switch (operation) {
        case D3DSTENCILOP_ZERO:
            return GL_ZERO;
        case D3DSTENCILOP_REPLACE:
            return GL_REPLACE;
        case D3DSTENCILOP_INCRSAT:
            return GL_INCR;
        case D3DSTENCILOP_DECRSAT:
            return GL_DECR;
        case D3DSTENCILOP_INVERT:
            return GL_INVERT;
        case D3DSTENCILOP_INCR:
            return GL_INCR_WRAP;
        case D3DSTENCILOP_DECR:
            return GL_DECR_WRAP;
        default:
            return GL_KEEP;
    }
}

GLenum BlendFactor(DWORD blend)
{
    switch (blend) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        default:
            return GL_ONE;
    }
}

GLenum BlendEquation(DWORD operation)
{
    switch (operation) {
        case D3DBLENDOP_SUBTRACT:
            return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT:
            return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN:
            return GL_MIN;
        case D3DBLENDOP_MAX:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

GLint AddressMode(DWORD address)
{
    switch (address) {
        case D3DTADDRESS_MIRROR:
            return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP:
            return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER:
            return GL_CLAMP_TO_BORDER;
        case D3DTADDRESS_MIRRORONCE:
            return GL_MIRROR_CLAMP_TO_EDGE;
        default:
            return GL_REPEAT;
    }
}

float BitsFloat(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

// ---- GL state with redundant calls skipped

void GlDevice::GlEnable(GLenum capability, bool on)
{
    bool* current = nullptr;
    switch (capability) {
        case GL_BLEND:
            current = &m_gl.blend;
            break;
        case GL_DEPTH_TEST:
            current = &m_gl.depthTest;
            break;
        case GL_STENCIL_TEST:
            current = &m_gl.stencilTest;
            break;
        case GL_CULL_FACE:
            current = &m_gl.cullFace;
            break;
        case GL_SCISSOR_TEST:
            current = &m_gl.scissorTest;
            break;
        case GL_POLYGON_OFFSET_FILL:
            current = &m_gl.polygonOffset;
            break;
        default:
            break;
    }
    if (current && *current == on)
        return;
    if (current)
        *current = on;
    if (capability == GL_POLYGON_OFFSET_FILL) {
        for (GLenum mode : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT})
            on ? gl.Enable(mode) : gl.Disable(mode);
        return;
    }
    on ? gl.Enable(capability) : gl.Disable(capability);
}

void GlDevice::GlScissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    GLint* s = m_gl.scissor;
    if (s[0] == x && s[1] == y && s[2] == width && s[3] == height)
        return;
    s[0] = x, s[1] = y, s[2] = width, s[3] = height;
    gl.Scissor(x, y, width, height);
}

void GlDevice::GlColorMask(bool r, bool g, bool b, bool a)
{
    bool* m = m_gl.colorMask;
    if (m[0] == r && m[1] == g && m[2] == b && m[3] == a)
        return;
    m[0] = r, m[1] = g, m[2] = b, m[3] = a;
    gl.ColorMask(r, g, b, a);
}

void GlDevice::GlDepthMask(bool on)
{
    if (m_gl.depthMask == on)
        return;
    m_gl.depthMask = on;
    gl.DepthMask(on ? GL_TRUE : GL_FALSE);
}

void GlDevice::GlStencilMask(GLuint mask)
{
    if (m_gl.stencilWriteMask == mask)
        return;
    m_gl.stencilWriteMask = mask;
    gl.StencilMask(mask);
}

void GlDevice::GlBindFramebuffer(GLuint framebuffer)
{
    if (m_boundFramebuffer != framebuffer) {
        gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        m_boundFramebuffer = framebuffer;
    }
    m_dirty &= ~kDirtyFramebuffer;
}

// The clip distances a program writes are the ones enabled: GL leaves an enabled distance that
// the program does not write undefined.
void GlDevice::ApplyClipDistances(std::uint32_t planes)
{
    if (planes == m_gl.clipDistances)
        return;
    for (GLenum i = 0; i < 6; ++i) {
        const std::uint32_t bit = 1u << i;
        if ((planes ^ m_gl.clipDistances) & bit)
            (planes & bit) ? gl.Enable(GL_CLIP_DISTANCE0 + i) : gl.Disable(GL_CLIP_DISTANCE0 + i);
    }
    m_gl.clipDistances = planes;
}

// ---- applying the recorded state

void GlDevice::ApplyProgram()
{
    if (m_vertexShaderRecord || m_pixelShaderRecord) {
        ApplyShaderProgram();
        return;
    }
    m_shaderKeyValid = false;
    FixedFunctionState state;
    state.renderStates = m_renderStates;
    state.stageStates = m_stageStates;
    state.fvf = m_vertexShader;
    std::memcpy(state.textureKinds, m_textureKinds, sizeof state.textureKinds);
    for (DWORD i = 0; i < kLightCount; ++i)
        state.lightTypes[i] = m_lightEnabled[i] ? static_cast<BYTE>(m_lights[i].Type) : 0;
    state.affineProjection = m_affineProjection;
    const FixedFunctionKey key = BuildFixedFunctionKey(state);
    ApplyClipDistances(ffbits::Field(key.vertexState, ffbits::kClipPlaneShift, 6));
    if (m_programKeyValid && key == m_programKey)
        return;
    m_programKey = key;
    m_programKeyValid = true;
    const GLuint program = m_programs.Find(key);
    if (program != m_program) {
        m_program = program;
        if (program) {
            gl.UseProgram(program);
            ++m_counts.programChanges;
        }
    }
}

void GlDevice::ApplyBlend()
{
    GlEnable(GL_BLEND, m_renderStates[D3DRS_ALPHABLENDENABLE] != 0);
    GLenum source = BlendFactor(m_renderStates[D3DRS_SRCBLEND]);
    GLenum destination = BlendFactor(m_renderStates[D3DRS_DESTBLEND]);
    // The two "both" factors set source and destination together.
    if (m_renderStates[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) {
        source = GL_SRC_ALPHA;
        destination = GL_ONE_MINUS_SRC_ALPHA;
    } else if (m_renderStates[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) {
        source = GL_ONE_MINUS_SRC_ALPHA;
        destination = GL_SRC_ALPHA;
    }
    if (source != m_gl.blendSource || destination != m_gl.blendDestination) {
        m_gl.blendSource = source;
        m_gl.blendDestination = destination;
        gl.BlendFunc(source, destination);
    }
    const GLenum equation = BlendEquation(m_renderStates[D3DRS_BLENDOP]);
    if (equation != m_gl.blendEquation) {
        m_gl.blendEquation = equation;
        gl.BlendEquation(equation);
    }
}

void GlDevice::ApplyDepthStencil()
{
    GlEnable(GL_DEPTH_TEST, m_renderStates[D3DRS_ZENABLE] != D3DZB_FALSE);
    const GLenum depthFunc = CompareFunction(m_renderStates[D3DRS_ZFUNC]);
    if (depthFunc != m_gl.depthFunc) {
        m_gl.depthFunc = depthFunc;
        gl.DepthFunc(depthFunc);
    }
    GlDepthMask(m_renderStates[D3DRS_ZWRITEENABLE] != 0);

    GlEnable(GL_STENCIL_TEST, m_renderStates[D3DRS_STENCILENABLE] != 0);
    const GLenum func = CompareFunction(m_renderStates[D3DRS_STENCILFUNC]);
    const GLint ref = static_cast<GLint>(m_renderStates[D3DRS_STENCILREF]);
    const GLuint mask = m_renderStates[D3DRS_STENCILMASK];
    if (func != m_gl.stencilFunc || ref != m_gl.stencilRef || mask != m_gl.stencilValueMask) {
        m_gl.stencilFunc = func;
        m_gl.stencilRef = ref;
        m_gl.stencilValueMask = mask;
        gl.StencilFunc(func, ref, mask);
    }
    const GLenum fail = StencilOperation(m_renderStates[D3DRS_STENCILFAIL]);
    const GLenum depthFail = StencilOperation(m_renderStates[D3DRS_STENCILZFAIL]);
    const GLenum pass = StencilOperation(m_renderStates[D3DRS_STENCILPASS]);
    if (fail != m_gl.stencilFail || depthFail != m_gl.stencilDepthFail || pass != m_gl.stencilPass) {
        m_gl.stencilFail = fail;
        m_gl.stencilDepthFail = depthFail;
        m_gl.stencilPass = pass;
        gl.StencilOp(fail, depthFail, pass);
    }
    GlStencilMask(m_renderStates[D3DRS_STENCILWRITEMASK]);
}

void GlDevice::ApplyRaster()
{
    // Facing is judged as the picture is seen (GL keeps that under the upper-left origin):
    // D3DCULL_CCW removes triangles that appear counter-clockwise.
    const DWORD cull = m_renderStates[D3DRS_CULLMODE];
    GlEnable(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW);
    const GLenum front = cull == D3DCULL_CW ? GL_CCW : GL_CW;
    if (front != m_gl.frontFace) {
        m_gl.frontFace = front;
        gl.FrontFace(front);
    }
    GLenum polygonMode = GL_FILL;
    if (m_renderStates[D3DRS_FILLMODE] == D3DFILL_POINT)
        polygonMode = GL_POINT;
    else if (m_renderStates[D3DRS_FILLMODE] == D3DFILL_WIREFRAME)
        polygonMode = GL_LINE;
    if (polygonMode != m_gl.polygonMode) {
        m_gl.polygonMode = polygonMode;
        gl.PolygonMode(GL_FRONT_AND_BACK, polygonMode);
    }
    const DWORD write = m_renderStates[D3DRS_COLORWRITEENABLE];
    GlColorMask(write & D3DCOLORWRITEENABLE_RED, write & D3DCOLORWRITEENABLE_GREEN, write & D3DCOLORWRITEENABLE_BLUE,
                write & D3DCOLORWRITEENABLE_ALPHA);
    const float bias = static_cast<float>(m_renderStates[D3DRS_ZBIAS] & 0xFFFF);
    GlEnable(GL_POLYGON_OFFSET_FILL, bias != 0.0f);
    if (bias != 0.0f && bias != m_gl.polygonOffsetUnits) {
        m_gl.polygonOffsetUnits = bias;
        gl.PolygonOffset(-0.5f * bias, -2.0f * bias);  // a higher bias wins towards the viewer
    }
    float pointSize = BitsFloat(m_renderStates[D3DRS_POINTSIZE]);
    pointSize = pointSize >= 1.0f ? (pointSize <= 64.0f ? pointSize : 64.0f) : 1.0f;
    if (pointSize != m_gl.pointSize) {
        m_gl.pointSize = pointSize;
        gl.PointSize(pointSize);
    }
}

void GlDevice::ApplyViewport()
{
    // Pre-transformed vertices are placed against the whole target; the viewport then only clips.
    const bool pretransformed = m_layout.pretransformed;
    GLint box[4];
    float depth[2];
    if (pretransformed) {
        box[0] = 0;
        box[1] = 0;
        box[2] = static_cast<GLint>(m_renderTarget->Width());
        box[3] = static_cast<GLint>(m_renderTarget->Height());
        depth[0] = 0.0f;
        depth[1] = 1.0f;
    } else {
        box[0] = static_cast<GLint>(m_viewport.X);
        box[1] = static_cast<GLint>(m_viewport.Y);
        box[2] = static_cast<GLint>(m_viewport.Width);
        box[3] = static_cast<GLint>(m_viewport.Height);
        depth[0] = m_viewport.MinZ;
        depth[1] = m_viewport.MaxZ;
    }
    if (std::memcmp(box, m_gl.viewport, sizeof box) != 0) {
        std::memcpy(m_gl.viewport, box, sizeof box);
        gl.Viewport(box[0], box[1], box[2], box[3]);
    }
    if (depth[0] != m_gl.depthRange[0] || depth[1] != m_gl.depthRange[1]) {
        m_gl.depthRange[0] = depth[0];
        m_gl.depthRange[1] = depth[1];
        gl.DepthRangef(depth[0], depth[1]);
    }
    GlEnable(GL_SCISSOR_TEST, true);
    GlScissor(static_cast<GLint>(m_viewport.X), static_cast<GLint>(m_viewport.Y),
              static_cast<GLsizei>(m_viewport.Width), static_cast<GLsizei>(m_viewport.Height));
}

void GlDevice::ApplyVertexInput()
{
    if (m_configuredFvf != m_vertexShader && m_vertexShaderRecord) {
        m_configuredFvf = m_vertexShader;
        ConfigureDeclarationInputs();
    } else if (m_configuredFvf != m_vertexShader) {
        m_configuredFvf = m_vertexShader;
        const FvfLayout& layout = m_layout;
        auto attribute = [this](GLuint location, bool present, GLint size, GLenum type, bool normalised,
                                GLuint offset) {
            if (!present) {
                gl.DisableVertexArrayAttrib(m_vertexArray, location);
                return;
            }
            gl.EnableVertexArrayAttrib(m_vertexArray, location);
            gl.VertexArrayAttribFormat(m_vertexArray, location, size, type, normalised ? GL_TRUE : GL_FALSE, offset);
            gl.VertexArrayAttribBinding(m_vertexArray, location, 0);
        };
        attribute(0, layout.positionComponents != 0, layout.positionComponents, GL_FLOAT, false, 0);
        attribute(1, layout.normalOffset >= 0, 3, GL_FLOAT, false, static_cast<GLuint>(layout.normalOffset));
        // 0xAARRGGBB words: the bytes B, G, R, A, which GL_BGRA reads straight.
        attribute(2, layout.diffuseOffset >= 0, GL_BGRA, GL_UNSIGNED_BYTE, true,
                  static_cast<GLuint>(layout.diffuseOffset));
        attribute(3, layout.specularOffset >= 0, GL_BGRA, GL_UNSIGNED_BYTE, true,
                  static_cast<GLuint>(layout.specularOffset));
        for (GLuint set = 0; set < 8; ++set)
            attribute(4 + set, set < layout.texCoordCount, layout.texCoordSize[set], GL_FLOAT, false,
                      layout.texCoordOffset[set]);
        // Locations past the fixed-function ones belong to shader declarations.
        for (GLuint location = 12; location < 16; ++location)
            attribute(location, false, 0, GL_FLOAT, false, 0);
    }
    const GLuint buffer = m_stream ? m_stream->Storage().Name() : 0;
    const GLsizei stride = static_cast<GLsizei>(m_streamStride);
    if (buffer != m_boundVertexBuffer || m_boundVertexOffset != 0 || stride != m_boundVertexStride) {
        m_boundVertexBuffer = buffer;
        m_boundVertexOffset = 0;
        m_boundVertexStride = stride;
        gl.VertexArrayVertexBuffer(m_vertexArray, 0, buffer, 0, stride);
    }
}

void GlDevice::ApplyTextures()
{
    for (UINT stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        if (!(m_dirtyTextureStages & (1u << stage)))
            continue;
        const GlTextureStorage* storage = TextureStorageOf(m_textures[stage]);
        gl.BindTextureUnit(stage, storage ? storage->Name() : 0);
    }
    m_dirtyTextureStages = 0;
}

void GlDevice::ApplySamplers()
{
    for (UINT stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        if (!(m_dirtySamplerStages & (1u << stage)))
            continue;
        const DWORD* ts = m_stageStates[stage];
        const GLuint sampler = m_samplers[stage];
        const bool linearMin = ts[D3DTSS_MINFILTER] >= D3DTEXF_LINEAR;
        GLint minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
        if (ts[D3DTSS_MIPFILTER] == D3DTEXF_POINT)
            minFilter = linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        else if (ts[D3DTSS_MIPFILTER] >= D3DTEXF_LINEAR)
            minFilter = linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
        gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                             ts[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(ts[D3DTSS_ADDRESSU]));
        gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(ts[D3DTSS_ADDRESSV]));
        gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_R, AddressMode(ts[D3DTSS_ADDRESSW]));
        const D3DCOLOR border = ts[D3DTSS_BORDERCOLOR];
        const float borderColour[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                                       (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
        gl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, borderColour);
        gl.SamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, BitsFloat(ts[D3DTSS_MIPMAPLODBIAS]));
        gl.SamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(ts[D3DTSS_MAXMIPLEVEL]));
        if (m_maxAnisotropy > 0.0f) {
            const bool anisotropic =
                ts[D3DTSS_MINFILTER] == D3DTEXF_ANISOTROPIC || ts[D3DTSS_MAGFILTER] == D3DTEXF_ANISOTROPIC;
            float degree = anisotropic ? static_cast<float>(ts[D3DTSS_MAXANISOTROPY]) : 1.0f;
            degree = degree < 1.0f ? 1.0f : (degree > m_maxAnisotropy ? m_maxAnisotropy : degree);
            gl.SamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, degree);
        }
    }
    m_dirtySamplerStages = 0;
}

bool GlDevice::PrepareDraw()
{
    if (m_layout.positionComponents == 0 || !m_renderTarget)
        return false;
    if (m_renderTarget == m_backBufferSurface)
        RestoreBackBuffer();
    if (m_dirty) {
        if (m_dirty & kDirtyFramebuffer)
            GlBindFramebuffer(m_currentFramebuffer);
        if (m_dirty & kDirtyMatrices)
            UpdateMatrices();
        if (m_dirty & kDirtyLights)
            UpdateLights();
        if (m_dirty & kDirtyClipPlanes)
            UpdateClipPlanes();
        if (m_dirty & kDirtyProgram)
            ApplyProgram();
        if (m_dirty & kDirtyBlend)
            ApplyBlend();
        if (m_dirty & kDirtyDepthStencil)
            ApplyDepthStencil();
        if (m_dirty & kDirtyRaster)
            ApplyRaster();
        if (m_dirty & kDirtyViewport)
            ApplyViewport();
        if (m_dirty & kDirtyVertexInput)
            ApplyVertexInput();
        if (m_dirty & kDirtyTextures)
            ApplyTextures();
        if (m_dirty & kDirtySamplers)
            ApplySamplers();
        if (m_uniformDirtyEnd > m_uniformDirtyFirst)
            UploadUniforms();
        if (m_dirty & kDirtyShaderConstants)
            UploadShaderConstants();
        m_dirty = 0;
    }
    return m_program != 0;
}

// ---- draws

HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    ++m_counts.drawPrimitive;
    ObserveDraw(type, startVertex, primitiveCount);
    GLenum mode;
    if (!PrimitiveMode(type, &mode) || !m_stream || m_streamStride == 0 || m_stream->Storage().IsLocked())
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    const std::uint64_t count = VerticesOf(type, primitiveCount);
    if ((std::uint64_t(startVertex) + count) * m_streamStride > m_stream->Storage().Length())
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    if (PrepareDraw()) {
        gl.DrawArrays(mode, static_cast<GLint>(startVertex), static_cast<GLsizei>(count));
        Submitted(primitiveCount);
    }
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT, UINT, UINT startIndex, UINT primitiveCount)
{
    ++m_counts.drawIndexedPrimitive;
    ObserveDraw(type, startIndex, primitiveCount);
    GLenum mode;
    if (!PrimitiveMode(type, &mode) || !m_stream || m_streamStride == 0 || !m_indices ||
        m_stream->Storage().IsLocked() || m_indices->Storage().IsLocked())
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    const std::uint64_t count = VerticesOf(type, primitiveCount);
    const UINT indexBytes = m_indices->Format() == D3DFMT_INDEX32 ? 4 : 2;
    if ((std::uint64_t(startIndex) + count) * indexBytes > m_indices->Storage().Length())
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    if (!PrepareDraw())
        return D3D_OK;
    const GLuint elements = m_indices->Storage().Name();
    if (elements != m_boundElementBuffer) {
        m_boundElementBuffer = elements;
        gl.VertexArrayElementBuffer(m_vertexArray, elements);
    }
    gl.DrawElementsBaseVertex(mode, static_cast<GLsizei>(count), indexBytes == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                              reinterpret_cast<const void*>(static_cast<std::uintptr_t>(startIndex) * indexBytes),
                              static_cast<GLint>(m_baseVertexIndex));
    Submitted(primitiveCount);
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedRanges(D3DPRIMITIVETYPE type, const D3D8IndexedRange* ranges, UINT count)
{
    GLenum mode;
    if (!PrimitiveMode(type, &mode) || (count && !ranges) || !m_stream || m_streamStride == 0 || !m_indices ||
        m_stream->Storage().IsLocked() || m_indices->Storage().IsLocked())
        return D3DERR_INVALIDCALL;
    const UINT indexBytes = m_indices->Format() == D3DFMT_INDEX32 ? 4 : 2;
    for (UINT i = 0; i < count; ++i) {
        const std::uint64_t vertices = VerticesOf(type, ranges[i].primitiveCount);
        if ((std::uint64_t(ranges[i].startIndex) + vertices) * indexBytes > m_indices->Storage().Length() ||
            ranges[i].baseVertex > 0x7FFFFFFFu)
            return D3DERR_INVALIDCALL;
    }
    m_rangeCounts.clear();
    m_rangeOffsets.clear();
    m_rangeBases.clear();
    for (UINT i = 0; i < count; ++i) {
        ++m_counts.drawIndexedPrimitive;
        m_baseVertexIndex = ranges[i].baseVertex;
        ObserveDraw(type, ranges[i].startIndex, ranges[i].primitiveCount);
        if (ranges[i].primitiveCount == 0)
            continue;
        m_rangeCounts.push_back(static_cast<GLsizei>(VerticesOf(type, ranges[i].primitiveCount)));
        m_rangeOffsets.push_back(
            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(ranges[i].startIndex) * indexBytes));
        m_rangeBases.push_back(static_cast<GLint>(ranges[i].baseVertex));
    }
    if (m_rangeCounts.empty())
        return D3D_OK;
    MakeCurrent();
    if (!PrepareDraw())
        return D3D_OK;
    const GLuint elements = m_indices->Storage().Name();
    if (elements != m_boundElementBuffer) {
        m_boundElementBuffer = elements;
        gl.VertexArrayElementBuffer(m_vertexArray, elements);
    }
    gl.MultiDrawElementsBaseVertex(mode, m_rangeCounts.data(), indexBytes == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                   m_rangeOffsets.data(), static_cast<GLsizei>(m_rangeCounts.size()),
                                   m_rangeBases.data());
    std::uint64_t primitives = 0;
    for (UINT i = 0; i < count; ++i)
        primitives += ranges[i].primitiveCount;
    Submitted(primitives);
    return D3D_OK;
}

void GlDevice::Submitted(std::uint64_t primitives)
{
    m_primitivesSinceFlush += primitives;
    if (m_primitivesSinceFlush >= kFlushPrimitives) {
        gl.Flush();
        m_primitivesSinceFlush = 0;
    }
}

HRESULT D3D8DrawIndexedRanges(IDirect3DDevice8* device, D3DPRIMITIVETYPE type, const D3D8IndexedRange* ranges,
                              UINT count)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    return static_cast<GlDevice*>(device)->DrawIndexedRanges(type, ranges, count);
}

GLuint GlDevice::UploadTransient(const void* data, UINT bytes, UINT alignment, UINT* offset)
{
    constexpr UINT kCapacity = kTransientBytes;
    if (bytes > kCapacity)
        return 0;
    UINT start = (m_transientOffset + alignment - 1) / alignment * alignment;
    GLbitfield access = GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT;
    if (start + bytes > kCapacity) {
        start = 0;
        access = GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT;
    }
    void* target = gl.MapNamedBufferRange(m_transientBuffer, start, bytes, access);
    if (!target)
        return 0;
    std::memcpy(target, data, bytes);
    gl.UnmapNamedBuffer(m_transientBuffer);
    ++m_counts.uploads;
    m_counts.uploadBytes += bytes;
    m_transientOffset = start + bytes;
    *offset = start;
    return m_transientBuffer;
}

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride)
{
    ++m_counts.drawPrimitive;
    ObserveDraw(type, 0, primitiveCount);
    GLenum mode;
    if (!PrimitiveMode(type, &mode) || !vertices || stride == 0)
        return D3DERR_INVALIDCALL;
    const std::uint64_t count = VerticesOf(type, primitiveCount);
    if (count * stride > kTransientBytes)
        return D3DERR_INVALIDCALL;
    // Drawing from memory leaves stream 0 unbound.
    m_stream = nullptr;
    m_streamStride = 0;
    m_dirty |= kDirtyVertexInput;
    if (primitiveCount == 0)
        return D3D_OK;
    MakeCurrent();
    if (!PrepareDraw())
        return D3D_OK;
    UINT offset = 0;
    const GLuint buffer = UploadTransient(vertices, static_cast<UINT>(count * stride), 16, &offset);
    if (!buffer)
        return D3DERR_INVALIDCALL;
    gl.VertexArrayVertexBuffer(m_vertexArray, 0, buffer, offset, static_cast<GLsizei>(stride));
    m_boundVertexBuffer = ~0u;
    m_dirty |= kDirtyVertexInput;
    gl.DrawArrays(mode, 0, static_cast<GLsizei>(count));
    Submitted(primitiveCount);
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                                         const void* indices, D3DFORMAT indexFormat, const void* vertices, UINT stride)
{
    ++m_counts.drawIndexedPrimitive;
    ObserveDraw(type, 0, primitiveCount);
    GLenum mode;
    if (!PrimitiveMode(type, &mode) || !vertices || !indices || stride == 0 ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    const std::uint64_t count = VerticesOf(type, primitiveCount);
    const UINT indexBytes = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const std::uint64_t vertexBytes = (std::uint64_t(minIndex) + vertexCount) * stride;
    if (vertexBytes + count * indexBytes + 32 > kTransientBytes)
        return D3DERR_INVALIDCALL;
    m_stream = nullptr;
    m_streamStride = 0;
    m_indices = nullptr;
    m_dirty |= kDirtyVertexInput;
    if (primitiveCount == 0)
        return D3D_OK;
    MakeCurrent();
    if (!PrepareDraw())
        return D3D_OK;
    // Both copies go into one pass of the ring.
    if ((m_transientOffset + 15) / 16 * 16 + vertexBytes + 16 + count * indexBytes > kTransientBytes)
        m_transientOffset = kTransientBytes;
    UINT vertexOffset = 0, indexOffset = 0;
    const GLuint buffer = UploadTransient(vertices, static_cast<UINT>(vertexBytes), 16, &vertexOffset);
    const GLuint same = buffer ? UploadTransient(indices, static_cast<UINT>(count * indexBytes), 16, &indexOffset) : 0;
    if (!buffer || same != buffer)
        return D3DERR_INVALIDCALL;
    gl.VertexArrayVertexBuffer(m_vertexArray, 0, buffer, vertexOffset, static_cast<GLsizei>(stride));
    m_boundVertexBuffer = ~0u;
    if (m_boundElementBuffer != buffer) {
        m_boundElementBuffer = buffer;
        gl.VertexArrayElementBuffer(m_vertexArray, buffer);
    }
    gl.DrawElementsBaseVertex(mode, static_cast<GLsizei>(count), indexBytes == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                              reinterpret_cast<const void*>(static_cast<std::uintptr_t>(indexOffset)), 0);
    Submitted(primitiveCount);
    return D3D_OK;
}
