#include "gui/lists/gui_weapon_list.h"

#include <string>

#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "game/game_cvars.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_edit_box.h"
#include "gui/controls/gui_image.h"
#include "gui/screens/gui_scale.h"
#include "gui/screens/gui_textures.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"

namespace {
constexpr const char* kWeaponFolder = "object\\weapons";
constexpr const char* kCategoryTypes[] = {"PRIMARY", "SECONDARY", "EXPLOSIVE"};
constexpr const char* kCategoryKeys[] = {"primary", "secondary", "explosive"};
ConsoleVar* const kCurrentWeaponVars[] = {&gs_curprimaryweapon, &gs_cursecondaryweapon, &gs_curexplosiveweapon};

// The folder search reports to a plain function: the names go to the list being filled.
std::vector<EngineString>* g_folderNames = nullptr;
u32_t g_folderLimit = 0;

void CollectName(const char* name, const char*)
{
    if (!g_folderNames || !name || g_folderNames->size() >= g_folderLimit)
        return;
    if (std::string(name) == "." || std::string(name) == "..")
        return;
    g_folderNames->emplace_back(name);
}

bool Holds(const std::vector<EngineString>& names, const char* name)
{
    for (const EngineString& entry : names) {
        if (CompareNoCase(entry.Text(), name) == 0)
            return true;
    }
    return false;
}

// The values of every line of the key, at most limit of them.
std::vector<EngineString> KeyValues(DefFile* file, const char* key, u32_t limit)
{
    std::vector<EngineString> names;
    if (!file)
        return names;
    for (DefEntry* entry = DefFileFindEntry(file->first, key); entry; entry = DefFileFindEntry(entry->next, key)) {
        for (s32_t i = 0; i < entry->valueCount && names.size() < limit; ++i)
            names.emplace_back(entry->Value(i));
    }
    return names;
}

const char* FirstValue(DefFile* file, const char* key)
{
    DefEntry* entry = file ? DefFileFindEntry(file->first, key) : nullptr;
    return entry && entry->valueCount > 0 ? entry->Value(0) : nullptr;
}

// The name without its four-character extension.
std::string StemOf(const char* fileName)
{
    std::string stem = fileName;
    if (stem.size() >= 4)
        stem.resize(stem.size() - 4);
    return stem;
}
}  // namespace

std::vector<EngineString> GuiListFolder(const char* folder, const char* extension, u32_t limit)
{
    std::vector<EngineString> names;
    g_folderNames = &names;
    g_folderLimit = limit;
    VFSFindFile(folder, extension, CollectName, false);
    g_folderNames = nullptr;
    return names;
}

void GuiWeaponList::GetRect(RECT* rect) const
{
    GuiFractionRect(x, y, width, height, rect);
}

void GuiWeaponList::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    const GuiWeaponEntry* entry = Selected();
    if (!entry || !entry->picture)
        return;
    GuiOpacityBlendStates(opacity);
    RenderSetTexture(0, entry->picture);
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    Draw2DQuad(static_cast<int>(offsetX * w + x * w * scaleX), static_cast<int>(offsetX * w + (x + width) * w * scaleX),
               static_cast<int>(offsetY * h + y * h * scaleY),
               static_cast<int>(offsetY * h + (y + height) * h * scaleY));
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
}

void GuiWeaponList::Announce()
{
    const GuiWeaponEntry* entry = Selected();
    if (!entry)
        return;
    if (selectionVariable)
        selectionVariable->SetString(entry->weaponName.Text());
    selectionCommand.Run(nullptr, this);
}

void GuiWeaponList::Step(bool forward)
{
    const u32_t count = Count();
    if (count == 0)
        return;
    if (forward)
        selected = selected + 1 < count ? selected + 1 : 0;
    else
        selected = selected > 0 && selected <= count ? selected - 1 : count - 1;
    Announce();
}

void GuiWeaponList::OnIncrement()
{
    Step(true);
}

void GuiWeaponList::OnDecrement()
{
    Step(false);
}

void GuiWeaponList::OnActivate(GuiScreen*)
{
    RefreshData();
    Announce();
}

void GuiWeaponList::RefreshData()
{
    entries.clear();
    const s32_t kind = category >= 0 && category < 3 ? category : -1;
    const std::vector<EngineString> files = GuiListFolder(kWeaponFolder, "def", GUI_WEAPON_FILE_LIMIT);
    const std::string missionWeapons = std::string("mission\\") + dsmap.String() + "\\mission.wpn";
    DefFile* mission = DefFileLoad(missionWeapons.c_str());
    const std::vector<EngineString> allowed =
        kind >= 0 ? KeyValues(mission, kCategoryKeys[kind], GUI_WEAPON_CATEGORY_LIMIT) : std::vector<EngineString>();
    DefFileRelease(mission);

    std::vector<GuiWeaponEntry> working;
    std::vector<EngineString> subweapons;
    for (const EngineString& file : files) {
        if (kind < 0)
            break;
        const std::string path = std::string(kWeaponFolder) + "\\" + file.Text();
        DefFile* definition = DefFileLoad(path.c_str());
        const char* type = FirstValue(definition, "type");
        const char* weapon = FirstValue(definition, "weapon");
        // A file without a type or a weapon name is nobody's weapon.
        if (!type || !weapon || std::string(type) != kCategoryTypes[kind]) {
            DefFileRelease(definition);
            continue;
        }
        GuiWeaponEntry entry;
        entry.weaponName.Assign(weapon);
        if (Holds(allowed, weapon)) {
            const char* subweapon = FirstValue(definition, "subweapon");
            if (subweapon && subweapons.size() < GUI_SUBWEAPON_LIMIT)
                subweapons.emplace_back(subweapon);
            entry.fileName.Assign(StemOf(file.Text()).c_str());
            const char* info = FirstValue(definition, "guiinfo");
            entry.information.Assign(info ? info : "");
            if (const char* image = FirstValue(definition, "guiimage"))
                entry.picture = GuiTextureGet((std::string("component\\gui\\") + image).c_str());
            entry.offered = true;
        }
        DefFileRelease(definition);
        working.push_back(std::move(entry));
    }
    for (GuiWeaponEntry& entry : working) {
        if (entry.offered && Holds(subweapons, entry.fileName.Text()))
            entry.offered = false;
    }
    const char* current = kind >= 0 ? kCurrentWeaponVars[kind]->String() : "";
    for (GuiWeaponEntry& entry : working) {
        if (!entry.offered)
            continue;
        if (CompareNoCase(entry.fileName.Text(), current) == 0)
            selected = Count();
        entries.push_back(std::move(entry));
    }
    if (selected >= Count())
        selected = 0;
}

s32_t GuiUpdateWeaponInfo(const char*, GuiControl* sender)
{
    const auto* list = dynamic_cast<const GuiWeaponList*>(sender);
    const GuiWeaponEntry* entry = list ? list->Selected() : nullptr;
    if (!entry)
        return -1;
    if (auto* information = dynamic_cast<GuiEditBox*>(GuiFindItem(entry->information.Text())))
        information->SetText(entry->weaponName.Text());
    return 0;
}
