// The mission script's runners against Lua 5.4 coroutines doing the same walk. N runners (one per
// test envelope) each walk K = 256 commands of one list: "Begin(1)", 100 method calls, "End(1)", a
// "Call" of a list of 20 method calls, 50 method calls, "Begin(2)", 81 method calls, "End(2)". The
// method ("Step") completes at once. Lua runs one coroutine per runner with a C function for the
// method, a function call for the "Call" and a barrier (a count and a generation per sync id,
// waiters yield until the generation moves) for each Begin/End pair. Lua is a comparator only:
// nothing of the program links it.
//
// One iteration is one walk of every runner from its first command to its last. Between
// iterations (untimed) the runners go back to their first command; the coroutines loop by
// themselves (after a walk each yields once and starts the next walk on its next resume), so
// nothing timed fills or drains. The console is open, as in the game: the runners print each
// sublist's end and each release of a sync group.
//
// Counters: commands_per_second (N x K per iteration). BM_MSALOverLua times both walks alternately
// within each iteration and reports both rates and msal_over_lua, their ratio from the same run.
#include <benchmark/benchmark.h>

#ifndef ZINTAR_NO_LUA
#include <lua.hpp>
#endif

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ai/soldier/ai_runtime.h"
#include "ai/envelopes/envelope.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_cell.h"
#include "ai/msal/msal_reader.h"
#include "ai/script/script_object.h"
#include "core/console/console.h"

namespace {

constexpr int kFirstRun = 100;  // between "Begin(1)" and "End(1)"
constexpr int kCalled = 20;     // in the called list
constexpr int kSecondRun = 50;  // after the "Call"
constexpr int kThirdRun = 81;   // between "Begin(2)" and "End(2)"
// Begin, End and Call commands count as commands, as the runner executes them.
constexpr int kCommandsPerWalk = 2 + kFirstRun + 1 + kCalled + kSecondRun + 2 + kThirdRun;
static_assert(kCommandsPerWalk == 256);

class StepEnvelope : public Envelope {
public:
    explicit StepEnvelope(const std::string& envelopeName)
    {
        kind = ENVELOPE_KIND_CODE;
        name.Assign(envelopeName.c_str());
        scriptClass = ScriptClassRegistry::RegisterClass("CodeEnvelope");
        AddMethod(ScriptMethodOf(&StepEnvelope::MSALStep), "MSALStep", 1);
        EnvelopeRegister(this);
    }
    void MSALStep(ScriptArgWord* args)
    {
        steps += MSALArg(args, 0).AsInt();
        CompleteMSALCommand();
    }
    long long steps = 0;
};

std::string Steps(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Step(1) ";
    return text;
}

// The mission script of n runners, loaded once per runner count.
struct Script {
    int runners = 0;
    std::vector<MSALRunner*> walkers;
    std::vector<StepEnvelope*> envelopes;  // owned by the envelope table
};

Script& LoadScript(int runners)
{
    static Script script;
    if (script.runners == runners)
        return script;
    static bool started = false;
    if (!started) {
        started = true;
        ConStartup();
        ScriptClassRegistry::Create();
        ScriptTablesCreate();
    }
    MSALUnloadMission();
    EnvelopeTableDeleteAll();
    script = Script{};
    script.runners = runners;
    std::string members;
    for (int i = 0; i < runners; ++i) {
        script.envelopes.push_back(new StepEnvelope("E" + std::to_string(i)));
        members += "E" + std::to_string(i) + " ";
    }
    const std::string text = "List Sub { " + Steps(kCalled) + "}\n" + "List Walk { Begin(1) " + Steps(kFirstRun) +
                             "End(1) Call(Sub) " + Steps(kSecondRun) + "Begin(2) " + Steps(kThirdRun) +
                             "End(2) }\nMembers { " + members + "}\n";
    MSALLoadText(text.c_str(), static_cast<u32_t>(text.size()));
    script.walkers = MSALFindList("Walk")->runners;
    return script;
}

// Back to the first command (where a loaded script starts); false when a runner had not finished
// its walk.
bool Rewind(Script& script)
{
    bool finished = true;
    for (MSALRunner* runner : script.walkers) {
        finished = finished && runner->command == nullptr;
        runner->Reset();
    }
    return finished;
}

#ifndef ZINTAR_NO_LUA
// Lua: a walk per coroutine, looping; "step" counts on the envelope's record as the MSAL method does.
const char kLuaWalk[] = R"(
local step, yield = step, coroutine.yield
local runners = ...
local count, generation = {}, {}
local function Begin(id) end
local function End(id)
  local g = generation[id] or 0
  local c = (count[id] or 0) + 1
  if c == runners then
    count[id] = 0
    generation[id] = g + 1
    return
  end
  count[id] = c
  repeat yield() until generation[id] ~= g
end
local function Sub(e)
  for i = 1, %CALLED% do step(e, 1) end
end
local function Walk(e)
  Begin(1)
  for i = 1, %FIRST% do step(e, 1) end
  End(1)
  Sub(e)
  for i = 1, %SECOND% do step(e, 1) end
  Begin(2)
  for i = 1, %THIRD% do step(e, 1) end
  End(2)
end
return function(e)
  while true do
    Walk(e)
    yield(true)
  end
end
)";

