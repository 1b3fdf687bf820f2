// The device's life: context and framebuffer creation, Reset, Present, scenes, Clear, render
// targets and resource creation.
#include "platform/gl/d3d8_device.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

namespace {

// The device whose context is current; device calls switch contexts only when it changes.
GlDevice* g_currentDevice = nullptr;

float ColourChannel(D3DCOLOR colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

bool IsBackBufferFormat(D3DFORMAT format)
{
    switch (format) {
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8R8G8B8:
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            return true;
        default:
            return false;
    }
}

}  // namespace

HRESULT GlDevice::Create(IDirect3D8* direct3d, SDL_Window* window, DWORD behaviour,
                         const D3DPRESENT_PARAMETERS& parameters, GlDevice** device)
{
    auto* created = new GlDevice(direct3d, window, behaviour);
    if (!created->InitialiseContext() || !created->CreateFramebuffer(parameters)) {
        created->Release();
        return D3DERR_NOTAVAILABLE;
    }
    created->ApplyPresentationToWindow();
    created->ResetState();
    *device = created;
    return D3D_OK;
}

GlDevice::GlDevice(IDirect3D8* direct3d, SDL_Window* window, DWORD behaviour)
    : m_direct3d(direct3d), m_window(window), m_behaviour(behaviour)
{
    m_direct3d->AddRef();
}

GlDevice::~GlDevice()
{
    if (m_context) {
        MakeCurrent();
        DestroyFramebuffer();
        m_programs.Clear();
        for (const auto& entry : m_shaderPrograms) {
            if (entry.second)
                gl.DeleteProgram(entry.second);
        }
        if (m_shaderConstantBuffer)
            gl.DeleteBuffers(1, &m_shaderConstantBuffer);
        if (m_timerQueriesMade)
            gl.DeleteQueries(GPU_TIMER_SLOTS, m_timerQueries);
        if (m_sampleQueriesMade) {
            if (m_samplesOpen) {
                gl.EndQuery(GL_SAMPLES_PASSED);
                if (m_countsShaded)
                    gl.EndQuery(GL_FRAGMENT_SHADER_INVOCATIONS);
            }
            gl.DeleteQueries(GPU_TIMER_SLOTS, m_sampleQueries);
            gl.DeleteQueries(GPU_TIMER_SLOTS, m_shadedQueries);
        }
        if (m_targetFramebuffer)
            gl.DeleteFramebuffers(1, &m_targetFramebuffer);
        if (m_vertexArray)
            gl.DeleteVertexArrays(1, &m_vertexArray);
        if (m_uniformBuffer)
            gl.DeleteBuffers(1, &m_uniformBuffer);
        if (m_transientBuffer)
            gl.DeleteBuffers(1, &m_transientBuffer);
        if (m_samplers[0])
            gl.DeleteSamplers(D3DMAX_TEXTURE_STAGES, m_samplers);
        SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_DeleteContext(m_context);
    }
    if (g_currentDevice == this)
        g_currentDevice = nullptr;
    m_direct3d->Release();
}

ULONG GlDevice::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

void GlDevice::MakeCurrent()
{
    if (g_currentDevice != this && m_context) {
        SDL_GL_MakeCurrent(m_window, m_context);
        g_currentDevice = this;
    }
}

bool GlDevice::InitialiseContext()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    m_context = SDL_GL_CreateContext(m_window);
    if (!m_context) {
        // Everything is drawn by generated programs, so a core context serves as well.
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        m_context = SDL_GL_CreateContext(m_window);
    }
    if (!m_context) {
        char line[512];
        std::snprintf(line, sizeof line, "Cannot create an OpenGL 4.5 context: %s\n", SDL_GetError());
        OutputDebugStringA(line);
        return false;
    }
    g_currentDevice = this;
    const char* missing = nullptr;
    if (!GlLoadFunctions(&missing)) {
        char line[256];
        std::snprintf(line, sizeof line, "OpenGL entry point missing: %s\n", missing ? missing : "?");
        OutputDebugStringA(line);
        return false;
    }
    GLint major = 0, minor = 0;
    gl.GetIntegerv(GL_MAJOR_VERSION, &major);
    gl.GetIntegerv(GL_MINOR_VERSION, &minor);
    if (major * 10 + minor < 45) {
        OutputDebugStringA("OpenGL 4.5 is needed for the render device\n");
        return false;
    }
    GlRecordDriver(reinterpret_cast<const char*>(gl.GetString(GL_RENDERER)),
                   reinterpret_cast<const char*>(gl.GetString(GL_VERSION)));
    while (gl.GetError() != GL_NO_ERROR) {
    }
    gl.GetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &m_maxAnisotropy);
    if (gl.GetError() != GL_NO_ERROR)
        m_maxAnisotropy = 0.0f;

    // Direct3D's conventions: depth 0..1, and normalised y = +1 on row 0, the top of every image.
    gl.ClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    gl.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);  // flat shading takes the first vertex
    gl.CreateVertexArrays(1, &m_vertexArray);
    gl.BindVertexArray(m_vertexArray);
    gl.CreateBuffers(1, &m_uniformBuffer);
    gl.NamedBufferStorage(m_uniformBuffer, sizeof(FixedFunctionUniforms), nullptr, GL_DYNAMIC_STORAGE_BIT);
    gl.BindBufferBase(GL_UNIFORM_BUFFER, 0, m_uniformBuffer);
    gl.CreateBuffers(1, &m_shaderConstantBuffer);
    gl.NamedBufferStorage(m_shaderConstantBuffer, sizeof(ShaderConstantBlock), nullptr, GL_DYNAMIC_STORAGE_BIT);
    gl.BindBufferBase(GL_UNIFORM_BUFFER, 1, m_shaderConstantBuffer);
    gl.CreateSamplers(D3DMAX_TEXTURE_STAGES, m_samplers);
    for (UINT stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage)
        gl.BindSampler(stage, m_samplers[stage]);
    gl.CreateBuffers(1, &m_transientBuffer);
    gl.NamedBufferStorage(m_transientBuffer, kTransientBytes, nullptr, GL_MAP_WRITE_BIT);
    gl.CreateFramebuffers(1, &m_targetFramebuffer);
    gl.Enable(GL_SCISSOR_TEST);  // the viewport rectangle, always
    m_gl.scissorTest = true;
    if (gl.GetError() != GL_NO_ERROR)
        return false;
    VerifyShaderTranslator();
    return true;
}

