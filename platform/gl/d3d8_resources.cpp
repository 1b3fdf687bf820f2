#include "platform/gl/d3d8_resources.h"

#include <cstring>

#include "platform/gl/d3d8_device.h"

namespace {

bool SameGuid(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Drains GL's error flags; true when there was none.
bool GlErrorFree()
{
    bool clean = true;
    while (gl.GetError() != GL_NO_ERROR)
        clean = false;
    return clean;
}

}  // namespace

// ---- private data

HRESULT PrivateDataStore::Set(REFGUID guid, const void* data, DWORD size)
{
    if (!data && size)
        return D3DERR_INVALIDCALL;
    Free(guid);
    Entry entry;
    entry.guid = guid;
    entry.bytes.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    m_entries.push_back(std::move(entry));
    return D3D_OK;
}

HRESULT PrivateDataStore::Get(REFGUID guid, void* data, DWORD* size) const
{
    if (!size)
        return D3DERR_INVALIDCALL;
    for (const Entry& entry : m_entries) {
        if (!SameGuid(entry.guid, guid))
            continue;
        const DWORD needed = static_cast<DWORD>(entry.bytes.size());
        if (!data || *size < needed) {
            *size = needed;
            return data ? D3DERR_MOREDATA : D3D_OK;
        }
        if (needed)
            std::memcpy(data, entry.bytes.data(), needed);
        *size = needed;
        return D3D_OK;
    }
    return D3DERR_NOTFOUND;
}

HRESULT PrivateDataStore::Free(REFGUID guid)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (SameGuid(it->guid, guid)) {
            m_entries.erase(it);
            return D3D_OK;
        }
    }
    return D3DERR_NOTFOUND;
}

// ---- reference counting

template <class Interface>
GlRefCounted<Interface>::GlRefCounted(GlDevice* device, D3DPOOL pool) : m_device(device), m_pool(pool)
{
    m_device->AddRef();
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->CountDefaultPoolResource(+1);
}

template <class Interface>
GlRefCounted<Interface>::~GlRefCounted()
{
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->CountDefaultPoolResource(-1);
    m_device->Release();
}

template <class Interface>
HRESULT GlRefCounted<Interface>::GetDevice(IDirect3DDevice8** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return D3D_OK;
}

template class GlRefCounted<IDirect3DTexture8>;
template class GlRefCounted<IDirect3DCubeTexture8>;
template class GlRefCounted<IDirect3DVertexBuffer8>;
template class GlRefCounted<IDirect3DIndexBuffer8>;

// ---- texture storage

HRESULT GlTextureStorage::Create(GLenum target, UINT width, UINT height, UINT levels, D3DFORMAT format, DWORD usage,
                                 D3DPOOL pool)
{
    m_info = GlFindFormat(format);
    if (!m_info || m_info->depth || width == 0 || height == 0 || width > 16384 || height > 16384)
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) && m_info->blockBytes)
        return D3DERR_INVALIDCALL;
    const UINT full = FullLevelCount(width, height);
    m_target = target;
    m_width = width;
    m_height = height;
    m_levels = (levels == 0 || levels > full) ? full : levels;
    m_faces = target == GL_TEXTURE_CUBE_MAP ? 6 : 1;
    m_format = format;
    m_usage = usage;
    m_pool = pool;
    GlErrorFree();
    gl.CreateTextures(target, 1, &m_name);
    gl.TextureStorage2D(m_name, static_cast<GLsizei>(m_levels), m_info->internalFormat, static_cast<GLsizei>(width),
                        static_cast<GLsizei>(height));
    if (m_info->swizzle[0])
        gl.TextureParameteriv(m_name, GL_TEXTURE_SWIZZLE_RGBA, m_info->swizzle);
    // Sampled as complete whatever the filter: the chain ends at the last level made.
    gl.TextureParameteri(m_name, GL_TEXTURE_BASE_LEVEL, 0);
    gl.TextureParameteri(m_name, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(m_levels - 1));
    if (!GlErrorFree()) {
        Destroy();
        return D3DERR_NOTAVAILABLE;
    }
    m_slices.assign(m_levels * m_faces, Slice());
    return D3D_OK;
}

