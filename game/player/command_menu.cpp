// The context command menu's item table, its building from the script "menu", its navigation and
// the execution of an order by its target mode.
#include "game/player/command_menu.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/script/script_object.h"
#include "core/console/console.h"
#include "core/strings/finite_number.h"
#include "core/frame_view.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "game/player/cursor_pick.h"
#include "gui/texts/fonts.h"
#include "gui/texts/gui_locale.h"
#include "platform/win32.h"
#include "render/draw2d/hud_input.h"

CommandMenu g_commandMenu;

namespace {

constexpr const char* kModeNames[] = {"ENEMY_SELECTED", "FRIEND_SELECTED", "DESTINATION_SELECTED",
                                      "ENEMY_OR_PT_SELECTED", "DIRECTION_SELECTED"};

CMItem* NewItem(const char* caption, s32_t index)
{
    auto* item = new CMItem();
    item->caption.Assign(caption);
    item->index = index;
    item->view.name = item->caption.Text();
    return item;
}

// The HUD's view of the current level: its children, and its own caption as the title (none at the
// root, which the HUD titles as the global menu).
void Publish()
{
    CommandMenu& menu = g_commandMenu;
    menu.shown.clear();
    CommandMenuState& hud = g_hudInput.commandMenu;
    if (!menu.current) {
        hud.entries = nullptr;
        hud.openItem = nullptr;
        return;
    }
    for (CMItem* child : menu.current->children)
        menu.shown.push_back(&child->view);
    hud.entries = &menu.shown;
    // The root and the squad's list (a dynamic item that stands for nobody) have no title of their own.
    const bool untitled =
        menu.current == menu.slots[0] || (menu.current->index >= menu.staticCount && !menu.current->owner);
    hud.openItem = untitled ? nullptr : &menu.current->view;
}

DynamicObject* BoundObject(const Envelope* envelope)
{
    if (!envelope || envelope->kind != ENVELOPE_KIND_OBJECT)
        return nullptr;
    return static_cast<const DOEnvelope*>(envelope)->object;
}

// The living actor other than the player that the envelope wraps, or null.
Actor* OtherActor(const Envelope* envelope)
{
    DynamicObject* object = BoundObject(envelope);
    if (!object || object == g_frameView.player || object->GetTypeId() != OBJECT_TYPE_ACTOR)
        return nullptr;
    return static_cast<Actor*>(object);
}

bool IsDead(const Actor* actor)
{
    return actor->isDead || actor->GetHealth() <= 0.0f;
}

const AIEntity* PlayerEntity()
{
    const DynamicObject* player = g_frameView.player;
    if (!player || player->GetTypeId() != OBJECT_TYPE_ACTOR)
        return nullptr;
    return static_cast<const Actor*>(player)->GetAIEntity();
}

bool IsEnemyOfPlayer(const Actor* actor)
{
    const AIEntity* entity = actor->GetAIEntity();
    const AIEntity* player = PlayerEntity();
    return entity && player && entity->IsEnemyOf(player);
}

// A free dynamic slot, searched from the last down; marked in use. -1 when every one is taken.
s32_t AllocateDynamic()
{
    CommandMenu& menu = g_commandMenu;
    for (s32_t slot = CM_ITEM_SLOTS - 1; slot >= menu.staticCount; --slot) {
        CMItem* item = menu.slots[slot];
        if (item && !item->inUse) {
            item->inUse = 1;
            item->index = slot;
            return slot;
        }
    }
    return -1;
}

// A dynamic item standing for the envelope's actor.
CMItem* DynamicItemFor(Envelope* envelope, const Actor* actor)
{
    const s32_t slot = AllocateDynamic();
    if (slot < 0)
        return nullptr;
    CMItem* item = g_commandMenu.slots[slot];
    item->caption.Assign(actor->name.Text());
    item->view.name = item->caption.Text();
    item->owner = envelope;
    item->view.target = BoundObject(envelope);
    return item;
}

void MarkTarget(Envelope* envelope, u8_t on)
{
    if (DynamicObject* object = BoundObject(envelope)) {
        object->pickedHighlight = on;
        object->markedHighlight = on;
    }
}

// The owner's script rebuilds the root's children; the menu then shows the root for the owner.
void OpenItem(CMItem* item)
{
    CommandMenu& menu = g_commandMenu;
    Envelope* owner = item->owner;
    if (CommandMenuHasEvent(owner)) {
        CommandMenuClearStaticChildren();
        owner->FireEvent(nullptr, ENVELOPE_EVENT_ON_INTERACT);
    }
    menu.target = owner;
    MarkTarget(owner, 1);
    CMItem* root = menu.slots[0];
    root->parent = item->parent;
    menu.current = root;
    menu.first = root;
    Publish();
}

// The order's argument by the target mode; false when the pick gives nothing to order with.
// `selecting`: the menu's own selection, which leaves the friend and direction modes to
// InteractExecuteItem.
void Execute(const CMItem* item, ScriptObject* object, bool selecting)
{
    if (!item->handler || !object)
        return;
    ScriptArgWord word = nullptr;
    Vector3 point = {};
    EnvelopeTarget target;
    switch (item->targetMode) {
        case CM_TARGET_NONE:
            ScriptCallMethod(object, item->handler, nullptr);
            return;
        case CM_ENEMY_SELECTED: {
            Actor* actor = GamePickActorAtCursor();
            if (!actor || IsDead(actor) || !IsEnemyOfPlayer(actor))
                return;
            word = static_cast<DynamicObject*>(actor);
            break;
        }
        case CM_FRIEND_SELECTED: {
            if (selecting)
                return;
            GameSetPickFilter(true);
            Envelope* picked = GamePickObjectAtCursor();
            GameSetPickFilter(false);
            DynamicObject* bound = BoundObject(picked);
            if (!bound || bound->GetTypeId() != OBJECT_TYPE_ACTOR)
                return;
            word = bound;
            break;
        }
        case CM_DIRECTION_SELECTED:
            if (selecting)
                return;
            [[fallthrough]];
        case CM_DESTINATION_SELECTED:
            if (!GamePickGroundPointAtCursor(&point.x))
                return;
            word = &point;
            break;
        case CM_ENEMY_OR_PT_SELECTED: {
            Actor* actor = GamePickActorAtCursor();
            if (actor && !IsDead(actor) && IsEnemyOfPlayer(actor)) {
                target.tag = 1;
                target.object = actor;
            } else if (GamePickGroundPointAtCursor(&target.point.x)) {
                target.tag = 2;
            } else {
                return;
            }
            word = &target;
            break;
        }
        default:
            return;
    }
    ScriptCallMethod(object, item->handler, &word);
}

void ScriptAddCMItem(ScriptArgWord* args)
{
    CommandMenu& menu = g_commandMenu;
    if (!args || !args[0] || !args[1] || menu.useDefault != 0)
        return;
    const s32_t parent = *static_cast<const s32_t*>(args[0]);
    const s32_t child = *static_cast<const s32_t*>(args[1]);
    // Both must name static items: a negative index would reach before the table.
    if (parent < 0 || child < 0 || parent >= menu.staticCount || child >= menu.staticCount)
        return;
    CMItem* parentItem = menu.slots[parent];
    CMItem* childItem = menu.slots[child];
    parentItem->children.push_back(childItem);
    childItem->parent = parentItem;
}

// The handler "class:method" (split at the last ':'); null when the class or method is unknown.
const ScriptMethod* FindHandler(const char* text)
{
    const char* colon = std::strrchr(text, ':');
    if (!colon)
        return nullptr;
    const std::string className(text, static_cast<size_t>(colon - text));
    const ScriptClass* scriptClass = ScriptClassRegistry::FindClass(className.c_str());
    return scriptClass ? scriptClass->methods.Find(colon + 1) : nullptr;
}

void RegisterIndex(const char* name, s32_t index)
{
    if (NamedValueTable* globals = ScriptGlobalObjects())
        globals->AddInt(name, index);
}

void ReadAssign(const ScriptSection* assign)
{
    CommandMenu& menu = g_commandMenu;
    menu.slots[0] = NewItem("ROOT", 0);
    menu.slots[0]->inUse = 1;
    menu.staticCount = 1;
    RegisterIndex("ROOT", 0);
    if (!assign)
        return;
    for (const ScriptCommand& command : assign->commands) {
        if (menu.staticCount >= CM_ITEM_SLOTS)
            break;
        if (command.WordCount() < 3)
            continue;
        const char* name = command.Word(0);
        const char* handlerText = command.Word(2);
        const ScriptMethod* handler = nullptr;
        if (CompareNoCase(handlerText, "void") != 0) {
            handler = FindHandler(handlerText);
            if (!handler) {
                const char* colon = std::strrchr(handlerText, ':');
                ConPrint(0,
                         "\x0E\x02"
                         "Can't find menu item func '%s' for item id '%s'!\n",
                         colon ? colon + 1 : handlerText, name);
                continue;
            }
        }
        EngineString caption(command.Word(1));
        GuiLocalize(&caption);
        CMItem* item = NewItem(caption.Text(), menu.staticCount);
        item->handler = handler;
        item->targetMode = handler ? CMTargetModeFromName(command.Word(3)) : CM_TARGET_NONE;
        item->inUse = 1;
        menu.slots[menu.staticCount] = item;
        RegisterIndex(name, menu.staticCount);
        ++menu.staticCount;
    }
}

u32_t ReadHex(const char* text)
{
    return static_cast<u32_t>(std::strtoul(text, nullptr, 16));
}

// A word that does not read as a number gives 0.
float ReadFloat(const char* text)
{
    return FiniteFloatOrZero(text);
}

void ReadLayout(const ScriptSection* prop)
{
    CommandMenu& menu = g_commandMenu;
    CommandMenuState& hud = g_hudInput.commandMenu;
    if (!prop)
        return;
    for (const ScriptCommand& command : prop->commands) {
        const char* key = command.Keyword();
        const char* value = command.Word(1);
        if (CompareNoCase(key, "font") == 0)
            hud.font = FindFont(value);
        else if (CompareNoCase(key, "font_size") == 0)
            hud.textSize = ReadFloat(value);
        else if (CompareNoCase(key, "color") == 0)
            hud.colour = ReadHex(value);
        else if (CompareNoCase(key, "color_grayed") == 0)
            menu.colourGrayed = ReadHex(value);
        else if (CompareNoCase(key, "x") == 0)
            hud.x = ReadFloat(value);
        else if (CompareNoCase(key, "y") == 0)
            hud.y = ReadFloat(value);
        else if (CompareNoCase(key, "hx") == 0)
            menu.hx = ReadFloat(value);
        else if (CompareNoCase(key, "hy") == 0)
            menu.hy = ReadFloat(value);
    }
}

}  // namespace

