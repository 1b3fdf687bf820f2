// The command structure: the pools and their reordering on free, commanders made for the groups of
// "mission.aig" with their soldiers' stacks, the losses of dying soldiers, the manoeuvre's program-made
// lists (shared sync ids, alternating flanks, numbers that stay numbers) and the situation evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ai/squads/ai_groups.h"
#include "ai/squads/commanders.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_cell.h"
#include "ai/msal/msal_reader.h"
#include "ai/msal/msal_runtime.h"
#include "ai/soldier/path_follower.h"
#include "ai/rules/script_events.h"
#include "ai/envelopes/shape_envelopes.h"
#include "core/strings/colour_codes.h"
#include "ai/script_mission_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class Commanders : public ScriptMission {
protected:
    // A soldier whose body has an envelope of the name in the table.
    AIInterface* Scripted(const char* name, float x)
    {
        Actor* body = Body(name, x);
        auto* envelope = new DOEnvelope(name);
        EnvelopeRegister(envelope);
        envelope->Attach(body);
        body->envelope = envelope;
        return body->ai;
    }
    // The soldiers and the groups of the file; the mission script's tables exist.
    void LoadGroups(const char* text)
    {
        WriteMissionFile("mission.aig", text);
        AILoadGroups(kFolder);
        MSALLoadText("", 0);
    }
    static bool ConsoleHas(const std::string& text)
    {
        for (const std::string& line : Console()) {
            if (line == text)
                return true;
        }
        return false;
    }
    // The program-made list a soldier runs now.
    static const MSALCommandList* RunningList(const AIInterface* soldier)
    {
        const MSALRunner* runner = MSALEnvelopeRunner(soldier->body->envelope);
        return runner && !runner->Sublists().empty() ? runner->Sublists().back().list : nullptr;
    }
    static std::vector<MSALCommand*> Commands(const MSALCommandList* list)
    {
        std::vector<MSALCommand*> commands;
        for (MSALCommand* command = list ? list->first : nullptr; command; command = command->next)
            commands.push_back(command);
        return commands;
    }
};

TEST_F(Commanders, PoolsKeepTheirRecordsInPlaceAndRefuseThe101st)
{
    AIMaster* first = CommandMaster(AI_MASTER_REPORTING);
    AIMaster* second = CommandMaster(AI_MASTER_OTHER);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->partner, second);
    EXPECT_EQ(second->partner, first);
    EXPECT_EQ(first->reserve, 50.0f);
    EXPECT_EQ(CommandMaster(2), nullptr);
    EXPECT_EQ(CommandMaster(-1), nullptr);

    AICommander* a = CreateGroupOnSide(AI_MASTER_OTHER);
    AICommander* b = CreateGroupOnSide(AI_MASTER_OTHER);
    AICommander* c = CreateGroupOnSide(AI_MASTER_OTHER);
    ASSERT_NE(c, nullptr);
    // Newest first in the list, creation order in the array.
    EXPECT_EQ(second->commanders, c);
    EXPECT_EQ(c->next, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(second->commanderCount, 3);
    EXPECT_EQ((std::vector<AICommander*>(second->created, second->created + second->createdCount)),
              (std::vector<AICommander*>{a, b, c}));
    EXPECT_EQ(c->poolPosition, 2);
    const float initial[8] = {0.0f, 0.0f, 0.0f, 50.0f, 50.0f, 50.0f, 5.0f, 20.0f};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(a->parameters[i], initial[i]) << i;
    // The command point: a nameless point envelope of radius 10 at the origin, in the table.
    ASSERT_NE(a->commandPoint, nullptr);
    EXPECT_EQ(a->commandPoint->kind, ENVELOPE_KIND_POINT);
    EXPECT_STREQ(a->commandPoint->name.Text(), "");
    EXPECT_EQ(a->commandPoint->radius, 10.0f);
    EXPECT_GE(EnvelopeRegister(a->commandPoint), 0);
    PointEnvelope* pointOfA = a->commandPoint;

    // The last commander made takes the freed place; the dissolved one leaves list and array, its
    // command point stays in the table.
    AIInterface* soldier = Soldier("s", 0.0f);
    AICommandStack* stack = CreateCommandStack(soldier, 1.0f);
    AddMemberToGroup(a, stack);
    EXPECT_EQ(a->stackCount, 1);
    RemoveMember(stack);
    EXPECT_EQ(CommanderCount(), 2);
    EXPECT_EQ(c->poolPosition, 0);
    EXPECT_EQ(second->commanderCount, 2);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ((std::vector<AICommander*>(second->created, second->created + second->createdCount)),
              (std::vector<AICommander*>{b, c}));
    EXPECT_GE(EnvelopeRegister(pointOfA), 0);

    ConClear(0);
    while (CommanderCount() < AI_COMMAND_POOL_SIZE)
        ASSERT_NE(CreateGroupOnSide(AI_MASTER_REPORTING), nullptr);
    EXPECT_EQ(CreateGroupOnSide(AI_MASTER_REPORTING), nullptr);
    EXPECT_EQ(Console(), (Lines{ERROR_COLOUR "No room for more than 100 commanders!\n"}));
    EXPECT_EQ(first->commanderCount, 98);
    // A stack freed twice or from before the reset is left alone.
    FreeCommandStack(stack);
    FreeCommandStack(stack);
    CommandPoolsInit();
    EXPECT_EQ(CommanderCount(), 0);
    EXPECT_EQ(soldier->commandStack, nullptr);
    FreeCommandStack(stack);
    EXPECT_EQ(CommandStackCount(), 0);
}

