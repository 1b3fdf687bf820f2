// The squad command menu's state as the game keeps it: where it stands, its font and text size,
// the open level and its entries, the highlighted line and the colour. The HUD draws it while it is
// open (scene/command_menu.h).
#pragma once
#include <vector>

#include "core/types.h"

class DynamicObject;
class Font;

// A menu item; its name is its line's text, its target the object its order is about (if any).
struct CommandMenuItem {
    const char* name = "";
    DynamicObject* target = nullptr;
};
// The entries of a menu level, in order.
using CommandMenuEntries = std::vector<CommandMenuItem*>;

struct CommandMenuState {
    float x = 0.0f, y = 0.0f;                   // top-left as fractions of the screen
    const Font* font = nullptr;                 // the menu font; none: nothing is drawn
    float textSize = 0.0f;                      // GUI units of an 800-wide screen
    const CommandMenuItem* openItem = nullptr;  // the open level's item; null at the root
    const CommandMenuEntries* entries = nullptr;
    s32_t selection = 0;         // 0 the back line, k entry k, count + 1 the closing line
    u32_t colour = 0xFFFFFFFFu;  // ARGB
    // The items the game flow remembers for the target indicators (second and third); not owned.
    const CommandMenuItem* rememberedSecond = nullptr;
    const CommandMenuItem* rememberedThird = nullptr;
};
