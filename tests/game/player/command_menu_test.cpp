// The context command menu over flat land seen from 5000 up: the item table built from a "menu"
// script, `AddCMItem` and its refusals, the menus opened on a soldier and for the squad, selection
// and its orders by target mode (what the handler received), and the lines the HUD draws.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/rules/script_events.h"
#include "ai/script/script_object.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/files/script_file.h"
#include "game/player/command_menu.h"
#include "game/player/cursor_pick.h"
#include "map/registry/world_registry.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/hud_input.h"
#include "scene/hud/command_menu.h"
#include "support/files.h"
#include "tests/game/map_camera_fixture.h"

namespace {

using map_camera::MapCamera;

// What an order handler received.
struct Order {
    std::string method;
    DynamicObject* object = nullptr;
    Vector3 point = {};
    s32_t tag = 0;  // an enemy-or-point target's kind
};
std::vector<Order> g_orders;

// What a soldier's script does when the menu fires its menu event: hangs orders under the root.
void (*g_menuScript)() = nullptr;
int g_menuEvents = 0;

// A soldier's envelope that notes the orders its handlers get.
class OrderedEnvelope : public DOEnvelope {
public:
    void FireEvent(ScriptObject*, s32_t eventIndex) override
    {
        if (eventIndex != ENVELOPE_EVENT_ON_INTERACT)
            return;
        ++g_menuEvents;
        if (g_menuScript)
            g_menuScript();
    }
    void Hold(ScriptArgWord*) override { g_orders.push_back({"Hold"}); }
    void LockTarget(ScriptArgWord* args) override
    {
        g_orders.push_back({"LockTarget", static_cast<DynamicObject*>(args[0])});
    }
    void MoveTo(ScriptArgWord* args) override
    {
        Order order{"MoveTo"};
        order.point = *static_cast<const Vector3*>(args[0]);
        g_orders.push_back(order);
    }
    void LockTargetOrMoveTo(ScriptArgWord* args) override
    {
        const auto* target = static_cast<const EnvelopeTarget*>(args[0]);
        Order order{"LockTargetOrMoveTo", target->object, target->point, target->tag};
        g_orders.push_back(order);
    }
};

const char* const kMenu =
    "<assign>\n"
    "  HOLD Wait DOEnvelope:Hold;\n"
    "  MOVE Go DOEnvelope:MoveTo DESTINATION_SELECTED;\n"
    "  ATTACK Fire DOEnvelope:LockTarget ENEMY_SELECTED;\n"
    "</assign>\n"
    "<prop>\n"
    "  font gui;\n  font_size 12;\n  color FF00FF00;\n  x 0.25;\n  y 0.5;\n  hx 0.1;\n  hy junk;\n"
    "</prop>\n";

class ContextMenu : public MapCamera {
protected:
    void SetUp() override
    {
        MapCamera::SetUp();
        g_orders.clear();
        g_menuScript = HangOrders;
        g_menuEvents = 0;
        ScriptClassRegistry::Create();
        ScriptTablesCreate();
        ScriptFunctionTable::Clear();
        ConStartup();
        CreateScriptCache();
        // The class "DOEnvelope" and its methods are registered by its first object.
        m_first = std::make_unique<OrderedEnvelope>();
        m_player = Soldier(0, 5000.0f, false);
        g_frameView.player = m_player->body;
    }
    void TearDown() override
    {
        InteractFree();
        g_frameView.player = nullptr;
        for (auto& envelope : m_envelopes)
            EnvelopeUnregister(envelope.get());
        m_envelopes.clear();
        for (AIInterface* ai : m_soldiers) {
            DynObjectRemove(ai->body);
            Actor* body = ai->body;
            body->DetachAI();
            delete body;
        }
        m_soldiers.clear();
        m_handlers.clear();
        m_first.reset();
        DestroyScriptCache();
        ConShutdown();
        ScriptFunctionTable::Clear();
        ScriptTablesDestroy();
        ScriptClassRegistry::Clear();
        g_hudInput.commandMenu = CommandMenuState();
        g_hudInput.flags = HudFlags();
        g_orders.clear();
        MapCamera::TearDown();
    }