void GlTextureStorage::Destroy()
{
    if (m_name)
        gl.DeleteTextures(1, &m_name);
    m_name = 0;
    m_slices.clear();
}

GlTextureStorage::Slice* GlTextureStorage::SliceAt(UINT level, UINT face)
{
    if (level >= m_levels || face >= m_faces)
        return nullptr;
    return &m_slices[level * m_faces + face];
}

HRESULT GlTextureStorage::Lock(UINT level, UINT face, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    Slice* slice = SliceAt(level, face);
    if (!slice || !locked || slice->locked)
        return D3DERR_INVALIDCALL;
    const UINT width = Width(level);
    const UINT height = Height(level);
    RECT area = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > area.right || rect->bottom > area.bottom ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        if (m_info->blockBytes && ((rect->left | rect->top) & 3))
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    const UINT pitch = FormatRowPitch(*m_info, width);
    const std::size_t bytes = FormatLevelBytes(*m_info, width, height);
    if (slice->staging.size() != bytes) {
        slice->staging.assign(bytes, 0);
        slice->stagingValid = false;
    }
    // Render targets change on the GPU: their copy is read back every time. A compressed level goes
    // up whole on unlock, so a partial lock needs the rest of it even when discarding.
    const bool gpuWritten = (m_usage & D3DUSAGE_RENDERTARGET) != 0;
    const bool partialCompressed = m_info->blockBytes && rect &&
                                   (area.left != 0 || area.top != 0 || area.right != static_cast<LONG>(width) ||
                                    area.bottom != static_cast<LONG>(height));
    const bool discard = (flags & D3DLOCK_DISCARD) && !partialCompressed;
    if (!discard && (!slice->stagingValid || gpuWritten)) {
        ReadBack(level, face, *slice);
        slice->stagingValid = true;
    }
    std::size_t offset;
    if (m_info->blockBytes)
        offset = static_cast<std::size_t>(area.top / 4) * pitch +
                 static_cast<std::size_t>(area.left / 4) * m_info->blockBytes;
    else
        offset =
            static_cast<std::size_t>(area.top) * pitch + static_cast<std::size_t>(area.left) * m_info->bytesPerPixel;
    locked->Pitch = static_cast<int>(pitch);
    locked->pBits = slice->staging.data() + offset;
    slice->locked = true;
    slice->flags = flags;
    slice->rect = area;
    return D3D_OK;
}

HRESULT GlTextureStorage::Unlock(UINT level, UINT face)
{
    Slice* slice = SliceAt(level, face);
    if (!slice || !slice->locked)
        return D3DERR_INVALIDCALL;
    slice->locked = false;
    if (!(slice->flags & D3DLOCK_READONLY)) {
        Upload(level, face, *slice);
        const bool whole = slice->rect.left == 0 && slice->rect.top == 0 &&
                           slice->rect.right == static_cast<LONG>(Width(level)) &&
                           slice->rect.bottom == static_cast<LONG>(Height(level));
        if (whole)
            slice->stagingValid = true;
    }
    // The managed and system-memory pools keep their copy (as Direct3D does), and so do dynamic
    // textures, which are locked again and again; other default-pool levels live on the GPU only.
    if (m_pool == D3DPOOL_DEFAULT && !(m_usage & D3DUSAGE_DYNAMIC)) {
        std::vector<BYTE>().swap(slice->staging);
        slice->stagingValid = false;
    }
    return D3D_OK;
}

