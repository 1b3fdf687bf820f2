// Trading the contents of two textures while each keeps its identity.
#include "platform/d3d8_texture_exchange.h"

#include <utility>

#include "platform/gl/d3d8_device.h"
#include "platform/gl/d3d8_resources.h"

void GlTextureStorage::Swap(GlTextureStorage& other)
{
    std::swap(m_name, other.m_name);
    std::swap(m_target, other.m_target);
    std::swap(m_width, other.m_width);
    std::swap(m_height, other.m_height);
    std::swap(m_levels, other.m_levels);
    std::swap(m_faces, other.m_faces);
    std::swap(m_format, other.m_format);
    std::swap(m_usage, other.m_usage);
    std::swap(m_pool, other.m_pool);
    std::swap(m_info, other.m_info);
    std::swap(m_lod, other.m_lod);
    std::swap(m_slices, other.m_slices);
}

void GlSurface::FollowStorage(GlDevice* device, D3DPOOL pool)
{
    m_device = device;
    m_pool = pool;
    m_format = m_storage->Format();
    m_width = m_storage->Width(m_level);
    m_height = m_storage->Height(m_level);
}

void GlDevice::RebindTexture(IDirect3DBaseTexture8* texture)
{
    for (UINT stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        if (m_textures[stage] == texture) {
            m_dirtyTextureStages |= 1u << stage;
            m_dirty |= kDirtyTextures;
        }
    }
}

void GlTexture::ExchangeContents(GlTexture& other)
{
    if (m_device == other.m_device) {
        m_device->RebindTexture(this);
        m_device->RebindTexture(&other);
    } else {
        // Neither texture stays on its old device: bindings there would name the other device's GL
        // texture.
        m_device->ForgetTexture(this, &m_storage);
        other.m_device->ForgetTexture(&other, &other.m_storage);
    }
    m_storage.Swap(other.m_storage);
    // Each holds a reference to its device and is counted there by its pool, so both travel along.
    std::swap(m_device, other.m_device);
    std::swap(m_pool, other.m_pool);
    for (GlTexture* texture : {this, &other}) {
        if (texture->m_surfaces.size() < texture->m_storage.Levels())
            texture->m_surfaces.resize(texture->m_storage.Levels(), nullptr);
        for (GlSurface* surface : texture->m_surfaces) {
            if (surface)
                surface->FollowStorage(texture->m_device, texture->m_pool);
        }
    }
}

HRESULT D3D8TextureExchangeContents(IDirect3DTexture8* first, IDirect3DTexture8* second)
{
    if (!first || !second || first == second || first->GetType() != D3DRTYPE_TEXTURE ||
        second->GetType() != D3DRTYPE_TEXTURE)
        return D3DERR_INVALIDCALL;
    static_cast<GlTexture*>(first)->ExchangeContents(*static_cast<GlTexture*>(second));
    return D3D_OK;
}