    void Build(const char* script = kMenu)
    {
        if (script)
            WriteFileBytes("script/menu.scr", script);
        InteractInit();
    }
    // A soldier of the team at (x, 0, 0); the player's team is 0.
    AIInterface* Soldier(s32_t team, float x, bool withMenuEvent)
    {
        auto* ai = new AIInterface();
        m_soldiers.push_back(ai);
        ai->entity->SetTeam(team);
        ai->body->SetPosition({x, 0.0f, 0.0f});
        ai->body->name.Assign(("soldier" + std::to_string(m_soldiers.size())).c_str());
        EXPECT_TRUE(DynObjectAdd(ai->body));
        m_envelopes.push_back(std::make_unique<OrderedEnvelope>());
        OrderedEnvelope* envelope = m_envelopes.back().get();
        envelope->Attach(ai->body);
        EXPECT_GE(EnvelopeRegister(envelope), 0);
        if (withMenuEvent) {
            m_handlers.push_back(std::make_unique<EventHandler>("hMenu"));
            m_handlers.back()->SetEvent(ENVELOPE_EVENT_ON_INTERACT, new ScriptEvent("OnInteract"));
            envelope->handler = m_handlers.back().get();
        }
        return ai;
    }
    OrderedEnvelope* EnvelopeOf(const AIInterface* ai) { return static_cast<OrderedEnvelope*>(ai->body->envelope); }
    static std::vector<std::string> Children()
    {
        std::vector<std::string> names;
        if (const CommandMenuEntries* entries = g_hudInput.commandMenu.entries) {
            for (const CommandMenuItem* item : *entries)
                names.emplace_back(item->name);
        }
        return names;
    }
    static s32_t Index(const char* name)
    {
        const ScriptValue* value = ScriptGlobalObjects()->Find(name);
        return value ? *static_cast<const s32_t*>(value->data) : -99;
    }
    static void AddItem(s32_t parent, s32_t child)
    {
        const ScriptFunctionEntry* add = ScriptFunctionTable::Find("AddCMItem");
        ASSERT_NE(add, nullptr);
        ScriptArgWord words[2] = {&parent, &child};
        add->function(words);
    }
    // The three orders under the root, as a soldier's menu event would hang them.
    static void HangOrders()
    {
        AddItem(0, Index("HOLD"));
        AddItem(0, Index("MOVE"));
        AddItem(0, Index("ATTACK"));
    }

