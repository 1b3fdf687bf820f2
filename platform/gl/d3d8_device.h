// The Direct3D 8 device over an OpenGL 4.5 context on the program's SDL window. Internal to the
// device layer; the engine sees IDirect3DDevice8.
//
// Every frame renders into an off-screen framebuffer with the requested depth-stencil format and
// Present copies it to the window, so row 0 is the top of the image in targets and read-backs.
// Direct3D state is recorded as it is set and turned into GL state and a generated program
// (cached by state key) when a draw needs it.
#pragma once
#include <SDL2/SDL_video.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/d3d8.h"
#include "platform/d3d8_draw_ranges.h"
#include "platform/gl/d3d8_fixed_function.h"
#include "platform/gl/d3d8_gl.h"
#include "platform/gl/d3d8_resources.h"
#include "platform/gl/d3d8_shader_program.h"
#include "platform/d3d8_test_hooks.h"
#include "platform/gpu_timer.h"
#include "platform/gl/d3d8_vertex_format.h"

// Keeps the GL renderer and version texts for the adapter identifier.
void GlRecordDriver(const char* renderer, const char* version);
// True once a device has run the shader translator end to end (assembly to linked program); the
// capabilities report shader versions only then.
bool GlShaderTranslatorWorks();

// A created shader. The serial number never repeats, so programs linked from a deleted shader are
// never mistaken for those of a later one that reuses its handle.
struct GlVertexShader {
    std::uint32_t serial;
    VertexDeclaration declaration;
    ShaderFunction function;
};
struct GlPixelShader {
    std::uint32_t serial;
    ShaderFunction function;
};

// What selects a program while a shader is in use: the shaders, the texture kinds and projection
// of the stages the pixel shader reads, and the normalised fixed-function key of the other side.
struct ShaderProgramKey {
    std::uint32_t vertexSerial = 0;  // 0: the fixed-function vertex stage
    std::uint32_t pixelSerial = 0;   // 0: the texture-stage pipeline
    std::uint32_t textureKinds = 0;  // 2 bits per stage
    std::uint32_t projectedBy = 0;   // 3 bits per stage
    FixedFunctionKey fixed;
    bool operator==(const ShaderProgramKey&) const = default;
};
struct ShaderProgramKeyHash {
    std::size_t operator()(const ShaderProgramKey& key) const;
};

class GlDevice final : public IDirect3DDevice8 {
public:
    static HRESULT Create(IDirect3D8* direct3d, SDL_Window* window, DWORD behaviour,
                          const D3DPRESENT_PARAMETERS& parameters, GlDevice** device);

    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override;

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDirect3D(IDirect3D8** direct3d) override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
    HRESULT ResourceManagerDiscardBytes(DWORD bytes) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND overrideWindow,
                    const void* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) override;
    HRESULT GetFrontBuffer(IDirect3DSurface8* destination) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** buffer) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8** buffer) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      IDirect3DSurface8** surface) override;
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override;

    HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* depthStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** renderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** depthStencil) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetClipPlane(DWORD index, const float* plane) override;

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;

    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT GetVertexShader(DWORD* handle) override;
    HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD usage) override;
    HRESULT DeleteVertexShader(DWORD handle) override;
    HRESULT SetVertexShaderConstant(DWORD firstRegister, const void* data, DWORD count) override;
    HRESULT GetVertexShaderConstant(DWORD firstRegister, void* data, DWORD count) override;
    HRESULT CreatePixelShader(const DWORD* function, DWORD* handle) override;
    HRESULT DeletePixelShader(DWORD handle) override;
    HRESULT SetPixelShader(DWORD handle) override;
    HRESULT GetPixelShader(DWORD* handle) override;
    HRESULT SetPixelShaderConstant(DWORD firstRegister, const void* data, DWORD count) override;
    HRESULT GetPixelShaderConstant(DWORD firstRegister, void* data, DWORD count) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                 UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                                   const void* indices, D3DFORMAT indexFormat, const void* vertices,
                                   UINT stride) override;

    // platform/d3d8_draw_ranges.h
    HRESULT DrawIndexedRanges(D3DPRIMITIVETYPE type, const D3D8IndexedRange* ranges, UINT count);

    // For the resources and the test hooks.
    void MakeCurrent();
    void CountDefaultPoolResource(int change) { m_liveDefaultPool += change; }
    UINT LiveDefaultPoolResources() const { return m_liveDefaultPool; }
    int SwapInterval() const { return m_swapInterval; }
    D3D8CallCounts& Counts() { return m_counts; }
    void InjectCooperativeLevel(HRESULT level) { m_cooperativeLevel = level; }
    void InjectResetResult(HRESULT result) { m_injectedReset = result; }
    std::size_t ProgramCount() const { return m_programs.Count(); }
    std::size_t ShaderProgramCount() const { return m_shaderPrograms.size(); }
    // Bindings do not hold references (resources hold the device): a resource that goes away is
    // unbound here first.
    void ForgetTexture(IDirect3DBaseTexture8* texture, const GlTextureStorage* storage);
    // The texture's GL texture changed: stages that hold it bind it again.
    void RebindTexture(IDirect3DBaseTexture8* texture);
    void ForgetSurface(const GlSurface* surface);
    // A lock of the storage is about to read it: the back buffer gets the presented frame back first.
    void BeforeStorageRead(const GlTextureStorage* storage);
    void ForgetVertexBuffer(const GlVertexBuffer* buffer);
    void ForgetIndexBuffer(const GlIndexBuffer* buffer);
    // The test hook called at every draw (null: none).
    void SetDrawObserver(D3D8DrawObserver observer, void* context)
    {
        m_drawObserver = observer;
        m_drawObserverContext = context;
    }
    // GPU time stamps (platform/gpu_timer.h).
    bool TimerMark(UINT slot);
    bool TimerElapsed(UINT from, UINT to, double* milliseconds);
    void Finish();
    bool SamplesBegin(UINT slot);
    void SamplesEnd();
    bool SamplesResult(UINT slot, std::uint64_t* samples, std::uint64_t* shaded);

