// A plug-in for the host's tests: it writes every call it receives, one line each, to the file
// "plugin_trace.txt" of the working folder, prefixed with its name. Its variants differ by the
// compile definitions below (set in tests/plugins/CMakeLists.txt):
//   TRACE_NAME      name reported by GetInfo (and the trace prefix)
//   TRACE_VERSION   what GetVer returns
//   TRACE_RESULT    what HookProc returns
//   TRACE_THROW_ON  event code on which HookProc throws (0: never)
//   TRACE_NO_INFO   no GetVer and no GetInfo
//   TRACE_NO_HOOK   no HookProc
//   TRACE_UNLOAD    traces "unloaded" when the library is let go
//   TRACE_MENU_REQUEST  answers HookMultiplayerPending by writing this value into the menu request word
// On the event kCallHostEntry it calls the host entry named by the parameter (a function without
// arguments) and traces "called back" once that returned.
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include "core/plugins/plugin_api.h"

namespace {
constexpr std::uint32_t kCallHostEntry = 0x7F0001;

HostCallbackBlock* g_block = nullptr;

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

void Trace(const char* format, ...)
{
    std::FILE* file = std::fopen("plugin_trace.txt", "a");
    if (!file)
        return;
    std::fprintf(file, "%s: ", TRACE_NAME);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputc('\n', file);
    std::fclose(file);
}

std::uintptr_t Word(const void* pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer);
}

std::int32_t TraceCommand(const char* arguments)
{
    Trace("command %s", arguments ? arguments : "(none)");
    return 0;
}

#ifdef TRACE_UNLOAD
__attribute__((destructor)) void TraceUnload()
{
    Trace("unloaded");
}
#endif
}  // namespace

PLUGIN_EXPORT std::int32_t GetType()
{
    return 7;
}

// Looks up what a plug-in typically needs, as a plug-in does, and reports what it found.
PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* block)
{
    g_block = block;
    void* frameTime = block->getFunction("framedtime");
    void* cvarHead = block->getFunction("cvar");
    auto findCVar = reinterpret_cast<HostFindCVarFn>(block->getFunction("FindCVar"));
    Trace("init block=%" PRIxPTR " framedtime=%" PRIxPTR " value=%g cvar=%" PRIxPTR " FindCVar=%" PRIxPTR
          " probe=%" PRIxPTR " conprint=%" PRIxPTR " ConPrint=%" PRIxPTR " getValue=%" PRIxPTR,
          Word(block), Word(frameTime), frameTime ? *static_cast<float*>(frameTime) : -1.0f, Word(cvarHead),
          reinterpret_cast<std::uintptr_t>(findCVar), findCVar ? Word(findCVar("plgtest_probe")) : 0,
          Word(block->getFunction("conprint")), Word(block->getFunction("ConPrint")),
          Word(block->getValue("framedtime")));
    if (auto addCommand = reinterpret_cast<HostAddCVarFnFn>(block->getFunction("AddCVarFn")))
        addCommand(TRACE_COMMAND, TraceCommand);
    return 0;
}

#ifndef TRACE_NO_INFO
PLUGIN_EXPORT PluginVersion GetVer()
{
    return TRACE_VERSION;
}

PLUGIN_EXPORT const char* const* GetInfo()
{
    static const char* const info[kPluginInfoCount] = {TRACE_NAME, "Records what the host sends", "zintar tests",
                                                       "zintar"};
    return info;
}
#endif

#ifdef TRACE_MENU_REQUEST
namespace {
void (*g_joinHook)() = nullptr;
}  // namespace

// What the plug-in does while it joins a server (HookServerJoin): the test names the map there.
PLUGIN_EXPORT void TraceSetJoinHook(void (*hook)())
{
    g_joinHook = hook;
}
#endif

#ifndef TRACE_NO_HOOK
PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter)
{
    Trace("event %" PRIx32 " %" PRIxPTR, code, parameter);
    if (TRACE_THROW_ON != 0 && code == TRACE_THROW_ON)
        throw std::runtime_error("the test plug-in fails on purpose");
#ifdef TRACE_MENU_REQUEST
    if (code == HookMultiplayerPending)
        *reinterpret_cast<std::int32_t*>(parameter) = TRACE_MENU_REQUEST;
    if (code == HookServerJoin && g_joinHook)
        g_joinHook();
#endif
    if (code == kCallHostEntry && g_block) {
        const char* name = reinterpret_cast<const char*>(parameter);
        if (auto entry = reinterpret_cast<void (*)()>(g_block->getFunction(name))) {
            entry();
            Trace("called back");
        }
    }
    return TRACE_RESULT;
}
#endif