void GlTextureStorage::Upload(UINT level, UINT face, const Slice& slice)
{
    const UINT width = Width(level);
    const UINT height = Height(level);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (m_info->blockBytes) {
        // Compressed rows of a rectangle are not contiguous: the whole level goes up.
        const GLsizei bytes = static_cast<GLsizei>(slice.staging.size());
        if (m_target == GL_TEXTURE_CUBE_MAP)
            gl.CompressedTextureSubImage3D(m_name, static_cast<GLint>(level), 0, 0, static_cast<GLint>(face),
                                           static_cast<GLsizei>(width), static_cast<GLsizei>(height), 1,
                                           m_info->internalFormat, bytes, slice.staging.data());
        else
            gl.CompressedTextureSubImage2D(m_name, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(width),
                                           static_cast<GLsizei>(height), m_info->internalFormat, bytes,
                                           slice.staging.data());
        return;
    }
    const RECT& r = slice.rect;
    const BYTE* first = slice.staging.data() + static_cast<std::size_t>(r.top) * FormatRowPitch(*m_info, width) +
                        static_cast<std::size_t>(r.left) * m_info->bytesPerPixel;
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(width));
    if (m_target == GL_TEXTURE_CUBE_MAP)
        gl.TextureSubImage3D(m_name, static_cast<GLint>(level), r.left, r.top, static_cast<GLint>(face),
                             r.right - r.left, r.bottom - r.top, 1, m_info->pixelFormat, m_info->pixelType, first);
    else
        gl.TextureSubImage2D(m_name, static_cast<GLint>(level), r.left, r.top, r.right - r.left, r.bottom - r.top,
                             m_info->pixelFormat, m_info->pixelType, first);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

void GlTextureStorage::ReadBack(UINT level, UINT face, Slice& slice)
{
    const GLsizei width = static_cast<GLsizei>(Width(level));
    const GLsizei height = static_cast<GLsizei>(Height(level));
    const GLsizei bytes = static_cast<GLsizei>(slice.staging.size());
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    if (m_info->blockBytes)
        gl.GetCompressedTextureSubImage(m_name, static_cast<GLint>(level), 0, 0, static_cast<GLint>(face), width,
                                        height, 1, bytes, slice.staging.data());
    else
        gl.GetTextureSubImage(m_name, static_cast<GLint>(level), 0, 0, static_cast<GLint>(face), width, height, 1,
                              m_info->pixelFormat, m_info->pixelType, bytes, slice.staging.data());
}

HRESULT GlTextureStorage::Describe(UINT level, D3DRESOURCETYPE type, D3DSURFACE_DESC* desc) const
{
    if (!desc || level >= m_levels)
        return D3DERR_INVALIDCALL;
    desc->Format = m_format;
    desc->Type = type;
    desc->Usage = m_usage;
    desc->Pool = m_pool;
    desc->Size = FormatLevelBytes(*m_info, Width(level), Height(level));
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = Width(level);
    desc->Height = Height(level);
    return D3D_OK;
}

DWORD GlTextureStorage::SetLOD(DWORD lod)
{
    const DWORD previous = m_lod;
    const DWORD clamped = lod < m_levels ? lod : m_levels - 1;
    if (clamped != m_lod) {
        m_lod = clamped;
        gl.TextureParameteri(m_name, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(clamped));
    }
    return previous;
}

// ---- surfaces

GlSurface::GlSurface(GlDevice* device, Kind kind, IUnknown8* container, D3DPOOL pool)
    : m_device(device), m_kind(kind), m_container(container), m_pool(pool)
{
    if (!m_container) {
        m_device->AddRef();
        if (m_pool == D3DPOOL_DEFAULT)
            m_device->CountDefaultPoolResource(+1);
    }
}

GlSurface::GlSurface(GlDevice* device, IUnknown8* container, GlTextureStorage* storage, UINT level, UINT face,
                     D3DPOOL pool)
    : GlSurface(device, Kind::TextureLevel, container, pool)
{
    m_storage = storage;
    m_level = level;
    m_face = face;
    m_format = storage->Format();
    m_width = storage->Width(level);
    m_height = storage->Height(level);
}

GlSurface::~GlSurface()
{
    if (m_kind == Kind::DepthStencil && !m_container)
        m_device->ForgetSurface(this);
    if (m_renderbuffer) {
        m_device->MakeCurrent();
        gl.DeleteRenderbuffers(1, &m_renderbuffer);
    }
    if (!m_container) {
        if (m_pool == D3DPOOL_DEFAULT)
            m_device->CountDefaultPoolResource(-1);
        m_device->Release();
    }
}

