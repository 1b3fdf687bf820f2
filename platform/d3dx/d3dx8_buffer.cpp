// D3DX byte buffers: a reference-counted block handed to the caller.
#include <cstring>
#include <new>

#include "platform/d3dx8_shader.h"

namespace {

class Buffer final : public ID3DXBuffer {
public:
    explicit Buffer(DWORD bytes) : m_bytes(bytes), m_data(new (std::nothrow) BYTE[bytes ? bytes : 1]) {}
    bool Valid() const { return m_data != nullptr; }

    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    void* GetBufferPointer() override { return m_data; }
    DWORD GetBufferSize() override { return m_bytes; }

private:
    ~Buffer() override { delete[] m_data; }

    ULONG m_references = 1;
    DWORD m_bytes;
    BYTE* m_data;
};

}  // namespace

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    auto* created = new (std::nothrow) Buffer(bytes);
    if (!created || !created->Valid()) {
        if (created)
            created->Release();
        return E_OUTOFMEMORY;
    }
    std::memset(created->GetBufferPointer(), 0, bytes);
    *buffer = created;
    return D3D_OK;
}