bool GlDevice::CreateFramebuffer(const D3DPRESENT_PARAMETERS& requested)
{
    D3DPRESENT_PARAMETERS parameters = requested;
    if (parameters.BackBufferFormat == D3DFMT_UNKNOWN && parameters.Windowed)
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (!IsBackBufferFormat(parameters.BackBufferFormat))
        return false;
    if (parameters.Windowed && (parameters.BackBufferWidth == 0 || parameters.BackBufferHeight == 0)) {
        int width = 0, height = 0;
        SDL_GetWindowSize(m_window, &width, &height);
        if (parameters.BackBufferWidth == 0)
            parameters.BackBufferWidth = static_cast<UINT>(width > 0 ? width : 1);
        if (parameters.BackBufferHeight == 0)
            parameters.BackBufferHeight = static_cast<UINT>(height > 0 ? height : 1);
    }
    if (parameters.BackBufferCount == 0)
        parameters.BackBufferCount = 1;
    if (FAILED(m_backBuffer.Create(GL_TEXTURE_2D, parameters.BackBufferWidth, parameters.BackBufferHeight, 1,
                                   parameters.BackBufferFormat, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT)))
        return false;
    m_backBufferSurface = new GlSurface(this, this, &m_backBuffer, 0, 0, D3DPOOL_DEFAULT);
    if (parameters.EnableAutoDepthStencil &&
        FAILED(GlSurface::CreateDepthStencil(this, this, parameters.BackBufferWidth, parameters.BackBufferHeight,
                                             parameters.AutoDepthStencilFormat, &m_autoDepthStencil)))
        return false;
    // The presented frame is kept apart in a twin of the back buffer, which Present trades with it.
    if (FAILED(m_frontBuffer.Create(GL_TEXTURE_2D, parameters.BackBufferWidth, parameters.BackBufferHeight, 1,
                                    parameters.BackBufferFormat, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT)))
        return false;
    for (auto [framebuffer, texture] :
         {std::pair{&m_backFramebuffer, m_backBuffer.Name()}, std::pair{&m_frontFramebuffer, m_frontBuffer.Name()}}) {
        gl.CreateFramebuffers(1, framebuffer);
        gl.NamedFramebufferTexture(*framebuffer, GL_COLOR_ATTACHMENT0, texture, 0);
        if (m_autoDepthStencil) {
            const GLenum attachment =
                FormatHasStencil(m_autoDepthStencil->Format()) ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
            gl.NamedFramebufferRenderbuffer(*framebuffer, attachment, GL_RENDERBUFFER,
                                            m_autoDepthStencil->Renderbuffer());
        }
        if (gl.CheckNamedFramebufferStatus(*framebuffer, GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return false;
    }
    m_framePresented = false;
    m_backBufferStale = false;
    m_parameters = parameters;
    m_renderTarget = m_backBufferSurface;
    m_depthStencil = m_autoDepthStencil;
    m_currentFramebuffer = m_backFramebuffer;
    m_dirty |= kDirtyFramebuffer;
    return true;
}

void GlDevice::DestroyFramebuffer()
{
    if (m_backFramebuffer)
        gl.DeleteFramebuffers(1, &m_backFramebuffer);
    m_backFramebuffer = 0;
    if (m_frontFramebuffer)
        gl.DeleteFramebuffers(1, &m_frontFramebuffer);
    m_frontFramebuffer = 0;
    m_frontBuffer.Destroy();
    m_boundFramebuffer = ~0u;
    if (m_backBufferSurface)
        m_backBufferSurface->DestroyOwned();
    m_backBufferSurface = nullptr;
    if (m_autoDepthStencil)
        m_autoDepthStencil->DestroyOwned();
    m_autoDepthStencil = nullptr;
    m_backBuffer.Destroy();
    m_renderTarget = nullptr;
    m_depthStencil = nullptr;
}

void GlDevice::ApplyPresentationToWindow()
{
    if (!m_parameters.Windowed) {
        SDL_DisplayMode mode = {};
        mode.w = static_cast<int>(m_parameters.BackBufferWidth);
        mode.h = static_cast<int>(m_parameters.BackBufferHeight);
        mode.refresh_rate = static_cast<int>(m_parameters.FullScreen_RefreshRateInHz);
        SDL_SetWindowDisplayMode(m_window, &mode);
        SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN);
    } else {
        SDL_SetWindowFullscreen(m_window, 0);
    }
    // The default interval, as interval one, shows each frame at the display's next refresh, windowed
    // or not: Present waits for it (the swap interval), so an idle menu does not draw frames nobody
    // sees. Only "immediate" presents at once. A display without a refresh (a virtual one) may let
    // the swap go at once all the same.
    const UINT interval = m_parameters.FullScreen_PresentationInterval;
    const bool waitForRetrace = interval == D3DPRESENT_INTERVAL_ONE || interval == D3DPRESENT_INTERVAL_DEFAULT;
    m_swapInterval = waitForRetrace ? 1 : 0;
    SDL_GL_SetSwapInterval(m_swapInterval);
}

// ---- cooperative level, reset, present

HRESULT GlDevice::TestCooperativeLevel()
{
    return m_cooperativeLevel;
}

HRESULT GlDevice::Reset(D3DPRESENT_PARAMETERS* parameters)
{
    ++m_counts.reset;
    if (!parameters)
        return D3DERR_INVALIDCALL;
    if (m_injectedReset != D3D_OK) {
        const HRESULT injected = m_injectedReset;
        m_injectedReset = D3D_OK;
        return injected;
    }
    if (m_cooperativeLevel == D3DERR_DEVICELOST)
        return D3DERR_DEVICELOST;
    if (m_liveDefaultPool > 0) {
        // Direct3D refuses too: a default-pool resource still alive here is a leak.
        char line[128];
        std::snprintf(line, sizeof line, "Reset refused: %u default-pool resources are still alive\n",
                      m_liveDefaultPool);
        OutputDebugStringA(line);
        return D3DERR_INVALIDCALL;
    }
    MakeCurrent();
    DestroyFramebuffer();
    if (!CreateFramebuffer(*parameters)) {
        m_cooperativeLevel = D3DERR_DEVICENOTRESET;
        return D3DERR_NOTAVAILABLE;
    }
    *parameters = m_parameters;
    ApplyPresentationToWindow();
    ResetState();
    m_inScene = false;
    m_cooperativeLevel = D3D_OK;
    return D3D_OK;
}

HRESULT GlDevice::Present(const RECT*, const RECT*, HWND, const void*)
{
    ++m_counts.present;
    if (m_cooperativeLevel != D3D_OK)
        return D3DERR_DEVICELOST;
    MakeCurrent();
    // Nothing drawn since the last Present: the same frame again.
    RestoreBackBuffer();
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(m_window, &drawableWidth, &drawableHeight);
    const GLint width = static_cast<GLint>(m_backBuffer.Width());
    const GLint height = static_cast<GLint>(m_backBuffer.Height());
    GlEnable(GL_SCISSOR_TEST, false);
    GlColorMask(true, true, true, true);
    // Setting a viewport on the window's framebuffer makes software GL drivers pick up a window
    // size that changed since the context was made.
    GlBindFramebuffer(0);
    gl.Viewport(0, 0, drawableWidth, drawableHeight);
    m_gl.viewport[0] = m_gl.viewport[1] = 0;
    m_gl.viewport[2] = drawableWidth;
    m_gl.viewport[3] = drawableHeight;
    // The window's framebuffer has its first row at the bottom: the copy turns the image over once.
    gl.BlitNamedFramebuffer(m_backFramebuffer, 0, 0, 0, width, height, 0, drawableHeight, drawableWidth, 0,
                            GL_COLOR_BUFFER_BIT,
                            (width == drawableWidth && height == drawableHeight) ? GL_NEAREST : GL_LINEAR);
    // The frame just shown becomes the front buffer; drawing goes on in the other texture under the
    // same back buffer surface, which gets this frame back at its first use that does not clear it.
    m_backBuffer.Swap(m_frontBuffer);
    std::swap(m_backFramebuffer, m_frontFramebuffer);
    if (m_currentFramebuffer == m_frontFramebuffer)
        m_currentFramebuffer = m_backFramebuffer;
    else if (m_renderTarget == m_backBufferSurface && m_currentFramebuffer == m_targetFramebuffer)
        gl.NamedFramebufferTexture(m_targetFramebuffer, GL_COLOR_ATTACHMENT0, m_backBuffer.Name(), 0);
    m_backBufferStale = true;
    m_framePresented = true;
    SDL_GL_SwapWindow(m_window);
    m_dirty |= kDirtyViewport | kDirtyRaster | kDirtyFramebuffer;
    return D3D_OK;
}

void GlDevice::RestoreBackBuffer()
{
    if (!m_backBufferStale)
        return;
    m_backBufferStale = false;
    MakeCurrent();
    // The two textures share their format: a plain copy, which no draw state (scissor, masks) touches.
    gl.CopyImageSubData(m_frontBuffer.Name(), GL_TEXTURE_2D, 0, 0, 0, 0, m_backBuffer.Name(), GL_TEXTURE_2D, 0, 0, 0, 0,
                        static_cast<GLsizei>(m_backBuffer.Width()), static_cast<GLsizei>(m_backBuffer.Height()), 1);
}

void GlDevice::BeforeStorageRead(const GlTextureStorage* storage)
{
    if (storage == &m_backBuffer)
        RestoreBackBuffer();
}

HRESULT GlDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface)
{
    if (!surface || index != 0 || !m_backBufferSurface)
        return D3DERR_INVALIDCALL;
    m_backBufferSurface->AddRef();
    *surface = m_backBufferSurface;
    return D3D_OK;
}

