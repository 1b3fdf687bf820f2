// The game frame's view of the consoles: the shown page 0 to 3 as the console panel, otherwise
// the message console's lines.
#include "core/console/console.h"
#include "core/console/console_state.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr D3DCOLOR kPanelTextColour = 0xFF00FF00u;
constexpr D3DCOLOR kMessageBackground = 0x60000000u;
constexpr D3DCOLOR kMessageTextColour = 0x80FFFFFFu;

}  // namespace

void ConDraw()
{
    if (!g_console.ready)
        return;
    const int page = g_console.currentPage;
    if (page >= 0 && page <= 3) {
        const int capacity = ConLineCapacity(page);
        if (g_console.scrollOffset > capacity)
            g_console.scrollOffset = capacity;
        // Pages 0 and 1 are darker than pages 2 and 3.
        const D3DCOLOR background = page <= 1 ? 0x60000000u : 0x20000000u;
        DrawConsolePanel(g_console.consoles[page].lines, capacity - g_console.scrollOffset, g_console.commandLine,
                         g_console.commandLength, background, kPanelTextColour);
        return;
    }
    DrawMessageLines(page == CON_MESSAGE_CONSOLE, g_console.consoles[CON_MESSAGE_CONSOLE].lines,
                     ConLineCapacity(CON_MESSAGE_CONSOLE), g_console.commandLine, g_console.commandLength,
                     g_console.messageStamps, kMessageBackground, kMessageTextColour);
}
