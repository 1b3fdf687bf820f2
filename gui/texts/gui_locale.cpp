#include "gui/texts/gui_locale.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/strings/engine_string.h"

namespace {

constexpr std::size_t kNamePartSize = 256;
constexpr int kEscapeDigits = 3;

char* CopyOf(const char* text, std::size_t length)
{
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

const char* Language()
{
    const ConsoleVar* var = CVarListFind("language");
    return var ? var->String() : "eng";
}

// The first value of the entry in the common file, else (only when that file is missing) in the
// language's file; null when not found.
char* LookUp(const char* fileName, const char* entryName)
{
    char path[kNamePartSize * 2 + 32];
    std::snprintf(path, sizeof path, "locale\\_common\\%s.asc", fileName);
    DefFile* file = DefFileLoad(path);
    if (!file) {
        std::snprintf(path, sizeof path, "locale\\%s\\%s.asc", Language(), fileName);
        file = DefFileLoad(path);
    }
    if (!file)
        return nullptr;
    char* found = nullptr;
    if (const DefEntry* entry = DefFileFindEntry(file->first, entryName)) {
        const char* value = entry->Value(0);
        found = CopyOf(value, std::strlen(value));
    }
    DefFileRelease(file);
    return found;
}

bool IsBlank(char c)
{
    return c == ' ';
}

}  // namespace

char* GuiFindLocaleText(const char* key)
{
    if (!key)
        key = "";
    char* found = nullptr;
    if (const char* dot = std::strchr(key, '.')) {
        char fileName[kNamePartSize];
        char entryName[kNamePartSize];
        const std::size_t fileLength = std::min<std::size_t>(static_cast<std::size_t>(dot - key), kNamePartSize - 1);
        std::memcpy(fileName, key, fileLength);
        fileName[fileLength] = '\0';
        std::snprintf(entryName, sizeof entryName, "%s", dot + 1);
        found = LookUp(fileName, entryName);
    } else {
        found = LookUp("gui", key);
    }
    if (!found)
        found = CopyOf(key, std::strlen(key));
    char* decoded = GuiDecodeEscapes(found);
    delete[] found;
    return decoded;
}

char* GuiDecodeEscapes(const char* text)
{
    if (!text)
        text = "";
    const std::size_t length = std::strlen(text);
    char* out = new char[length + 1];
    std::size_t n = 0;
    const char* p = text;
    while (*p) {
        if (*p != '/') {
            out[n++] = *p++;
            continue;
        }
        if (p[1] == '\0')
            break;
        if (p[1] != 'x') {
            out[n++] = p[1];
            p += 2;
            continue;
        }
        // Up to three characters up to the next blank give the code; the one that ends them stays.
        p += 2;
        char digits[kEscapeDigits + 1];
        int count = 0;
        while (count < kEscapeDigits && p[count] && !IsBlank(p[count])) {
            digits[count] = p[count];
            ++count;
        }
        digits[count] = '\0';
        p += count;
        int code = 0;
        if (std::sscanf(digits, "%d", &code) == 1 && (code & 0xFF) != 0)
            out[n++] = static_cast<char>(code);
    }
    out[n] = '\0';
    return out;
}

bool GuiIsLocaleKey(const char* text)
{
    return text && std::strchr(text, '.') != nullptr;
}

void GuiLocalize(const EngineString& key, EngineString* out)
{
    if (!out)
        return;
    char* text = GuiFindLocaleText(key.Text());
    out->Assign(text);
    delete[] text;
}

void GuiLocalize(EngineString* string)
{
    if (!string)
        return;
    char* text = GuiFindLocaleText(string->Text());
    string->Assign(text);
    delete[] text;
}

char* GuiLocalizeQuoted(const char* text)
{
    char* out = new char[GUI_QUOTED_TEXT_SIZE];
    std::size_t n = 0;
    out[0] = '\0';
    if (!text)
        return out;
    const char* p = text;
    while (*p) {
        const bool quoted = *p == '"';
        if (quoted)
            ++p;
        const char* end = std::strchr(p, '"');
        if (!end)
            end = p + std::strlen(p);
        const std::size_t partLength = static_cast<std::size_t>(end - p);
        const char* add = p;
        std::size_t addLength = partLength;
        char* localized = nullptr;
        if (!quoted && partLength > 0) {
            char* key = CopyOf(p, partLength);
            localized = GuiFindLocaleText(key);
            delete[] key;
            add = localized;
            addLength = std::strlen(localized);
        }
        if (n + addLength >= GUI_QUOTED_TEXT_SIZE) {
            delete[] localized;
            break;
        }
        std::memcpy(out + n, add, addLength);
        n += addLength;
        out[n] = '\0';
        delete[] localized;
        p = end;
        if (quoted && *p == '"')
            ++p;
    }
    return out;
}