s32_t CMTargetModeFromName(const char* name)
{
    if (!name)
        return CM_TARGET_NONE;
    for (s32_t i = 0; i < 5; ++i) {
        if (CompareNoCase(name, kModeNames[i]) == 0)
            return i;
    }
    return CM_TARGET_NONE;
}

bool CommandMenuHasEvent(const Envelope* envelope)
{
    return envelope && envelope->handler && envelope->handler->GetEvent(ENVELOPE_EVENT_ON_INTERACT);
}

void InteractInit()
{
    InteractFree();
    CommandMenu& menu = g_commandMenu;
    // The function and the method scripts reach the menu through.
    ScriptFunctionTable::Add("AddCMItem", ScriptAddCMItem, TYP_INT);
    if (ScriptClass* envelopes = ScriptClassRegistry::FindClass("DOEnvelope"))
        envelopes->methods.Add(ScriptMethodOf(&DOEnvelope::Print), "Print", TYP_VOID);

    ScriptFile* script = GetScriptFile("menu", false);
    ScriptSection* root = script ? script->Root() : nullptr;
    ReadAssign(root ? root->FindChild("assign") : nullptr);
    for (s32_t slot = menu.staticCount; slot < CM_ITEM_SLOTS; ++slot)
        menu.slots[slot] = NewItem("dynamic", -1);
    ReadLayout(root ? root->FindChild("prop") : nullptr);
    if (NamedValueTable* globals = ScriptGlobalObjects())
        globals->AddTyped("interact_use_default", TYP_INT, &menu.useDefault);
}