HRESULT GlDevice::GetFrontBuffer(IDirect3DSurface8* destination)
{
    // An A8R8G8B8 system-memory image receives the presented frame: at its top left in full screen,
    // at the window's place on the screen when windowed (the image stands for the whole desktop).
    auto* image = static_cast<GlSurface*>(destination);
    if (!image || image->SurfaceKind() != GlSurface::Kind::Image || image->Format() != D3DFMT_A8R8G8B8)
        return D3DERR_INVALIDCALL;
    if (m_cooperativeLevel != D3D_OK)
        return D3DERR_DEVICELOST;
    int left = 0, top = 0;
    if (m_parameters.Windowed)
        SDL_GetWindowPosition(m_window, &left, &top);
    const int frameWidth = static_cast<int>(m_frontBuffer.Width());
    const int frameHeight = static_cast<int>(m_frontBuffer.Height());
    const int imageWidth = static_cast<int>(image->Width()), imageHeight = static_cast<int>(image->Height());
    // The part of the frame that lands on the image.
    const int x0 = left < 0 ? -left : 0, y0 = top < 0 ? -top : 0;
    const int x1 = frameWidth < imageWidth - left ? frameWidth : imageWidth - left;
    const int y1 = frameHeight < imageHeight - top ? frameHeight : imageHeight - top;
    D3DLOCKED_RECT locked;
    if (FAILED(image->LockRect(&locked, nullptr, 0)))
        return D3DERR_INVALIDCALL;
    if (x1 > x0 && y1 > y0) {
        const int width = x1 - x0, height = y1 - y0;
        std::vector<DWORD> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
        if (m_framePresented) {
            MakeCurrent();
            gl.GetTextureSubImage(m_frontBuffer.Name(), 0, x0, y0, 0, width, height, 1, GL_BGRA,
                                  GL_UNSIGNED_INT_8_8_8_8_REV, static_cast<GLsizei>(rows.size() * sizeof(DWORD)),
                                  rows.data());
        }
        for (int y = 0; y < height; ++y) {
            auto* out = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) +
                                                 static_cast<std::size_t>(top + y0 + y) * locked.Pitch) +
                        (left + x0);
            const DWORD* in = rows.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x)
                out[x] = in[x] | 0xFF000000u;  // the screen has no alpha: it reads opaque
        }
    }
    image->UnlockRect();
    return D3D_OK;
}

