// The device's resources over OpenGL: textures (2D and cube) with their level surfaces, depth-stencil
// and system-memory surfaces, vertex and index buffers. Internal to the device layer.
#pragma once
#include <vector>

#include "platform/d3d8.h"
#include "platform/gl/d3d8_formats.h"
#include "platform/gl/d3d8_gl.h"

class GlDevice;

// Private data entries (GUID -> bytes), copied in and out whole.
class PrivateDataStore {
public:
    HRESULT Set(REFGUID guid, const void* data, DWORD size);
    HRESULT Get(REFGUID guid, void* data, DWORD* size) const;
    HRESULT Free(REFGUID guid);

private:
    struct Entry {
        GUID guid;
        std::vector<BYTE> bytes;
    };
    std::vector<Entry> m_entries;
};

// Reference count and device link shared by every resource: a resource keeps its device alive,
// and a default-pool resource is counted by the device (Reset refuses while any is alive).
template <class Interface>
class GlRefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    GlDevice* Device() const { return m_device; }
    D3DPOOL Pool() const { return m_pool; }

protected:
    GlRefCounted(GlDevice* device, D3DPOOL pool);
    ~GlRefCounted() override;

    GlDevice* m_device;
    D3DPOOL m_pool;
    ULONG m_references = 1;
};

template <class Interface>
class GlResource : public GlRefCounted<Interface> {
public:
    HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD size, DWORD) override
    {
        return m_privateData.Set(guid, data, size);
    }
    HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* size) override
    {
        return m_privateData.Get(guid, data, size);
    }
    HRESULT FreePrivateData(REFGUID guid) override { return m_privateData.Free(guid); }

protected:
    using GlRefCounted<Interface>::GlRefCounted;

private:
    PrivateDataStore m_privateData;
};

// The GL texture behind a 2D texture, a cube texture or the back buffer, with Direct3D's levels,
// a CPU copy per locked level, and the lock protocol.
class GlTextureStorage {
public:
    GlTextureStorage() = default;
    GlTextureStorage(const GlTextureStorage&) = delete;
    GlTextureStorage& operator=(const GlTextureStorage&) = delete;
    ~GlTextureStorage() { Destroy(); }

    // levels 0 makes the full chain. The owning device's context must be current.
    HRESULT Create(GLenum target, UINT width, UINT height, UINT levels, D3DFORMAT format, DWORD usage, D3DPOOL pool);
    void Destroy();

    HRESULT Lock(UINT level, UINT face, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT Unlock(UINT level, UINT face);
    HRESULT Describe(UINT level, D3DRESOURCETYPE type, D3DSURFACE_DESC* desc) const;
    DWORD SetLOD(DWORD lod);
    DWORD GetLOD() const { return m_lod; }
    // Trades everything with the other storage (GL texture, levels, format, CPU copies).
    void Swap(GlTextureStorage& other);

    GLuint Name() const { return m_name; }
    GLenum Target() const { return m_target; }
    UINT Width(UINT level = 0) const { return LevelExtent(m_width, level); }
    UINT Height(UINT level = 0) const { return LevelExtent(m_height, level); }
    UINT Levels() const { return m_levels; }
    UINT Faces() const { return m_faces; }
    D3DFORMAT Format() const { return m_format; }
    DWORD Usage() const { return m_usage; }
    const GlFormat& Info() const { return *m_info; }

private:
    struct Slice {
        std::vector<BYTE> staging;  // the level as Direct3D lays it out, kept once made
        bool locked = false;
        bool stagingValid = false;
        DWORD flags = 0;
        RECT rect = {};
    };
    Slice* SliceAt(UINT level, UINT face);
    void Upload(UINT level, UINT face, const Slice& slice);
    void ReadBack(UINT level, UINT face, Slice& slice);

    GLuint m_name = 0;
    GLenum m_target = GL_TEXTURE_2D;
    UINT m_width = 0, m_height = 0, m_levels = 0, m_faces = 1;
    D3DFORMAT m_format = D3DFMT_UNKNOWN;
    DWORD m_usage = 0;
    D3DPOOL m_pool = D3DPOOL_MANAGED;
    const GlFormat* m_info = nullptr;
    DWORD m_lod = 0;
    std::vector<Slice> m_slices;  // level * faces + face
};

// A surface: a level (and face) of a texture or the back buffer, a depth-stencil buffer, or a
// plain system-memory image. Level surfaces share their container's reference count.
class GlSurface final : public IDirect3DSurface8 {
public:
    enum class Kind { TextureLevel, DepthStencil, Image };

