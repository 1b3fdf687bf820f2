// Recording Direct3D state: render states, texture-stage states, transforms, viewport, material,
// lights and bindings, with Direct3D 8's documented defaults at creation and after Reset.
#include <cmath>
#include <cstring>

#include "platform/gl/d3d8_device.h"
#include "platform/d3dx8_math.h"

namespace {

float BitsFloat(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ColourToFloats(D3DCOLOR colour, float* out)
{
    out[0] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(colour & 0xFF) / 255.0f;
    out[3] = static_cast<float>((colour >> 24) & 0xFF) / 255.0f;
}

void CopyColour(const D3DCOLORVALUE& colour, float* out)
{
    out[0] = colour.r;
    out[1] = colour.g;
    out[2] = colour.b;
    out[3] = colour.a;
}

const D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

struct StateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

// Direct3D 8's documented render-state defaults (ZENABLE and SOFTWAREVERTEXPROCESSING depend on
// the creation parameters and are set apart).
const StateDefault kRenderStateDefaults[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_LINEPATTERN, 0},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_LASTPIXEL, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_DITHERENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_ZVISIBLE, 0},
    {D3DRS_FOGCOLOR, 0},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    {D3DRS_FOGSTART, 0x00000000u},  // 0.0f
    {D3DRS_FOGEND, 0x3F800000u},    // 1.0f
    {D3DRS_FOGDENSITY, 0x3F800000u},
    {D3DRS_EDGEANTIALIAS, FALSE},
    {D3DRS_ZBIAS, 0},
    {D3DRS_RANGEFOGENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILREF, 0},
    {D3DRS_STENCILMASK, 0xFFFFFFFFu},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_AMBIENT, 0},
    {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_NORMALIZENORMALS, FALSE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_POINTSIZE, 0x3F800000u},      // 1.0f
    {D3DRS_POINTSIZE_MIN, 0x00000000u},  // 0.0f
    {D3DRS_POINTSPRITEENABLE, FALSE},
    {D3DRS_POINTSCALEENABLE, FALSE},
    {D3DRS_POINTSCALE_A, 0x3F800000u},
    {D3DRS_POINTSCALE_B, 0},
    {D3DRS_POINTSCALE_C, 0},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
    {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFFu},
    {D3DRS_PATCHEDGESTYLE, 0},
    {D3DRS_PATCHSEGMENTS, 0x3F800000u},
    {D3DRS_POINTSIZE_MAX, 0x42800000u},  // 64.0f
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_TWEENFACTOR, 0},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_POSITIONORDER, 3},  // cubic
    {D3DRS_NORMALORDER, 1},    // linear
};

}  // namespace

std::uint32_t GlDevice::RenderStateEffect(DWORD state)
{
    switch (state) {
        case D3DRS_LIGHTING:
        case D3DRS_SPECULARENABLE:
        case D3DRS_LOCALVIEWER:
        case D3DRS_NORMALIZENORMALS:
        case D3DRS_COLORVERTEX:
        case D3DRS_DIFFUSEMATERIALSOURCE:
        case D3DRS_SPECULARMATERIALSOURCE:
        case D3DRS_AMBIENTMATERIALSOURCE:
        case D3DRS_EMISSIVEMATERIALSOURCE:
        case D3DRS_SHADEMODE:
        case D3DRS_ALPHATESTENABLE:
        case D3DRS_ALPHAFUNC:
        case D3DRS_FOGENABLE:
        case D3DRS_FOGTABLEMODE:
        case D3DRS_FOGVERTEXMODE:
        case D3DRS_RANGEFOGENABLE:
        case D3DRS_CLIPPING:
        case D3DRS_CLIPPLANEENABLE:
            return kDirtyProgram;
        case D3DRS_ALPHABLENDENABLE:
        case D3DRS_SRCBLEND:
        case D3DRS_DESTBLEND:
        case D3DRS_BLENDOP:
            return kDirtyBlend;
        case D3DRS_ZENABLE:
        case D3DRS_ZWRITEENABLE:
        case D3DRS_ZFUNC:
        case D3DRS_STENCILENABLE:
        case D3DRS_STENCILFAIL:
        case D3DRS_STENCILZFAIL:
        case D3DRS_STENCILPASS:
        case D3DRS_STENCILFUNC:
        case D3DRS_STENCILREF:
        case D3DRS_STENCILMASK:
        case D3DRS_STENCILWRITEMASK:
            return kDirtyDepthStencil;
        case D3DRS_CULLMODE:
        case D3DRS_FILLMODE:
        case D3DRS_COLORWRITEENABLE:
        case D3DRS_ZBIAS:
        case D3DRS_POINTSIZE:
            return kDirtyRaster;
        default:
            return 0;
    }
}