private:
    void ObserveDraw(D3DPRIMITIVETYPE type, UINT start, UINT primitiveCount)
    {
        if (m_drawObserver)
            m_drawObserver(this, type, start, primitiveCount, m_drawObserverContext);
    }

    GlDevice(IDirect3D8* direct3d, SDL_Window* window, DWORD behaviour);
    ~GlDevice() override;

    bool InitialiseContext();
    bool CreateFramebuffer(const D3DPRESENT_PARAMETERS& parameters);
    void DestroyFramebuffer();
    void ApplyPresentationToWindow();
    void ResetState();
    // The dirty groups a render state feeds.
    static std::uint32_t RenderStateEffect(DWORD state);
    void SetTargets(GlSurface* colour, GlSurface* depth);
    // The back buffer gets the presented frame back when it holds the frame before it.
    void RestoreBackBuffer();

    // Draw-time translation of the recorded state.
    bool PrepareDraw();
    void ApplyProgram();
    void ApplyShaderProgram();
    GLuint LinkShaderProgram(const ShaderProgramKey& key);
    void DeleteShaderPrograms(std::uint32_t serial);
    void ConfigureDeclarationInputs();
    void MarkShaderConstants(const void* first, std::size_t bytes);
    void UpdateBumpConstants(DWORD stage);
    // Runs the shader translator once per process on this context (GlShaderTranslatorWorks).
    void VerifyShaderTranslator();
    void UploadShaderConstants();
    GlVertexShader* FindVertexShader(DWORD handle);
    GlPixelShader* FindPixelShader(DWORD handle);
    void ApplyBlend();
    void ApplyDepthStencil();
    void ApplyRaster();
    void ApplyViewport();
    void ApplyVertexInput();
    void ApplyTextures();
    void ApplySamplers();
    void UpdateMatrices();
    void UpdateLights();
    void UpdateClipPlanes();
    void UpdatePixelCentre();
    void ApplyClipDistances(std::uint32_t planes);
    void UploadUniforms();
    void MarkUniforms(const void* first, std::size_t bytes);
    GLuint UploadTransient(const void* data, UINT bytes, UINT alignment, UINT* offset);
    // Called after each draw sent to GL with its primitives: see kFlushPrimitives.
    void Submitted(std::uint64_t primitives);

    // GL state setters that skip calls repeating the current GL value.
    void GlEnable(GLenum capability, bool on);
    void GlScissor(GLint x, GLint y, GLsizei width, GLsizei height);
    void GlColorMask(bool r, bool g, bool b, bool a);
    void GlDepthMask(bool on);
    void GlStencilMask(GLuint mask);
    void GlBindFramebuffer(GLuint framebuffer);

    ULONG m_references = 1;
    IDirect3D8* m_direct3d;
    SDL_Window* m_window;
    SDL_GLContext m_context = nullptr;
    DWORD m_behaviour;
    D3DPRESENT_PARAMETERS m_parameters = {};
    HRESULT m_cooperativeLevel = D3D_OK;
    HRESULT m_injectedReset = D3D_OK;
    UINT m_liveDefaultPool = 0;
    bool m_inScene = false;
    D3D8CallCounts m_counts = {};
    D3D8DrawObserver m_drawObserver = nullptr;
    void* m_drawObserverContext = nullptr;
    // Time-stamp queries, made at the first mark; a slot counts as marked once its query was issued.
    GLuint m_timerQueries[GPU_TIMER_SLOTS] = {};
    bool m_timerMarked[GPU_TIMER_SLOTS] = {};
    bool m_timerQueriesMade = false;
    // Sample-count queries, made at the first begin.
    GLuint m_sampleQueries[GPU_TIMER_SLOTS] = {};
    GLuint m_shadedQueries[GPU_TIMER_SLOTS] = {};
    bool m_countsShaded = false;
    bool m_samplesCounted[GPU_TIMER_SLOTS] = {};
    bool m_sampleQueriesMade = false;
    bool m_samplesOpen = false;
    UINT m_samplesSlot = 0;

    // The back buffer and its automatic depth-stencil buffer, and the framebuffers drawn into.
    GlTextureStorage m_backBuffer;
    GlSurface* m_backBufferSurface = nullptr;
    GlSurface* m_autoDepthStencil = nullptr;
    GLuint m_backFramebuffer = 0;
    GLuint m_targetFramebuffer = 0;
    GLuint m_currentFramebuffer = 0;  // the framebuffer of the current targets
    GLuint m_boundFramebuffer = ~0u;  // the framebuffer bound in the context
    GlSurface* m_renderTarget = nullptr;
    GlSurface* m_depthStencil = nullptr;  // may be null
    // The last presented frame (GetFrontBuffer reads it). Present trades it with the back buffer, so
    // the back buffer then holds the frame before; the first use of the back buffer that does not
    // clear all of it copies the presented frame back (RestoreBackBuffer). The back buffer thus keeps
    // the last frame as it always did, and a frame that starts with a full clear copies nothing.
    // Both framebuffers hold the automatic depth-stencil buffer, so that they trade as well.
    GlTextureStorage m_frontBuffer;
    GLuint m_frontFramebuffer = 0;
    bool m_framePresented = false;
    // The swap interval the presentation interval asked for: 1 waits for the refresh, 0 does not.
    int m_swapInterval = 0;
    bool m_backBufferStale = false;  // the back buffer holds the frame before the presented one

    // Recorded Direct3D state.
    DWORD m_renderStates[D3DRS_COUNT] = {};
    DWORD m_stageStates[D3DMAX_TEXTURE_STAGES][D3DTSS_COUNT] = {};
    D3DMATRIX m_world = {}, m_view = {}, m_projection = {};
    bool m_affineProjection = true;  // the projection's fourth column is (0, 0, 0, 1)
    D3DMATRIX m_textureMatrices[D3DMAX_TEXTURE_STAGES] = {};
    D3DVIEWPORT8 m_viewport = {};
    D3DMATERIAL8 m_material = {};
    static constexpr DWORD kLightCount = 8;
    D3DLIGHT8 m_lights[kLightCount] = {};
    bool m_lightEnabled[kLightCount] = {};
    float m_clipPlanes[6][4] = {};
    IDirect3DBaseTexture8* m_textures[D3DMAX_TEXTURE_STAGES] = {};
    BYTE m_textureKinds[D3DMAX_TEXTURE_STAGES] = {};
    DWORD m_vertexShader = 0;                        // the flexible vertex format or the vertex shader handle in use
    GlVertexShader* m_vertexShaderRecord = nullptr;  // null while a vertex format is in use
    DWORD m_pixelShader = 0;
    GlPixelShader* m_pixelShaderRecord = nullptr;
    FvfLayout m_layout;
    GlVertexBuffer* m_stream = nullptr;
    UINT m_streamStride = 0;
    GlIndexBuffer* m_indices = nullptr;
    UINT m_baseVertexIndex = 0;

    // What of the recorded state the GL side has not seen yet.
    enum Dirty : std::uint32_t {
        kDirtyProgram = 1u << 0,
        kDirtyBlend = 1u << 1,
        kDirtyDepthStencil = 1u << 2,
        kDirtyRaster = 1u << 3,
        kDirtyViewport = 1u << 4,
        kDirtyVertexInput = 1u << 5,
        kDirtyTextures = 1u << 6,
        kDirtySamplers = 1u << 7,
        kDirtyMatrices = 1u << 8,
        kDirtyLights = 1u << 9,
        kDirtyUniforms = 1u << 10,
        kDirtyFramebuffer = 1u << 11,
        kDirtyShaderConstants = 1u << 12,
        kDirtyClipPlanes = 1u << 13,
        kDirtyAll = 0x3FFFu,
    };
    std::uint32_t m_dirty = kDirtyAll;
    std::uint32_t m_dirtySamplerStages = 0xFF;
    std::uint32_t m_dirtyTextureStages = 0xFF;

    // GL objects and values.
    GLuint m_vertexArray = 0;
    GLuint m_uniformBuffer = 0;
    GLuint m_samplers[D3DMAX_TEXTURE_STAGES] = {};
    static constexpr UINT kTransientBytes = 4u << 20;  // the ring that draws from memory copy into
    GLuint m_transientBuffer = 0;
    UINT m_transientOffset = 0;
    GLuint m_program = 0;
    FixedFunctionKey m_programKey;
    bool m_programKeyValid = false;
    DWORD m_configuredFvf = ~0u;       // the vertex format the vertex array is set up for
    GLuint m_boundVertexBuffer = ~0u;  // buffer, offset and stride bound to the vertex array
    GLintptr m_boundVertexOffset = 0;
    GLsizei m_boundVertexStride = 0;
    GLuint m_boundElementBuffer = ~0u;
    // A software rasteriser bins the draws of a frame and rasterises them only at a flush: flushing
    // after this many primitives lets its threads rasterise what is binned while the next draws are
    // binned, instead of all at the frame's end. A GPU takes a flush as a no-op hint.
    static constexpr std::uint64_t kFlushPrimitives = 40000;
    std::uint64_t m_primitivesSinceFlush = 0;
    // The arrays of a ranged draw, kept so that a run of them does not allocate.
    std::vector<GLsizei> m_rangeCounts;
    std::vector<const void*> m_rangeOffsets;
    std::vector<GLint> m_rangeBases;
    float m_maxAnisotropy = 0.0f;  // 0 when the driver has no anisotropic filtering
    FixedFunctionPrograms m_programs;
    FixedFunctionUniforms m_uniforms = {};
    std::size_t m_uniformDirtyFirst = 0, m_uniformDirtyEnd = 0;

    // Shaders: tables indexed by handle, the programs linked for them and their constants.
    std::vector<std::unique_ptr<GlVertexShader>> m_vertexShaders;
    std::vector<std::unique_ptr<GlPixelShader>> m_pixelShaders;
    std::unordered_map<ShaderProgramKey, GLuint, ShaderProgramKeyHash> m_shaderPrograms;
    ShaderProgramKey m_shaderKey;
    bool m_shaderKeyValid = false;
    GLuint m_shaderConstantBuffer = 0;
    ShaderConstantBlock m_shaderConstants = {};
    std::size_t m_shaderConstantsDirtyFirst = 0, m_shaderConstantsDirtyEnd = 0;

    struct GlShadow {
        bool blend = false, depthTest = false, stencilTest = false, cullFace = false, scissorTest = false;
        bool polygonOffset = false;
        GLenum blendSource = GL_ONE, blendDestination = GL_ZERO, blendEquation = GL_FUNC_ADD;
        GLenum depthFunc = GL_LESS;
        bool depthMask = true;
        GLenum stencilFunc = GL_ALWAYS;
        GLint stencilRef = 0;
        GLuint stencilValueMask = ~0u, stencilWriteMask = ~0u;
        GLenum stencilFail = GL_KEEP, stencilDepthFail = GL_KEEP, stencilPass = GL_KEEP;
        GLenum frontFace = GL_CCW, cullFaceMode = GL_BACK, polygonMode = GL_FILL;
        bool colorMask[4] = {true, true, true, true};
        float polygonOffsetUnits = 0.0f, pointSize = 1.0f;
        GLint viewport[4] = {-1, -1, -1, -1};
        float depthRange[2] = {-1.0f, -1.0f};
        GLint scissor[4] = {-1, -1, -1, -1};
        std::uint32_t clipDistances = 0;  // GL_CLIP_DISTANCE0 + i enabled for bit i
    } m_gl;
};
