// A fixture for front-end tests: the render core on a 320 x 240 screen in a fresh working folder,
// the test font made by tools/font_make, and everything the front end loads let go afterwards (fonts,
// cached scripts, textures, the default font).
#pragma once
#include <memory>
#include <string>

#include "support/render_test_support.h"
#include "support/temp_dir.h"
#include "tools/font_make/font_description.h"

namespace gui_test {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

// Where the DejaVu TrueType files are: $ZINTAR_TRUETYPE_DIR, else the folder of the Debian package
// fonts-dejavu-core.
std::string TrueTypeFolder();
// The test font: DejaVu Sans at 12 pixels, the printable ASCII codes, named "test".
fontmake::FontRequest TestFontRequest();
// Makes the test font with font_make and writes its textures under folder/component/gui/ and its
// section, after the text before, as folder/script/font.scr. False with a message when it fails.
bool WriteTestFont(const std::string& folder, std::string* error, const std::string& before = "");
// A blank uncompressed 32-bit TGA of that size (white, alpha 0).
std::string BlankTga(int width, int height);

class GuiTest : public render_test::RenderCore {
protected:
    void SetUp() override;
    void TearDown() override;
    const std::string& TempPath() const { return m_tempDir->Path(); }
    TempDir& Temp() const { return *m_tempDir; }

private:
    std::unique_ptr<TempDir> m_tempDir;
};

}  // namespace gui_test
