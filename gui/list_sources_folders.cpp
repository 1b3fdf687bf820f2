// The folder searches of the list sources. The search reports every entry through a plain callback,
// so the names gather in fixed tables of this file; a folder holding more than a table takes is cut
// at the table's end.
#include <cstring>
#include <string>

#include "core/console_var.h"
#include "core/def_file.h"
#include "core/engine_string.h"
#include "core/text_case.h"
#include "core/vfs.h"
#include "gui/gui_list_box.h"
#include "gui/list_sources.h"
#include "platform/file_system.h"

namespace {

struct NameTable {
    EngineString* names;
    u32_t capacity;
    u32_t count;

    void Append(const char* name)
    {
        if (count < capacity)
            names[count++].Assign(name);
    }
};

EngineString g_fileNameSlots[LIST_FILE_NAME_SLOTS];
EngineString g_mapNameSlots[LIST_MAP_NAME_SLOTS];
NameTable g_fileNames{g_fileNameSlots, LIST_FILE_NAME_SLOTS, 0};
NameTable g_mapNames{g_mapNameSlots, LIST_MAP_NAME_SLOTS, 0};

// The disk search reports the folder's own entries too.
bool IsFolderSelfOrParent(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

void CollectFileName(const char* name, const char*)
{
    if (!name || IsFolderSelfOrParent(name))
        return;
    g_fileNames.Append(name);
}

bool EndsWithSeparator(const std::string& text)
{
    return !text.empty() && (text.back() == '\\' || text.back() == '/');
}

// A mission folder qualifies when an entry of its "netmodes.def" has the current mode as its first
// value. The archives report the folder without a separator after it: one goes between.
void CollectMissionFolder(const char* name, const char* folder)
{
    if (!name || IsFolderSelfOrParent(name))
        return;
    std::string path = folder ? folder : "";
    if (!path.empty() && !EndsWithSeparator(path))
        path += '\\';
    path += name;
    path += "\\netmodes.def";
    DefFile* file = DefFileLoad(path.c_str());
    if (!file)
        return;
    const ConsoleVar* modeVar = CVarListFind("gs_curmod");
    const char* mode = modeVar ? modeVar->String() : "";
    const std::size_t modeLength = std::strlen(mode);
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        const char* value = entry->Value(0);
        if (std::strlen(value) == modeLength && CompareNoCase(value, mode) == 0) {
            g_mapNames.Append(name);
            break;
        }
    }
    DefFileRelease(file);
}

}  // namespace

void ListFillFolderNames(GuiListBox& list, const char* folder, bool allEntries, bool (*keep)(const char* name))
{
    g_fileNames.count = 0;
    VFSFindFile(folder, "*", CollectFileName, allEntries);
    for (u32_t i = 0; i < g_fileNames.count; ++i) {
        if (!keep || keep(g_fileNames.names[i].Text()))
            list.AddItem(g_fileNames.names[i].Text());
    }
}

void ListFillGameModeMissions(GuiListBox& list)
{
    g_mapNames.count = 0;
    char current[1024] = {};
    if (!PlatformCurrentFolder(current, sizeof current))
        current[0] = '\0';
    const std::string onDisk = std::string(current) + "\\mission\\";
    VFSFindFile(onDisk.c_str(), "*", CollectMissionFolder, false);
    if (g_mapNames.count == 0)
        VFSFindFile("mission", "*", CollectMissionFolder, true);
    for (u32_t i = 0; i < g_mapNames.count; ++i)
        list.AddItem(g_mapNames.names[i].Text());
}
