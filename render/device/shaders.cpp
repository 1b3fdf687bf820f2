#include "render/device/shaders.h"

#include <cmath>
#include <string>

#include "core/assert.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/files/vfs.h"
#include "platform/d3dx8_math.h"
#include "platform/d3dx8_shader.h"
#include "render/camera.h"
#include "render/device/render_clock.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"

ShaderSet g_shaderSet;

namespace {

// Every vertex shader reads one stream: three floats into v0.
const DWORD kWaterDeclaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_END()};

void ReleaseBuffer(ID3DXBuffer*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

// The assembled code of "component\_common\" + name, or null.
ID3DXBuffer* AssembleShaderFile(const EngineString& name)
{
    const std::string path = std::string("component\\_common\\") + name.Text();
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    if (SUCCEEDED(D3DXAssembleShaderFromFileA(path.c_str(), 0, nullptr, &code, &errors))) {
        ReleaseBuffer(errors);
        return code;
    }
    ReleaseBuffer(errors);
    // Not on disk (or not assembled from there): the archives.
    u32_t size = 0;
    char* text = VFSLoadFile(path.c_str(), &size);
    if (!text)
        return nullptr;
    const HRESULT result = D3DXAssembleShader(text, size, 0, nullptr, &code, &errors);
    delete[] text;
    if (FAILED(result)) {
        const char* message = errors ? static_cast<const char*>(errors->GetBufferPointer()) : "";
        Log("Shader error: %s\n", message);
        code = nullptr;
    }
    ReleaseBuffer(errors);
    return code;
}

void SetPixelConstant(IDirect3DDevice8* device, DWORD reg, float x, float y, float z, float w)
{
    const float value[4] = {x, y, z, w};
    g_shaderSet.result = device->SetPixelShaderConstant(reg, value, 1);
}

void SetPixelConstant(IDirect3DDevice8* device, DWORD reg, const float* colour)
{
    g_shaderSet.result = device->SetPixelShaderConstant(reg, colour, 1);
}

void SetVertexConstant(IDirect3DDevice8* device, DWORD reg, float x, float y, float z, float w)
{
    const float value[4] = {x, y, z, w};
    g_shaderSet.result = device->SetVertexShaderConstant(reg, value, 1);
}

}  // namespace

void ShaderLoadWaterSet()
{
    for (int slot = 0; slot < kShaderSlots; ++slot) {
        g_shaderSet.pixel[slot] = 0;
        g_shaderSet.vertex[slot] = 0;
    }
    ShaderLoadPair(0, EngineString("water.ps"), EngineString("water.vs"));
    ShaderLoadPair(1, EngineString("water1.ps"), EngineString("water1.vs"));
}

void ShaderLoadPair(int slot, const EngineString& pixelFile, const EngineString& vertexFile)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device || slot < 0 || slot >= kShaderSlots)
        return;
    if (ID3DXBuffer* code = AssembleShaderFile(pixelFile)) {
        g_shaderSet.result =
            device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &g_shaderSet.pixel[slot]);
        code->Release();
    }
    if (ID3DXBuffer* code = AssembleShaderFile(vertexFile)) {
        if (g_render.shaders) {
            const HRESULT res = device->CreateVertexShader(
                kWaterDeclaration, static_cast<const DWORD*>(code->GetBufferPointer()), &g_shaderSet.vertex[slot], 0);
            g_shaderSet.result = res;
            if (res != D3D_OK)
                AssertionFailed("res == D3D_OK", "shader", __LINE__);
        }
        code->Release();
    }
}

void ShaderReleasePair(int slot)
{
    if (slot < 0 || slot >= kShaderSlots)
        return;
    IDirect3DDevice8* device = g_render.device;
    if (g_shaderSet.pixel[slot] && device)
        g_shaderSet.result = device->DeletePixelShader(g_shaderSet.pixel[slot]);
    if (g_shaderSet.vertex[slot] && device)
        g_shaderSet.result = device->DeleteVertexShader(g_shaderSet.vertex[slot]);
    g_shaderSet.pixel[slot] = 0;
    g_shaderSet.vertex[slot] = 0;
}

void ShaderReleaseAll()
{
    for (int slot = 0; slot < kShaderSlots; ++slot)
        ShaderReleasePair(slot);
}

void ShaderBindWater(int slot)
{
    IDirect3DDevice8* device = g_render.device;
    if ((slot != 0 && slot != 1) || !device)
        return;
    if (const DWORD pixel = g_shaderSet.pixel[slot]) {
        g_shaderSet.result = device->SetPixelShader(pixel);
        const float normalScale = rf_waternorm.Float();
        if (slot == 0) {
            const Vector3 sun = mvsundir.Vector();
            SetPixelConstant(device, 0, rc_watercol.Colour());
            SetPixelConstant(device, 1, sun.x, sun.y, sun.z, normalScale);
            SetPixelConstant(device, 2, mcmapambient.Colour());
            SetPixelConstant(device, 3, mcmapdiffuse.Colour());
            SetPixelConstant(device, 4, 50.0f, 2.0f, 0.0f, 0.0f);
        } else {
            SetPixelConstant(device, 0, rc_uwatercol.Colour());
            SetPixelConstant(device, 1, 50.0f, 2.0f, 0.0f, normalScale);
        }
    }
    if (const DWORD vertex = g_shaderSet.vertex[slot]) {
        g_shaderSet.result = device->SetVertexShader(vertex);
        D3DXMATRIX world, view, projection, product;
        device->GetTransform(D3DTS_WORLD, &world);
        device->GetTransform(D3DTS_VIEW, &view);
        device->GetTransform(D3DTS_PROJECTION, &projection);
        D3DXMatrixMultiply(&product, &world, &view);
        D3DXMatrixMultiply(&product, &product, &projection);
        D3DXMatrixTranspose(&product, &product);
        g_shaderSet.result = device->SetVertexShaderConstant(0, &product, 4);
        // The water stands still while an in-game screen is up, then jumps to the live clock.
        if (!g_frameView.inGameDisplay)
            g_shaderSet.time[slot] =
                static_cast<float>(std::fmod(static_cast<double>(RenderTicks()) * 0.001 * rf_waterscroll.Float(), 1.0));
        const float stretch = rf_waterstretch.Float();
        SetVertexConstant(device, 4, 0.5f, g_shaderSet.time[slot], stretch, stretch);
        const D3DXVECTOR3& eye = g_camera.eye;
        SetVertexConstant(device, 5, eye.x, eye.y, eye.z, 1.0f);
        if (slot == 1) {
            // A map without water fog distance gets no fog rather than an infinite density.
            const float fog = mfwaterfog.Float();
            SetVertexConstant(device, 6, 1.0f, -1.0f, fog != 0.0f ? 10.0f / fog : 0.0f, 0.0f);
        }
    }
}

void ShaderUnbindPixel()
{
    if (IDirect3DDevice8* device = g_render.device)
        g_shaderSet.result = device->SetPixelShader(0);
}