    std::unique_ptr<OrderedEnvelope> m_first;
    AIInterface* m_player = nullptr;
    std::vector<AIInterface*> m_soldiers;
    std::vector<std::unique_ptr<OrderedEnvelope>> m_envelopes;
    std::vector<std::unique_ptr<EventHandler>> m_handlers;
};

TEST_F(ContextMenu, ThreeAssignCommandsGiveFourStaticItemsAndTheirLayout)
{
    const ScriptClass* envelopes = ScriptClassRegistry::FindClass("DOEnvelope");
    ASSERT_NE(envelopes, nullptr);
    const s32_t methodsBefore = envelopes->methods.Count();
    Build();
    EXPECT_EQ(g_commandMenu.staticCount, 4);
    s32_t free = 0;
    for (s32_t slot = 4; slot < CM_ITEM_SLOTS; ++slot) {
        ASSERT_NE(g_commandMenu.slots[slot], nullptr);
        EXPECT_STREQ(g_commandMenu.slots[slot]->caption.Text(), "dynamic");
        free += g_commandMenu.slots[slot]->inUse ? 0 : 1;
    }
    EXPECT_EQ(free, 1020);
    // Each name is a script value holding its slot; each item its mode.
    EXPECT_EQ(Index("ROOT"), 0);
    EXPECT_EQ(Index("HOLD"), 1);
    EXPECT_EQ(Index("MOVE"), 2);
    EXPECT_EQ(Index("ATTACK"), 3);
    EXPECT_EQ(g_commandMenu.slots[1]->targetMode, CM_TARGET_NONE);
    EXPECT_EQ(g_commandMenu.slots[2]->targetMode, CM_DESTINATION_SELECTED);
    EXPECT_EQ(g_commandMenu.slots[3]->targetMode, CM_ENEMY_SELECTED);
    EXPECT_EQ(g_commandMenu.slots[2]->handler, envelopes->methods.Find("MoveTo"));
    // The function and the one method the scripts reach the menu through.
    const ScriptFunctionEntry* add = ScriptFunctionTable::Find("AddCMItem");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->returnType, TYP_INT);
    EXPECT_EQ(envelopes->methods.Count(), methodsBefore + 1);
    ASSERT_NE(envelopes->methods.Find("Print"), nullptr);
    EXPECT_EQ(envelopes->methods.Find("Print")->returnType, TYP_VOID);
    // The layout; a value that is no number reads as 0.
    EXPECT_FLOAT_EQ(g_hudInput.commandMenu.textSize, 12.0f);
    EXPECT_EQ(g_hudInput.commandMenu.colour, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(g_hudInput.commandMenu.x, 0.25f);
    EXPECT_FLOAT_EQ(g_hudInput.commandMenu.y, 0.5f);
    EXPECT_FLOAT_EQ(g_commandMenu.hx, 0.1f);
    EXPECT_FLOAT_EQ(g_commandMenu.hy, 0.0f);
    EXPECT_NE(ScriptGlobalObjects()->Find("interact_use_default"), nullptr);
}

TEST_F(ContextMenu, AnItemWithAnUnknownMethodIsReportedAndSkipped)
{
    Build(
        "<assign>\n  HOLD Hold DOEnvelope:Hold;\n  BAD Bad DOEnvelope:NoSuchMethod DESTINATION_SELECTED;\n"
        "  ALIEN Alien NoSuchClass:Hold;\n  MOVE Move DOEnvelope:MoveTo DESTINATION_SELECTED;\n"
        "  GROUP Group void;\n</assign>\n");
    EXPECT_EQ(g_commandMenu.staticCount, 4);
    EXPECT_EQ(Index("MOVE"), 2);
    EXPECT_EQ(Index("GROUP"), 3);
    EXPECT_EQ(Index("BAD"), -99);
    EXPECT_EQ(g_commandMenu.slots[3]->handler, nullptr);
    char** lines = ConLines(0);
    const int n = ConLineCapacity(0);
    EXPECT_STREQ(lines[n - 2],
                 "\x0E\x02"
                 "Can't find menu item func 'NoSuchMethod' for item id 'BAD'!\n");
    EXPECT_STREQ(lines[n - 1],
                 "\x0E\x02"
                 "Can't find menu item func 'Hold' for item id 'ALIEN'!\n");
}

TEST_F(ContextMenu, AddCMItemTakesOnlyStaticIndicesWhileTheDefaultIsOff)
{
    Build();
    struct Case {
        const char* what;
        s32_t useDefault, parent, child;
        bool added;
    };
    for (const Case c : {Case{"the default menu in use", 1, 0, 1, false}, Case{"child at the count", 0, 0, 4, false},
                         Case{"parent at the count", 0, 4, 1, false}, Case{"negative child", 0, 0, -1, false},
                         Case{"negative parent", 0, -3, 1, false}, Case{"dynamic child", 0, 0, 1000, false},
                         Case{"two static items", 0, 0, 2, true}}) {
        SCOPED_TRACE(c.what);
        CommandMenuClearStaticChildren();
        g_commandMenu.slots[1]->parent = nullptr;
        g_commandMenu.slots[2]->parent = nullptr;
        *static_cast<s32_t*>(ScriptGlobalObjects()->Find("interact_use_default")->data) = c.useDefault;
        AddItem(c.parent, c.child);
        EXPECT_EQ(g_commandMenu.slots[0]->children.size(), c.added ? 1u : 0u);
        if (c.added) {
            EXPECT_EQ(g_commandMenu.slots[0]->children[0], g_commandMenu.slots[c.child]);
            EXPECT_EQ(g_commandMenu.slots[c.child]->parent, g_commandMenu.slots[0]);
        }
        for (s32_t slot = 1; slot < 4; ++slot)
            EXPECT_TRUE(g_commandMenu.slots[slot]->children.empty());
    }
}

TEST_F(ContextMenu, WithoutAMenuScriptTheTableHoldsTheRootAndDynamicItemsOnly)
{
    AIInterface* friendly = Soldier(0, 0.0f, true);
    Build(nullptr);
    EXPECT_EQ(g_commandMenu.staticCount, 1);
    EXPECT_EQ(Index("ROOT"), 0);
    for (s32_t slot = 1; slot < CM_ITEM_SLOTS; ++slot)
        ASSERT_NE(g_commandMenu.slots[slot], nullptr);
    // The soldier's script can hang nothing: the menu shows no line.
    g_menuScript = nullptr;
    ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(friendly)));
    EXPECT_TRUE(Children().empty());
}