void GlDevice::ResetState()
{
    std::memset(m_renderStates, 0, sizeof m_renderStates);
    for (const StateDefault& entry : kRenderStateDefaults)
        m_renderStates[entry.state] = entry.value;
    m_renderStates[D3DRS_ZENABLE] = m_parameters.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    m_renderStates[D3DRS_SOFTWAREVERTEXPROCESSING] = (m_behaviour & D3DCREATE_SOFTWARE_VERTEXPROCESSING) ? TRUE : FALSE;

    for (UINT stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        DWORD* ts = m_stageStates[stage];
        std::memset(ts, 0, sizeof m_stageStates[stage]);
        ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = stage;
        ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ts[D3DTSS_MAXANISOTROPY] = 1;
        ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        m_textures[stage] = nullptr;
        m_textureKinds[stage] = kTextureNone;
        m_textureMatrices[stage] = kIdentity;
        std::memcpy(m_uniforms.textureMatrix[stage], &kIdentity, sizeof kIdentity);
    }
    m_world = m_view = m_projection = kIdentity;
    m_affineProjection = true;
    m_material = {};
    for (DWORD i = 0; i < kLightCount; ++i) {
        m_lights[i] = {};
        m_lights[i].Type = D3DLIGHT_DIRECTIONAL;
        m_lights[i].Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        m_lights[i].Direction = {0.0f, 0.0f, 1.0f};
        m_lightEnabled[i] = false;
    }
    std::memset(m_clipPlanes, 0, sizeof m_clipPlanes);
    m_vertexShader = 0;
    m_vertexShaderRecord = nullptr;
    m_pixelShader = 0;
    m_pixelShaderRecord = nullptr;
    m_shaderKeyValid = false;
    m_shaderConstants = {};
    MarkShaderConstants(&m_shaderConstants, sizeof m_shaderConstants);
    m_layout = FvfLayout();
    m_stream = nullptr;
    m_streamStride = 0;
    m_indices = nullptr;
    m_baseVertexIndex = 0;
    m_programKeyValid = false;

    ColourToFloats(m_renderStates[D3DRS_TEXTUREFACTOR], m_uniforms.textureFactor);
    ColourToFloats(m_renderStates[D3DRS_FOGCOLOR], m_uniforms.fogColour);
    ColourToFloats(m_renderStates[D3DRS_AMBIENT], m_uniforms.ambient);
    m_uniforms.fogParams[0] = 0.0f;
    m_uniforms.fogParams[1] = 1.0f;
    m_uniforms.fogParams[2] = 1.0f;
    m_uniforms.fogParams[3] = 1.0f;
    m_uniforms.screen[2] = 0.0f;
    std::memset(m_uniforms.materialDiffuse, 0, sizeof(float) * 4 * 5);
    MarkUniforms(&m_uniforms, sizeof m_uniforms);

    SetTargets(m_backBufferSurface, m_autoDepthStencil);
    m_dirty = kDirtyAll;
    m_dirtySamplerStages = 0xFF;
    m_dirtyTextureStages = 0xFF;
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    ++m_counts.setRenderState;
    if (state >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    if (m_renderStates[state] == value)
        return D3D_OK;
    m_renderStates[state] = value;
    m_dirty |= RenderStateEffect(state);
    switch (state) {
        case D3DRS_TEXTUREFACTOR:
            ColourToFloats(value, m_uniforms.textureFactor);
            MarkUniforms(m_uniforms.textureFactor, sizeof m_uniforms.textureFactor);
            break;
        case D3DRS_FOGCOLOR:
            ColourToFloats(value, m_uniforms.fogColour);
            MarkUniforms(m_uniforms.fogColour, sizeof m_uniforms.fogColour);
            break;
        case D3DRS_AMBIENT:
            ColourToFloats(value, m_uniforms.ambient);
            MarkUniforms(m_uniforms.ambient, sizeof m_uniforms.ambient);
            break;
        case D3DRS_ALPHAREF:
            m_uniforms.screen[2] = static_cast<float>(value & 0xFF);
            MarkUniforms(m_uniforms.screen, sizeof m_uniforms.screen);
            break;
        case D3DRS_FOGSTART:
        case D3DRS_FOGEND:
        case D3DRS_FOGDENSITY: {
            const float start = BitsFloat(m_renderStates[D3DRS_FOGSTART]);
            const float end = BitsFloat(m_renderStates[D3DRS_FOGEND]);
            m_uniforms.fogParams[0] = start;
            m_uniforms.fogParams[1] = end;
            m_uniforms.fogParams[2] = BitsFloat(m_renderStates[D3DRS_FOGDENSITY]);
            m_uniforms.fogParams[3] = end != start ? 1.0f / (end - start) : 0.0f;
            MarkUniforms(m_uniforms.fogParams, sizeof m_uniforms.fogParams);
            break;
        }
        default:
            break;
    }
    return D3D_OK;
}

HRESULT GlDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (state >= D3DRS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = m_renderStates[state];
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    ++m_counts.setTextureStageState;
    if (stage >= D3DMAX_TEXTURE_STAGES || type == 0 || type >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    if (m_stageStates[stage][type] == value)
        return D3D_OK;
    m_stageStates[stage][type] = value;
    switch (type) {
        case D3DTSS_ADDRESSU:
        case D3DTSS_ADDRESSV:
        case D3DTSS_ADDRESSW:
        case D3DTSS_BORDERCOLOR:
        case D3DTSS_MAGFILTER:
        case D3DTSS_MINFILTER:
        case D3DTSS_MIPFILTER:
        case D3DTSS_MIPMAPLODBIAS:
        case D3DTSS_MAXMIPLEVEL:
        case D3DTSS_MAXANISOTROPY:
            m_dirtySamplerStages |= 1u << stage;
            m_dirty |= kDirtySamplers;
            break;
        case D3DTSS_BUMPENVMAT00:
        case D3DTSS_BUMPENVMAT01:
        case D3DTSS_BUMPENVMAT10:
        case D3DTSS_BUMPENVMAT11:
        case D3DTSS_BUMPENVLSCALE:
        case D3DTSS_BUMPENVLOFFSET:
            UpdateBumpConstants(stage);
            break;
        default:
            m_dirty |= kDirtyProgram;
            break;
    }
    return D3D_OK;
}

HRESULT GlDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (stage >= D3DMAX_TEXTURE_STAGES || type == 0 || type >= D3DTSS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = m_stageStates[stage][type];
    return D3D_OK;
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture)
{
    ++m_counts.setTexture;
    if (stage >= D3DMAX_TEXTURE_STAGES)
        return D3DERR_INVALIDCALL;
    if (m_textures[stage] == texture)
        return D3D_OK;
    m_textures[stage] = texture;
    BYTE kind = kTextureNone;
    if (texture)
        kind = texture->GetType() == D3DRTYPE_CUBETEXTURE ? kTextureCube : kTexture2D;
    if (kind != m_textureKinds[stage]) {
        m_textureKinds[stage] = kind;
        m_dirty |= kDirtyProgram;
    }
    m_dirtyTextureStages |= 1u << stage;
    m_dirty |= kDirtyTextures;
    return D3D_OK;
}

HRESULT GlDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture)
{
    if (stage >= D3DMAX_TEXTURE_STAGES || !texture)
        return D3DERR_INVALIDCALL;
    *texture = m_textures[stage];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    switch (state) {
        case D3DTS_WORLD:
            m_world = *matrix;
            break;
        case D3DTS_VIEW:
            m_view = *matrix;
            m_dirty |= kDirtyLights | kDirtyClipPlanes;
            break;
        case D3DTS_PROJECTION: {
            m_projection = *matrix;
            // Direct3D's test for table fog: an affine projection leaves w at 1, so fog reads z.
            const bool affine =
                matrix->_14 == 0.0f && matrix->_24 == 0.0f && matrix->_34 == 0.0f && matrix->_44 == 1.0f;
            if (affine != m_affineProjection) {
                m_affineProjection = affine;
                m_dirty |= kDirtyProgram;
            }
            break;
        }
        default:
            if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) {
                const UINT stage = state - D3DTS_TEXTURE0;
                m_textureMatrices[stage] = *matrix;
                std::memcpy(m_uniforms.textureMatrix[stage], matrix, sizeof *matrix);
                MarkUniforms(m_uniforms.textureMatrix[stage], sizeof m_uniforms.textureMatrix[stage]);
                return D3D_OK;
            }
            return D3DERR_INVALIDCALL;
    }
    m_dirty |= kDirtyMatrices;
    return D3D_OK;
}

