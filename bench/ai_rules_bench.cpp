// The soldiers' AI of one frame on one core: 256 sample soldiers (the sample definitions "guard" and
// "patrol", packed as the tests pack them) run the sample rule script ("script\ai\script.txt" with
// their profiles' active rules) each frame, and each soldier's mission-script runner re-executes its
// current command, as the actor's script hook does when it is idle. Half the soldiers are on each
// side, in two lines facing each other; they are in groups of 16 of one side, each group under a
// commander. Each commander performs its manoeuvre: every soldier gets a program-made list round
// the commander's command point, all of one group in one common sync; the runners stand on their
// first move (the bodies are not updated here, so no move ends) and re-execute it every frame.
//
// How 256 run on a table of 128. The AI table holds 128 interfaces, so the soldiers take turns in
// it: the even-numbered half is put in the table and the frame's AI step (AIFrame) runs, then the
// odd-numbered half in its place and AIFrame again; both turns are timed. Within a turn the AI's
// own walks of the table (sound and death broadcasts) reach that half only. The 128 program-made
// runners the mission script allows would not do either: every soldier's envelope holds a runner
// of the mission script's list "Soldiers" (as a mission gives its soldiers lists), and the
// manoeuvre lists enter those runners. Nor do the 100 command stacks of the commanders' pool: the
// commanders are made and give their manoeuvres in rounds of 96 soldiers (see GiveManoeuvres).
//
// Sight comes from fixed lists: at the start each soldier's enemies within 300 units and friends
// within 150 (at most 64 each) are taken once; before each frame (untimed) they are its visible
// lists, stamped as already looked at for the frame's AI clock. bench/sight_bench measures the
// real look. The untimed part between frames also advances the clock by 20 ms, takes the shots'
// bullets out of the world and fills the magazines, so that nothing the timed part does piles up.
//
// Counters: ms_per_frame (goal: within 1 ms), us_per_soldier, rules_share and runners_share (the
// parts of the frame's time, timed within each frame), and how busy the soldiers are: engaged (a
// target locked), shots_per_frame, enabled_rules per soldier.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/soldier/ai_state.h"
#include "ai/squads/commanders.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"
#include "ai/msal/msal_runtime.h"
#include "ai/rules/rules.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "map/registry/actor_lists.h"
#include "map/trace/map_sight.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "tests/support/def_apply.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSoldiers = 256;
constexpr int kGroupSize = static_cast<int>(AI_GROUP_MEMBER_CAPACITY);
constexpr DWORD kFrameMs = 20;
constexpr float kSpacing = 25.0f;  // between neighbours in a line
constexpr float kEnemyReach = 300.0f;
constexpr float kFriendReach = 150.0f;

struct Sight {
    std::vector<AIInterface*> enemies;
    std::vector<AIInterface*> friends;
};

struct Army {
    bool ready = false;
    std::string error;
    std::vector<AIInterface*> soldiers;
    std::vector<MSALRunner*> runners;
    std::vector<Sight> sight;
    AIInterface* halves[2][MAX_AI_INTERFACES] = {};
    long long shots = 0;
};

// The half's soldiers become the AI table.
void TakeTurn(Army& army, int half)
{
    for (u32_t i = 0; i < MAX_AI_INTERFACES; ++i)
        g_ai.interfaces[i] = army.halves[half][i];
    g_ai.interfaceCount = MAX_AI_INTERFACES;
}

// Each soldier's fixed sight, stamped as looked at for the tick the next AI step will read.
void GiveSight(Army& army, u32_t tick)
{
    for (size_t i = 0; i < army.soldiers.size(); ++i) {
        AIInterface* soldier = army.soldiers[i];
        soldier->visibleEnemies.Empty();
        soldier->visibleFriends.Empty();
        soldier->visibleBodies.Empty();
        for (AIInterface* enemy : army.sight[i].enemies)
            soldier->visibleEnemies.Add(enemy);
        for (AIInterface* other : army.sight[i].friends)
            soldier->visibleFriends.Add(other);
        for (s32_t kind : {1, 2, 4})
            soldier->queryStamps[kind] = tick;
    }
}

// The bullets the frame's shots put in the world go again (counted), and every magazine is full.
void ClearShots(Army& army)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    std::vector<Projectile*> bullets;
    for (s32_t i = 0; i < count; ++i) {
        if (objects[i]->typeId == OBJECT_TYPE_PROJECTILE)
            bullets.push_back(static_cast<Projectile*>(objects[i]));
    }
    for (Projectile* bullet : bullets)
        ProjectileTableAdd(bullet);
    ProjectileTableDestroyAll();
    army.shots += static_cast<long long>(bullets.size());
    for (AIInterface* soldier : army.soldiers) {
        if (Weapon* rifle = soldier->body->weapons[0]) {
            rifle->roundsInGun = rifle->magazineCap;
            soldier->body->reloading = false;
        }
    }
}

float Distance(const AIInterface* a, const AIInterface* b)
{
    const Vector3 p = a->body->GetPosition(), q = b->body->GetPosition();
    return std::hypot(p.x - q.x, p.z - q.z);
}