HRESULT GlSurface::CreateDepthStencil(GlDevice* device, IUnknown8* container, UINT width, UINT height, D3DFORMAT format,
                                      GlSurface** surface)
{
    const GlFormat* info = GlFindFormat(format);
    if (!info || !info->depth || width == 0 || height == 0 || !surface)
        return D3DERR_INVALIDCALL;
    device->MakeCurrent();
    GlErrorFree();
    auto* created = new GlSurface(device, Kind::DepthStencil, container, D3DPOOL_DEFAULT);
    created->m_format = format;
    created->m_width = width;
    created->m_height = height;
    gl.CreateRenderbuffers(1, &created->m_renderbuffer);
    gl.NamedRenderbufferStorage(created->m_renderbuffer, info->internalFormat, static_cast<GLsizei>(width),
                                static_cast<GLsizei>(height));
    if (!GlErrorFree()) {
        delete created;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *surface = created;
    return D3D_OK;
}

HRESULT GlSurface::CreateImage(GlDevice* device, UINT width, UINT height, D3DFORMAT format, GlSurface** surface)
{
    const GlFormat* info = GlFindFormat(format);
    if (!info || info->depth || width == 0 || height == 0 || !surface)
        return D3DERR_INVALIDCALL;
    auto* created = new GlSurface(device, Kind::Image, nullptr, D3DPOOL_SYSTEMMEM);
    created->m_format = format;
    created->m_width = width;
    created->m_height = height;
    created->m_image.assign(FormatLevelBytes(*info, width, height), 0);
    *surface = created;
    return D3D_OK;
}

ULONG GlSurface::AddRef()
{
    return m_container ? m_container->AddRef() : ++m_references;
}

ULONG GlSurface::Release()
{
    if (m_container)
        return m_container->Release();
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT GlSurface::GetDevice(IDirect3DDevice8** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return D3D_OK;
}

HRESULT GlSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    if (m_kind == Kind::TextureLevel)
        return m_storage->Describe(m_level, D3DRTYPE_SURFACE, desc);
    const GlFormat* info = GlFindFormat(m_format);
    desc->Format = m_format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = m_kind == Kind::DepthStencil ? D3DUSAGE_DEPTHSTENCIL : 0;
    desc->Pool = m_pool;
    desc->Size = info ? FormatLevelBytes(*info, m_width, m_height) : 0;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = m_width;
    desc->Height = m_height;
    return D3D_OK;
}

HRESULT GlSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    switch (m_kind) {
        case Kind::TextureLevel:
            m_device->MakeCurrent();
            m_device->BeforeStorageRead(m_storage);
            return m_storage->Lock(m_level, m_face, locked, rect, flags);
        case Kind::DepthStencil:
            return D3DERR_INVALIDCALL;
        case Kind::Image:
            break;
    }
    if (!locked || m_locked)
        return D3DERR_INVALIDCALL;
    const GlFormat& info = *GlFindFormat(m_format);
    const UINT pitch = FormatRowPitch(info, m_width);
    std::size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > static_cast<LONG>(m_width) ||
            rect->bottom > static_cast<LONG>(m_height) || rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        offset = info.blockBytes ? static_cast<std::size_t>(rect->top / 4) * pitch + (rect->left / 4) * info.blockBytes
                                 : static_cast<std::size_t>(rect->top) * pitch + rect->left * info.bytesPerPixel;
    }
    locked->Pitch = static_cast<int>(pitch);
    locked->pBits = m_image.data() + offset;
    m_locked = true;
    return D3D_OK;
}

HRESULT GlSurface::UnlockRect()
{
    switch (m_kind) {
        case Kind::TextureLevel:
            m_device->MakeCurrent();
            return m_storage->Unlock(m_level, m_face);
        case Kind::DepthStencil:
            return D3DERR_INVALIDCALL;
        case Kind::Image:
            break;
    }
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    return D3D_OK;
}

bool GlSurface::IsRenderTarget() const
{
    return m_kind == Kind::TextureLevel && (m_storage->Usage() & D3DUSAGE_RENDERTARGET);
}

// ---- textures

HRESULT GlTexture::Create(GlDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, GlTexture** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    device->MakeCurrent();
    auto* created = new GlTexture(device, pool);
    const HRESULT result = created->m_storage.Create(GL_TEXTURE_2D, width, height, levels, format, usage, pool);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    created->m_surfaces.assign(created->m_storage.Levels(), nullptr);
    *texture = created;
    return D3D_OK;
}

