// The Direct3D object: the adapter (its identifier and display modes from SDL and the GL driver),
// its capabilities, and device creation, with the test hooks that act at this level.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gl/d3d8_device.h"
#include "platform/gl/d3d8_formats.h"
#include "platform/sdl/sdl_window.h"

namespace {

struct AdapterHooks {
    std::vector<D3DFORMAT> failingDepthFormats;
    std::vector<D3D8CreateAttempt> attempts;
    bool modesOverridden = false;
    std::vector<D3DDISPLAYMODE> modes;
    bool shaderVersionsSet = false;  // otherwise the versions the translator supports, once it works
    DWORD vertexShaderVersion = 0;
    DWORD pixelShaderVersion = 0;
    char renderer[256] = "";
    char version[256] = "";
};

AdapterHooks& Hooks()
{
    static AdapterHooks hooks;
    return hooks;
}

D3DFORMAT FormatOfSdlMode(const SDL_DisplayMode& mode)
{
    switch (SDL_BITSPERPIXEL(mode.format)) {
        case 15:
            return D3DFMT_X1R5G5B5;
        case 16:
            return D3DFMT_R5G6B5;
        default:
            return D3DFMT_X8R8G8B8;
    }
}

std::vector<D3DDISPLAYMODE> AdapterModes()
{
    if (Hooks().modesOverridden)
        return Hooks().modes;
    std::vector<D3DDISPLAYMODE> modes;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        modes.push_back({static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), static_cast<UINT>(mode.refresh_rate),
                         FormatOfSdlMode(mode)});
    }
    return modes;
}

class GlDirect3D final : public IDirect3D8 {
public:
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) override
    {
        if (adapter != 0 || !identifier)
            return D3DERR_INVALIDCALL;
        std::memset(identifier, 0, sizeof *identifier);
        const AdapterHooks& hooks = Hooks();
        std::snprintf(identifier->Driver, sizeof identifier->Driver, "OpenGL");
        std::snprintf(identifier->Description, sizeof identifier->Description, "%s",
                      hooks.renderer[0] ? hooks.renderer : "OpenGL renderer");
        // The first four numbers of the GL version text: GL major and minor, then the driver's own.
        unsigned parts[4] = {0, 0, 0, 0};
        int found = 0;
        for (const char* p = hooks.version; *p && found < 4;) {
            if (*p >= '0' && *p <= '9') {
                char* end = nullptr;
                parts[found++] = static_cast<unsigned>(std::strtoul(p, &end, 10)) & 0xFFFF;
                p = end;
            } else {
                ++p;
            }
        }
        identifier->DriverVersionHighPart = static_cast<std::int32_t>((parts[0] << 16) | parts[1]);
        identifier->DriverVersionLowPart = (parts[2] << 16) | parts[3];
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT adapter) override
    {
        return adapter == 0 ? static_cast<UINT>(AdapterModes().size()) : 0;
    }

    HRESULT EnumAdapterModes(UINT adapter, UINT index, D3DDISPLAYMODE* mode) override
    {
        const std::vector<D3DDISPLAYMODE> modes = AdapterModes();
        if (adapter != 0 || !mode || index >= modes.size())
            return D3DERR_INVALIDCALL;
        *mode = modes[index];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override
    {
        if (adapter != 0 || !mode)
            return D3DERR_INVALIDCALL;
        SDL_DisplayMode desktop;
        if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetDesktopDisplayMode(0, &desktop) != 0)
            return D3DERR_NOTAVAILABLE;
        *mode = {static_cast<UINT>(desktop.w), static_cast<UINT>(desktop.h), static_cast<UINT>(desktop.refresh_rate),
                 FormatOfSdlMode(desktop)};
        return D3D_OK;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override
    {
        if (adapter != 0 || !caps)
            return D3DERR_INVALIDCALL;
        std::memset(caps, 0, sizeof *caps);
        caps->DeviceType = type;
        caps->MaxTextureWidth = caps->MaxTextureHeight = 8192;
        caps->MaxTextureBlendStages = caps->MaxSimultaneousTextures = D3DMAX_TEXTURE_STAGES;
        caps->MaxActiveLights = 8;
        caps->MaxUserClipPlanes = 6;
        caps->MaxPrimitiveCount = 0xFFFFFF;
        caps->MaxVertexIndex = 0xFFFFFF;
        caps->MaxStreams = 1;
        caps->MaxPointSize = 64.0f;
        caps->MaxAnisotropy = 16;
        if (Hooks().shaderVersionsSet) {
            caps->VertexShaderVersion = Hooks().vertexShaderVersion;
            caps->PixelShaderVersion = Hooks().pixelShaderVersion;
        } else if (GlShaderTranslatorWorks()) {
            caps->VertexShaderVersion = D3DVS_VERSION(1, 1);
            caps->PixelShaderVersion = D3DPS_VERSION(1, 4);
        }
        caps->MaxVertexShaderConst = caps->VertexShaderVersion ? 96 : 0;
        caps->MaxPixelShaderValue = 1.0f;
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE, HWND focusWindow, DWORD behaviour, D3DPRESENT_PARAMETERS* parameters,
                         IDirect3DDevice8** device) override
    {
        const HRESULT result = TryCreateDevice(adapter, focusWindow, behaviour, parameters, device);
        if (parameters)
            Hooks().attempts.push_back({parameters->BackBufferFormat, parameters->AutoDepthStencilFormat, behaviour,
                                        parameters->FullScreen_RefreshRateInHz, parameters->Windowed, result});
        return result;
    }

private:
    ~GlDirect3D() override = default;

    HRESULT TryCreateDevice(UINT adapter, HWND focusWindow, DWORD behaviour, D3DPRESENT_PARAMETERS* parameters,
                            IDirect3DDevice8** device)
    {
        if (!parameters || !device || adapter != 0)
            return D3DERR_INVALIDCALL;
        *device = nullptr;
        for (D3DFORMAT failing : Hooks().failingDepthFormats) {
            if (parameters->EnableAutoDepthStencil && parameters->AutoDepthStencilFormat == failing)
                return D3DERR_NOTAVAILABLE;
        }
        if (parameters->EnableAutoDepthStencil && !FormatIsDepth(parameters->AutoDepthStencilFormat))
            return D3DERR_INVALIDCALL;
        SDL_Window* window = PlatformSdlWindow(parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow);
        if (!window)
            return D3DERR_INVALIDCALL;
        GlDevice* created = nullptr;
        const HRESULT result = GlDevice::Create(this, window, behaviour, *parameters, &created);
        if (SUCCEEDED(result))
            *device = created;
        return result;
    }

    ULONG m_references = 1;
};

}  // namespace

