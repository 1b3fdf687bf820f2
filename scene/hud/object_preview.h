// Object previews: small live pictures of single world objects drawn in screen rectangles with a
// caption (the squad portraits, the zoomed view's gallery, the "Cut wire" prompt). Producers reserve
// one of 64 slots during the frame; the game frame draws them all once and frees them.
#pragma once
#include "core/types.h"

class DynamicObject;

constexpr int kObjectPreviewSlots = 64;

struct ObjectPreview {
    s32_t left, top, width, height;  // pixels
    float scale;                     // the object's size in its picture; 1 fits it
    u8_t spin;                       // the object turns about its vertical axis, a radian a second
    DynamicObject* object;           // not owned
    const char* caption;             // not owned; valid until the frame's drawing
};

// Reserves a slot and returns its record (zeroed), or null when all 64 are taken.
ObjectPreview* ObjectPreviewAdd();
// The records reserved since the last clear, in order.
ObjectPreview* ObjectPreviewAt(int index);
int ObjectPreviewCount();
// The first reserved preview whose rectangle strictly contains the point (its edges do not), or null.
ObjectPreview* ObjectPreviewFindAt(s32_t x, s32_t y);
// Frees every slot.
void ObjectPreviewClear();
// Draws every reserved preview in order with its own projection, then frees the slots; the
// device's projection, world and view transforms are as before.
void ObjectPreviewDrawAll();

// The rectangle of a preview clipped to the screen on all four edges; false when nothing is left.
bool ObjectPreviewClip(const ObjectPreview& preview, int screenWidth, int screenHeight, s32_t* left, s32_t* top,
                       s32_t* right, s32_t* bottom);
// The preview projection's aspect: the screen's width over its height as an integer quotient, at least 1.
float ObjectPreviewAspect(int screenWidth, int screenHeight);
