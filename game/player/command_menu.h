// The context command menu: a tree of items whose leaves run a script method on a soldier or
// object, after the player has picked what the order is about (an enemy, a friend, a point on the
// ground, a direction). The static items come from the section "assign" of the script "menu" (the
// root "ROOT" first); the slots after them hold dynamic items that stand for the objects a menu is
// opened on, and their scripts hang static items under the root with `AddCMItem` when it opens.
// The HUD draws the current item's children (render/draw2d/hud_input.h) with the layout of the section
// "prop".
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"
#include "render/draw2d/hud_input.h"

class Envelope;
class ScriptObject;
struct ScriptMethod;

constexpr s32_t CM_ITEM_SLOTS = 1024;

// What an item's order needs the player to pick first.
enum CMTargetMode : s32_t {
    CM_TARGET_NONE = -1,
    CM_ENEMY_SELECTED = 0,
    CM_FRIEND_SELECTED = 1,
    CM_DESTINATION_SELECTED = 2,
    CM_ENEMY_OR_PT_SELECTED = 3,
    CM_DIRECTION_SELECTED = 4,
};

// The mode of a name, without regard to case; -1 for an unknown name.
s32_t CMTargetModeFromName(const char* name);

struct CMItem {
    EngineString caption;  // the localised label, or the object's name for a dynamic item
    std::vector<CMItem*> children;
    s32_t index = -1;  // the item's slot; -1 for a free dynamic item
    CMItem* parent = nullptr;
    const ScriptMethod* handler = nullptr;  // null: the item only opens its children
    EngineString texts[2];
    u8_t inUse = 0;
    Envelope* owner = nullptr;  // the object a dynamic item stands for
    s32_t targetMode = CM_TARGET_NONE;
    // What the HUD reads of the item (its caption and the owner's object).
    CommandMenuItem view;
};

// The menu's state for the running mission.
struct CommandMenu {
    CMItem* slots[CM_ITEM_SLOTS] = {};
    s32_t staticCount = 0;  // the root and the items of "assign"
    CMItem* current = nullptr;
    CMItem* first = nullptr;
    Envelope* target = nullptr;  // what the orders are given to
    s32_t useDefault = 0;        // the script value `interact_use_default`
    s32_t selectionMode = CM_TARGET_NONE;
    u32_t colourGrayed = 0;
    float hx = 0.0f, hy = 0.0f;
    // The current item's children as the HUD draws them.
    CommandMenuEntries shown;
};

extern CommandMenu g_commandMenu;

// Mission start: builds the menu from the script "menu" (its registrations with it). Without the
// script the table holds the root and the dynamic items only.
void InteractInit();
// Leaving the mission: every item and the menu's state go.
void InteractFree();

// The player control's steps.
// Opens the menu on the object of the envelope, when it is an actor other than the player and a
// dynamic item is free; false (nothing changed) otherwise.
bool CommandMenuOpenOn(Envelope* envelope);
// Opens the squad's menu: one item per living friendly soldier whose envelope has a menu event.
// False when no dynamic item is free.
bool CommandMenuOpenSquad();
// Child i of the current item: a soldier's item opens his menu, an order runs and closes the menu,
// another item shows its children. Outside the children nothing changes.
void CommandMenuSelect(s32_t childIndex);
void CommandMenuBack();
// Every dynamic item free again.
void CommandMenuResetDynamic();
void CommandMenuClearStaticChildren();
// Closes the menu: the open flag and the target's two highlights cleared.
void CommandMenuClose();
// The pending target-selection mode becomes the item's (-1 for an empty slot or none).
void CommandMenuSetSelectionMode(s32_t itemIndex);
// Child i of the current item, or null.
CMItem* CommandMenuChild(s32_t childIndex);

// Runs the static item's order for the object with the target picked by its mode (every mode).
void InteractExecuteItem(s32_t itemIndex, ScriptObject* object);

// Whether the envelope's script answers the menu: its handler has an "OnInteract" event. A soldier's
// use by the player never fires that event, so it is the event the menu fires.
bool CommandMenuHasEvent(const Envelope* envelope);
