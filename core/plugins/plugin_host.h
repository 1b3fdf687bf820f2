// The plug-in host: loads the ".plg" libraries of the folder "plugins", binds their exports, hands
// them the host dictionary and sends them events. Every call into a plug-in runs on the main thread
// inside a guard: a plug-in that throws is stopped and the others go on.
#pragma once
#include <cstdint>
#include "core/strings/grow_array.h"
#include "core/plugins/plugin_api.h"
#include "core/types.h"

struct ConsoleVar;

// Older names of two events, still used by their senders.
constexpr u32_t HookGameModRegister = HookGameModsInit;
constexpr u32_t HookGuiInit = HookGuiReady;

// The host reports on plug-ins through this printf-style hook; null until LoadPlugins sets it.
using PluginPrintFn = int (*)(const char* format, ...);
void SetPluginPrintHook(PluginPrintFn hook);
PluginPrintFn GetPluginPrintHook();
// Formats into a 2048-byte buffer and prints the text on console 0 and in the log.
int PluginPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One plug-in file. Records stay in the host's list while the program runs; unloading only stops.
class PluginRecord {
public:
    // The path is copied (folder, a backslash and the file name).
    explicit PluginRecord(const char* path);
    // Frees the library, after removing the console commands the plug-in created.
    virtual ~PluginRecord();
    PluginRecord(const PluginRecord&) = delete;
    PluginRecord& operator=(const PluginRecord&) = delete;

    // Binds the exports of a loaded library, calls InitCommunication and reads the info; prints
    // "Error loading plugin" and returns false when a required export is missing or a call throws.
    // A null module binds nothing.
    bool Bind(void* module);
    // GetVer and GetInfo again; false when either is missing or throws. Only while loaded.
    bool ReadInfo();
    // While loaded, stopped becomes the opposite of enabled.
    void SetEnabled(bool enabled);
    // Removes the plug-in's console commands, frees the library and stops the record. Asked for
    // during a call into the plug-in, it waits until that call has returned.
    void Unload();
    // Loads the stored path again (enabled when that works) and binds it; true when bound.
    bool Load();
    // Calls the hook inside the guard. When it throws, or there is no hook, the record is stopped
    // with "Exception occured in plugin '%s'. Plugin stopped." and false is returned.
    bool Deliver(u32_t code, std::uintptr_t parameter, s32_t& result);

    // Notes a console command created through the host during a call into this plug-in.
    void NoteCreatedCommand(ConsoleVar* command);

    const char* Path() const { return m_path; }
    // The first info string, or null when the plug-in gave none.
    const char* Name() const { return m_info[PLUGIN_INFO_NAME]; }
    // Info string 0..3 (name, description, author, company), or null.
    const char* Info(int field) const;
    PluginVersion Version() const { return m_version; }
    int VersionMajor() const { return PluginVersionMajor(m_version); }
    int VersionMinor() const { return PluginVersionMinor(m_version); }
    s32_t Type() const { return m_type; }
    void* Module() const { return m_module; }
    bool IsLoaded() const { return m_module != nullptr; }
    bool IsStopped() const { return m_stopped; }
    const HostCallbackBlock* CallbackBlock() const { return m_callbackBlock; }
    s32_t CreatedCommandCount() const { return m_commands.count; }

private:
    friend class PluginCallScope;

    // Calls GetType and InitCommunication, binds the hook and reads the info (inside the guard).
    bool BindExports(void* module);
    void CheckVersion() const;
    void FreeInfo();
    void RemoveCreatedCommands();
    // A name for messages: the info name, else the file path.
    const char* MessageName() const;

    HostCallbackBlock* m_callbackBlock = nullptr;
    PluginHookProcFn m_hook = nullptr;
    s32_t m_type = -1;
    void* m_module = nullptr;
    bool m_stopped = false;
    char* m_path = nullptr;
    char* m_info[kPluginInfoCount] = {};
    PluginVersion m_version = 0;
    GrowArray<ConsoleVar*> m_commands{1};
    s32_t m_callDepth = 0;         // calls into the plug-in in progress
    bool m_unloadPending = false;  // Unload asked for during a call
};

class PluginHost {
public:
    PluginHost() = default;
    // Clears what the host still holds (nothing, for the program's host, after UnloadPlugins).
    virtual ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Deletes every plug-in record (which frees its library) and the dictionary.
    void Clear();

    // Loads every "*.plg" of the folder.
    void LoadFolder(const char* folder);
    // Loads every file of folder + "\*." + extension, in name order.
    void LoadMatching(const char* folder, const char* extension);
    // Loads folder + "\" + fileName and binds it. A library that does not load is skipped
    // silently (null); one that loads is recorded whatever the bind's outcome.
    PluginRecord* LoadPluginFile(const char* folder, const char* fileName);

    // Calls every running plug-in's hook in load order; the result is the last answering hook's
    // (0 when none answered). A plug-in that throws is stopped and the broadcast goes on.
    s32_t Broadcast(u32_t code, std::uintptr_t parameter);

    // The host dictionary: names compared exactly, first registration wins.
    void RegisterHostEntry(void* pointer, const char* name);
    void* FindHostEntry(const char* name) const;
    // The value list is never filled: always null.
    void* FindHostValue(const char* name) const;
    s32_t HostEntryCount() const { return m_entries.count; }
    const char* HostEntryName(s32_t index) const;

    s32_t PluginCount() const { return m_plugins.count; }
    PluginRecord* Plugin(s32_t index) const;
    PluginRecord* const* Plugins() const { return m_plugins.items; }

private:
    struct HostEntry {
        char* name;
        void* pointer;
    };

    GrowArray<PluginRecord*> m_plugins{1};
    GrowArray<HostEntry> m_entries{1};
};

extern PluginHost g_pluginHost;

// The plug-in list of the global host, in load order.
PluginRecord* const* GetLoadedPlugins(s32_t* count);

// The two lookups of the callback block, over the global host.
void* HostGetFunction(const char* name);
void* HostGetValue(const char* name);

// Registers the host dictionary's entries, in their fixed order.
void RegisterHostInterface(PluginHost& host);

// The plug-in being called right now (innermost when calls nest), or null.
PluginRecord* CurrentCallingPlugin();

// Start-up step: "Loading plugins...", the print hook, the host dictionary, then every plug-in of
// the folder "plugins", "done".
void LoadPlugins();
// Shutdown step, the mirror of LoadPlugins: every plug-in is unloaded, then the dictionary and the
// print hook go.
void UnloadPlugins();
