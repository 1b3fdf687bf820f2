// The folder searches of the list sources. The search reports every entry through a plain callback,
// so the names gather in fixed tables of this file; a folder holding more than a table takes is cut
// at the table's end.
#include <cstring>
#include <string>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/strings/engine_string.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "gui/lists/gui_list_box.h"
#include "gui/lists/list_sources.h"
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
NameTable g_fileNames{g_fileNameSlots, LIST_FILE_NAME_SLOTS, 0};

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
