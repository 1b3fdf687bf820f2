// One plug-in library: binding its exports and calling into it inside the guard.
#include <cinttypes>
#include <cstring>
#include "core/console/console_var.h"
#include "core/plugins/plugin_host.h"
#include "platform/win32.h"

namespace {
PluginRecord* g_callingPlugin = nullptr;

char* CopyText(const char* text)
{
    const size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

template <class Function>
Function FindExport(void* module, const char* name)
{
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}

void Report(const char* format, const char* text)
{
    if (PluginPrintFn print = GetPluginPrintHook())
        print(format, text);
}
}  // namespace

// Marks the record as the one being called for the duration of a call into it; calls nest.
class PluginCallScope {
public:
    explicit PluginCallScope(PluginRecord& record) : m_record(record), m_previous(g_callingPlugin)
    {
        g_callingPlugin = &record;
        ++record.m_callDepth;
    }
    ~PluginCallScope()
    {
        g_callingPlugin = m_previous;
        if (--m_record.m_callDepth == 0 && m_record.m_unloadPending) {
            m_record.m_unloadPending = false;
            m_record.Unload();
        }
    }
    PluginCallScope(const PluginCallScope&) = delete;
    PluginCallScope& operator=(const PluginCallScope&) = delete;

private:
    PluginRecord& m_record;
    PluginRecord* m_previous;
};

PluginRecord* CurrentCallingPlugin()
{
    return g_callingPlugin;
}

PluginRecord::PluginRecord(const char* path) : m_path(CopyText(path ? path : "")) {}

PluginRecord::~PluginRecord()
{
    RemoveCreatedCommands();
    if (m_module)
        FreeLibrary(m_module);
    delete m_callbackBlock;
    delete[] m_path;
    FreeInfo();
}

bool PluginRecord::Bind(void* module)
{
    // Exports are looked up only in a library that loaded.
    if (!module)
        return false;
    bool bound = false;
    try {
        bound = BindExports(module);
    } catch (...) {
        bound = false;
    }
    if (!bound) {
        if (PluginPrintFn print = GetPluginPrintHook())
            print("Error loading plugin '%" PRIuPTR "'\n", reinterpret_cast<std::uintptr_t>(module));
        return false;
    }
    CheckVersion();
    return true;
}

bool PluginRecord::BindExports(void* module)
{
    // The module is kept first, so that a bind that fails half-way leaves nothing loaded behind.
    m_module = module;
    PluginCallScope scope(*this);
    if (auto getType = FindExport<PluginGetTypeFn>(module, "GetType"))
        m_type = getType();
    m_hook = FindExport<PluginHookProcFn>(module, "HookProc");
    if (auto initCommunication = FindExport<PluginInitCommunicationFn>(module, "InitCommunication")) {
        // A plug-in bound again keeps its block.
        if (!m_callbackBlock)
            m_callbackBlock = new HostCallbackBlock{HostGetFunction, HostGetValue};
        initCommunication(m_callbackBlock);
    }
    return ReadInfo();
}

bool PluginRecord::ReadInfo()
{
    if (!m_module)
        return false;
    auto getVer = FindExport<PluginGetVerFn>(m_module, "GetVer");
    auto getInfo = FindExport<PluginGetInfoFn>(m_module, "GetInfo");
    if (!getVer || !getInfo)
        return false;
    try {
        PluginCallScope scope(*this);
        m_version = getVer();
        const char* const* info = getInfo();
        if (!info)
            return false;
        FreeInfo();
        for (int i = 0; i < kPluginInfoCount; ++i)
            m_info[i] = CopyText(info[i] ? info[i] : "");
    } catch (...) {
        return false;
    }
    return true;
}

void PluginRecord::CheckVersion() const
{
    PluginPrintFn print = GetPluginPrintHook();
    if (!print)
        return;
    if (VersionMajor() > kHostVersionMajor)
        print("Warning, version of plugin '%s' is newer than server(%d > %d).\n", MessageName(), VersionMajor(),
              kHostVersionMajor);
    else if (VersionMinor() > kHostVersionMinor)
        print("Warning, version of plugin '%s' is newer than server(.%d > .%d).\n", MessageName(), VersionMinor(),
              kHostVersionMinor);
}

void PluginRecord::SetEnabled(bool enabled)
{
    if (m_module)
        m_stopped = !enabled;
}

void PluginRecord::Unload()
{
    if (!m_module)
        return;
    // Freeing the library under a call still running in it would pull the code from under it:
    // the unload waits until the outermost call returns.
    if (m_callDepth > 0) {
        m_unloadPending = true;
        return;
    }
    // No command may call into a library that is gone.
    RemoveCreatedCommands();
    if (FreeLibrary(m_module)) {
        m_stopped = true;
        m_module = nullptr;
        m_hook = nullptr;
    }
}

bool PluginRecord::Load()
{
    if (m_module)
        return true;
    void* module = LoadLibraryA(m_path);
    if (!module)
        return false;
    m_stopped = false;
    return Bind(module);
}

bool PluginRecord::Deliver(u32_t code, std::uintptr_t parameter, s32_t& result)
{
    bool delivered = false;
    if (m_hook) {
        try {
            PluginCallScope scope(*this);
            result = m_hook(code, parameter);
            delivered = true;
        } catch (...) {
            delivered = false;
        }
    }
    if (!delivered) {
        SetEnabled(false);
        Report("Exception occured in plugin '%s'. Plugin stopped.\n", MessageName());
    }
    return delivered;
}

void PluginRecord::NoteCreatedCommand(ConsoleVar* command)
{
    if (command)
        m_commands.Append(command);
}

const char* PluginRecord::Info(int field) const
{
    return field >= 0 && field < kPluginInfoCount ? m_info[field] : nullptr;
}

void PluginRecord::FreeInfo()
{
    for (char*& text : m_info) {
        delete[] text;
        text = nullptr;
    }
}

void PluginRecord::RemoveCreatedCommands()
{
    // A command's destructor unlinks it from the console-variable list.
    for (s32_t i = 0; i < m_commands.count; ++i)
        delete m_commands[i];
    m_commands.Free();
}

const char* PluginRecord::MessageName() const
{
    return m_info[PLUGIN_INFO_NAME] ? m_info[PLUGIN_INFO_NAME] : m_path;
}
