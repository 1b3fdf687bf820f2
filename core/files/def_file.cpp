// Definition-file parsing and the cache of parsed files.
#include "core/files/def_file.h"

#include <cstring>

#include "core/files/vfs.h"

namespace {

struct DefFileCache {
    DefFile* files[DEF_FILE_CACHE_SIZE] = {};
    int count = 0;
};

DefFileCache g_defFileCache;

// A blank is any byte that is at most 32 as a signed 8-bit value: the space, control characters
// (line ends included) and every byte from 128 to 255.
inline bool IsBlank(char c)
{
    return static_cast<signed char>(c) <= 32;
}

inline bool IsKeyChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool SameNameIgnoringCase(const EngineString& name, const char* text, u32_t length)
{
    if (name.Length() != length)
        return false;
    const char* a = name.Text();
    for (u32_t i = 0; i < length; ++i) {
        if (FoldCase(a[i]) != FoldCase(text[i]))
            return false;
    }
    return true;
}

struct Token {
    const char* start;
    u32_t length;
};

inline const char* SkipBlanks(const char* p, const char* end)
{
    while (p < end && IsBlank(*p))
        ++p;
    return p;
}

// Parses one line (its characters, newline included) into an entry; null for a comment or a line
// that does not start with a key.
DefEntry* ParseLine(const char* p, size_t length, s32_t lineNumber, Token* tokens)
{
    if (length > 0 && *p == '#')
        return nullptr;
    // The line was read as a zero-terminated text: nothing after a zero byte belongs to it.
    const void* zero = std::memchr(p, '\0', length);
    const char* end = zero ? static_cast<const char*>(zero) : p + length;

    p = SkipBlanks(p, end);
    const char* key = p;
    while (p < end && IsKeyChar(*p))
        ++p;
    if (p == key)
        return nullptr;
    const u32_t keyLength = static_cast<u32_t>(p - key);

    p = SkipBlanks(p, end);
    if (p < end && *p == '=')
        p = SkipBlanks(p + 1, end);

    int count = 0;
    while (p < end && count < DEF_MAX_VALUES) {
        Token& token = tokens[count++];
        if (*p == '"') {
            token.start = ++p;
            while (p < end && *p != '"')
                ++p;
            token.length = static_cast<u32_t>(p - token.start);
            if (p < end) {
                ++p;
            } else {
                // Not closed on its line: the value stops before the line end.
                while (token.length > 0 &&
                       (token.start[token.length - 1] == '\n' || token.start[token.length - 1] == '\r'))
                    --token.length;
            }
        } else if (*p == ':') {
            token.start = p++;
            token.length = 1;
        } else if (*p == '$') {
            token.start = p++;
            while (p < end && IsDigit(*p))
                ++p;
            token.length = static_cast<u32_t>(p - token.start);
        } else {
            token.start = p;
            while (p < end && !IsBlank(*p) && *p != ':')
                ++p;
            token.length = static_cast<u32_t>(p - token.start);
        }
        p = SkipBlanks(p, end);
        if (p < end && *p == ',')
            p = SkipBlanks(p + 1, end);
    }

    DefEntry* entry = new DefEntry;
    entry->key.SetChars(key, keyLength);
    entry->line = lineNumber;
    if (count > 0) {
        entry->values = new EngineString[static_cast<size_t>(count)];
        entry->valueCount = count;
        for (int i = 0; i < count; ++i)
            entry->values[i].SetChars(tokens[i].start, tokens[i].length);
    }
    return entry;
}

void FreeDefFile(DefFile* file)
{
    DefEntry* entry = file->first;
    while (entry) {
        DefEntry* next = entry->next;
        delete[] entry->values;
        delete entry;
        entry = next;
    }
    delete file;
}

DefFile* DefFileLookup(const char* name)
{
    const u32_t length = static_cast<u32_t>(std::strlen(name));
    for (int i = 0; i < g_defFileCache.count; ++i) {
        if (SameNameIgnoringCase(g_defFileCache.files[i]->name, name, length))
            return g_defFileCache.files[i];
    }
    return nullptr;
}

void DefFileRegister(DefFile* file)
{
    if (g_defFileCache.count >= DEF_FILE_CACHE_SIZE) {
        file->registered = false;
        return;
    }
    g_defFileCache.files[g_defFileCache.count++] = file;
    file->registered = true;
}

}  // namespace

DefFile* DefFileParse(const char* name, const char* text, u32_t size)
{
    DefFile* file = new DefFile;
    file->name.Assign(name);
    if (!text)
        return file;

    Token tokens[DEF_MAX_VALUES];
    DefEntry** tail = &file->first;
    s32_t lineNumber = 0;
    const char* p = text;
    const char* const end = text + size;
    while (p < end) {
        // A line as a reader with a buffer of DEF_LINE_BUFFER_SIZE gets it: up to and including its
        // newline, or the most characters the buffer holds.
        const size_t room = static_cast<size_t>(end - p) < DEF_LINE_BUFFER_SIZE - 1
                                ? static_cast<size_t>(end - p)
                                : static_cast<size_t>(DEF_LINE_BUFFER_SIZE - 1);
        const void* newline = std::memchr(p, '\n', room);
        const char* lineEnd = newline ? static_cast<const char*>(newline) + 1 : p + room;
        ++lineNumber;
        if (DefEntry* entry = ParseLine(p, static_cast<size_t>(lineEnd - p), lineNumber, tokens)) {
            *tail = entry;
            tail = &entry->next;
        }
        p = lineEnd;
    }
    return file;
}

DefFile* DefFileLoad(const char* fileName)
{
    if (!fileName)
        return nullptr;
    if (DefFile* cached = DefFileLookup(fileName))
        return cached;
    u32_t size = 0;
    char* text = VFSLoadTextFile(fileName, &size);
    if (!text)
        return nullptr;
    DefFile* file = DefFileParse(fileName, text, size);
    delete[] text;
    DefFileRegister(file);
    return file;
}

void DefFileRelease(DefFile* file)
{
    if (file && !file->registered)
        FreeDefFile(file);
}

DefEntry* DefFileFindEntry(DefEntry* entry, const char* key)
{
    if (!key)
        return nullptr;
    for (; entry; entry = entry->next) {
        if (std::strcmp(entry->key.Text(), key) == 0)
            return entry;
    }
    return nullptr;
}

void DefFileFreeAll()
{
    for (int i = 0; i < g_defFileCache.count; ++i) {
        g_defFileCache.files[i]->registered = false;
        FreeDefFile(g_defFileCache.files[i]);
        g_defFileCache.files[i] = nullptr;
    }
    g_defFileCache.count = 0;
}

int DefFileCacheCount()
{
    return g_defFileCache.count;
}