TEST_F(ContextMenu, OpeningOnASoldierFiresHisMenuEventAndShowsTheRootForHim)
{
    AIInterface* friendly = Soldier(0, 0.0f, true);
    Build();
    // Not the player, not without a soldier.
    EXPECT_FALSE(CommandMenuOpenOn(EnvelopeOf(m_player)));
    EXPECT_FALSE(CommandMenuOpenOn(nullptr));
    EXPECT_EQ(g_menuEvents, 0);

    ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(friendly)));
    EXPECT_EQ(g_menuEvents, 1);
    EXPECT_EQ(g_commandMenu.current, g_commandMenu.slots[0]);
    EXPECT_EQ(g_commandMenu.target, EnvelopeOf(friendly));
    EXPECT_EQ(friendly->body->pickedHighlight, 1);
    EXPECT_EQ(Children(), (std::vector<std::string>{"Wait", "Go", "Fire"}));
    // A second opening does not pile the orders up: the static children are cleared before the event.
    ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(friendly)));
    EXPECT_EQ(Children().size(), 3u);

    // An index outside the children changes nothing.
    for (s32_t outside : {-1, 3, 100}) {
        CommandMenuSelect(outside);
        EXPECT_EQ(g_commandMenu.current, g_commandMenu.slots[0]);
        EXPECT_TRUE(g_orders.empty());
    }
    // An order without a target mode runs at once and closes the menu.
    g_hudInput.flags.commandMenuOpen = 1;
    CommandMenuSelect(0);
    ASSERT_EQ(g_orders.size(), 1u);
    EXPECT_EQ(g_orders[0].method, "Hold");
    EXPECT_EQ(g_hudInput.flags.commandMenuOpen, 0);
    EXPECT_EQ(friendly->body->pickedHighlight, 0);
    EXPECT_EQ(friendly->body->markedHighlight, 0);
}

TEST_F(ContextMenu, ADestinationOrderGoesToTheGroundUnderTheCursor)
{
    AIInterface* friendly = Soldier(0, 0.0f, true);
    Build();
    ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(friendly)));
    Cursor(48.0f, 10.0f);
    CommandMenuSelect(1);
    ASSERT_EQ(g_orders.size(), 1u);
    EXPECT_EQ(g_orders[0].method, "MoveTo");
    const Vector3 point = g_orders[0].point;
    EXPECT_NEAR(point.y, 0.0f, 1e-2f);
    const float world[3] = {point.x, point.y, point.z};
    float screen[3];
    ASSERT_TRUE(GameProjectToScreen(screen, world));
    EXPECT_NEAR(screen[0], 48.0f, 0.01f);
    EXPECT_NEAR(screen[1], 10.0f, 0.01f);
}

TEST_F(ContextMenu, AnAttackOrderTakesOnlyALivingEnemyUnderTheCursor)
{
    AIInterface* ordered = Soldier(0, 1500.0f, true);
    AIInterface* under = Soldier(0, 0.0f, false);
    Build();
    Cursor(32.0f, 24.0f);
    struct Case {
        const char* what;
        s32_t team;
        bool dead;
        bool ordered;
    };
    for (const Case c : {Case{"a friend", 0, false, false}, Case{"a neutral", 1, false, false},
                         Case{"a dead enemy", 2, true, false}, Case{"a living enemy", 2, false, true}}) {
        SCOPED_TRACE(c.what);
        g_orders.clear();
        under->entity->SetTeam(c.team);
        under->body->isDead = c.dead;
        CommandMenuResetDynamic();
        ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(ordered)));
        CommandMenuSelect(2);
        ASSERT_EQ(g_orders.size(), c.ordered ? 1u : 0u);
        if (c.ordered) {
            EXPECT_EQ(g_orders[0].method, "LockTarget");
            EXPECT_EQ(g_orders[0].object, under->body);
        }
    }
}

TEST_F(ContextMenu, WithEveryDynamicSlotInUseOpeningOnAnotherSoldierDoesNothing)
{
    AIInterface* first = Soldier(0, 0.0f, true);
    AIInterface* second = Soldier(0, 100.0f, true);
    Build();
    ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(first)));
    for (s32_t slot = g_commandMenu.staticCount; slot < CM_ITEM_SLOTS; ++slot)
        g_commandMenu.slots[slot]->inUse = 1;
    const int events = g_menuEvents;
    EXPECT_FALSE(CommandMenuOpenOn(EnvelopeOf(second)));
    EXPECT_FALSE(CommandMenuOpenSquad());
    EXPECT_EQ(g_menuEvents, events);
    EXPECT_EQ(g_commandMenu.target, EnvelopeOf(first));
    EXPECT_EQ(second->body->pickedHighlight, 0);
    // Reset, the slots are free again.
    CommandMenuResetDynamic();
    EXPECT_TRUE(CommandMenuOpenOn(EnvelopeOf(second)));
}

