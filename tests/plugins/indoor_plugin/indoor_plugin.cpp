// An indoor-rendering plug-in for the indoor bridge's tests: it claims a cell for the structure it
// is offered, hands one portal to the clip callback and draws one mesh of a registered mesh on
// every render event, and answers traces and queries as its state says.
#include <cstring>
#include "tests/plugins/indoor_plugin/indoor_plugin_state.h"

namespace {
IndoorPluginState g_state = {};
HostRegisterAffMeshFn g_registerMesh = nullptr;
HostRegisterTextureFn g_registerTexture = nullptr;
HostIndoorClipCallbackFn g_clip = nullptr;
HostIndoorRenderMeshCallbackFn g_drawMesh = nullptr;
HostIndoorRenderDefCallbackFn g_addVisible = nullptr;
IndoorClipData* g_clipData = nullptr;
void* g_textures[1] = {};
}  // namespace

PLUGIN_EXPORT IndoorPluginState* IndoorPluginGetState()
{
    return &g_state;
}

PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* block)
{
    g_registerMesh = reinterpret_cast<HostRegisterAffMeshFn>(block->getFunction("RegisterAffMesh"));
    g_registerTexture = reinterpret_cast<HostRegisterTextureFn>(block->getFunction("RegisterTexture"));
    g_clip = reinterpret_cast<HostIndoorClipCallbackFn>(block->getFunction("IndoorClipCallback"));
    g_drawMesh = reinterpret_cast<HostIndoorRenderMeshCallbackFn>(block->getFunction("IndoorRenderMeshCallback"));
    g_addVisible = reinterpret_cast<HostIndoorRenderDefCallbackFn>(block->getFunction("IndoorRenderDefCallback"));
    g_clipData = static_cast<IndoorClipData*>(block->getFunction("ndr_clip_data"));
    return g_registerMesh && g_registerTexture && g_clip && g_drawMesh && g_addVisible && g_clipData ? 0 : 1;
}

PLUGIN_EXPORT PluginVersion GetVer()
{
    return MakePluginVersion(0, 1);
}

PLUGIN_EXPORT const char* const* GetInfo()
{
    static const char* const info[kPluginInfoCount] = {"Indoor test plugin", "Claims one cell and draws one mesh",
                                                       "zintar tests", "zintar"};
    return info;
}

PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter)
{
    if ((code >> 16) != 7)
        return 0;
    ++g_state.events[code & 15];
    switch (code) {
        case HookIndoorMissionLoaded:
            g_state.mesh = g_state.meshName[0] ? g_registerMesh(g_state.meshName) : nullptr;
            g_state.texture = g_state.textureName[0] ? g_registerTexture(g_state.textureName) : nullptr;
            g_textures[0] = g_state.texture;
            break;
        case HookIndoorMeshAttach:
            reinterpret_cast<IndoorMeshAttachEvent*>(parameter)->link->handle = g_state.attachHandle;
            break;
        case HookIndoorLinkRelease:
            g_state.releasedHandle = parameter;
            break;
        case HookIndoorLocateStart: {
            auto* query = reinterpret_cast<IndoorLocateStartQuery*>(parameter);
            g_state.lastOffered = query->structure;
            query->cell = static_cast<PluginWord>(g_state.claimCell);
            break;
        }
        case HookIndoorLocateWalk: {
            auto* query = reinterpret_cast<IndoorLocateWalkQuery*>(parameter);
            if (g_state.leaveOnWalk)
                query->answer = {0, 0};
            break;
        }
        case HookIndoorRender: {
            g_state.renderedAt = *reinterpret_cast<const IndoorPosition*>(parameter);
            g_clipData->planeCount = g_state.planeCount;
            std::memcpy(g_clipData->planes, g_state.planes, sizeof g_state.planes);
            if (g_state.planeCount > 0)
                g_clip();
            if (g_state.mesh)
                g_drawMesh(g_state.mesh, 0, 0, g_state.meshWorld, g_textures);
            if (g_state.visibleObject)
                g_addVisible(reinterpret_cast<void*>(g_state.visibleObject));
            break;
        }
        case HookIndoorTraceSegment: {
            auto* request = reinterpret_cast<IndoorTraceRequest*>(parameter);
            if (g_state.traceHits) {
                // The hit lies in the claimed cell of the mesh traced.
                request->position->cell = static_cast<PluginWord>(g_state.claimCell);
                request->hit->hit = 1;
                request->hit->fraction = 0.5f;
                for (int i = 0; i < 3; ++i)
                    request->hit->point[i] = (request->from[i] + request->to[i]) * 0.5f;
            }
            break;
        }
        case HookIndoorObjectAdd: {
            auto* event = reinterpret_cast<IndoorObjectAddEvent*>(parameter);
            g_state.added = *event->record;
            g_state.addedObject = event->object;
            g_state.addedCell = event->cell;
            std::memcpy(g_state.addedPosition, event->position, sizeof g_state.addedPosition);
            event->taken = g_state.keepObjects ? 1 : 0;
            break;
        }
        case HookIndoorQueryNearPoint:
            reinterpret_cast<IndoorNearPointQuery*>(parameter)->result = g_state.nearResult;
            break;
        default:
            break;
    }
    return 0;
}
