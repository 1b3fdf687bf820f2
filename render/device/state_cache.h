// The render-state and texture-stage caches: every state the renderer sets goes through here, and
// a value the device already has is not sent again.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr u32_t MAX_STATES_COUNT = 173;  // render-state ids cached
constexpr u32_t MAX_STAGES = 224;        // stage * 28 + type entries cached
constexpr u32_t kStageStateStride = 28;

struct RenderStateCache {
    u32_t stateKnown[(MAX_STATES_COUNT + 31) / 32];  // set through the cache since the last clear
    u32_t stateValues[MAX_STATES_COUNT];
    u32_t stageKnown[(MAX_STAGES + 31) / 32];
    u32_t stageValues[MAX_STAGES];
};

// An id outside the cache fails the assertion "st < MAX_STATES_COUNT".
void RenderSetState(u32_t st, u32_t value);
// An entry stage * 28 + type outside the cache fails "t < MAX_STAGES".
void RenderSetStageState(u32_t stage, u32_t type, u32_t value);
// The colour operation and its arguments; an argument of -1 (all bits set) is left as it is.
void RenderSetColorOp(u32_t stage, u32_t op, u32_t first, u32_t second);
void RenderSetAlphaOp(u32_t stage, u32_t op, u32_t first, u32_t second);
// Both operations of the stage disabled, their arguments left as they are.
void RenderDisableStage(u32_t stage);
// The states the world's mesh passes share: stage 0 wraps in u and v, stages 0 and 1 take texture
// coordinate sets 0 and 1, and the four material colour sources are the material.
void RenderSetWrapAndMaterialSources();
// Goes to the device every time; null unbinds the stage.
void RenderSetTexture(u32_t stage, IDirect3DBaseTexture8* texture);
// Forgets every known state: the next set of each reaches the device.
void RenderStateCacheClear();