bool Fail(Army& army, const char* error)
{
    army.error = error;
    return false;
}

// The groups of 16 under their commanders, and each commander's manoeuvre. The command-stack pool
// holds 100, so the commanders are made in rounds of at most 96 soldiers, the pools made anew
// (CommandPoolsInit) before each round: every soldier gets its manoeuvre from a commander, and the
// last round's soldiers keep their stacks.
bool GiveManoeuvres(Army& army)
{
    constexpr int kGroupsPerRound = AI_COMMAND_POOL_SIZE / kGroupSize;
    const int groups = kSoldiers / kGroupSize;
    for (int g = 0; g < groups; ++g) {
        if (g % kGroupsPerRound == 0)
            CommandPoolsInit();
        auto* group = new AIGroup();
        group->name.Assign(("group" + std::to_string(g)).c_str());
        g_ai.groups[g_ai.groupCount++] = group;
        AICommander* commander = CreateGroupOnSide(AI_MASTER_OTHER);
        if (!commander || !commander->commandPoint)
            return Fail(army, "a commander was refused");
        group->SetCommander(commander);
        for (int m = 0; m < kGroupSize; ++m) {
            AIInterface* soldier = army.soldiers[static_cast<size_t>(g * kGroupSize + m)];
            group->AddMember(soldier);
            soldier->group = group;
        }
        if (commander->stackCount != kGroupSize)
            return Fail(army, "a soldier's command stack was refused");
        ExecuteManoeuvre(commander);
    }
    if (MSALDynamicRunnerCount() != 0)
        return Fail(army, "a soldier had no runner of its own");
    // Each runner stands on the manoeuvre's first move, inside the program-made list.
    for (MSALRunner* runner : army.runners) {
        if (!runner || !runner->command || runner->command->kind != MSAL_METHOD || runner->Sublists().size() != 1 ||
            !runner->Sublists()[0].programMade)
            return Fail(army, "a runner is not on its manoeuvre's first move");
    }
    return true;
}

Army& TheArmy()
{
    static Army army;
    static bool tried = false;
    if (tried)
        return army;
    tried = true;
    const fs::path sample = fs::path(ZINTAR_SAMPLE_DIR);
    const fs::path folder = fs::temp_directory_path() / "zintar_ai_rules_bench";
    fs::create_directories(folder);
    if (!BfsPackFolder(sample.string(), (folder / "main.bfs").string(), army.error))
        return army;
    fs::current_path(folder);
    if (!VFSInit()) {
        army.error = "the file system did not start";
        return army;
    }
    CreateScriptCache();
    ConStartup();
    PlatformTestClockStart(1000000);
    g_frameView.frameTime = kFrameMs / 1000.0f;
    EngineSRand(11);
    MapSightFactorsReset();  // clear day: the soldiers' sight at its full range
    AIStartup();

    // Two lines of 128, eight deep, 200 units apart and facing each other (heading 0 looks along -z);
    // the viewer between them keeps all awake.
    std::string members;
    for (int i = 0; i < kSoldiers; ++i) {
        auto* soldier = new AIInterface();
        AIRemoveInterface(soldier);  // the halves take turns in the table
        Actor* body = soldier->body;
        body->name.Assign(("soldier" + std::to_string(i)).c_str());
        // The profile's definition names the soldier's as its template, which the object loader
        // applies first.
        ApplyDefFile("object\\actors\\soldier.def", body);
        ApplyDefFile(i % 3 == 0 ? "object\\actors\\guard.def" : "object\\actors\\patrol.def", body);
        if (!body->weapons[0] || soldier->scriptFile.Length() == 0) {
            army.error = "the sample soldier did not build";
            return army;
        }
        const bool friendSide = i < kSoldiers / 2;
        soldier->entity->SetTeam(friendSide ? ACTOR_TEAM_FRIEND : ACTOR_TEAM_ENEMY);
        soldier->dormant = 0;  // all stand near the viewer
        const int place = i % (kSoldiers / 2);
        const float x = (static_cast<float>(place % 16) - 7.5f) * kSpacing;
        const float z = (friendSide ? -100.0f : 100.0f) + (friendSide ? -1.0f : 1.0f) * (place / 16) * kSpacing;
        body->SetPosition({x, 0.0f, z});
        body->heading = friendSide ? 3.1415927f : 0.0f;
        soldier->SetHomePosition(body->GetPosition());
        DynObjectAdd(body);
        auto* envelope = new DOEnvelope(body->name.Text());
        envelope->Attach(body);
        if (EnvelopeRegister(envelope) < 0) {
            army.error = "the envelope table is full";
            return army;
        }
        members += std::string(body->name.Text()) + " ";
        army.soldiers.push_back(soldier);
        army.halves[i % 2][i / 2] = soldier;
    }
    g_frameView.viewPos[0] = g_frameView.viewPos[1] = g_frameView.viewPos[2] = 0.0f;

    // Each soldier compiles the rule script and starts its profile's rules, a turn of the table
    // at a time, as the mission start does.
    for (int half = 0; half < 2; ++half) {
        TakeTurn(army, half);
        AILoadScripts();
        AIRestartAll();
    }
    for (AIInterface* soldier : army.soldiers) {
        if (soldier->ruleSet->LevelCount() == 0) {
            army.error = "a soldier's rules did not start";
            return army;
        }
    }

    const std::string script = "List Soldiers { }\nMembers { " + members + "}\n";
    MSALLoadText(script.c_str(), static_cast<u32_t>(script.size()));
    for (AIInterface* soldier : army.soldiers)
        army.runners.push_back(soldier->body->envelope->runner);
    if (!GiveManoeuvres(army))
        return army;

    army.sight.resize(army.soldiers.size());
    for (size_t i = 0; i < army.soldiers.size(); ++i) {
        for (AIInterface* other : army.soldiers) {
            if (other == army.soldiers[i])
                continue;
            const bool enemy = army.soldiers[i]->entity->IsEnemyOf(other->entity);
            std::vector<AIInterface*>& list = enemy ? army.sight[i].enemies : army.sight[i].friends;
            if (Distance(army.soldiers[i], other) < (enemy ? kEnemyReach : kFriendReach) &&
                list.size() < static_cast<size_t>(AIVisibleList<AIInterface>::kCapacity))
                list.push_back(other);
        }
    }
    army.ready = true;
    return army;
}

