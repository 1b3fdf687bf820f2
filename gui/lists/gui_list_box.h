// A list of text items in a box with a one-row selection bar: moved by the wheel, by clicks and by
// other controls' events, it writes the selected item into a console variable. Items may carry a
// colour and column texts. A named source (gui/lists/list_sources.h) fills it on every refresh; plug-ins
// and screen code fill it item by item.
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/plugins/plugin_api.h"
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

class Font;
struct ConsoleVar;

// Alignment codes of the list's texts, as screen scripts give them.
enum GuiListAlignment : s32_t {
    GUI_LIST_CENTRE = 0,
    GUI_LIST_RIGHT = 1,
    GUI_LIST_LEFT = 2,
};

// Where the player pictures live; the picture list writes its choice with this prefix.
inline constexpr const char* GUI_PLAYER_PICTURE_FOLDER = "component\\gui\\player_picture\\";

class GuiListBox : public GuiControl, public PluginListFill {
public:
    GuiListBox();
    ~GuiListBox() override;

    // Background, the rows from the first visible item, column texts, the selection bar. Nothing
    // while the list has no items.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // The picture list recovers from a chosen picture that went missing: back to the top, reloaded.
    void OnRightClick(s32_t x, s32_t y) override;
    // Selects the clicked row when it holds an item; handler and change event in every case.
    void OnClick(s32_t x, s32_t y) override;
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    void OnScrollDown() override;
    void OnScrollUp() override;
    // The wheel's directions: an increment moves the bar up, a decrement down.
    void OnIncrement() override;
    void OnDecrement() override;
    void GetRect(RECT* rect) const override;
    // Reloads and keeps a selection within the items.
    void OnActivate(GuiScreen* previous) override;
    void OnDeInit() override;
    // A list never takes the keyboard focus.
    void SetFocus(bool flag) override;
    void OnChar(char character) override;
    // Reloads the items from the source and selects the item the bound variable names.
    void RefreshData() override;
    void DeleteSelection() override;

    // What plug-ins and screen code call.
    void AddString(const char* text) override;
    void AddColumnText(u32_t item, const char* text) override;
    void Clear() override;

    // Appends an item (and an empty column record when the list has columns), moving nothing.
    void AddItem(const char* text);
    // Takes the string over (the display-mode list hands its texts over this way).
    void AddItem(EngineString* text);
    // The colour of the next item without one.
    void AddItemData(u32_t colour);
    void ClearItemColours();
    // Removes the item with its colour and column texts; keeps a selection on the items.
    void RemoveItem(u32_t index);
    // A null name keeps the one there.
    void SetSource(const char* sourceName);
    void SetColumns(std::vector<float> boundaries);
    void SetColumnAligns(std::vector<s32_t> aligns);
    // Takes the text over (new[]).
    void SetTooltip(char* text);
    // The command whose handler hears of every selection; looked up again at every call, so a
    // command that went away (its plug-in unloaded) is simply not called.
    void SetSelectionCommand(const char* commandName);
    // Sends the change event ("control.event") to its control in the current screen or its subscreen.
    void FireChange();
    // Moves the bar one row down or up (scrolling at the edges), then writes, calls and fires.
    void SelectNext();
    void SelectPrevious();

    u32_t ItemCount() const { return static_cast<u32_t>(m_items.size()); }
    const char* ItemText(u32_t index) const { return index < ItemCount() ? m_items[index].Text() : nullptr; }
    u32_t ItemColourCount() const { return static_cast<u32_t>(m_colours.size()); }
    u32_t ItemColour(u32_t index) const { return index < ItemColourCount() ? m_colours[index] : 0; }
    u32_t ColumnTextCount(u32_t item) const
    {
        return item < m_columnTexts.size() ? static_cast<u32_t>(m_columnTexts[item].size()) : 0;
    }
    const char* ColumnText(u32_t item, u32_t column) const
    {
        return column < ColumnTextCount(item) ? m_columnTexts[item][column].Text() : nullptr;
    }
    u32_t ColumnCount() const { return static_cast<u32_t>(m_columnBounds.size()); }
    u32_t ColumnAlignCount() const { return static_cast<u32_t>(m_columnAligns.size()); }
    const char* Source() const { return m_source.Text(); }
    // The selected item's index, -1 when none.
    s32_t SelectedItem() const;
    const char* SelectedText() const;

    IDirect3DTexture8* background = nullptr;  // not owned
    IDirect3DTexture8* selectionTexture = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    float fontSize = 0.0f;  // for an 800-wide screen
    const Font* font = nullptr;
    ConsoleVar* boundVar = nullptr;
    s32_t selectedRow = -1;  // counted from the first visible item
    s32_t firstVisible = 0;
    s32_t rowsDrawn = 0;
    EngineString changeEvent;  // "control.event"
    s32_t refreshCount = 0;
    bool pictureMode = false;
    EngineString folderPath;
    s32_t alignment = GUI_LIST_CENTRE;
    u32_t textColour = 0xFFFFFFFFu;
    char* tooltip = nullptr;  // owned

private:
    // The selected item into the bound variable (with the folder in picture mode).
    void WriteSelection();
    void WriteItem(s32_t index);
    void CallSelectionHandler();
    void EmptyItems();
    // Scrolls so that the selected item's row lies within the rows last drawn.
    void KeepSelectionInView();
    // The rows the box holds at its font's size.
    s32_t RowsInBox() const;
    s32_t RowHeight() const;

    std::vector<EngineString> m_items;
    std::vector<u32_t> m_colours;
    std::vector<std::vector<EngineString>> m_columnTexts;  // one record per item while there are columns
    std::vector<float> m_columnBounds;                     // left edges as fractions of the width
    std::vector<s32_t> m_columnAligns;                     // empty: every column centred
    EngineString m_source;
    EngineString m_selectionCommand;
};