int LuaStep(lua_State* L)
{
    auto* steps = static_cast<long long*>(lua_touserdata(L, 1));
    *steps += static_cast<long long>(lua_tointeger(L, 2));
    return 0;
}

struct LuaWalkers {
    lua_State* state = nullptr;
    std::vector<lua_State*> threads;
    std::vector<long long> steps;
    std::vector<char> done;
    std::string error;
    ~LuaWalkers()
    {
        if (state)
            lua_close(state);
    }
};

std::string Replace(std::string text, const std::string& mark, int value)
{
    text.replace(text.find(mark), mark.size(), std::to_string(value));
    return text;
}

std::unique_ptr<LuaWalkers> MakeLuaWalkers(int runners)
{
    auto walkers = std::make_unique<LuaWalkers>();
    lua_State* L = luaL_newstate();
    walkers->state = L;
    luaL_openlibs(L);
    lua_register(L, "step", LuaStep);
    std::string source = Replace(kLuaWalk, "%CALLED%", kCalled);
    source = Replace(source, "%FIRST%", kFirstRun);
    source = Replace(source, "%SECOND%", kSecondRun);
    source = Replace(source, "%THIRD%", kThirdRun);
    if (luaL_loadstring(L, source.c_str()) != LUA_OK) {
        walkers->error = lua_tostring(L, -1);
        return walkers;
    }
    lua_pushinteger(L, runners);
    if (lua_pcall(L, 1, 1, 0) != LUA_OK) {
        walkers->error = lua_tostring(L, -1);
        return walkers;
    }
    // The steps live in a vector sized once: their addresses stay put.
    walkers->steps.assign(static_cast<size_t>(runners), 0);
    walkers->done.assign(static_cast<size_t>(runners), 0);
    for (int i = 0; i < runners; ++i) {
        lua_State* thread = lua_newthread(L);
        luaL_ref(L, LUA_REGISTRYINDEX);  // kept alive by the registry
        lua_pushvalue(L, -1);            // the walk function
        lua_xmove(L, thread, 1);
        lua_pushlightuserdata(thread, &walkers->steps[static_cast<size_t>(i)]);
        walkers->threads.push_back(thread);
    }
    return walkers;
}

// Every coroutine walks once: resumed in turn until each has yielded the end of its walk.
bool LuaWalkAll(LuaWalkers& walkers)
{
    std::fill(walkers.done.begin(), walkers.done.end(), 0);
    size_t left = walkers.threads.size();
    while (left > 0) {
        for (size_t i = 0; i < walkers.threads.size(); ++i) {
            if (walkers.done[i])
                continue;
            lua_State* thread = walkers.threads[i];
            int results = 0;
            // The first resume passes the envelope's record; later ones pass nothing.
            const int arguments = lua_status(thread) == LUA_OK ? 1 : 0;
            const int status = lua_resume(thread, walkers.state, arguments, &results);
            if (status != LUA_YIELD) {
                walkers.error = status == LUA_OK ? "a walk returned" : lua_tostring(thread, -1);
                return false;
            }
            const bool walked = results > 0 && lua_toboolean(thread, -1);
            lua_pop(thread, results);
            if (walked) {
                walkers.done[i] = 1;
                --left;
            }
        }
    }
    return true;
}

