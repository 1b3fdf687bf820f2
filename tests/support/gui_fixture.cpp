#include "support/gui_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "core/files/byte_io.h"
#include "core/files/script_file.h"
#include "gui/texts/fonts.h"
#include "render/textures/texture_manager.h"
#include "support/engine_log.h"
#include "support/files.h"

namespace gui_test {

std::string TrueTypeFolder()
{
    const char* folder = std::getenv("ZINTAR_TRUETYPE_DIR");
    return folder && *folder ? folder : "/usr/share/fonts/truetype/dejavu";
}

fontmake::FontRequest TestFontRequest()
{
    fontmake::FontRequest request;
    request.name = "test";
    request.trueTypeFile = "DejaVuSans.ttf";
    request.pixelHeight = 12;
    request.firstCode = 32;
    request.lastCode = 126;
    return request;
}

bool WriteTestFont(const std::string& folder, std::string* error, const std::string& before)
{
    const fontmake::FontRequest request = TestFontRequest();
    const std::filesystem::path trueType = std::filesystem::path(TrueTypeFolder()) / request.trueTypeFile;
    const std::string bytes = ReadFileBytes(trueType);
    if (bytes.empty()) {
        *error = trueType.string() + " missing: scripts/setup installs fonts-dejavu-core";
        return false;
    }
    fontmake::MadeFont font;
    if (!fontmake::MakeFont(request, bytes, &font, error))
        return false;
    const std::filesystem::path gui = std::filesystem::path(folder) / "component" / "gui";
    if (!WriteFileBytes(gui / (fontmake::GlyphTextureName(request) + ".tga"), font.glyphImage) ||
        !WriteFileBytes(gui / (fontmake::GlowTextureName(request) + ".tga"), font.glowImage) ||
        !WriteFileBytes(std::filesystem::path(folder) / "script" / "font.scr", before + font.section)) {
        *error = "cannot write the test font under " + folder;
        return false;
    }
    return true;
}

std::string BlankTga(int width, int height)
{
    std::string bytes(18 + std::size_t(width) * height * 4, '\0');
    ByteBufferWriter writer(bytes.data(), bytes.size());
    const u8_t header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    writer.WriteBytes(header, sizeof header);
    writer.WriteU16(static_cast<u16_t>(width));
    writer.WriteU16(static_cast<u16_t>(height));
    writer.WriteU8(32);
    writer.WriteU8(0x28);
    const u8_t white[4] = {255, 255, 255, 0};
    for (int i = 0; i < width * height; ++i)
        writer.WriteBytes(white, 4);
    return bytes;
}

void GuiTest::SetUp()
{
    // The log lies in the folder the tests started in: taken before the working folder changes.
    engine_log::StartFolder();
    m_tempDir = std::make_unique<TempDir>();
    RenderCore::SetUp();
    ASSERT_EQ(RenderSetDisplayMode(kScreenWidth, kScreenHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
}

void GuiTest::TearDown()
{
    FontsFree();
    DestroyScriptCache();
    TexturesReleaseAll();
    RenderCore::TearDown();
    m_tempDir.reset();
}

}  // namespace gui_test