IDirect3D8* Direct3DCreate8(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new GlDirect3D();
}

void GlRecordDriver(const char* renderer, const char* version)
{
    std::snprintf(Hooks().renderer, sizeof Hooks().renderer, "%s", renderer ? renderer : "");
    std::snprintf(Hooks().version, sizeof Hooks().version, "%s", version ? version : "");
}

void D3D8TestFailDepthFormats(const D3DFORMAT* formats, int count)
{
    Hooks().failingDepthFormats.assign(formats, formats + (count > 0 ? count : 0));
}

int D3D8TestCreateAttempts(const D3D8CreateAttempt** attempts)
{
    if (attempts)
        *attempts = Hooks().attempts.data();
    return static_cast<int>(Hooks().attempts.size());
}

void D3D8TestClearCreateAttempts()
{
    Hooks().attempts.clear();
}

void D3D8TestSetAdapterModes(const D3DDISPLAYMODE* modes, int count)
{
    Hooks().modesOverridden = count >= 0;
    Hooks().modes.assign(modes, modes + (count > 0 ? count : 0));
}

void D3D8TestSetShaderVersions(DWORD vertexShaderVersion, DWORD pixelShaderVersion)
{
    Hooks().shaderVersionsSet = true;
    Hooks().vertexShaderVersion = vertexShaderVersion;
    Hooks().pixelShaderVersion = pixelShaderVersion;
}

void D3D8TestClearShaderVersions()
{
    Hooks().shaderVersionsSet = false;
    Hooks().vertexShaderVersion = Hooks().pixelShaderVersion = 0;
}