TEST_F(Commanders, GroupsHandTheirSoldiersToCommandersThatLoseThemByDeath)
{
    AIInterface* a = Scripted("a", 0.0f);
    AIInterface* b = Scripted("b", 10.0f);
    AIInterface* c = Scripted("c", 20.0f);
    LoadGroups("group Red 1\nadd a\nadd b\ngroup Blue 0\nadd c\n");
    AIGroup* red = AIFindGroup("red");
    AIGroup* blue = AIFindGroup("blue");
    ASSERT_NE(red->commander, nullptr);
    ASSERT_NE(blue->commander, nullptr);
    EXPECT_EQ(red->commander->master, CommandMaster(AI_MASTER_REPORTING));
    EXPECT_EQ(blue->commander->master, CommandMaster(AI_MASTER_OTHER));
    AICommander* redCommander = red->commander;
    EXPECT_EQ(redCommander->stackCount, 2);
    EXPECT_EQ(redCommander->strengthSum, 2.0f);
    EXPECT_EQ(redCommander->stacks, b->commandStack);
    EXPECT_EQ(b->commandStack->next, a->commandStack);
    EXPECT_EQ(a->commandStack->strength, 1.0f);
    EXPECT_EQ(a->commandStack->engaged, 0);

    a->body->isDead = true;
    a->ReportDeath();
    EXPECT_EQ(redCommander->stackCount, 1);
    EXPECT_EQ(redCommander->strengthSum, 1.0f);
    EXPECT_EQ(a->commandStack->commander, nullptr);
    // Without an upper level nothing is evaluated.
    EXPECT_FALSE(ConsoleHas("master: situation serious\n"));
    // The last soldier's death dissolves the commander, and the group forgets it.
    b->body->isDead = true;
    b->ReportDeath();
    EXPECT_EQ(red->commander, nullptr);
    EXPECT_EQ(CommanderCount(), 1);
    EXPECT_EQ(blue->commander->stacks, c->commandStack);
    // A soldier deleted before the mission ends gives its stack back.
    delete c;
    EXPECT_EQ(CommandStackCount(), 2);
    EXPECT_EQ(blue->commander, nullptr);
}

