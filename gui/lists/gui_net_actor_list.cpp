#include "gui/lists/gui_net_actor_list.h"

#include <cstring>
#include <string>

#include "core/files/def_file.h"
#include "gui/screens/gui_textures.h"

namespace {
constexpr const char* kActorFolder = "object\\actors";
}  // namespace

void GuiNetActorList::OnActivate(GuiScreen*)
{
    RefreshData();
    Announce();
}

void GuiNetActorList::RefreshData()
{
    entries.clear();
    for (const EngineString& file : GuiListFolder(kActorFolder, "def", GUI_WEAPON_FILE_LIMIT)) {
        if (!std::strstr(file.Text(), "net"))
            continue;
        std::string stem = file.Text();
        if (stem.size() >= 4)
            stem.resize(stem.size() - 4);
        GuiWeaponEntry entry;
        entry.weaponName.Assign(stem.c_str());
        entry.fileName.Assign(stem.c_str());
        entry.offered = true;
        DefFile* definition = DefFileLoad((std::string(kActorFolder) + "\\" + file.Text()).c_str());
        DefEntry* image = definition ? DefFileFindEntry(definition->first, "guiimage") : nullptr;
        if (image && image->valueCount > 0)
            entry.picture = GuiTextureGet((std::string("component\\gui\\") + image->Value(0)).c_str());
        DefFileRelease(definition);
        entries.push_back(std::move(entry));
    }
    // The selection survives a refresh: beyond the end it moves to the last class.
    if (selected >= Count())
        selected = Count() > 0 ? Count() - 1 : 0;
}
