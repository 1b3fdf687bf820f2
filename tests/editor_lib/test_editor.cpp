// A stand-in editor library for the editor-mode tests. Initialize checks the interface record, calls
// two engine functions through it, writes what it found to "editor_check.txt" in the working folder
// ("ok" or one line per failed check), and signals the event from a thread of its own after a
// moment, as an editor running beside the program would. The thread is joined when the program
// unloads the library. Built with TEST_EDITOR_SIGNAL_ONLY it only signals the event (for a session
// inside the test program), with TEST_EDITOR_NO_INITIALIZE it lacks "Initialize".
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "core/plugins/editor_interface.h"

#if defined(TEST_EDITOR_SIGNAL_ONLY)
// Calls nothing of the engine: signals the event at once.
extern "C" __attribute__((visibility("default"))) int Initialize(HANDLE event, void** record)
{
    auto signal = record ? reinterpret_cast<EditorSignalEventFn>(record[EDITOR_SLOT_SIGNAL_EVENT]) : nullptr;
    if (!signal)
        return -1;
    signal(event);
    return 0;
}
#elif !defined(TEST_EDITOR_NO_INITIALIZE)
namespace {

using FindCVarFn = void* (*)(const char* name);
using VideoInitFn = void (*)();

// Joins the signalling thread when the library is unloaded.
struct SignalThread {
    std::thread thread;
    ~SignalThread()
    {
        if (thread.joinable())
            thread.join();
    }
};
SignalThread g_signal;

void Check(bool passed, const char* what, std::string& failures)
{
    if (!passed)
        failures += std::string(what) + "\n";
}

std::string CheckRecord(void** record)
{
    std::string failures;
    Check(record[EDITOR_SLOT_DEVICE] != nullptr, "slot 0 holds the device variable's address", failures);
    if (record[EDITOR_SLOT_DEVICE])
        Check(*static_cast<void**>(record[EDITOR_SLOT_DEVICE]) == nullptr, "no device before a display mode", failures);
    Check(record[EDITOR_SLOT_UNUSED] == nullptr, "slot 34 is null", failures);
    for (int slot :
         {EDITOR_SLOT_RENDER_INIT, EDITOR_SLOT_RENDER_BEGIN_FRAME, EDITOR_SLOT_CON_STARTUP, EDITOR_SLOT_DEF_FILE_LOAD,
          EDITOR_SLOT_GUI_INIT, EDITOR_SLOT_SOUND_INIT, EDITOR_SLOT_ACTOR_CLASS_INFOS_RESET})
        Check(record[slot] != nullptr, ("slot " + std::to_string(slot) + " is set").c_str(), failures);

    auto findCVar = reinterpret_cast<FindCVarFn>(record[EDITOR_SLOT_FIND_CVAR]);
    Check(findCVar != nullptr, "slot 54 is set", failures);
    if (findCVar) {
        Check(findCVar("riwidth") != nullptr, "FindCVar finds riwidth", failures);
        Check(findCVar("no_such_variable") == nullptr, "FindCVar misses an unknown name", failures);
    }
    // Logs "Initializing video subsystem...done" inside the program's "Providing zintar interface...".
    auto videoInit = reinterpret_cast<VideoInitFn>(record[EDITOR_SLOT_VIDEO_INIT]);
    Check(videoInit != nullptr, "slot 45 is set", failures);
    if (videoInit)
        videoInit();
    Check(record[EDITOR_SLOT_SIGNAL_EVENT] != nullptr, "slot 75 is set", failures);
    return failures;
}

void WriteResult(const std::string& failures)
{
    if (std::FILE* file = std::fopen("editor_check.txt", "wb")) {
        const std::string text = failures.empty() ? std::string("ok\n") : failures;
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int Initialize(HANDLE event, void** record)
{
    WriteResult(record ? CheckRecord(record) : std::string("no record\n"));
    auto signal = record ? reinterpret_cast<EditorSignalEventFn>(record[EDITOR_SLOT_SIGNAL_EVENT]) : nullptr;
    if (!signal)
        return -1;  // the program would wait for ever: the test's time limit catches it
    g_signal.thread = std::thread([signal, event] {
        // The program must still be waiting when the signal comes.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        signal(event);
    });
    return 0;
}
#else
// Exports something, but not "Initialize".
extern "C" __attribute__((visibility("default"))) int Initialise(HANDLE, void**)
{
    return 0;
}
#endif