TEST_F(Commanders, AManoeuvreSendsEverySoldierRoundTheCommandPointInOneSync)
{
    AIInterface* a = Scripted("A", 100.0f);
    AIInterface* b = Scripted("B", 200.0f);
    AIInterface* c = Scripted("C", 300.0f);
    LoadGroups("group Pair 0\nadd A\nadd B\ngroup Single 0\nadd C\n");
    AICommander* pair = AIFindGroup("pair")->commander;
    ConClear(0);
    ExecuteManoeuvre(pair);

    // The command point stands at the first soldier of the list (the last to join).
    EXPECT_EQ(pair->commandPoint->point.x, 200.0f);
    EXPECT_EQ(pair->commandPoint->position.x, 200.0f);
    float firstLeg[2] = {};
    for (int i = 0; i < 2; ++i) {
        const AIInterface* soldier = i == 0 ? a : b;
        SCOPED_TRACE(soldier->body->name.Text());
        const std::vector<MSALCommand*> commands = Commands(RunningList(soldier));
        ASSERT_EQ(commands.size(), 8u);
        EXPECT_EQ(commands[0]->kind, MSAL_BEGIN);
        EXPECT_EQ(commands[0]->value, 1000);
        EXPECT_EQ(commands[7]->kind, MSAL_END);
        EXPECT_EQ(commands[7]->value, 1000);
        // "MoveToPt(x,0,10,-700)": the command point, then numbers; the "0" is 0.0, not an envelope.
        MSALCommand* move = commands[5];
        ASSERT_EQ(move->arguments.size(), 4u);
        EXPECT_EQ(MSALArg(move->arguments.data(), 0).AsEnvelope(), pair->commandPoint);
        EXPECT_TRUE(MSALArg(move->arguments.data(), 1).IsFloat());
        EXPECT_EQ(MSALArg(move->arguments.data(), 1).AsFloat(), 0.0f);
        EXPECT_EQ(MSALArg(move->arguments.data(), 3).AsFloat(), -700.0f);
        firstLeg[i] = MSALArg(commands[1]->arguments.data(), 1).AsFloat();
        // The soldier runs it: it joined the sync and walks its first leg, in alert.
        EXPECT_TRUE(soldier->body->follower->moving);
        EXPECT_EQ(soldier->entity->inAlert, 1);
    }
    // The flanks alternate.
    EXPECT_EQ(firstLeg[0], -firstLeg[1]);
    EXPECT_EQ(std::abs(firstLeg[0]), 600.0f);
    EXPECT_EQ(MSALActiveGroupCount(), 1);
    EXPECT_EQ(Console(),
              (Lines{"Soldier 'B': cmd stack executed on commander '0'\n",
                     "Soldier 'A': cmd stack executed on commander '0'\n", "commander 0: manever executed (2)\n"}));
    EXPECT_EQ(RunningList(c), nullptr);

    // The next manoeuvre's sync takes the next id.
    ExecuteManoeuvre(AIFindGroup("single")->commander);
    EXPECT_EQ(Commands(RunningList(c)).front()->value, 1001);
}