HRESULT GlDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    switch (state) {
        case D3DTS_WORLD:
            *matrix = m_world;
            return D3D_OK;
        case D3DTS_VIEW:
            *matrix = m_view;
            return D3D_OK;
        case D3DTS_PROJECTION:
            *matrix = m_projection;
            return D3D_OK;
        default:
            if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) {
                *matrix = m_textureMatrices[state - D3DTS_TEXTURE0];
                return D3D_OK;
            }
            return D3DERR_INVALIDCALL;
    }
}

HRESULT GlDevice::SetViewport(const D3DVIEWPORT8* viewport)
{
    if (!viewport || !m_renderTarget)
        return D3DERR_INVALIDCALL;
    const std::uint64_t right = std::uint64_t(viewport->X) + viewport->Width;
    const std::uint64_t bottom = std::uint64_t(viewport->Y) + viewport->Height;
    if (right > m_renderTarget->Width() || bottom > m_renderTarget->Height())
        return D3DERR_INVALIDCALL;
    m_viewport = *viewport;
    m_dirty |= kDirtyViewport;
    UpdatePixelCentre();
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT8* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_viewport;
    return D3D_OK;
}

HRESULT GlDevice::SetMaterial(const D3DMATERIAL8* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    m_material = *material;
    CopyColour(material->Diffuse, m_uniforms.materialDiffuse);
    CopyColour(material->Ambient, m_uniforms.materialAmbient);
    CopyColour(material->Specular, m_uniforms.materialSpecular);
    CopyColour(material->Emissive, m_uniforms.materialEmissive);
    m_uniforms.materialPower[0] = material->Power;
    MarkUniforms(m_uniforms.materialDiffuse, sizeof(float) * 4 * 5);
    return D3D_OK;
}

