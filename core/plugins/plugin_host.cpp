#include "core/plugins/plugin_host.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "core/console/console.h"
#include "core/log.h"
#include "platform/win32.h"

PluginHost g_pluginHost;

namespace {
PluginPrintFn g_printHook = nullptr;

constexpr size_t kPluginPrintBufferSize = 2048;
}  // namespace

void SetPluginPrintHook(PluginPrintFn hook)
{
    g_printHook = hook;
}

PluginPrintFn GetPluginPrintHook()
{
    return g_printHook;
}

int PluginPrint(const char* format, ...)
{
    char text[kPluginPrintBufferSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    // The plug-ins are bound before the consoles start: the log is the only place a failed bind or a
    // version warning of start-up can be read.
    Log("%s", text);
    return ConPrint(0, "%s", text);
}

PluginHost::~PluginHost()
{
    Clear();
}

void PluginHost::Clear()
{
    for (s32_t i = 0; i < m_plugins.count; ++i)
        delete m_plugins[i];
    m_plugins.Free();
    for (s32_t i = 0; i < m_entries.count; ++i)
        delete[] m_entries[i].name;
    m_entries.Free();
}

void PluginHost::LoadFolder(const char* folder)
{
    LoadMatching(folder, "plg");
}

void PluginHost::LoadMatching(const char* folder, const char* extension)
{
    char pattern[MAX_PATH];
    const int length = std::snprintf(pattern, sizeof pattern, "%s\\*.%s", folder, extension);
    if (length < 0 || length >= static_cast<int>(sizeof pattern))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            LoadPluginFile(folder, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

PluginRecord* PluginHost::LoadPluginFile(const char* folder, const char* fileName)
{
    char path[MAX_PATH];
    const int length = std::snprintf(path, sizeof path, "%s\\%s", folder, fileName);
    if (length < 0 || length >= static_cast<int>(sizeof path))
        return nullptr;
    HMODULE module = LoadLibraryA(path);
    if (!module)
        return nullptr;
    PluginRecord* record = new PluginRecord(path);
    record->Bind(module);
    m_plugins.Append(record);
    return record;
}

s32_t PluginHost::Broadcast(u32_t code, std::uintptr_t parameter)
{
    s32_t result = 0;
    // The count is read on every pass: an answer may load nothing, but it may nest broadcasts.
    for (s32_t i = 0; i < m_plugins.count; ++i) {
        PluginRecord* record = m_plugins[i];
        if (!record->IsStopped())
            record->Deliver(code, parameter, result);
    }
    return result;
}

PluginRecord* PluginHost::Plugin(s32_t index) const
{
    return index >= 0 && index < m_plugins.count ? m_plugins.items[index] : nullptr;
}

PluginRecord* const* GetLoadedPlugins(s32_t* count)
{
    if (count)
        *count = g_pluginHost.PluginCount();
    return g_pluginHost.Plugins();
}

void LoadPlugins()
{
    Log("Loading plugins...");
    SetPluginPrintHook(PluginPrint);
    RegisterHostInterface(g_pluginHost);
    g_pluginHost.LoadFolder("plugins");
    Log("done\n");
}

void UnloadPlugins()
{
    g_pluginHost.Clear();
    SetPluginPrintHook(nullptr);
}
