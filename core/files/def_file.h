// Text definition files: one entry per line, a key followed by a list of values, parsed once and kept
// in a cache by file name. The owners of the data interpret the keys and values.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

constexpr int DEF_FILE_CACHE_SIZE = 1024;
// Values beyond this count on one line are dropped.
constexpr int DEF_MAX_VALUES = 256;
// Lines are read into a buffer of this size: a longer line is read, and counted, in pieces.
constexpr int DEF_LINE_BUFFER_SIZE = 2048;

// One parsed line.
struct DefEntry {
    DefEntry* next = nullptr;
    EngineString key;
    EngineString* values = nullptr;  // valueCount values, null for none
    s32_t valueCount = 0;
    s32_t line = 0;  // the first line of the file is 1; comment and empty lines count too

    // The text of value i; "" for an index beyond the values.
    const char* Value(int index) const { return index >= 0 && index < valueCount ? values[index].Text() : ""; }
};

struct DefFile {
    EngineString name;
    DefEntry* first = nullptr;
    bool registered = false;  // set while the cache holds the file
};

// The cached file of that name (compared without regard to case), else the file read through the
// virtual file system, parsed and cached; null when it cannot be opened.
DefFile* DefFileLoad(const char* fileName);
// Frees a file the cache does not hold (the cache was full); does nothing for a cached file or null.
void DefFileRelease(DefFile* file);
// The first entry from the given one on (included) whose key equals key exactly; null when none.
DefEntry* DefFileFindEntry(DefEntry* entry, const char* key);
// Frees every cached file; the cache is then empty.
void DefFileFreeAll();
int DefFileCacheCount();

// Parses text held in memory into a file that the cache does not hold (free it with DefFileRelease).
DefFile* DefFileParse(const char* name, const char* text, u32_t size);