    // A level of a texture owned by container (a texture or the device).
    GlSurface(GlDevice* device, IUnknown8* container, GlTextureStorage* storage, UINT level, UINT face, D3DPOOL pool);
    // A standalone depth-stencil renderbuffer (holds its own reference and one to the device).
    static HRESULT CreateDepthStencil(GlDevice* device, IUnknown8* container, UINT width, UINT height, D3DFORMAT format,
                                      GlSurface** surface);
    static HRESULT CreateImage(GlDevice* device, UINT width, UINT height, D3DFORMAT format, GlSurface** surface);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    Kind SurfaceKind() const { return m_kind; }
    GlTextureStorage* Storage() const { return m_storage; }
    UINT Level() const { return m_level; }
    UINT Face() const { return m_face; }
    GLuint Renderbuffer() const { return m_renderbuffer; }
    D3DFORMAT Format() const { return m_format; }
    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }
    bool IsRenderTarget() const;
    // Only the device deletes a surface it owns whole (its automatic depth buffer).
    void DestroyOwned() { delete this; }
    // A level surface whose container's storage changed: takes the device and the level's
    // description anew.
    void FollowStorage(GlDevice* device, D3DPOOL pool);

private:
    GlSurface(GlDevice* device, Kind kind, IUnknown8* container, D3DPOOL pool);
    ~GlSurface();

    GlDevice* m_device;
    Kind m_kind;
    IUnknown8* m_container;  // null: the surface counts its own references
    D3DPOOL m_pool;
    ULONG m_references = 1;
    GlTextureStorage* m_storage = nullptr;
    UINT m_level = 0, m_face = 0;
    GLuint m_renderbuffer = 0;
    D3DFORMAT m_format = D3DFMT_UNKNOWN;
    UINT m_width = 0, m_height = 0;
    std::vector<BYTE> m_image;  // Image surfaces
    bool m_locked = false;
};

class GlTexture final : public GlResource<IDirect3DTexture8> {
public:
    static HRESULT Create(GlDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, GlTexture** texture);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD lod) override { return m_storage.SetLOD(lod); }
    DWORD GetLOD() override { return m_storage.GetLOD(); }
    DWORD GetLevelCount() override { return m_storage.Levels(); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    GlTextureStorage& Storage() { return m_storage; }
    // Trades contents and device with the other texture; each keeps its identity (references,
    // private data, level surfaces).
    void ExchangeContents(GlTexture& other);

private:
    GlTexture(GlDevice* device, D3DPOOL pool) : GlResource(device, pool) {}
    ~GlTexture() override;
    GlTextureStorage m_storage;
    std::vector<GlSurface*> m_surfaces;
};

class GlCubeTexture final : public GlResource<IDirect3DCubeTexture8> {
public:
    static HRESULT Create(GlDevice* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          GlCubeTexture** texture);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD SetLOD(DWORD lod) override { return m_storage.SetLOD(lod); }
    DWORD GetLOD() override { return m_storage.GetLOD(); }
    DWORD GetLevelCount() override { return m_storage.Levels(); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** surface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
    GlTextureStorage& Storage() { return m_storage; }

private:
    GlCubeTexture(GlDevice* device, D3DPOOL pool) : GlResource(device, pool) {}
    ~GlCubeTexture() override;
    GlTextureStorage m_storage;
    std::vector<GlSurface*> m_surfaces;  // level * 6 + face
};

// The texture storage behind a bound texture, or null.
GlTextureStorage* TextureStorageOf(IDirect3DBaseTexture8* texture);

// A GL buffer with Direct3D's lock protocol: write-only, discard and no-overwrite locks map to
// invalidating and unsynchronised mappings.
class GlBufferStorage {
public:
    HRESULT Create(UINT length, DWORD usage);
    void Destroy();
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT Unlock();
    GLuint Name() const { return m_name; }
    UINT Length() const { return m_length; }
    DWORD Usage() const { return m_usage; }
    bool IsLocked() const { return m_locked; }
    UINT lastLockOffset = 0, lastLockSize = 0;
    DWORD lastLockFlags = 0;
    UINT lockCount = 0;

private:
    GLuint m_name = 0;
    UINT m_length = 0;
    DWORD m_usage = 0;
    bool m_locked = false;
};

class GlVertexBuffer final : public GlResource<IDirect3DVertexBuffer8> {
public:
    static HRESULT Create(GlDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, GlVertexBuffer** buffer);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    GlBufferStorage& Storage() { return m_storage; }
    const GlBufferStorage& Storage() const { return m_storage; }

private:
    GlVertexBuffer(GlDevice* device, D3DPOOL pool) : GlResource(device, pool) {}
    ~GlVertexBuffer() override;
    GlBufferStorage m_storage;
    DWORD m_fvf = 0;
};

class GlIndexBuffer final : public GlResource<IDirect3DIndexBuffer8> {
public:
    static HRESULT Create(GlDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          GlIndexBuffer** buffer);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
    GlBufferStorage& Storage() { return m_storage; }
    const GlBufferStorage& Storage() const { return m_storage; }
    D3DFORMAT Format() const { return m_format; }

private:
    GlIndexBuffer(GlDevice* device, D3DPOOL pool) : GlResource(device, pool) {}
    ~GlIndexBuffer() override;
    GlBufferStorage m_storage;
    D3DFORMAT m_format = D3DFMT_INDEX16;
};
