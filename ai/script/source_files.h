// The loaded script source files of a mission: each file is loaded once and its text stays in memory
// while compiled handlers point into it. A file its reader marked finished is refused a second time
// ("already included"), one still being read is noticed ("not finished yet"). The list owns every
// record with its texts.
#pragma once
#include "core/types.h"

class SourceFile {
public:
    SourceFile(const char* fileName, const char* fileFolder, s32_t word1, s32_t word2);
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // The text, loaded first when it is not; null when it cannot be loaded.
    const char* GetText();
    // Loads the text from the folder + name. A loaded text is only rewound unless `reload` is set.
    bool Load(bool reload);
    void MarkFinished() { finished = 1; }
    bool IsFinished() const { return finished != 0; }
    const char* Name() const { return name; }
    const char* Path() const { return path; }

    char* name = nullptr;  // owned
    u8_t finished = 0;
    s32_t position = -1;   // -1 before loading, 0 after loading or rewinding
    s32_t size = -1;       // in bytes, -1 before loading
    char* text = nullptr;  // owned, size + 1 bytes with a zero at the end; null before loading
    const char* cursor = nullptr;
    char* folder = nullptr;  // owned; null when none was given
    char* path = nullptr;    // owned: the folder (with its separator) followed by the name
    s32_t openerWords[2] = {};
};

class SourceFileList {
public:
    explicit SourceFileList(s32_t listCapacity);
    ~SourceFileList();
    SourceFileList(const SourceFileList&) = delete;
    SourceFileList& operator=(const SourceFileList&) = delete;

    // The record of the name (exact): a finished one only when `allowFinished`, never one still being
    // read. A new name gets a record loaded at once (without text when loading failed). A full list
    // takes no new record: null.
    SourceFile* Open(const char* fileName, const char* fileFolder, s32_t word1, s32_t word2, bool allowFinished);
    s32_t Count() const { return count; }
    s32_t Capacity() const { return capacity; }
    SourceFile* At(s32_t index) const { return index >= 0 && index < count ? records[index] : nullptr; }

private:
    s32_t count = 0;
    s32_t capacity = 0;
    s32_t cursor = -1;
    SourceFile** records = nullptr;
};

constexpr s32_t SOURCE_FILE_LIST_CAPACITY = 100;

// The mission's source-file list; null until made.
SourceFileList* ScriptSourceFiles();
// Makes an empty list (capacity 100) when there is none.
void ScriptSourceFilesCreate();
// Deletes the list with every record and text.
void ScriptSourceFilesFree();
