// What the indoor test plug-in shares with its tests: the test says what to claim and draw, the
// plug-in counts the events it received and keeps what it was handed.
#pragma once
#include <cstdint>
#include "core/plugins/plugin_api.h"

constexpr int kIndoorPluginNameSize = 64;

struct IndoorPluginState {
    // Set by the test.
    std::int32_t claimCell;    // the cell answered for the first structure offered (0: none)
    std::int32_t leaveOnWalk;  // a walk answers outdoors
    std::int32_t planeCount;   // the portal's planes, handed over on every render event
    float planes[4][4];
    char meshName[kIndoorPluginNameSize];     // registered at the mission start ("" : none)
    char textureName[kIndoorPluginNameSize];  // the same
    float meshWorld[16];                      // drawn with this matrix on every render event
    PluginWord visibleObject;                 // handed to the visible-object list (0: none)
    std::int32_t traceHits;                   // traces answer a hit half way
    PluginWord nearResult;                    // the answer to near-point queries
    PluginWord attachHandle;                  // written into attached links
    std::int32_t keepObjects;                 // objects handed over are kept (answered non-zero)

    // Written by the plug-in.
    std::int32_t events[16];  // per event of group 7, by its low bits
    void* mesh;
    void* texture;
    PluginWord lastOffered;  // the structure of the last 0x70005
    PluginWord releasedHandle;
    IndoorPosition renderedAt;  // the camera's position of the last 0x70004
    // The last 0x70009: the event's words and the record's content as handed over.
    IndoorObjectRecord added;
    PluginWord addedObject;
    PluginWord addedCell;
    float addedPosition[3];
};

using IndoorPluginStateFn = IndoorPluginState* (*)();
