#include "gui/lists/gui_list_box.h"

#include <cstring>

#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_command_lookup.h"
#include "gui/screens/gui_live_values.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_tooltip.h"
#include "gui/lists/list_sources.h"
#include "platform/file_system.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr u32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr u32_t kSelectionFactor = 0x80FFFF00u;
constexpr u32_t kFolderSize = 1024;
constexpr u32_t kEventControlNameSize = 128;

void CurrentFolder(EngineString& out)
{
    char folder[kFolderSize] = {};
    if (!PlatformCurrentFolder(folder, sizeof folder))
        folder[0] = '\0';
    out.Assign(folder);
}

bool EndsWithSeparator(const char* text)
{
    const std::size_t length = std::strlen(text);
    return length > 0 && (text[length - 1] == '\\' || text[length - 1] == '/');
}

void ListRenderStates()
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TEXTURE);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetState(D3DRS_TEXTUREFACTOR, kOpaqueWhite);
}

// The x of a text in the span from left to right by its alignment code.
s32_t AlignedX(s32_t left, s32_t right, s32_t alignment)
{
    if (alignment == GUI_LIST_RIGHT)
        return right;
    if (alignment == GUI_LIST_LEFT)
        return left;
    return left + (right - left) / 2;
}

}  // namespace

GuiListBox::GuiListBox()
{
    CurrentFolder(folderPath);
    const std::string withGui = std::string(folderPath.Text()) + "\\component\\gui\\";
    folderPath.Assign(withGui.c_str());
}

GuiListBox::~GuiListBox()
{
    delete[] tooltip;
}

// ---- Filling ----

void GuiListBox::AddItem(const char* text)
{
    m_items.emplace_back(text);
    if (!m_columnBounds.empty())
        m_columnTexts.emplace_back();
}

void GuiListBox::AddItem(EngineString* text)
{
    AddItem(text ? text->Text() : "");
    delete text;
}

void GuiListBox::AddItemData(u32_t colour)
{
    m_colours.push_back(colour);
}

void GuiListBox::ClearItemColours()
{
    m_colours.clear();
    m_colours.shrink_to_fit();
}

void GuiListBox::AddString(const char* text)
{
    if (!text)
        return;
    AddItem(text);
    if (selectedRow != -1)
        return;
    selectedRow = 0;
    WriteItem(firstVisible);
    CallSelectionHandler();
    FireChange();
}

void GuiListBox::AddColumnText(u32_t item, const char* text)
{
    if (item >= ItemCount() || m_columnBounds.empty() || item >= m_columnTexts.size())
        return;
    m_columnTexts[item].emplace_back(text);
}

void GuiListBox::EmptyItems()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_columnTexts.clear();
    m_columnTexts.shrink_to_fit();
}

void GuiListBox::Clear()
{
    EmptyItems();
}

void GuiListBox::RemoveItem(u32_t index)
{
    if (index >= ItemCount())
        return;
    m_items.erase(m_items.begin() + index);
    // The colour and column texts belong to the item: left behind they would shift onto the next one.
    if (index < m_colours.size())
        m_colours.erase(m_colours.begin() + index);
    if (index < m_columnTexts.size())
        m_columnTexts.erase(m_columnTexts.begin() + index);
    if (selectedRow == static_cast<s32_t>(ItemCount()) - firstVisible)
        SelectPrevious();
    if (m_items.empty()) {
        selectedRow = -1;
        return;
    }
    WriteSelection();
    CallSelectionHandler();
}

void GuiListBox::DeleteSelection()
{
    const s32_t index = SelectedItem();
    if (selectedRow != -1 && index >= 0)
        RemoveItem(static_cast<u32_t>(index));
}

void GuiListBox::SetSource(const char* sourceName)
{
    if (sourceName)
        m_source.Assign(sourceName);
}

void GuiListBox::SetColumns(std::vector<float> boundaries)
{
    m_columnBounds = std::move(boundaries);
}

void GuiListBox::SetColumnAligns(std::vector<s32_t> aligns)
{
    m_columnAligns = std::move(aligns);
}

void GuiListBox::SetTooltip(char* text)
{
    delete[] tooltip;
    tooltip = text;
}

void GuiListBox::SetSelectionCommand(const char* commandName)
{
    m_selectionCommand.Assign(commandName);
}

// ---- Selection ----

s32_t GuiListBox::SelectedItem() const
{
    if (selectedRow < 0)
        return -1;
    const long long index = static_cast<long long>(firstVisible) + selectedRow;
    return index >= 0 && index < static_cast<long long>(ItemCount()) ? static_cast<s32_t>(index) : -1;
}

const char* GuiListBox::SelectedText() const
{
    const s32_t index = SelectedItem();
    return index >= 0 ? m_items[static_cast<u32_t>(index)].Text() : nullptr;
}

void GuiListBox::WriteItem(s32_t index)
{
    if (!boundVar || index < 0 || index >= static_cast<s32_t>(ItemCount()))
        return;
    const char* text = m_items[static_cast<u32_t>(index)].Text();
    if (pictureMode) {
        const std::string path = std::string(GUI_PLAYER_PICTURE_FOLDER) + text;
        boundVar->SetString(path.c_str());
    } else {
        boundVar->SetString(text);
    }
}

