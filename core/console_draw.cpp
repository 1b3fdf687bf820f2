// The game frame's view of the consoles.
#include "core/console.h"
#include "core/console_state.h"

// The panel and message-line drawers come with the text drawing; until then only the scroll offset
// of the shown page is held to its capacity, as the panel view does before it draws.
void ConDraw()
{
    if (!g_console.ready)
        return;
    const int page = g_console.currentPage;
    if (page >= 0 && page <= 3) {
        const int capacity = ConLineCapacity(page);
        if (g_console.scrollOffset > capacity)
            g_console.scrollOffset = capacity;
    }
}