void InteractFree()
{
    CommandMenu& menu = g_commandMenu;
    for (CMItem*& item : menu.slots) {
        delete item;
        item = nullptr;
    }
    menu.staticCount = 0;
    menu.current = nullptr;
    menu.first = nullptr;
    menu.target = nullptr;
    menu.useDefault = 0;
    menu.selectionMode = CM_TARGET_NONE;
    menu.shown.clear();
    CommandMenuState& hud = g_hudInput.commandMenu;
    hud.entries = nullptr;
    hud.openItem = nullptr;
    g_hudInput.flags.commandMenuOpen = 0;
}

bool CommandMenuOpenOn(Envelope* envelope)
{
    const Actor* actor = OtherActor(envelope);
    if (!actor || !g_commandMenu.slots[0])
        return false;
    CMItem* item = DynamicItemFor(envelope, actor);
    if (!item)
        return false;
    OpenItem(item);
    return true;
}

bool CommandMenuOpenSquad()
{
    CommandMenu& menu = g_commandMenu;
    if (!menu.slots[0])
        return false;
    const s32_t slot = AllocateDynamic();
    if (slot < 0)
        return false;
    CMItem* squad = menu.slots[slot];
    menu.current = squad;
    menu.first = squad;
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope || envelope->destroyed)
            continue;
        const Actor* actor = OtherActor(envelope);
        if (!actor || IsDead(actor) || IsEnemyOfPlayer(actor) || !actor->GetAIEntity() ||
            actor->GetAIEntity()->IsNeutral() || !CommandMenuHasEvent(envelope))
            continue;
        CMItem* item = DynamicItemFor(envelope, actor);
        if (!item)
            break;
        item->parent = squad;
        squad->children.push_back(item);
    }
    Publish();
    return true;
}