bool Ready(benchmark::State& state, Army& army)
{
    if (!army.ready)
        state.SkipWithError(army.error.empty() ? "the soldiers did not build" : army.error.c_str());
    return army.ready;
}

void PerFrame(benchmark::State& state, const char* counter, double units, double count = 1.0)
{
    state.counters[counter] =
        benchmark::Counter(count / units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The untimed part between frames.
void NextFrame(benchmark::State& state, Army& army)
{
    state.PauseTiming();
    ClearShots(army);
    PlatformTestClockAdvance(kFrameMs);
    GiveSight(army, GetTickCount());
    state.ResumeTiming();
}

// The rules of every soldier: each half's turn of the AI step.
void RunRules(Army& army)
{
    for (int half = 0; half < 2; ++half) {
        TakeTurn(army, half);
        AIFrame();
    }
}

// Every runner re-executes its current command, as the script hook does for an idle soldier.
void RunRunners(Army& army)
{
    for (MSALRunner* runner : army.runners)
        runner->ExecuteCurrent();
}

void BM_SoldiersAIFrame(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Army& army = TheArmy();
    if (!Ready(state, army))
        return;
    Clock::duration rules{}, runners{};
    const long long shotsBefore = army.shots;
    for (auto _ : state) {
        NextFrame(state, army);
        const Clock::time_point start = Clock::now();
        RunRules(army);
        const Clock::time_point middle = Clock::now();
        RunRunners(army);
        const Clock::time_point end = Clock::now();
        rules += middle - start;
        runners += end - middle;
    }
    ClearShots(army);
    const double both = std::chrono::duration<double>(rules + runners).count();
    PerFrame(state, "ms_per_frame", 1e3);
    PerFrame(state, "us_per_soldier", 1e6, kSoldiers);
    state.counters["rules_share"] = both > 0.0 ? std::chrono::duration<double>(rules).count() / both : 0.0;
    state.counters["runners_share"] = both > 0.0 ? std::chrono::duration<double>(runners).count() / both : 0.0;
    int engaged = 0;
    double enabled = 0.0;
    for (AIInterface* soldier : army.soldiers) {
        engaged += soldier->HasLockedTarget() ? 1 : 0;
        soldier->ruleSet->ForEachRule([](Rule* rule, void* sum) { *static_cast<double*>(sum) += rule->enabled; },
                                      &enabled);
    }
    state.counters["engaged"] = engaged;
    state.counters["enabled_rules"] = enabled / kSoldiers;
    state.counters["shots_per_frame"] =
        static_cast<double>(army.shots - shotsBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SoldiersAIFrame)->Unit(benchmark::kMicrosecond);

// The two parts alone.
void BM_SoldiersRules(benchmark::State& state)
{
    Army& army = TheArmy();
    if (!Ready(state, army))
        return;
    for (auto _ : state) {
        NextFrame(state, army);
        RunRules(army);
    }
    PerFrame(state, "ms_per_frame", 1e3);
    PerFrame(state, "us_per_soldier", 1e6, kSoldiers);
}
BENCHMARK(BM_SoldiersRules)->Unit(benchmark::kMicrosecond);

void BM_SoldiersRunners(benchmark::State& state)
{
    Army& army = TheArmy();
    if (!Ready(state, army))
        return;
    for (auto _ : state) {
        NextFrame(state, army);
        RunRunners(army);
    }
    PerFrame(state, "ms_per_frame", 1e3);
    PerFrame(state, "us_per_soldier", 1e6, kSoldiers);
}
BENCHMARK(BM_SoldiersRunners)->Unit(benchmark::kMicrosecond);

}  // namespace
