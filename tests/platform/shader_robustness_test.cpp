// Damaged shader input: truncated and garbled assembly text, and token words damaged one at a time
// before they reach the device. Nothing may crash or read past what it was given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/render_test_support.h"
#include "tests/render/shader_test_support.h"

using namespace render_test;
using namespace shader_test;

namespace {

const char kVertexText[] =
    "vs.1.1 ; every kind of operand\n"
    "def c20, 1.5, -2, 3e2, 0.25\n"
    "dp4 oPos.x, v0, c0\nm4x3 r1, v0, c[a0.x + 4]\nmov a0.x, c20.y\n"
    "lit r2, -r1.wzyx\nlogp r3.xz, c20.z\nmov oT7.xy, r3\nmov oD1, v1 /* end */\n";
const char kPixelText[] =
    "ps.1.3\ntex t0\ntexm3x2pad t1, t0_bx2\ntexm3x2tex t2, t0_bx2\n"
    "mul_x2_sat r0.rgb, t2, 1-v0\n+mad r0.a, c1_bias, -t0.b, r1\ncnd r0, r0.a, c2, -c3\n";

// A small linear congruential sequence of its own, so that the damage is the same on every run.
struct Sequence {
    std::uint32_t state = 12345;
    std::uint32_t Next() { return state = state * 1103515245u + 12345u; }
};

TEST(ShaderAssemblerRobustness, TruncatedAndGarbledTextIsReportedNotTrusted)
{
    for (const char* source : {kVertexText, kPixelText}) {
        const std::string text = source;
        for (std::size_t length = 0; length <= text.size(); ++length) {
            // Exactly the bytes given, no terminating zero after them.
            std::vector<char> bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
            ID3DXBuffer *code = nullptr, *errors = nullptr;
            const HRESULT result = D3DXAssembleShader(bytes.empty() ? "" : bytes.data(), static_cast<UINT>(length), 0,
                                                      nullptr, &code, &errors);
            EXPECT_TRUE(result == D3D_OK || (result == E_FAIL && errors)) << length;
            if (code)
                code->Release();
            if (errors)
                errors->Release();
        }
    }
    Sequence random;
    for (int round = 0; round < 200; ++round) {
        std::vector<char> bytes(random.Next() % 200 + 1);
        for (char& c : bytes)
            c = static_cast<char>(random.Next() >> 24);
        if (round % 2)
            bytes.insert(bytes.begin(), {'p', 's', '.', '1', '.', '4', '\n'});
        ID3DXBuffer *code = nullptr, *errors = nullptr;
        D3DXAssembleShader(bytes.data(), static_cast<UINT>(bytes.size()), 0, nullptr, &code, &errors);
        if (code)
            code->Release();
        if (errors)
            errors->Release();
    }
}

class ShaderTokensRobustness : public RenderCore {};

TEST_F(ShaderTokensRobustness, DamagedWordsAreRefusedOrDrawnWithoutHarm)
{
    const Assembled vertex = Assemble(kVertexText);
    const Assembled pixel = Assemble(kPixelText);
    ASSERT_EQ(vertex.result, D3D_OK) << vertex.errors;
    ASSERT_EQ(pixel.result, D3D_OK) << pixel.errors;
    IDirect3DDevice8* device = Device();
    const DWORD damage[] = {0u, 0xFFFFFFFFu, 0x80000000u, 0x0000FFFEu | (0x7FFFu << 16), 0x8FFF0FFFu, 0x0F000001u};
    Sequence random;
    for (bool isPixel : {false, true}) {
        const std::vector<DWORD>& code = isPixel ? pixel.code : vertex.code;
        for (std::size_t at = 0; at < code.size(); ++at) {
            for (DWORD pattern : damage) {
                std::vector<DWORD> words = code;
                words[at] = pattern == 0x0F000001u ? words[at] ^ (1u << (random.Next() % 32)) : pattern;
                // A damaged end word must not send the reader past the buffer: end words follow.
                words.insert(words.end(), 4, 0x0000FFFFu);
                DWORD handle = 0;
                const HRESULT result = isPixel ? device->CreatePixelShader(words.data(), &handle)
                                               : device->CreateVertexShader(kClipDeclaration, words.data(), &handle, 0);
                ASSERT_TRUE(result == D3D_OK || result == D3DERR_INVALIDCALL);
                if (FAILED(result)) {
                    EXPECT_EQ(handle, 0u);
                    continue;
                }
                if (isPixel)
                    device->SetPixelShader(handle);
                else
                    device->SetVertexShader(handle);
                DrawClipQuad(device, -1.0f, -1.0f, 1.0f, 1.0f);
                device->SetPixelShader(0);
                device->SetVertexShader(D3DFVF_XYZ);
                EXPECT_EQ(isPixel ? device->DeletePixelShader(handle) : device->DeleteVertexShader(handle), D3D_OK);
            }
        }
    }
}

}  // namespace
