// The shader assembler: what it refuses and how it says so, the constants it hands back, and files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "tests/render/shader_test_support.h"

using namespace shader_test;

namespace {

TEST(ShaderAssembler, EveryMistakeIsReportedWithItsLine)
{
    struct Case {
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"", "(1): error: no shader version"},
        {"mov r0, c0", "(1): error: the first statement must be the version"},
        {"vs.2.0", "version vs.2.0 is not supported"},
        {"vs.1.1\nfoo r0, r1", "(2): error: unknown instruction 'foo' in vs.1.1"},
        {"vs.1.1\nmov r0", "mov takes 2 operands, not 1"},
        {"vs.1.1\nmov r12, c0", "register r12 is out of range (r0 to r11)"},
        {"vs.1.1\nmov r0, c96", "register c96 is out of range"},
        {"vs.1.1\nmov v0, c0", "register v0 cannot be written"},
        {"vs.1.1\nmov r0, oPos", "register oPos cannot be read"},
        {"vs.1.1\nmov r0, oD0", "register oD0 cannot be read"},
        {"vs.1.0\nmov a0.x, c0", "register a0 does not exist in this version"},
        {"vs.1.0\nmov r0, c[a0.x + 1]", "relative addressing needs vs.1.1"},
        {"vs.1.1\nmov a0, c0", "a0 is written as a0.x"},
        {"vs.1.1\nmov_sat r0, c0", "vertex shader instructions take no modifiers"},
        {"vs.1.1\nmov r0, c0_bx2", "vertex shaders know only the negation of a source"},
        {"vs.1.1\n+mov r0, c0", "co-issue ('+') needs a pixel shader"},
        {"vs.1.1\nmov r0, c0.xq", "bad swizzle in 'c0.xq'"},
        {"vs.1.1\nmov r0.zx, c0", "bad write mask in 'r0.zx'"},
        {"vs.1.1\n#define X 1", "preprocessor directives are not supported"},
        {"ps.1.1\nmov r0, c0\ntex t0", "(3): error: texture instruction tex after an arithmetic instruction"},
        {"ps.1.1\nmov r2, c0", "register r2 is out of range (r0 to r1)"},
        {"ps.1.1\ntexld r0, t0", "unknown instruction 'texld' in ps.1.1"},
        {"ps.1.1\ncmp r0, c0, c1, c2", "unknown instruction 'cmp' in ps.1.1"},
        {"ps.1.1\nmov r0, -1-c0", "'1-' does not combine with other source modifiers"},
        {"ps.1.1\nmov r0, c0_x2", "this source modifier needs ps.1.4"},
        {"ps.1.1\nmul_x8 r0, c0, c1", "unknown instruction modifier '_x8'"},
        {"ps.1.1\ndef c0, 1, 2, x, 4", "'x' is not a number"},
        {"ps.1.1\ndef r0, 1, 2, 3, 4", "def defines a constant register"},
        {"ps.1.4\nphase\nphase", "(3): error: a second phase"},
        {"ps.1.4\ntexld r0, c0_dw\nmov t0, r0", "register t0 cannot be written"},
    };
    for (const Case& c : cases) {
        const Assembled assembled = Assemble(c.source);
        EXPECT_EQ(assembled.result, E_FAIL) << c.source;
        EXPECT_NE(assembled.errors.find(c.message), std::string::npos) << c.source << "\n-> " << assembled.errors;
        EXPECT_TRUE(assembled.code.empty());
    }
}

TEST(ShaderAssembler, AllErrorsAreFoundAndCommentsKeepTheLineNumbers)
{
    const Assembled assembled = Assemble("vs.1.1 // version\nfoo\n\n/* a\nblock */ bar r0\n; end\nmov r0, c0\n");
    EXPECT_EQ(assembled.result, E_FAIL);
    EXPECT_NE(assembled.errors.find("(2): error: unknown instruction 'foo'"), std::string::npos) << assembled.errors;
    EXPECT_NE(assembled.errors.find("(5): error: unknown instruction 'bar'"), std::string::npos) << assembled.errors;
}

TEST(ShaderAssembler, AWellFormedShaderGivesCodeAndItsDefinitionsAsDeclarationConstants)
{
    const Assembled assembled =
        Assemble("VS.1.1\n  DEF c20, 0.5, -1, 2e1, 4 ; constants\nmov r0.xy, -C[A0.x + 3].wzyx\nmov oPos, v0\n");
    ASSERT_EQ(assembled.result, D3D_OK) << assembled.errors;
    ASSERT_GE(assembled.code.size(), 2u);
    EXPECT_EQ(assembled.code.front(), D3DVS_VERSION(1, 1));
    EXPECT_EQ(assembled.code.back(), 0x0000FFFFu);
    const float values[4] = {0.5f, -1.0f, 20.0f, 4.0f};
    DWORD words[4];
    std::memcpy(words, values, sizeof words);
    const std::vector<DWORD> expected = {D3DVSD_CONST(20, 1), words[0], words[1], words[2], words[3], D3DVSD_END()};
    EXPECT_EQ(assembled.constants, expected);

    // Pixel shaders keep their definitions in the code only.
    const Assembled pixel = Assemble("ps.1.4\ndef c1, 1, 1, 1, 1\nmov r0, c1\n");
    ASSERT_EQ(pixel.result, D3D_OK) << pixel.errors;
    EXPECT_TRUE(pixel.constants.empty());
    EXPECT_EQ(pixel.code.front(), D3DPS_VERSION(1, 4));
}

TEST(ShaderAssembler, MissingArgumentsAreRefused)
{
    ID3DXBuffer* code = nullptr;
    EXPECT_EQ(D3DXAssembleShader(nullptr, 4, 0, nullptr, &code, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXAssembleShader("vs.1.1", 6, 0, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXAssembleShaderFromFileA(nullptr, 0, nullptr, &code, nullptr), D3DERR_INVALIDCALL);
    // The length bounds the text even without a terminating zero.
    const char text[] = {'v', 's', '.', '1', '.', '1', '\n', 'm', 'o', 'v',
                         ' ', 'o', 'P', 'o', 's', ',', ' ',  'v', '0'};
    EXPECT_EQ(D3DXAssembleShader(text, sizeof text, 0, nullptr, &code, nullptr), D3D_OK);
    if (code)
        code->Release();
}

class ShaderAssemblerFiles : public TempDirTest {};

TEST_F(ShaderAssemblerFiles, PathsWithBackslashesResolveWithoutRegardToCase)
{
    ASSERT_TRUE(WriteFileBytes(TempPath() + "/Component/_Common/Water.VS", "vs.1.1\nmov oPos, v0\n"));
    const Assembled found = AssembleFile("component\\_common\\water.vs");
    EXPECT_EQ(found.result, D3D_OK) << found.errors;

    ASSERT_TRUE(WriteFileBytes(TempPath() + "/broken.ps", "ps.1.1\nmov r9, c0\n"));
    const Assembled broken = AssembleFile("broken.ps");
    EXPECT_EQ(broken.result, E_FAIL);
    EXPECT_NE(broken.errors.find("broken.ps(2): error: register r9"), std::string::npos) << broken.errors;

    const Assembled missing = AssembleFile("component\\_common\\none.vs");
    EXPECT_EQ(missing.result, D3DERR_NOTFOUND);
    EXPECT_NE(missing.errors.find("component\\_common\\none.vs: error: cannot read the file"), std::string::npos);
}

}  // namespace