GlTexture::~GlTexture()
{
    m_device->ForgetTexture(this, &m_storage);
    for (GlSurface* surface : m_surfaces) {
        if (surface)
            surface->DestroyOwned();
    }
    m_device->MakeCurrent();
    m_storage.Destroy();
}

HRESULT GlTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    return m_storage.Describe(level, D3DRTYPE_SURFACE, desc);
}

HRESULT GlTexture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface)
{
    if (!surface || level >= m_storage.Levels())
        return D3DERR_INVALIDCALL;
    if (!m_surfaces[level])
        m_surfaces[level] = new GlSurface(m_device, this, &m_storage, level, 0, m_pool);
    m_surfaces[level]->AddRef();
    *surface = m_surfaces[level];
    return D3D_OK;
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    m_device->MakeCurrent();
    return m_storage.Lock(level, 0, locked, rect, flags);
}

HRESULT GlTexture::UnlockRect(UINT level)
{
    m_device->MakeCurrent();
    const HRESULT result = m_storage.Unlock(level, 0);
    if (SUCCEEDED(result))
        ++m_device->Counts().uploads;
    return result;
}

HRESULT GlCubeTexture::Create(GlDevice* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              GlCubeTexture** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    device->MakeCurrent();
    auto* created = new GlCubeTexture(device, pool);
    const HRESULT result = created->m_storage.Create(GL_TEXTURE_CUBE_MAP, edge, edge, levels, format, usage, pool);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    created->m_surfaces.assign(created->m_storage.Levels() * 6, nullptr);
    *texture = created;
    return D3D_OK;
}

GlCubeTexture::~GlCubeTexture()
{
    m_device->ForgetTexture(this, &m_storage);
    for (GlSurface* surface : m_surfaces) {
        if (surface)
            surface->DestroyOwned();
    }
    m_device->MakeCurrent();
    m_storage.Destroy();
}

HRESULT GlCubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    return m_storage.Describe(level, D3DRTYPE_SURFACE, desc);
}

HRESULT GlCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface)
{
    if (!surface || level >= m_storage.Levels() || face > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    GlSurface*& slot = m_surfaces[level * 6 + face];
    if (!slot)
        slot = new GlSurface(m_device, this, &m_storage, level, face, m_pool);
    slot->AddRef();
    *surface = slot;
    return D3D_OK;
}

HRESULT GlCubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                DWORD flags)
{
    m_device->MakeCurrent();
    return m_storage.Lock(level, face, locked, rect, flags);
}

HRESULT GlCubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level)
{
    m_device->MakeCurrent();
    const HRESULT result = m_storage.Unlock(level, face);
    if (SUCCEEDED(result))
        ++m_device->Counts().uploads;
    return result;
}

GlTextureStorage* TextureStorageOf(IDirect3DBaseTexture8* texture)
{
    if (!texture)
        return nullptr;
    switch (texture->GetType()) {
        case D3DRTYPE_TEXTURE:
            return &static_cast<GlTexture*>(static_cast<IDirect3DTexture8*>(texture))->Storage();
        case D3DRTYPE_CUBETEXTURE:
            return &static_cast<GlCubeTexture*>(static_cast<IDirect3DCubeTexture8*>(texture))->Storage();
        default:
            return nullptr;
    }
}

// ---- buffers

