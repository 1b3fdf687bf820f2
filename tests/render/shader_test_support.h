// Shared pieces of the shader tests: assembling text into token words, and a clip-space quad
// drawn through a vertex shader whose declaration is a position and one coordinate pair.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d8.h"
#include "platform/d3dx8_shader.h"

namespace shader_test {

struct Assembled {
    HRESULT result = E_FAIL;
    std::vector<DWORD> code;
    std::vector<DWORD> constants;
    std::string errors;
};

inline Assembled Copy(HRESULT result, ID3DXBuffer* code, ID3DXBuffer* constants, ID3DXBuffer* errors)
{
    Assembled out;
    out.result = result;
    if (code) {
        const DWORD* words = static_cast<const DWORD*>(code->GetBufferPointer());
        out.code.assign(words, words + code->GetBufferSize() / sizeof(DWORD));
        code->Release();
    }
    if (constants) {
        const DWORD* words = static_cast<const DWORD*>(constants->GetBufferPointer());
        out.constants.assign(words, words + constants->GetBufferSize() / sizeof(DWORD));
        constants->Release();
    }
    if (errors) {
        out.errors = static_cast<const char*>(errors->GetBufferPointer());
        errors->Release();
    }
    return out;
}

inline Assembled Assemble(const std::string& text)
{
    ID3DXBuffer *code = nullptr, *constants = nullptr, *errors = nullptr;
    const HRESULT result =
        D3DXAssembleShader(text.data(), static_cast<UINT>(text.size()), 0, &constants, &code, &errors);
    return Copy(result, code, constants, errors);
}

inline Assembled AssembleFile(const std::string& path)
{
    ID3DXBuffer *code = nullptr, *constants = nullptr, *errors = nullptr;
    const HRESULT result = D3DXAssembleShaderFromFileA(path.c_str(), 0, &constants, &code, &errors);
    return Copy(result, code, constants, errors);
}

// Position (3 floats) in v0, one coordinate pair in v1.
struct ClipVertex {
    float x, y, z;
    float u, v;
};
constexpr DWORD kClipDeclaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_REG(1, D3DVSDT_FLOAT2),
                                      D3DVSD_END()};

// A quad from (x0, y0) to (x1, y1) in clip space (y up) with coordinates 0..1 from its top left.
inline HRESULT DrawClipQuad(IDirect3DDevice8* device, float x0, float y0, float x1, float y1, float z = 0.5f)
{
    const ClipVertex quad[4] = {
        {x0, y1, z, 0.0f, 0.0f}, {x1, y1, z, 1.0f, 0.0f}, {x1, y0, z, 1.0f, 1.0f}, {x0, y0, z, 0.0f, 1.0f}};
    return device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ClipVertex));
}

// Identity rows for c0..c3 (the transposed matrix a shader's dp4 rows read).
constexpr float kIdentityRows[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

}  // namespace shader_test
