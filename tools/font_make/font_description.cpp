#include "tools/font_make/font_description.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fontmake {

namespace {

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    *bytes = text.str();
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool ParseFontDescription(const std::string& text, FontDescription* out, std::string* error)
{
    FontDescription description;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string::size_type hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword))
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (keyword != "font") {
            *error = where + "unknown keyword '" + keyword + "'";
            return false;
        }
        FontRequest font;
        std::string rest;
        if (!(words >> font.name >> font.trueTypeFile >> font.pixelHeight >> font.firstCode >> font.lastCode) ||
            (words >> rest)) {
            *error = where + "expected: font <name> <TrueType file> <pixel height> <first code> <last code>";
            return false;
        }
        if (font.pixelHeight < 4 || font.pixelHeight > 96) {
            *error = where + "pixel height out of 4 to 96";
            return false;
        }
        if (font.firstCode < 1 || font.lastCode > 255 || font.firstCode > font.lastCode) {
            *error = where + "codes out of 1 to 255";
            return false;
        }
        description.fonts.push_back(font);
    }
    if (description.fonts.empty()) {
        *error = "no font";
        return false;
    }
    *out = description;
    return true;
}

std::string GlyphTextureName(const FontRequest& request)
{
    return "font_" + request.name;
}

std::string GlowTextureName(const FontRequest& request)
{
    return "font_" + request.name + "_glow";
}

bool MakeFontsFromDescription(const std::string& descriptionPath, const std::string& fontsFolder,
                              const std::string& dataRoot, std::string* error)
{
    std::string text;
    if (!ReadWholeFile(descriptionPath, &text)) {
        *error = "cannot read " + descriptionPath;
        return false;
    }
    FontDescription description;
    if (!ParseFontDescription(text, &description, error))
        return false;
    const std::filesystem::path textures = std::filesystem::path(dataRoot) / "component" / "gui";
    const std::filesystem::path scripts = std::filesystem::path(dataRoot) / "script";
    std::error_code ignored;
    std::filesystem::create_directories(textures, ignored);
    std::filesystem::create_directories(scripts, ignored);
    std::string script;
    for (const FontRequest& request : description.fonts) {
        std::string trueType;
        const std::string trueTypePath = (std::filesystem::path(fontsFolder) / request.trueTypeFile).string();
        if (!ReadWholeFile(trueTypePath, &trueType)) {
            *error = "cannot read " + trueTypePath;
            return false;
        }
        MadeFont font;
        if (!MakeFont(request, trueType, &font, error))
            return false;
        const std::string glyphPath = (textures / (GlyphTextureName(request) + ".tga")).string();
        const std::string glowPath = (textures / (GlowTextureName(request) + ".tga")).string();
        if (!WriteWholeFile(glyphPath, font.glyphImage) || !WriteWholeFile(glowPath, font.glowImage)) {
            *error = "cannot write the textures of " + request.name;
            return false;
        }
        script += font.section;
    }
    const std::string scriptPath = (scripts / "font.scr").string();
    if (!WriteWholeFile(scriptPath, script)) {
        *error = "cannot write " + scriptPath;
        return false;
    }
    return true;
}

}  // namespace fontmake