void GuiListBox::WriteSelection()
{
    WriteItem(SelectedItem());
}

void GuiListBox::CallSelectionHandler()
{
    GuiCallCommand(m_selectionCommand.Text(), "");
}

void GuiListBox::FireChange()
{
    const char* text = changeEvent.Text();
    if (!GuiIsLocaleKey(text))
        return;
    const char* dot = std::strchr(text, '.');
    char controlName[kEventControlNameSize] = {};
    const std::size_t length = static_cast<std::size_t>(dot - text);
    GuiCopyBounded(controlName, static_cast<u32_t>(length + 1 < sizeof controlName ? length + 1 : sizeof controlName),
                   text);
    GuiControl* control = GuiFindItem(controlName);
    if (!control && g_gui.currentScreen)
        control = GuiFindItemInScreen(g_gui.currentScreen->subscreen, controlName);
    if (control)
        GuiSendEvent(control, dot + 1);
}

void GuiListBox::SelectNext()
{
    if (m_items.empty())
        return;
    const s32_t last = rowsDrawn - 1;
    if (selectedRow == last && firstVisible + selectedRow < static_cast<s32_t>(ItemCount()) - 1)
        ++firstVisible;
    else if (selectedRow < last)
        ++selectedRow;
    WriteSelection();
    CallSelectionHandler();
    FireChange();
}

void GuiListBox::SelectPrevious()
{
    if (m_items.empty())
        return;
    if (firstVisible > 0 && selectedRow == 0)
        --firstVisible;
    else if (selectedRow > 0)
        --selectedRow;
    WriteSelection();
    CallSelectionHandler();
    FireChange();
}

void GuiListBox::OnScrollDown()
{
    SelectNext();
}

void GuiListBox::OnScrollUp()
{
    SelectPrevious();
}

void GuiListBox::OnIncrement()
{
    SelectPrevious();
}

void GuiListBox::OnDecrement()
{
    SelectNext();
}

s32_t GuiListBox::RowHeight() const
{
    if (!font)
        return 0;
    return static_cast<s32_t>(static_cast<float>(font->GetCharHeight()) * GuiScaleToScreen(fontSize));
}

void GuiListBox::OnClick(s32_t, s32_t clickY)
{
    RECT box = {};
    GetRect(&box);
    const s32_t row = (clickY - static_cast<s32_t>(box.top)) / (RowHeight() + 1);
    if (row >= 0 && static_cast<long long>(firstVisible) + row < static_cast<long long>(ItemCount())) {
        selectedRow = row;
        WriteSelection();
    }
    CallSelectionHandler();
    FireChange();
}

void GuiListBox::OnRightClick(s32_t, s32_t)
{
    if (CompareNoCase(m_source.Text(), "files_list") != 0 || m_items.empty())
        return;
    const char* selected = SelectedText();
    std::string path = folderPath.Text();
    if (!EndsWithSeparator(path.c_str()))
        path += '\\';
    path += selected ? selected : "";
    if (VFSOpenFile(path.c_str(), true)) {
        VFSCloseFile();
        return;
    }
    selectedRow = 0;
    firstVisible = 0;
    RefreshData();
    WriteSelection();
}

void GuiListBox::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(tooltip);
}

void GuiListBox::GetRect(RECT* rect) const
{
    GuiFractionRect(x, y, width, height, rect);
}

void GuiListBox::OnActivate(GuiScreen*)
{
    CurrentFolder(folderPath);
    RefreshData();
    if (!m_items.empty()) {
        if (static_cast<u32_t>(selectedRow) >= ItemCount() || SelectedItem() < 0) {
            selectedRow = 0;
            if (firstVisible < 0 || firstVisible >= static_cast<s32_t>(ItemCount()))
                firstVisible = 0;
            WriteSelection();
        }
    } else if (boundVar) {
        boundVar->SetString("");
    }
    CallSelectionHandler();
    FireChange();
}

void GuiListBox::OnDeInit() {}
void GuiListBox::SetFocus(bool) {}
void GuiListBox::OnChar(char) {}

// ---- Refresh ----

void GuiListBox::RefreshData()
{
    EmptyItems();
    if (boundVar && CompareNoCase(boundVar->name.Text(), "as_curimage") == 0)
        pictureMode = true;
    if (!GuiListSourceFill(*this))
        return;

    const s32_t count = static_cast<s32_t>(ItemCount());
    if (count == 0) {
        selectedRow = -1;
        if (boundVar)
            boundVar->SetString("");
    } else if (static_cast<u32_t>(selectedRow) >= static_cast<u32_t>(count)) {
        selectedRow = count - 1;
        WriteItem(count - 1);
    }
    // A scrolled list that shrank would leave the bar past the last item: bring the top back.
    if (count > 0 && firstVisible + selectedRow >= count)
        firstVisible = count - 1 - selectedRow;
    if (count > 0 && selectedRow == count - firstVisible)
        SelectPrevious();

    if (count == 0)
        selectedRow = -1;
    if (count > 0 && boundVar) {
        const char* wanted = boundVar->String();
        const std::size_t wantedLength = std::strlen(wanted);
        for (s32_t i = 0; i < count; ++i) {
            const EngineString& item = m_items[static_cast<u32_t>(i)];
            if (item.Length() == wantedLength && CompareNoCase(item.Text(), wanted) == 0) {
                // An item above the top row scrolls the list up to it.
                if (i < firstVisible)
                    firstVisible = i;
                selectedRow = i - firstVisible;
                break;
            }
        }
        KeepSelectionInView();
        WriteSelection();
        CallSelectionHandler();
    }
    ++refreshCount;
}

