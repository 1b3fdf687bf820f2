// Sectioned ".scr" script files: a tree of named sections holding commands (a keyword and its words,
// ended by ';'), kept in a cache by path. Every word is matched without regard to case.
#pragma once
#include <cstddef>
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"

// Longest word or section name; further characters are dropped.
constexpr int SCRIPT_MAX_WORD_LENGTH = 127;

struct ScriptCommand {
    // words[0] is the keyword; all point into the file's word table.
    std::vector<const EngineString*> words;

    const char* Keyword() const { return words.empty() ? "" : words[0]->Text(); }
    int WordCount() const { return static_cast<int>(words.size()); }
    // The text of word i (0 is the keyword); "" beyond the words.
    const char* Word(int index) const
    {
        return index >= 0 && index < WordCount() ? words[static_cast<std::size_t>(index)]->Text() : "";
    }
};

struct ScriptSection {
    const EngineString* name = nullptr;
    ScriptSection* parent = nullptr;  // null for the root
    std::vector<ScriptCommand> commands;
    std::vector<ScriptSection*> children;  // owned by the file

    const char* Name() const { return name ? name->Text() : ""; }
    // The first command / child whose keyword / name equals the text without regard to case; null when none.
    const ScriptCommand* FindCommand(const char* keyword) const;
    ScriptSection* FindChild(const char* childName) const;
    ScriptSection* FindChild(const char* childName, std::size_t length) const;
};

struct ScriptWordTable;

class ScriptFile {
public:
    // An empty file of that name: a root section "GLOBAL" whose name is the first word of the table.
    explicit ScriptFile(const char* name);
    ~ScriptFile();
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;

    // Parses the text into the tree. Faults of syntax never stop the parse; each raises a warning.
    void Parse(const char* text, std::size_t size);

    // Follows a dotted path of section names from the root ("GLOBAL" names the root); a step that
    // names no child stays at the section reached, so a missing later step gives the deepest
    // section found and a missing first step the root.
    ScriptSection* FindSection(const char* path);

    const EngineString& Name() const { return m_name; }
    ScriptSection* Root() { return m_root; }
    int WordCount() const;
    // Warnings raised while parsing and finding; nobody prints them.
    int WarningCount() const { return m_warningCount; }
    // The first warning's text (the file and the line); empty while there is none.
    const char* FirstWarning() const { return m_firstWarning; }

    // The table's entry for a word, entered on first sight with that spelling.
    const EngineString* EnterWord(const char* text, std::size_t length);
    ScriptSection* AddSection(ScriptSection* parent, const EngineString* sectionName);
    void Warning(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    EngineString m_name;
    ScriptWordTable* m_words;
    std::vector<ScriptSection*> m_sections;  // every section, the root first, for freeing
    ScriptSection* m_root;
    int m_warningCount = 0;
    char m_firstWarning[256] = {};
};

void CreateScriptCache();
void DestroyScriptCache();
int ScriptCacheCount();
// The file "script\" + name + ".scr": the cached one unless reload is set, else read from disk or
// the archives, parsed and cached. Null, with a warning in the log, when it exists nowhere.
ScriptFile* GetScriptFile(const char* name, bool reload);