TEST_F(Commanders, TheSoldiersOfAManoeuvreFinishTogetherUnlessOneIsLost)
{
    struct Case {
        const char* name;
        int soldiers;
        bool partnerDies;
    };
    const Case cases[] = {{"alone", 1, false}, {"pair", 2, false}, {"pair, one lost", 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MSALUnloadMission();
        AIClearGroups();
        EnvelopeDestroyAll();
        CommandPoolsInit();
        // Fresh names: the soldiers of the cases before are still in the world.
        const std::string nameA = std::string("A") + std::to_string(c.soldiers) + (c.partnerDies ? "x" : "");
        const std::string nameB = "B" + nameA;
        AIInterface* a = Scripted(nameA.c_str(), 0.0f);
        AIInterface* b = Scripted(nameB.c_str(), 100.0f);
        LoadGroups(("group G 0\nadd " + nameA + "\n" + (c.soldiers == 2 ? "add " + nameB + "\n" : "")).c_str());
        ExecuteManoeuvre(AIFindGroup("g")->commander);
        MSALRunner* runner = MSALEnvelopeRunner(a->body->envelope);
        // Each move of the list completes: the soldier reaches the "End".
        for (int move = 0; move < 6; ++move)
            a->body->envelope->CompleteMSALCommand();
        if (c.soldiers == 1) {
            // Alone it is released at once, and its list is over.
            EXPECT_EQ(runner->command, nullptr);
            EXPECT_TRUE(runner->Sublists().empty());
            EXPECT_EQ(MSALActiveGroupCount(), 0);
            continue;
        }
        ASSERT_NE(runner->command, nullptr);
        EXPECT_EQ(runner->command->kind, MSAL_END);
        if (c.partnerDies) {
            b->body->isDead = true;
            MSALEnvelopeRunner(b->body->envelope)->LeaveGroup();
        }
        // The soldier's update executes the "End" again.
        runner->ExecuteCurrent();
        const bool released = c.partnerDies;
        EXPECT_EQ(runner->command == nullptr, released);
        EXPECT_EQ(runner->Sublists().empty(), released);
        EXPECT_EQ(MSALActiveGroupCount(), released ? 0 : 1);
        if (!released) {
            for (int move = 0; move < 6; ++move)
                b->body->envelope->CompleteMSALCommand();
            EXPECT_EQ(runner->command, nullptr);
            EXPECT_EQ(MSALEnvelopeRunner(b->body->envelope)->command, nullptr);
            EXPECT_EQ(MSALActiveGroupCount(), 0);
        }
    }
}

TEST_F(Commanders, AStackSentToAnEnvelopeNamesItsSlotAndOutsideASyncDropsBeginAndEnd)
{
    AIInterface* a = Scripted("A", 0.0f);
    LoadGroups("group Solo 0\nadd A\n");
    auto* gate = new PointEnvelope("gate", Vector3{50.0f, 0.0f, 0.0f});
    const s32_t slot = EnvelopeRegister(gate);
    ConClear(0);
    ExecuteCommandStack(a->commandStack, AI_MANOEUVRE_LEFT, gate);
    const Lines warning(2, "MSAL Warning: common sync not open while creating dynamic list (sync cmd ignored)!\n");
    Lines expected = warning;
    expected.push_back("Soldier 'A': cmd stack executed on envelope '" + std::to_string(slot) + "'\n");
    EXPECT_EQ(Console(), expected);
    const std::vector<MSALCommand*> commands = Commands(RunningList(a));
    ASSERT_EQ(commands.size(), 6u);
    EXPECT_EQ(MSALArg(commands[0]->arguments.data(), 0).AsEnvelope(), gate);
    // Nothing to send without statements, a soldier's envelope or a stack.
    ConClear(0);
    ExecuteCommandStack(a->commandStack, nullptr, gate);
    ExecuteCommandStack(nullptr, AI_MANOEUVRE_LEFT, gate);
    EXPECT_TRUE(Console().empty());
}

TEST_F(Commanders, ASeriousSituationMakesTheCommanderManoeuvre)
{
    AIInterface* a = Scripted("A", 0.0f);
    AIInterface* b = Scripted("B", 10.0f);
    AIInterface* c = Scripted("C", 20.0f);
    LoadGroups("group Front 0\nadd A\nadd B\ngroup Rear 0\nadd C\n");
    AICommander* front = AIFindGroup("front")->commander;
    AICommander* rear = AIFindGroup("rear")->commander;
    ConClear(0);
    EvaluateSituation(front->master, nullptr, rear);
    EXPECT_EQ(Console(), (Lines{"Master sit changed\n", "master: situation serious\n"}));

    // A death under a commander with an upper level: that level loses the strength and the situation
    // is weighed for the commander, which manoeuvres; its upper link is used up.
    SetUpperLevel(front, rear);
    rear->lowerStrengthSum = 2.0f;
    EXPECT_EQ(CommandLinkCount(), 1);
    ConClear(0);
    a->body->isDead = true;
    a->ReportDeath();
    EXPECT_EQ(rear->lowerStrengthSum, 1.0f);
    const std::string commander = std::to_string(front->poolPosition);
    EXPECT_EQ(Console(), (Lines{"Commander " + commander + ": sit changed\n", "master: situation serious\n",
                                "Soldier 'B': cmd stack executed on commander '" + commander + "'\n",
                                "commander " + commander + ": manever executed (1)\n"}));
    EXPECT_EQ(front->upperLevel, nullptr);
    EXPECT_EQ(CommandLinkCount(), 0);
    EXPECT_NE(RunningList(b), nullptr);
    EXPECT_EQ(RunningList(c), nullptr);

    // The last soldier of a commander with an upper level: the commander is dissolved, the master
    // weighs the situation alone.
    SetUpperLevel(front, rear);
    ConClear(0);
    b->body->isDead = true;
    b->ReportDeath();
    EXPECT_EQ(Console(), (Lines{"Master sit changed\n", "master: situation serious\n"}));
    EXPECT_EQ(AIFindGroup("front")->commander, nullptr);
    EXPECT_EQ(CommandLinkCount(), 0);
}

}  // namespace