HRESULT GlBufferStorage::Create(UINT length, DWORD usage)
{
    if (length == 0)
        return D3DERR_INVALIDCALL;
    GlErrorFree();
    gl.CreateBuffers(1, &m_name);
    gl.NamedBufferStorage(m_name, length, nullptr, GL_MAP_WRITE_BIT | GL_MAP_READ_BIT | GL_DYNAMIC_STORAGE_BIT);
    if (!GlErrorFree()) {
        Destroy();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    m_length = length;
    m_usage = usage;
    return D3D_OK;
}

void GlBufferStorage::Destroy()
{
    if (m_locked)
        gl.UnmapNamedBuffer(m_name);
    m_locked = false;
    if (m_name)
        gl.DeleteBuffers(1, &m_name);
    m_name = 0;
}

HRESULT GlBufferStorage::Lock(UINT offset, UINT size, BYTE** data, DWORD flags)
{
    if (!data || m_locked || offset >= m_length)
        return D3DERR_INVALIDCALL;
    if (size == 0)
        size = m_length - offset;
    if (static_cast<std::uint64_t>(offset) + size > m_length)
        return D3DERR_INVALIDCALL;
    GLbitfield access;
    if (flags & D3DLOCK_READONLY) {
        access = GL_MAP_READ_BIT;
    } else {
        access = GL_MAP_WRITE_BIT;
        if (flags & D3DLOCK_DISCARD)
            access |= GL_MAP_INVALIDATE_BUFFER_BIT;  // fresh storage: no wait for draws still reading
        else if (flags & D3DLOCK_NOOVERWRITE)
            access |= GL_MAP_UNSYNCHRONIZED_BIT;  // the caller promises not to touch what draws read
        else if (!(m_usage & D3DUSAGE_WRITEONLY))
            access |= GL_MAP_READ_BIT;
    }
    void* mapped = gl.MapNamedBufferRange(m_name, offset, size, access);
    if (!mapped)
        return D3DERR_INVALIDCALL;
    *data = static_cast<BYTE*>(mapped);
    m_locked = true;
    lastLockOffset = offset;
    lastLockSize = size;
    lastLockFlags = flags;
    ++lockCount;
    return D3D_OK;
}

HRESULT GlBufferStorage::Unlock()
{
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    gl.UnmapNamedBuffer(m_name);
    return D3D_OK;
}

namespace {

// A buffer unlocked after a lock for writing sent the locked range.
void CountBufferUpload(GlDevice* device, const GlBufferStorage& storage, HRESULT unlocked)
{
    if (FAILED(unlocked) || (storage.lastLockFlags & D3DLOCK_READONLY))
        return;
    ++device->Counts().uploads;
    device->Counts().uploadBytes += storage.lastLockSize;
}

}  // namespace

HRESULT GlVertexBuffer::Create(GlDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               GlVertexBuffer** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    device->MakeCurrent();
    auto* created = new GlVertexBuffer(device, pool);
    const HRESULT result = created->m_storage.Create(length, usage);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    created->m_fvf = fvf;
    *buffer = created;
    return D3D_OK;
}

GlVertexBuffer::~GlVertexBuffer()
{
    m_device->ForgetVertexBuffer(this);
    m_device->MakeCurrent();
    m_storage.Destroy();
}

HRESULT GlVertexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags)
{
    m_device->MakeCurrent();
    return m_storage.Lock(offset, size, data, flags);
}

HRESULT GlVertexBuffer::Unlock()
{
    m_device->MakeCurrent();
    const HRESULT result = m_storage.Unlock();
    CountBufferUpload(m_device, m_storage, result);
    return result;
}

HRESULT GlVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = D3DFMT_VERTEXDATA;
    desc->Type = D3DRTYPE_VERTEXBUFFER;
    desc->Usage = m_storage.Usage();
    desc->Pool = m_pool;
    desc->Size = m_storage.Length();
    desc->FVF = m_fvf;
    return D3D_OK;
}

HRESULT GlIndexBuffer::Create(GlDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              GlIndexBuffer** buffer)
{
    if (!buffer || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    device->MakeCurrent();
    auto* created = new GlIndexBuffer(device, pool);
    const HRESULT result = created->m_storage.Create(length, usage);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    created->m_format = format;
    *buffer = created;
    return D3D_OK;
}

GlIndexBuffer::~GlIndexBuffer()
{
    m_device->ForgetIndexBuffer(this);
    m_device->MakeCurrent();
    m_storage.Destroy();
}

HRESULT GlIndexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags)
{
    m_device->MakeCurrent();
    return m_storage.Lock(offset, size, data, flags);
}

HRESULT GlIndexBuffer::Unlock()
{
    m_device->MakeCurrent();
    const HRESULT result = m_storage.Unlock();
    CountBufferUpload(m_device, m_storage, result);
    return result;
}

HRESULT GlIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = m_format;
    desc->Type = D3DRTYPE_INDEXBUFFER;
    desc->Usage = m_storage.Usage();
    desc->Pool = m_pool;
    desc->Size = m_storage.Length();
    return D3D_OK;
}
