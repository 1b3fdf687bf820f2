// A switch group: picture buttons placed freely on a screen, of which one is selected (the campaign
// map on which the player picks the next mission). Each item shows one of three pictures by its state;
// items can be hidden; the selected item's name goes into a console variable, the hovered one's into
// another. The source "mission_list" shows and marks the items from the account's campaign progress.
#pragma once
#include <vector>

#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_named_command.h"
#include "platform/d3d8.h"

class GuiSwitchGroup;
struct ConsoleVar;

constexpr u32_t GUI_SWITCH_ITEM_NAME_SIZE = 64;
constexpr u32_t GUI_SWITCH_SOURCE_SIZE = 64;

enum GuiSwitchState : s32_t {
    GUI_SWITCH_SELECTED = 0,
    GUI_SWITCH_NORMAL = 1,
    GUI_SWITCH_COMPLETED = 2,
};

struct GuiSwitchItem {
    ~GuiSwitchItem();
    // The box in pixels from the 800 x 600 grid.
    RECT Box() const;
    // Takes the text over (new[]).
    void SetTooltip(char* text);

    GuiSwitchGroup* group = nullptr;
    u32_t width = 0;
    u32_t height = 0;
    u32_t centreX = 0;
    u32_t centreY = 0;
    GuiFixedText<GUI_SWITCH_ITEM_NAME_SIZE> name;
    char* tooltip = nullptr;  // owned
    s32_t state = GUI_SWITCH_NORMAL;
    bool visible = true;
};

class GuiSwitchGroup : public GuiControl {
public:
    ~GuiSwitchGroup() override;
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Selects the first visible, not completed item under the point.
    void OnClick(s32_t x, s32_t y) override;
    // Names the item under the pointer in the hover variable and shows its tooltip.
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    s16_t GetZIndex() const override;
    // The whole screen: the group takes the pointer anywhere when it is the topmost control.
    void GetRect(RECT* rect) const override;
    void SetZIndex(s16_t z) override;
    // Refreshes, then makes sure one item is selected.
    void OnActivate(GuiScreen* previous) override;
    void SetFocus(bool flag) override;
    bool IsFocused() const override;
    void RefreshData() override;

    // Takes a non-null item over.
    void AddItem(GuiSwitchItem* item);
    // Null names change nothing; unknown ones unbind.
    void SetVariable(const char* variableName);
    void SetHoverVariable(const char* variableName);
    u32_t ItemCount() const { return static_cast<u32_t>(m_items.size()); }
    GuiSwitchItem* Item(u32_t index) const { return index < m_items.size() ? m_items[index] : nullptr; }

    s16_t zIndexOwn = 0;
    bool hasFocus = false;
    ConsoleVar* selectionVariable = nullptr;
    ConsoleVar* hoverVariable = nullptr;
    IDirect3DTexture8* textures[3] = {};  // selected, normal, completed
    GuiFixedText<GUI_SWITCH_SOURCE_SIZE> source;
    GuiNamedCommand command;

private:
    void Select(GuiSwitchItem& item);

    std::vector<GuiSwitchItem*> m_items;  // owned
};