HRESULT GlDevice::GetMaterial(D3DMATERIAL8* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = m_material;
    return D3D_OK;
}

HRESULT GlDevice::SetLight(DWORD index, const D3DLIGHT8* light)
{
    if (!light || index >= kLightCount || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    if (m_lightEnabled[index] && m_lights[index].Type != light->Type)
        m_dirty |= kDirtyProgram;
    m_lights[index] = *light;
    m_dirty |= kDirtyLights;
    return D3D_OK;
}

HRESULT GlDevice::GetLight(DWORD index, D3DLIGHT8* light)
{
    if (!light || index >= kLightCount)
        return D3DERR_INVALIDCALL;
    *light = m_lights[index];
    return D3D_OK;
}

HRESULT GlDevice::LightEnable(DWORD index, BOOL enable)
{
    if (index >= kLightCount)
        return D3DERR_INVALIDCALL;
    if (m_lightEnabled[index] != (enable != FALSE)) {
        m_lightEnabled[index] = enable != FALSE;
        m_dirty |= kDirtyProgram | kDirtyLights;
    }
    return D3D_OK;
}

HRESULT GlDevice::SetClipPlane(DWORD index, const float* plane)
{
    if (!plane || index >= 6)
        return D3DERR_INVALIDCALL;
    std::memcpy(m_clipPlanes[index], plane, sizeof m_clipPlanes[index]);
    m_dirty |= kDirtyClipPlanes;
    return D3D_OK;
}

HRESULT GlDevice::SetVertexShader(DWORD handle)
{
    ++m_counts.setVertexShader;
    FvfLayout layout;
    GlVertexShader* record = nullptr;
    if (handle & 1) {
        // A shader handle; its declaration's constants are loaded each time it is set.
        record = FindVertexShader(handle);
        if (!record)
            return D3DERR_INVALIDCALL;
        layout.positionComponents = 4;
        layout.stride = record->declaration.size;
        for (const VertexDeclaration::Constant& constant : record->declaration.constants) {
            std::memcpy(m_shaderConstants.vertex[constant.reg], constant.values, sizeof constant.values);
            MarkShaderConstants(m_shaderConstants.vertex[constant.reg], sizeof constant.values);
        }
    } else {
        if (handle == m_vertexShader)
            return D3D_OK;
        if (!FvfDescribe(handle, &layout))
            return D3DERR_INVALIDCALL;
    }
    if (handle == m_vertexShader)
        return D3D_OK;
    if (layout.pretransformed != m_layout.pretransformed)
        m_dirty |= kDirtyViewport;
    m_vertexShader = handle;
    m_vertexShaderRecord = record;
    m_layout = layout;
    m_dirty |= kDirtyVertexInput | kDirtyProgram;
    return D3D_OK;
}

HRESULT GlDevice::GetVertexShader(DWORD* handle)
{
    if (!handle)
        return D3DERR_INVALIDCALL;
    *handle = m_vertexShader;
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride)
{
    ++m_counts.setStreamSource;
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    m_stream = static_cast<GlVertexBuffer*>(buffer);
    m_streamStride = buffer ? stride : 0;
    m_dirty |= kDirtyVertexInput;
    return D3D_OK;
}

HRESULT GlDevice::SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex)
{
    ++m_counts.setIndices;
    m_indices = static_cast<GlIndexBuffer*>(buffer);
    m_baseVertexIndex = baseVertexIndex;
    return D3D_OK;
}