s32_t GuiListBox::RowsInBox() const
{
    if (!font)
        return 0;
    RECT box = {};
    GetRect(&box);
    const float scale = GuiScaleToScreen(fontSize);
    const s32_t step = static_cast<s32_t>(static_cast<float>(font->GetCharHeight()) * scale + 1.0f);
    const s32_t span = static_cast<s32_t>(box.bottom) - static_cast<s32_t>(box.top);
    if (step <= 0 || span <= 0)
        return 0;
    // As the draw counts them: every row whose top lies above the bottom.
    return (span + step - 1) / step;
}

// Before the list's first draw (a screen's first entry) the rows it will draw come from its box and
// font: the selection is in view on the first frame the player sees.
void GuiListBox::KeepSelectionInView()
{
    const s32_t rows = rowsDrawn > 0 ? rowsDrawn : RowsInBox();
    if (rows > 0 && selectedRow >= rows) {
        firstVisible += selectedRow - (rows - 1);
        selectedRow = rows - 1;
    }
}

// ---- Drawing ----

void GuiListBox::Draw(float, float, float, float)
{
    if (m_items.empty())
        return;
    if (CompareNoCase(m_source.Text(), "console_list") == 0) {
        RefreshData();
        if (m_items.empty())
            return;
    }
    ListRenderStates();
    RECT box = {};
    GetRect(&box);
    const s32_t left = box.left;
    const s32_t top = box.top;
    const s32_t right = box.right;
    const s32_t bottom = box.bottom;
    RenderSetTexture(0, background);
    Draw2DQuad(left, right, top, bottom);

    rowsDrawn = 0;
    if (!font)
        return;
    const float scale = GuiScaleToScreen(fontSize);
    const float charHeight = static_cast<float>(font->GetCharHeight());
    const s32_t shift = static_cast<s32_t>(charHeight * scale - scale * static_cast<float>(font->GetBase()));
    const s32_t step = static_cast<s32_t>(charHeight * scale + 1.0f);
    const s32_t screenWidth = GuiScreenWidth();
    const u32_t columns = ColumnCount();
    auto boundary = [&](u32_t column) {
        if (column >= columns)
            return right;
        return static_cast<s32_t>(static_cast<float>(screenWidth) * x) +
               static_cast<s32_t>(static_cast<float>(screenWidth) * m_columnBounds[column] * width) + 10;
    };

    const s32_t textX = AlignedX(left, columns ? boundary(0) : right, alignment);
    s32_t rowY = top;
    for (u32_t item = static_cast<u32_t>(firstVisible < 0 ? 0 : firstVisible); item < ItemCount() && rowY < bottom;
         ++item) {
        const u32_t colour = item < m_colours.size() ? m_colours[item] : textColour;
        DrawFontText(font, false, textX, rowY - shift, scale, m_items[item].Text(), colour, 2 - alignment);
        rowY += step;
        ++rowsDrawn;
    }

    if (columns) {
        rowY = top;
        for (u32_t item = static_cast<u32_t>(firstVisible < 0 ? 0 : firstVisible); item < ItemCount() && rowY < bottom;
             ++item) {
            const u32_t texts = ColumnTextCount(item) < columns ? ColumnTextCount(item) : columns;
            for (u32_t j = 0; j < texts; ++j) {
                const s32_t columnAlign = j < m_columnAligns.size() ? m_columnAligns[j] : GUI_LIST_CENTRE;
                const s32_t spanLeft = boundary(j);
                const s32_t spanRight = boundary(j + 1);
                s32_t columnX = spanLeft + (spanRight - spanLeft) / 2;
                if (columnAlign == GUI_LIST_RIGHT)
                    columnX = spanRight;
                else if (columnAlign != GUI_LIST_CENTRE)
                    columnX = spanLeft;
                DrawFontText(font, false, columnX, rowY - shift, scale, m_columnTexts[item][j].Text(), textColour,
                             2 - columnAlign);
            }
            rowY += step;
        }
    }

    if (selectedRow != -1) {
        RenderSetTexture(0, selectionTexture);
        RenderSetState(D3DRS_TEXTUREFACTOR, kSelectionFactor);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        const s32_t h = static_cast<s32_t>(charHeight * scale);
        Draw2DQuad(left, right, top + selectedRow * (h + 1), top + (selectedRow + 1) * h + selectedRow);
    }
    ListRenderStates();
}
