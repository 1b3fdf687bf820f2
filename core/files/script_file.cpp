// Sectioned script files: the word table, the parser, section paths and the cache.
#include "core/files/script_file.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/log.h"
#include "core/files/vfs.h"
#include "platform/file_system.h"

namespace {

inline char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool EqualIgnoringCase(const char* a, size_t aLength, const char* b, size_t bLength)
{
    if (aLength != bLength)
        return false;
    for (size_t i = 0; i < aLength; ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

u32_t FoldedHash(const char* text, size_t length)
{
    u32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ static_cast<u8_t>(FoldCase(text[i]))) * 16777619u;
    return hash;
}

}  // namespace

// Open addressing over the word list. A slot holds a word's folded hash in its high half and the
// word's index + 1 in its low half (0 when empty), so that most probes settle without touching a word.
struct ScriptWordTable {
    std::vector<EngineString*> words;
    std::vector<std::uint64_t> slots = std::vector<std::uint64_t>(256, 0);

    ~ScriptWordTable()
    {
        for (EngineString* word : words)
            delete word;
    }

    const EngineString* Enter(const char* text, std::size_t length)
    {
        const u32_t hash = FoldedHash(text, length);
        const u32_t mask = static_cast<u32_t>(slots.size() - 1);
        u32_t slot = hash & mask;
        for (; slots[slot] != 0; slot = (slot + 1) & mask) {
            if (static_cast<u32_t>(slots[slot] >> 32) != hash)
                continue;
            const EngineString* word = words[static_cast<u32_t>(slots[slot]) - 1];
            if (EqualIgnoringCase(word->Text(), word->Length(), text, length))
                return word;
        }
        EngineString* word = new EngineString;
        word->SetChars(text, static_cast<u32_t>(length));
        words.push_back(word);
        slots[slot] = (static_cast<std::uint64_t>(hash) << 32) | words.size();
        if (words.size() * 2 > slots.size())
            Grow();
        return word;
    }

    void Grow()
    {
        std::vector<std::uint64_t> old(slots.size() * 2, 0);
        old.swap(slots);
        const u32_t mask = static_cast<u32_t>(slots.size() - 1);
        for (std::uint64_t entry : old) {
            if (entry == 0)
                continue;
            u32_t slot = static_cast<u32_t>(entry >> 32) & mask;
            while (slots[slot] != 0)
                slot = (slot + 1) & mask;
            slots[slot] = entry;
        }
    }
};

const ScriptCommand* ScriptSection::FindCommand(const char* keyword) const
{
    if (!keyword)
        return nullptr;
    const size_t length = std::strlen(keyword);
    for (const ScriptCommand& command : commands) {
        const EngineString* word = command.words[0];
        if (EqualIgnoringCase(word->Text(), word->Length(), keyword, length))
            return &command;
    }
    return nullptr;
}

ScriptSection* ScriptSection::FindChild(const char* childName) const
{
    return childName ? FindChild(childName, std::strlen(childName)) : nullptr;
}

ScriptSection* ScriptSection::FindChild(const char* childName, size_t length) const
{
    for (ScriptSection* child : children) {
        if (EqualIgnoringCase(child->name->Text(), child->name->Length(), childName, length))
            return child;
    }
    return nullptr;
}

ScriptFile::ScriptFile(const char* name) : m_name(name), m_words(new ScriptWordTable)
{
    m_root = AddSection(nullptr, EnterWord("GLOBAL", 6));
}

ScriptFile::~ScriptFile()
{
    for (ScriptSection* section : m_sections)
        delete section;
    delete m_words;
}

int ScriptFile::WordCount() const
{
    return static_cast<int>(m_words->words.size());
}

const EngineString* ScriptFile::EnterWord(const char* text, size_t length)
{
    return m_words->Enter(text, length);
}

ScriptSection* ScriptFile::AddSection(ScriptSection* parent, const EngineString* sectionName)
{
    ScriptSection* section = new ScriptSection;
    section->name = sectionName;
    section->parent = parent;
    m_sections.push_back(section);
    if (parent)
        parent->children.push_back(section);
    return section;
}

// Warnings are formatted for a sink that discards them; only their number is kept.
void ScriptFile::Warning(const char* format, ...)
{
    // The first fault is kept in words: a reader that refuses the file can say where it went wrong.
    if (m_warningCount == 0 && format) {
        std::va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(m_firstWarning, sizeof m_firstWarning, format, arguments);
        va_end(arguments);
    }
    ++m_warningCount;
}

namespace {

class ScriptParser {
public:
    ScriptParser(ScriptFile& file, const char* text, size_t size)
        : m_file(file), m_p(text), m_end(text + size), m_section(file.Root())
    {}