// ---- derived uniforms

void GlDevice::UpdateMatrices()
{
    const D3DXMATRIX world(m_world), view(m_view), projection(m_projection);
    const D3DXMATRIX worldView = world * view;
    const D3DXMATRIX worldViewProj = worldView * projection;
    D3DXMATRIX normal;
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, &worldView))
        D3DXMatrixTranspose(&normal, &inverse);
    else
        normal = worldView;
    std::memcpy(m_uniforms.worldViewProj, &worldViewProj, sizeof m_uniforms.worldViewProj);
    std::memcpy(m_uniforms.worldView, &worldView, sizeof m_uniforms.worldView);
    std::memcpy(m_uniforms.normalMatrix, &normal, sizeof m_uniforms.normalMatrix);
    MarkUniforms(m_uniforms.worldViewProj, sizeof(float) * 16 * 3);
}

void GlDevice::UpdateLights()
{
    // Lights are given in world space and used in camera space.
    const D3DXMATRIX view(m_view);
    for (DWORD i = 0; i < kLightCount; ++i) {
        if (!m_lightEnabled[i])
            continue;
        const D3DLIGHT8& light = m_lights[i];
        FixedFunctionLight& out = m_uniforms.lights[i];
        CopyColour(light.Diffuse, out.diffuse);
        CopyColour(light.Specular, out.specular);
        CopyColour(light.Ambient, out.ambient);
        D3DXVECTOR3 position(light.Position);
        D3DXVECTOR3 direction(light.Direction);
        D3DXVec3TransformCoord(&position, &position, &view);
        D3DXVec3TransformNormal(&direction, &direction, &view);
        D3DXVec3Normalize(&direction, &direction);
        out.position[0] = position.x;
        out.position[1] = position.y;
        out.position[2] = position.z;
        out.position[3] = light.Range > 0.0f ? light.Range : 3.0e38f;
        out.direction[0] = direction.x;
        out.direction[1] = direction.y;
        out.direction[2] = direction.z;
        out.direction[3] = light.Falloff;
        out.attenuation[0] = light.Attenuation0;
        out.attenuation[1] = light.Attenuation1;
        out.attenuation[2] = light.Attenuation2;
        out.attenuation[3] = 0.0f;
        out.cone[0] = std::cos(light.Theta * 0.5f);
        out.cone[1] = std::cos(light.Phi * 0.5f);
        out.cone[2] = out.cone[3] = 0.0f;
    }
    MarkUniforms(m_uniforms.lights, sizeof m_uniforms.lights);
}

