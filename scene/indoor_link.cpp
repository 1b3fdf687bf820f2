// Indoor links: the host side of the messages that tie a world object to its indoor mesh.
#include "scene/indoor_link.h"

#include "core/plugin_host.h"

IndoorLink* IndoorLinkCreate(DynamicObject* owner)
{
    IndoorLink* link = new IndoorLink{};
    link->owner = reinterpret_cast<PluginWord>(owner);
    link->growStep = 1;
    return link;
}

PluginWord IndoorMeshAttach(const char* name, IndoorLink* link)
{
    IndoorMeshAttachEvent event = {name ? name : "", link};
    g_pluginHost.Broadcast(HookIndoorMeshAttach, reinterpret_cast<std::uintptr_t>(&event));
    return link ? link->handle : 0;
}

void IndoorLinkUpdate(IndoorLink* link)
{
    g_pluginHost.Broadcast(HookIndoorLinkUpdate, reinterpret_cast<std::uintptr_t>(link));
}

void IndoorLinkRelease(IndoorLink* link)
{
    if (!link)
        return;
    g_pluginHost.Broadcast(HookIndoorLinkRelease, link->handle);
    for (u32_t i = 0; i < link->count; ++i)
        delete[] reinterpret_cast<u8_t*>(link->items[i]);
    delete[] link->items;
    delete link;
}