HRESULT GlDevice::GetDirect3D(IDirect3D8** direct3d)
{
    if (!direct3d)
        return D3DERR_INVALIDCALL;
    m_direct3d->AddRef();
    *direct3d = m_direct3d;
    return D3D_OK;
}

HRESULT GlDevice::GetDeviceCaps(D3DCAPS8* caps)
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    return m_direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, caps);
}

HRESULT GlDevice::GetDisplayMode(D3DDISPLAYMODE* mode)
{
    if (!mode)
        return D3DERR_INVALIDCALL;
    mode->Width = m_parameters.BackBufferWidth;
    mode->Height = m_parameters.BackBufferHeight;
    mode->RefreshRate = m_parameters.FullScreen_RefreshRateInHz;
    mode->Format = m_parameters.BackBufferFormat;
    return D3D_OK;
}

HRESULT GlDevice::ResourceManagerDiscardBytes(DWORD)
{
    return D3D_OK;
}

// ---- scenes and clearing

HRESULT GlDevice::BeginScene()
{
    ++m_counts.beginScene;
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT GlDevice::EndScene()
{
    ++m_counts.endScene;
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil)
{
    ++m_counts.clear;
    if (!flags || (count && !rects))
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    // Only what the clear leaves of the back buffer needs the presented frame back.
    if (m_renderTarget == m_backBufferSurface && m_backBufferStale) {
        const bool whole = count == 0 && m_viewport.X == 0 && m_viewport.Y == 0 &&
                           m_viewport.Width >= m_backBuffer.Width() && m_viewport.Height >= m_backBuffer.Height();
        if ((flags & D3DCLEAR_TARGET) && whole)
            m_backBufferStale = false;
        else if (flags & D3DCLEAR_TARGET)
            RestoreBackBuffer();
    }
    GlBindFramebuffer(m_currentFramebuffer);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        gl.ClearColor(ColourChannel(colour, 16), ColourChannel(colour, 8), ColourChannel(colour, 0),
                      ColourChannel(colour, 24));
        GlColorMask(true, true, true, true);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        gl.ClearDepthf(z < 0.0f ? 0.0f : (z > 1.0f ? 1.0f : z));
        GlDepthMask(true);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_STENCIL) {
        gl.ClearStencil(static_cast<GLint>(stencil));
        GlStencilMask(~0u);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    // Only the viewport is cleared (and within it only the given rectangles).
    const LONG left = static_cast<LONG>(m_viewport.X), top = static_cast<LONG>(m_viewport.Y);
    const LONG right = left + static_cast<LONG>(m_viewport.Width), bottom = top + static_cast<LONG>(m_viewport.Height);
    GlEnable(GL_SCISSOR_TEST, true);
    if (count == 0) {
        GlScissor(left, top, right - left, bottom - top);
        gl.Clear(mask);
    } else {
        for (DWORD i = 0; i < count; ++i) {
            const LONG x1 = rects[i].x1 > left ? rects[i].x1 : left;
            const LONG y1 = rects[i].y1 > top ? rects[i].y1 : top;
            const LONG x2 = rects[i].x2 < right ? rects[i].x2 : right;
            const LONG y2 = rects[i].y2 < bottom ? rects[i].y2 : bottom;
            if (x2 <= x1 || y2 <= y1)
                continue;
            GlScissor(x1, y1, x2 - x1, y2 - y1);
            gl.Clear(mask);
        }
    }
    m_dirty |= kDirtyRaster | kDirtyDepthStencil | kDirtyViewport;
    return D3D_OK;
}

// ---- render targets

void GlDevice::SetTargets(GlSurface* colour, GlSurface* depth)
{
    m_renderTarget = colour;
    m_depthStencil = depth;
    if (colour == m_backBufferSurface && depth == m_autoDepthStencil) {
        m_currentFramebuffer = m_backFramebuffer;
    } else {
        GlTextureStorage* storage = colour->Storage();
        if (storage->Target() == GL_TEXTURE_CUBE_MAP)
            gl.NamedFramebufferTextureLayer(m_targetFramebuffer, GL_COLOR_ATTACHMENT0, storage->Name(),
                                            static_cast<GLint>(colour->Level()), static_cast<GLint>(colour->Face()));
        else
            gl.NamedFramebufferTexture(m_targetFramebuffer, GL_COLOR_ATTACHMENT0, storage->Name(),
                                       static_cast<GLint>(colour->Level()));
        gl.NamedFramebufferRenderbuffer(m_targetFramebuffer, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
        if (depth) {
            const GLenum attachment =
                FormatHasStencil(depth->Format()) ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
            gl.NamedFramebufferRenderbuffer(m_targetFramebuffer, attachment, GL_RENDERBUFFER, depth->Renderbuffer());
        }
        m_currentFramebuffer = m_targetFramebuffer;
    }
    // A new target gets a viewport over all of it.
    m_viewport = {0, 0, colour->Width(), colour->Height(), 0.0f, 1.0f};
    m_uniforms.screen[0] = 2.0f / static_cast<float>(colour->Width());
    m_uniforms.screen[1] = 2.0f / static_cast<float>(colour->Height());
    MarkUniforms(m_uniforms.screen, sizeof m_uniforms.screen);
    UpdatePixelCentre();
    m_dirty |= kDirtyFramebuffer | kDirtyViewport;
}

HRESULT GlDevice::SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* depthStencil)
{
    auto* colour = renderTarget ? static_cast<GlSurface*>(renderTarget) : m_renderTarget;
    auto* depth = static_cast<GlSurface*>(depthStencil);
    if (!colour || (colour != m_backBufferSurface && !colour->IsRenderTarget()))
        return D3DERR_INVALIDCALL;
    if (depth && depth->SurfaceKind() != GlSurface::Kind::DepthStencil)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    SetTargets(colour, depth);
    return D3D_OK;
}

HRESULT GlDevice::GetRenderTarget(IDirect3DSurface8** renderTarget)
{
    if (!renderTarget || !m_renderTarget)
        return D3DERR_INVALIDCALL;
    m_renderTarget->AddRef();
    *renderTarget = m_renderTarget;
    return D3D_OK;
}

HRESULT GlDevice::GetDepthStencilSurface(IDirect3DSurface8** depthStencil)
{
    if (!depthStencil)
        return D3DERR_INVALIDCALL;
    *depthStencil = m_depthStencil;
    if (!m_depthStencil)
        return D3DERR_NOTFOUND;
    m_depthStencil->AddRef();
    return D3D_OK;
}

void GlDevice::ForgetTexture(IDirect3DBaseTexture8* texture, const GlTextureStorage* storage)
{
    for (UINT stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        if (m_textures[stage] == texture) {
            m_textures[stage] = nullptr;
            m_textureKinds[stage] = kTextureNone;
            m_dirtyTextureStages |= 1u << stage;
            m_dirty |= kDirtyTextures | kDirtyProgram;
        }
    }
    if (m_renderTarget && m_renderTarget->Storage() == storage) {
        MakeCurrent();
        SetTargets(m_backBufferSurface, m_autoDepthStencil);
    }
}

void GlDevice::ForgetSurface(const GlSurface* surface)
{
    if (m_depthStencil == surface && m_renderTarget) {
        MakeCurrent();
        SetTargets(m_renderTarget, nullptr);
    }
}

void GlDevice::ForgetVertexBuffer(const GlVertexBuffer* buffer)
{
    if (m_stream == buffer) {
        m_stream = nullptr;
        m_dirty |= kDirtyVertexInput;
    }
}

void GlDevice::ForgetIndexBuffer(const GlIndexBuffer* buffer)
{
    if (m_indices == buffer)
        m_indices = nullptr;
    if (m_boundElementBuffer == buffer->Storage().Name())
        m_boundElementBuffer = ~0u;
}

// ---- resource creation

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture)
{
    if (!texture || ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT))
        return D3DERR_INVALIDCALL;
    GlTexture* created = nullptr;
    const HRESULT result = GlTexture::Create(this, width, height, levels, usage, format, pool, &created);
    *texture = created;
    return result;
}

HRESULT GlDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DCubeTexture8** texture)
{
    if (!texture || ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT))
        return D3DERR_INVALIDCALL;
    GlCubeTexture* created = nullptr;
    const HRESULT result = GlCubeTexture::Create(this, edge, levels, usage, format, pool, &created);
    *texture = created;
    return result;
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer8** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    GlVertexBuffer* created = nullptr;
    const HRESULT result = GlVertexBuffer::Create(this, length, usage, fvf, pool, &created);
    *buffer = created;
    return result;
}

HRESULT GlDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    GlIndexBuffer* created = nullptr;
    const HRESULT result = GlIndexBuffer::Create(this, length, usage, format, pool, &created);
    *buffer = created;
    return result;
}

HRESULT GlDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE,
                                            IDirect3DSurface8** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    GlSurface* created = nullptr;
    const HRESULT result = GlSurface::CreateDepthStencil(this, nullptr, width, height, format, &created);
    *surface = created;
    return result;
}

HRESULT GlDevice::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    GlSurface* created = nullptr;
    const HRESULT result = GlSurface::CreateImage(this, width, height, format, &created);
    *surface = created;
    return result;
}