void GlDevice::UpdateClipPlanes()
{
    // A world-space plane p meets camera-space points e = x * view as view^-1 * p (p a column).
    D3DXMATRIX inverse;
    const D3DXMATRIX view(m_view);
    const bool invertible = D3DXMatrixInverse(&inverse, nullptr, &view) != nullptr;
    for (int i = 0; i < 6; ++i) {
        const float* p = m_clipPlanes[i];
        std::memcpy(m_uniforms.clipPlanes[i], p, sizeof m_uniforms.clipPlanes[i]);
        for (int row = 0; row < 4; ++row)
            m_uniforms.eyeClipPlanes[i][row] = invertible ? inverse.m[row][0] * p[0] + inverse.m[row][1] * p[1] +
                                                                inverse.m[row][2] * p[2] + inverse.m[row][3] * p[3]
                                                          : p[row];
    }
    MarkUniforms(m_uniforms.eyeClipPlanes, sizeof m_uniforms.eyeClipPlanes + sizeof m_uniforms.clipPlanes);
}

void GlDevice::UpdatePixelCentre()
{
    // Half a pixel right and down, in normalised units of the viewport the vertices are mapped to.
    m_uniforms.pixelCentre[0] = m_viewport.Width ? 1.0f / static_cast<float>(m_viewport.Width) : 0.0f;
    m_uniforms.pixelCentre[1] = m_viewport.Height ? -1.0f / static_cast<float>(m_viewport.Height) : 0.0f;
    MarkUniforms(m_uniforms.pixelCentre, sizeof m_uniforms.pixelCentre);
}

void GlDevice::MarkUniforms(const void* first, std::size_t bytes)
{
    const std::size_t begin =
        static_cast<std::size_t>(static_cast<const BYTE*>(first) - reinterpret_cast<const BYTE*>(&m_uniforms));
    const std::size_t end = begin + bytes;
    if (m_uniformDirtyEnd == m_uniformDirtyFirst) {
        m_uniformDirtyFirst = begin;
        m_uniformDirtyEnd = end;
    } else {
        if (begin < m_uniformDirtyFirst)
            m_uniformDirtyFirst = begin;
        if (end > m_uniformDirtyEnd)
            m_uniformDirtyEnd = end;
    }
    m_dirty |= kDirtyUniforms;
}

void GlDevice::UploadUniforms()
{
    ++m_counts.uploads;
    m_counts.uploadBytes += static_cast<UINT>(m_uniformDirtyEnd - m_uniformDirtyFirst);
    gl.NamedBufferSubData(m_uniformBuffer, static_cast<GLintptr>(m_uniformDirtyFirst),
                          static_cast<GLsizeiptr>(m_uniformDirtyEnd - m_uniformDirtyFirst),
                          reinterpret_cast<const BYTE*>(&m_uniforms) + m_uniformDirtyFirst);
    m_uniformDirtyFirst = m_uniformDirtyEnd = 0;
}