    void Run()
    {
        while (m_p < m_end) {
            const char c = *m_p++;
            switch (c) {
                case ' ':
                case '\t':
                    EndWord();
                    break;
                case '\r':
                case '\n':
                    EndWord();
                    CountLineEnd(c);
                    break;
                case '/':
                    Slash();
                    break;
                case ';':
                    EndCommand();
                    break;
                case '<':
                    Tag();
                    break;
                default:
                    if (m_wordLength < SCRIPT_MAX_WORD_LENGTH)
                        m_word[m_wordLength++] = c;
                    break;
            }
        }
        // A command not ended with ';' is dropped; open sections simply end.
    }

private:
    const char* Path() const { return m_file.Name().Text(); }

    // Line numbers follow carriage returns; a file with bare line feeds counts those instead.
    void CountLineEnd(char c)
    {
        if (c == '\r' || m_previousLineEnd != '\r')
            ++m_line;
        m_previousLineEnd = c;
    }

    void AppendWord(const EngineString* word)
    {
        if (m_command.words.empty())
            m_commandLine = m_line;
        m_command.words.push_back(word);
    }

    void EndWord()
    {
        if (m_wordLength == 0)
            return;
        AppendWord(m_file.EnterWord(m_word, static_cast<size_t>(m_wordLength)));
        m_wordLength = 0;
    }

    void EndCommand()
    {
        AppendWord(m_file.EnterWord(m_word, static_cast<size_t>(m_wordLength)));
        m_wordLength = 0;
        if (m_line != m_commandLine)
            m_file.Warning("%s - Line %d: command splitted on %d lines", Path(), m_line, m_line - m_commandLine + 1);
        m_section->commands.push_back(std::move(m_command));
        m_command = ScriptCommand();
    }

    // "//" comments run to the end of the line; the line end itself is read as usual.
    void Slash()
    {
        if (m_p < m_end && *m_p == '/') {
            EndWord();
            while (m_p < m_end && *m_p != '\r' && *m_p != '\n')
                ++m_p;
            return;
        }
        m_file.Warning("%s - Line %d: Single '/' found - comment intended ?", Path(), m_line);
        if (m_p < m_end)
            ++m_p;
    }

    void Tag()
    {
        if (!m_command.words.empty())
            m_file.Warning("%s - Line %d: ';' expected before '<'", Path(), m_line);
        if (m_p < m_end && *m_p == '/') {
            const void* close = std::memchr(m_p, '>', static_cast<size_t>(m_end - m_p));
            for (const char* q = m_p; q < (close ? static_cast<const char*>(close) : m_end); ++q) {
                if (*q == '\r' || *q == '\n')
                    CountLineEnd(*q);
            }
            m_p = close ? static_cast<const char*>(close) + 1 : m_end;
            // A closing tag at the root has no section to close.
            if (m_section->parent)
                m_section = m_section->parent;
            return;
        }
        char name[SCRIPT_MAX_WORD_LENGTH];
        int nameLength = 0;
        while (m_p < m_end && *m_p != '>') {
            const char c = *m_p++;
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || static_cast<u8_t>(c) == 0xFF)
                m_file.Warning("%s - Line %d: Nonstandard character found before '>'", Path(), m_line);
            if (c == '\r' || c == '\n')
                CountLineEnd(c);
            if (nameLength < SCRIPT_MAX_WORD_LENGTH)
                name[nameLength++] = c;
        }
        if (m_p < m_end)
            ++m_p;
        m_section = m_file.AddSection(m_section, m_file.EnterWord(name, static_cast<size_t>(nameLength)));
    }

