#include "ai/script/source_files.h"

#include <cstring>
#include <string>

#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/script/named_values.h"
#include "core/files/vfs.h"

SourceFile::SourceFile(const char* fileName, const char* fileFolder, s32_t word1, s32_t word2)
    : name(ScriptCopyText(fileName ? fileName : "")), folder(fileFolder ? ScriptCopyText(fileFolder) : nullptr)
{
    const std::string full = std::string(folder ? folder : "") + name;
    path = ScriptCopyText(full.c_str());
    openerWords[0] = word1;
    openerWords[1] = word2;
}

SourceFile::~SourceFile()
{
    delete[] text;
    ScriptFreeText(path);
    ScriptFreeText(folder);
    ScriptFreeText(name);
}

const char* SourceFile::GetText()
{
    if (!text)
        Load(false);
    return text;
}

bool SourceFile::Load(bool reload)
{
    if (text) {
        if (!reload) {
            cursor = text;
            position = 0;
            finished = 0;
            return true;
        }
        delete[] text;
        text = nullptr;
        cursor = nullptr;
        size = -1;
        position = -1;
    }
    if (!path || !*path) {
        AILogWrite("ERROR: undefined filename\n");
        return false;
    }
    u32_t loadedSize = 0;
    char* loaded = VFSLoadTextFile(path, &loadedSize);
    if (!loaded) {
        AILogPrintf(" ERROR: Could not open file %s\n", path);
        return false;
    }
    text = loaded;
    size = static_cast<s32_t>(loadedSize);
    cursor = text;
    position = 0;
    finished = 0;
    return true;
}

SourceFileList::SourceFileList(s32_t listCapacity)
    : capacity(listCapacity > 0 ? listCapacity : 0), records(new SourceFile*[capacity > 0 ? capacity : 1]())
{}

SourceFileList::~SourceFileList()
{
    for (s32_t i = 0; i < count; ++i)
        delete records[i];
    delete[] records;
}

SourceFile* SourceFileList::Open(const char* fileName, const char* fileFolder, s32_t word1, s32_t word2,
                                 bool allowFinished)
{
    const char* wanted = fileName ? fileName : "";
    for (s32_t i = 0; i < count; ++i) {
        SourceFile* record = records[i];
        if (std::strcmp(record->name, wanted) != 0)
            continue;
        if (!record->IsFinished()) {
            AILogPrintf("ERROR: file '%s' not finished yet\n", wanted);
            return nullptr;
        }
        if (allowFinished)
            return record;
        AILogPrintf("ERROR: file '%s' already included\n", wanted);
        return nullptr;
    }
    // A record the list cannot keep would be lost by whoever closes the mission: none is made.
    if (count >= capacity) {
        AILogPrintf("ERROR: file '%s' not opened, too many source files\n", wanted);
        return nullptr;
    }
    auto* record = new SourceFile(wanted, fileFolder, word1, word2);
    record->Load(false);
    cursor = count;
    records[count++] = record;
    return record;
}

SourceFileList* ScriptSourceFiles()
{
    return g_ai.sourceFiles;
}

void ScriptSourceFilesCreate()
{
    if (!g_ai.sourceFiles)
        g_ai.sourceFiles = new SourceFileList(SOURCE_FILE_LIST_CAPACITY);
}

void ScriptSourceFilesFree()
{
    delete g_ai.sourceFiles;
    g_ai.sourceFiles = nullptr;
}
