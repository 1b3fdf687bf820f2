// Object previews: small views of world objects drawn in screen rectangles with a caption (the
// HUD's squad portraits). 64 slots are reserved per frame and drawn by the world renderer.
#pragma once
#include "core/types.h"

class DynamicObject;

constexpr int kObjectPreviewSlots = 64;

struct ObjectPreview {
    s32_t left, top, width, height;  // pixels
    float scale;
    u8_t flag;
    DynamicObject* object;
    const char* caption;  // not owned; valid for the frame
};

// Reserves a slot and returns its record (zeroed), or null when all 64 are taken.
ObjectPreview* ObjectPreviewAdd();
// The records reserved since the last clear, in order.
ObjectPreview* ObjectPreviewAt(int index);
int ObjectPreviewCount();
// Frees every slot (after the previews are drawn).
void ObjectPreviewsClear();