CMItem* CommandMenuChild(s32_t childIndex)
{
    const CMItem* current = g_commandMenu.current;
    if (!current || childIndex < 0 || childIndex >= static_cast<s32_t>(current->children.size()))
        return nullptr;
    return current->children[static_cast<size_t>(childIndex)];
}

void CommandMenuSelect(s32_t childIndex)
{
    CommandMenu& menu = g_commandMenu;
    CMItem* child = CommandMenuChild(childIndex);
    if (!child)
        return;
    menu.current = child;
    if (child->owner) {
        OpenItem(child);
        return;
    }
    if (child->handler) {
        Execute(child, menu.target, true);
        CommandMenuClose();
        return;
    }
    Publish();
}

void CommandMenuBack()
{
    CommandMenu& menu = g_commandMenu;
    if (menu.current && menu.current->parent) {
        menu.current = menu.current->parent;
        Publish();
    }
}

void CommandMenuResetDynamic()
{
    CommandMenu& menu = g_commandMenu;
    for (s32_t slot = CM_ITEM_SLOTS - 1; slot >= menu.staticCount; --slot) {
        CMItem* item = menu.slots[slot];
        if (!item)
            continue;
        item->index = -1;
        item->inUse = 0;
        item->parent = nullptr;
        item->owner = nullptr;
        item->targetMode = CM_TARGET_NONE;
        // A squad item's list belongs to the menu it was made for.
        item->children.clear();
        item->view.target = nullptr;
    }
    if (menu.current && menu.current->index < 0 && !menu.current->inUse) {
        menu.current = nullptr;
        menu.first = nullptr;
        Publish();
    }
}

void CommandMenuClearStaticChildren()
{
    CommandMenu& menu = g_commandMenu;
    for (s32_t slot = 0; slot < menu.staticCount; ++slot)
        menu.slots[slot]->children.clear();
}

void CommandMenuClose()
{
    CommandMenu& menu = g_commandMenu;
    g_hudInput.flags.commandMenuOpen = 0;
    MarkTarget(menu.target, 0);
}

void CommandMenuSetSelectionMode(s32_t itemIndex)
{
    CommandMenu& menu = g_commandMenu;
    const CMItem* item = itemIndex >= 0 && itemIndex < CM_ITEM_SLOTS ? menu.slots[itemIndex] : nullptr;
    menu.selectionMode = item ? item->targetMode : CM_TARGET_NONE;
}

void InteractExecuteItem(s32_t itemIndex, ScriptObject* object)
{
    CommandMenu& menu = g_commandMenu;
    if (itemIndex < 0 || itemIndex >= menu.staticCount)
        return;
    Execute(menu.slots[itemIndex], object, false);
}
