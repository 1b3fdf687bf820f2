// Our D3DX 8 shader assembler: vertex shader (vs.1.0, vs.1.1) and pixel shader (ps.1.0 to ps.1.4)
// assembly text becomes the token words that IDirect3DDevice8::CreateVertexShader and
// CreatePixelShader take. Errors come back as text, one line per error: "(line): error: what".
#pragma once
#include "platform/d3d8.h"

// A block of bytes handed out by D3DX; Release of the last reference frees it.
class ID3DXBuffer : public IUnknown8 {
public:
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
using LPD3DXBUFFER = ID3DXBuffer*;

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer);

// Flags are accepted and have no effect.
constexpr DWORD D3DXASM_DEBUG = 1;
constexpr DWORD D3DXASM_SKIPVALIDATION = 4;

// The source text is length bytes (a zero byte ends it early). On success code holds the token
// words; constants (may be null), for a vertex shader, the "def" constants as declaration tokens
// (D3DVSD_CONST blocks, ended by D3DVSD_END) - they also stay in the code, which needs no
// declaration constants. On failure errors (may be null) holds the error text, zero-terminated,
// and the result is E_FAIL; D3DERR_INVALIDCALL for missing arguments.
HRESULT D3DXAssembleShader(const void* source, UINT length, DWORD flags, ID3DXBuffer** constants, ID3DXBuffer** code,
                           ID3DXBuffer** errors);
// The same from a file on disk; a file that cannot be read fails with D3DERR_NOTFOUND and an
// error text naming it.
HRESULT D3DXAssembleShaderFromFileA(const char* file, DWORD flags, ID3DXBuffer** constants, ID3DXBuffer** code,
                                    ID3DXBuffer** errors);
