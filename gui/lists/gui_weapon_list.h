// A weapon picker: shows the picture of one weapon of one category (primary, secondary, explosive)
// and steps through the weapons of that category the current mission allows ("mission.wpn"), writing
// the chosen weapon's name into a console variable and running a command with the list after each step.
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_named_command.h"
#include "platform/d3d8.h"

struct ConsoleVar;

// Bounds of the working tables: weapon (and actor) files read, names of one category of the
// mission's weapon file, subweapon names. What does not fit is left out.
constexpr u32_t GUI_WEAPON_FILE_LIMIT = 128;
constexpr u32_t GUI_WEAPON_CATEGORY_LIMIT = 16;
constexpr u32_t GUI_SUBWEAPON_LIMIT = 64;

struct GuiWeaponEntry {
    bool offered = false;
    EngineString weaponName;               // "weapon" (for a soldier class: the file name)
    EngineString fileName;                 // without its folder and ".def"
    EngineString information;              // "guiinfo"
    IDirect3DTexture8* picture = nullptr;  // not owned: the GUI's texture registry holds it
};

class GuiWeaponList : public GuiControl {
public:
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Step forward and back, wrapping; each step writes the variable and runs the command.
    void OnIncrement() override;
    void OnDecrement() override;
    void GetRect(RECT* rect) const override;
    // Rebuilds, then announces the selection.
    void OnActivate(GuiScreen* previous) override;
    // Rebuilds the entries from the weapon files and the mission's weapon file.
    void RefreshData() override;

    u32_t Count() const { return static_cast<u32_t>(entries.size()); }
    // The shown entry; null when there is none.
    const GuiWeaponEntry* Selected() const { return selected < entries.size() ? &entries[selected] : nullptr; }

    float width = 0.0f;
    float height = 0.0f;
    std::vector<GuiWeaponEntry> entries;
    u32_t selected = 0;
    s32_t category = 0;  // 0 primary, 1 secondary, 2 explosive
    float opacity = 1.0f;
    ConsoleVar* selectionVariable = nullptr;
    GuiNamedCommand selectionCommand;
    ConsoleVar* informationVariable = nullptr;  // kept from the script; the list writes nothing to it

protected:
    // The selected name into the variable, then the command with the list.
    void Announce();
    void Step(bool forward);
};

// The file names (with extension) found in the folder for the extension, at most limit of them, "."
// and ".." left out.
std::vector<EngineString> GuiListFolder(const char* folder, const char* extension, u32_t limit);

// The handler gx_updateweaponinfo runs for a list: the selected weapon's name into the control that
// its information names (an edit box's text). -1 when the sender is no list with a selection.
s32_t GuiUpdateWeaponInfo(const char* arguments, GuiControl* sender);