#endif

void Rate(benchmark::State& state, const char* counter, int runners)
{
    state.counters[counter] = benchmark::Counter(static_cast<double>(runners) * kCommandsPerWalk,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MSALRunners(benchmark::State& state)
{
    const int runners = static_cast<int>(state.range(0));
    Script& script = LoadScript(runners);
    for (auto _ : state) {
        MSALStartAll();
        state.PauseTiming();
        const bool finished = Rewind(script);
        state.ResumeTiming();
        if (!finished) {
            state.SkipWithError("a runner did not finish its walk");
            break;
        }
    }
    Rate(state, "commands_per_second", runners);
}
BENCHMARK(BM_MSALRunners)->Arg(16)->Arg(128)->ArgName("runners");

#ifndef ZINTAR_NO_LUA
void BM_LuaCoroutines(benchmark::State& state)
{
    const int runners = static_cast<int>(state.range(0));
    std::unique_ptr<LuaWalkers> walkers = MakeLuaWalkers(runners);
    if (!walkers->error.empty()) {
        state.SkipWithError(walkers->error.c_str());
        return;
    }
    for (auto _ : state) {
        // The same pause as the runners' rewind, so that both carry its cost.
        state.PauseTiming();
        state.ResumeTiming();
        if (!LuaWalkAll(*walkers)) {
            state.SkipWithError(walkers->error.c_str());
            break;
        }
    }
    Rate(state, "commands_per_second", runners);
}
BENCHMARK(BM_LuaCoroutines)->Arg(16)->Arg(128)->ArgName("runners");

// Both walks in every iteration, each timed on its own: the rates and their ratio from one run.
void BM_MSALOverLua(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const int runners = static_cast<int>(state.range(0));
    Script& script = LoadScript(runners);
    std::unique_ptr<LuaWalkers> walkers = MakeLuaWalkers(runners);
    if (!walkers->error.empty()) {
        state.SkipWithError(walkers->error.c_str());
        return;
    }
    Clock::duration msal{}, lua{};
    long long msalSteps = 0;
    for (StepEnvelope* envelope : script.envelopes)
        msalSteps -= envelope->steps;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        MSALStartAll();
        const Clock::time_point middle = Clock::now();
        const bool walked = LuaWalkAll(*walkers);
        const Clock::time_point end = Clock::now();
        msal += middle - start;
        lua += end - middle;
        if (!Rewind(script) || !walked) {
            state.SkipWithError(walked ? "a runner did not finish its walk" : walkers->error.c_str());
            break;
        }
    }
    for (StepEnvelope* envelope : script.envelopes)
        msalSteps += envelope->steps;
    long long luaSteps = 0;
    for (long long steps : walkers->steps)
        luaSteps += steps;
    // Both sides made every method call of every walk.
    const long long expected =
        static_cast<long long>(state.iterations()) * runners * (kFirstRun + kCalled + kSecondRun + kThirdRun);
    if (msalSteps != expected || luaSteps != expected)
        state.SkipWithError("a walk missed method calls");
    const double commands = static_cast<double>(state.iterations()) * runners * kCommandsPerWalk;
    const double msalRate = commands / std::chrono::duration<double>(msal).count();
    const double luaRate = commands / std::chrono::duration<double>(lua).count();
    state.counters["msal_commands_per_second"] = msalRate;
    state.counters["lua_commands_per_second"] = luaRate;
    state.counters["msal_over_lua"] = msalRate / luaRate;
}
BENCHMARK(BM_MSALOverLua)->Arg(16)->Arg(128)->ArgName("runners");
#endif

}  // namespace