    ScriptFile& m_file;
    const char* m_p;
    const char* const m_end;
    ScriptSection* m_section;
    ScriptCommand m_command;
    char m_word[SCRIPT_MAX_WORD_LENGTH];
    int m_wordLength = 0;
    int m_line = 1;
    int m_commandLine = 1;
    char m_previousLineEnd = 0;
};

}  // namespace

void ScriptFile::Parse(const char* text, size_t size)
{
    if (text)
        ScriptParser(*this, text, size).Run();
}

ScriptSection* ScriptFile::FindSection(const char* path)
{
    ScriptSection* section = m_root;
    if (!path || !*path)
        return section;
    const char* step = path;
    for (;;) {
        const char* dot = std::strchr(step, '.');
        const size_t length = dot ? static_cast<size_t>(dot - step) : std::strlen(step);
        if (EqualIgnoringCase(step, length, "GLOBAL", 6)) {
            section = m_root;
        } else if (length <= SCRIPT_MAX_WORD_LENGTH) {
            if (ScriptSection* child = section->FindChild(step, length))
                section = child;
        }
        if (!dot)
            break;
        step = dot + 1;
    }
    if (section == m_root)
        Warning("%s - Could not find section '%s', returning 'GLOBAL'", m_name.Text(), path);
    return section;
}

// The cache ------------------------------------------------------------------------------------

namespace {

struct ScriptCache {
    std::vector<ScriptFile*> files;
};

ScriptCache* g_scriptCache = nullptr;

// The whole of a disk file, read straight from the disk so that the file system's current file stays
// as it is. False when the path opens nothing on disk.
bool ReadDiskFile(const char* path, std::string& bytes)
{
    std::FILE* file = PlatformOpenFile(path, "rb");
    if (!file)
        return false;
    if (!PlatformIsRegularFile(file)) {
        std::fclose(file);
        return false;
    }
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return true;
}

ScriptFile* LoadScriptFile(const char* path)
{
    std::string bytes;
    if (ReadDiskFile(path, bytes)) {
        ScriptFile* file = new ScriptFile(path);
        file->Parse(bytes.data(), bytes.size());
        return file;
    }
    u32_t size = 0;
    char* text = VFSLoadFile(path, &size);
    if (!text)
        return nullptr;
    ScriptFile* file = new ScriptFile(path);
    file->Parse(text, size);
    delete[] text;
    return file;
}

}  // namespace

void CreateScriptCache()
{
    if (!g_scriptCache)
        g_scriptCache = new ScriptCache;
}

void DestroyScriptCache()
{
    if (!g_scriptCache)
        return;
    for (ScriptFile* file : g_scriptCache->files)
        delete file;
    delete g_scriptCache;
    g_scriptCache = nullptr;
}

int ScriptCacheCount()
{
    return g_scriptCache ? static_cast<int>(g_scriptCache->files.size()) : 0;
}

ScriptFile* GetScriptFile(const char* name, bool reload)
{
    if (!name)
        return nullptr;
    CreateScriptCache();
    std::string path = "script\\";
    path += name;
    path += ".scr";

    ScriptFile** cached = nullptr;
    for (ScriptFile*& file : g_scriptCache->files) {
        if (EqualIgnoringCase(file->Name().Text(), file->Name().Length(), path.data(), path.size())) {
            cached = &file;
            break;
        }
    }
    if (cached && !reload)
        return *cached;

    ScriptFile* loaded = LoadScriptFile(path.c_str());
    if (!loaded) {
        Log("WARNING: Couldn't load script '%s'\n", path.c_str());
        return nullptr;
    }
    if (cached) {
        delete *cached;
        *cached = loaded;
    } else {
        g_scriptCache->files.push_back(loaded);
    }
    return loaded;
}