TEST_F(ContextMenu, TheSquadMenuListsTheLivingFriendsThatAnswerTheMenu)
{
    AIInterface* alpha = Soldier(0, 100.0f, true);
    Soldier(0, 200.0f, false);  // no menu event
    Soldier(2, 300.0f, true);   // an enemy
    Soldier(1, 400.0f, true);   // neutral
    AIInterface* dead = Soldier(0, 500.0f, true);
    dead->body->isDead = true;
    AIInterface* bravo = Soldier(0, 600.0f, true);
    EnvelopeOf(m_player)->handler = m_handlers.front().get();  // the player, even with a menu event
    Build();
    ASSERT_TRUE(CommandMenuOpenSquad());
    EXPECT_EQ(Children(), (std::vector<std::string>{alpha->body->name.Text(), bravo->body->name.Text()}));
    EXPECT_EQ((*g_hudInput.commandMenu.entries)[1]->target, bravo->body);
    EXPECT_EQ(g_hudInput.commandMenu.openItem, nullptr) << "the squad's list is titled as the root";

    // Choosing a soldier opens his menu, and his orders go to him.
    CommandMenuSelect(1);
    EXPECT_EQ(g_commandMenu.target, EnvelopeOf(bravo));
    EXPECT_EQ(Children(), (std::vector<std::string>{"Wait", "Go", "Fire"}));
    // Back from the root leads to the squad's list.
    CommandMenuBack();
    EXPECT_EQ(Children().size(), 2u);
    EnvelopeOf(m_player)->handler = nullptr;
}

TEST_F(ContextMenu, TheHudDrawsTheCurrentItemsChildren)
{
    static std::vector<std::string> lines;
    lines.clear();
    AIInterface* friendly = Soldier(0, 0.0f, true);
    Build();
    Font font{"menu", nullptr, nullptr, 16, 0, '_'};
    g_hudInput.commandMenu.font = &font;
    ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(friendly)));
    CommandMenuSetLineTracer([](const CommandMenuLine& line) { lines.emplace_back(line.text); });
    const CommandMenuState& menu = g_hudInput.commandMenu;
    CommandMenuDraw(menu.x, menu.y, 0, menu.entries, 2, menu.colour, true);
    CommandMenuSetLineTracer(nullptr);
    g_hudInput.commandMenu.font = nullptr;
    EXPECT_EQ(lines, (std::vector<std::string>{"- Global -", "..", "1.  Wait", "2.  Go", "3.  Fire", "x"}));
}

TEST_F(ContextMenu, ExecMenuItemRunsEveryModeWhileSelectionLeavesFriendAndDirectionToIt)
{
    AIInterface* ordered = Soldier(0, 1500.0f, true);
    AIInterface* friendly = Soldier(0, 0.0f, false);
    Build(
        "<assign>\n  ESCORT Escort DOEnvelope:LockTarget FRIEND_SELECTED;\n"
        "  FACE Face DOEnvelope:MoveTo DIRECTION_SELECTED;\n</assign>\n");
    g_menuScript = [] {
        AddItem(0, Index("ESCORT"));
        AddItem(0, Index("FACE"));
    };
    Cursor(32.0f, 24.0f);
    for (s32_t child : {0, 1}) {
        ASSERT_TRUE(CommandMenuOpenOn(EnvelopeOf(ordered)));
        CommandMenuSelect(child);
    }
    EXPECT_TRUE(g_orders.empty()) << "selecting leaves these modes to the envelope's ExecMenuItem";

    s32_t escort = Index("ESCORT");
    ScriptArgWord word = &escort;
    EnvelopeOf(ordered)->ExecMenuItem(&word);
    ASSERT_EQ(g_orders.size(), 1u);
    EXPECT_EQ(g_orders[0].method, "LockTarget");
    EXPECT_EQ(g_orders[0].object, friendly->body);
    s32_t face = Index("FACE");
    word = &face;
    EnvelopeOf(ordered)->ExecMenuItem(&word);
    ASSERT_EQ(g_orders.size(), 2u);
    EXPECT_EQ(g_orders[1].method, "MoveTo");
    EXPECT_NEAR(g_orders[1].point.x, 0.0f, 1.0f);
    // Only static items run; the root and dynamic slots have no order.
    for (s32_t index : {-1, 0, 3, 1023, 1024}) {
        word = &index;
        EnvelopeOf(ordered)->ExecMenuItem(&word);
    }
    EXPECT_EQ(g_orders.size(), 2u);
}

}  // namespace
