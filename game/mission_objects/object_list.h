// The object list loader: runs a definition file of commands ("create", "template", "sun", "env",
// "sound", ...) and parameter lines for the current object, with arguments "$0", "$1", ... and their
// defaults; "mission.def" is one such list. Templates are further lists run on the current object.
// Every problem of a line is an error line on console 0 naming the file and the line, and the run
// goes on with the next line.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class DynamicObject;
struct DefEntry;
struct DefFile;

// The values of one line that are substituted and handed on; a longer line hands on its first 64.
constexpr s32_t OBJECT_LIST_MAX_VALUES = 64;
// Template nesting stops when the shared counter reaches this depth.
constexpr s32_t OBJECT_LIST_MAX_NESTING = 32;

// Called before a template line's file runs, with the current object and the template file.
using ObjectListTemplateCallback = void (*)(DynamicObject* currentObject, DefFile* templateFile);

// Runs every line of the file in order. arguments (argumentCount texts, may be null for none) are
// what "$n" refers to; the callback may be null.
void GameLoadObjectList(DefFile* file, const EngineString* arguments, s32_t argumentCount,
                        ObjectListTemplateCallback callback);

// The loader's state that the editor reads and sets: the current object (null for none), the class
// keyword of the last successful "create" ("" before any), and the file being run (null at rest).
DynamicObject* GameGetCurrentObject();
void GameSetCurrentObject(DynamicObject* object);
const char* GameGetCurrentClass();
DefFile* GameGetCurrentObjectListFile();
// Leaving a mission: the objects the loader made are gone, so it forgets the current object.
void GameObjectListReset();
