// The HUD's screen-space overlay of world places: boxes projected to the screen and marked with
// corner brackets (or an arrow at the screen edge when the place is off screen or behind the
// camera), labels on a dark backdrop, the world-marker overlay, the inset camera and the mission
// timer list. Everything draws on top of the finished 3-D frame.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"
#include "scene/scene_cvars.h"

class DynamicObject;
class Envelope;
class Font;

struct ScreenRect {
    float left, top, right, bottom;
};

// Reads the device's viewport for the projections of the frame's markers.
void HudReadViewport();
const D3DVIEWPORT8& HudProjectionViewport();
// The screen rectangle round the 8 projected corners of the box (min x, y, z, max x, y, z).
void ScreenRectOfBox(const float* box, ScreenRect* rect);
// True when the world point lies on or in front of the camera's front plane.
bool HudPointInFront(const float* point);
// Where a projected place is marked: in front, x is clamped to [0, width]; behind, x jumps to the
// edge opposite its side of the centre (right of it to 0, left of it to width; the centre stays).
float HudScreenX(float x, bool inFront, float width);
// The marker's place for a rectangle's centre (x, y): true for corner brackets (on screen), false
// for an edge arrow (on an edge of the screen after the clamps, or behind the camera).
bool HudMarkerPlace(float* x, float* y, bool inFront, int width, int height);
// Corner brackets round the projected box, or an edge arrow when the point is off screen.
void HudDrawBoxMarker(const float* box, const float* point, D3DCOLOR colour);
// The box marker of the object's geometry bounds and position.
void HudDrawObjectMarker(DynamicObject* object, D3DCOLOR colour);

// The layout of a label: the backdrop rectangle and its texture factor, the text's place and scale.
struct HudLabelLayout {
    int left, right, top, bottom;
    D3DCOLOR backdropFactor;  // half-black for colours of alpha 128 or more, else transparent
    int textX, textY;
    float scale;
};
HudLabelLayout HudLabelLayoutOf(const Font* font, const float* point, s32_t minHalfWidth, s32_t halfHeight,
                                D3DCOLOR colour, const char* text);
// A label centred on the screen point (x, y) with the HUD font: a backdrop of at least the given
// half-width and the text above it. Without a HUD font nothing is drawn.
void HudDrawLabel(const float* point, s32_t minHalfWidth, s32_t halfHeight, D3DCOLOR colour, const char* text);

// The world-marker overlay: the compass strip of the screen "LAYER1" with a mark for every shown
// envelope, envelope labels, sight marks, the zoomed view's readouts (the rs_* variables) and
// preview gallery, and the "Cut wire" prompt.
void HudDrawWorldMarkers();
// The compass heading (0 .. 2 pi) of a camera yaw.
float HudCompassHeading(float yaw);
// The bearing (0 .. 2 pi) of an offset from the camera; straight north or south (|d.z| < 0.001)
// gives pi for d.x >= 0, else 0.
float HudCompassBearing(const Vector3& d);
// A mark's x on the compass strip (fraction of the screen width): centreX plus the bearing's turn
// from the heading, at most halfWidth either way.
float HudCompassMarkX(float bearing, float heading, float centreX, float halfWidth);
// Whether an envelope at that squared distance shows its labels at its projected place: a point
// envelope always, any other within 50 m.
bool HudEnvelopeLabelled(s32_t kind, float distanceSquared);
// The sight mark of an envelope at that tick: true while it shows (0 <= elapsed < 20000); cleared
// once more than 20 s have passed (a start tick in the future shows nothing and is kept).
bool HudSightMarkStep(Envelope* envelope, u32_t now);
// Writes the six nav readouts (rs_<group>navdist, rs_<group>navperc) for the target; "--" for a
// group that is missing or has no living member.
void HudWriteNavReadouts(const Vector3& target);
// Renders the inset camera and draws it in the rectangle (pixels).
void HudDrawTeskCam(s32_t left, s32_t top, s32_t right, s32_t bottom);
// Inset pictures rendered so far; HudInsetReset forgets the last update (tests).
u32_t HudInsetUpdateCount();
void HudInsetReset();
// The "- ITF -" list of the running mission timers: per timer "[index][name] " and the whole
// seconds left, " >%dsec", in the "ITF" screen's corner with the default font.
void HudDrawItfList();
// Sees every text of the list as it is drawn (tests); null for none.
using HudItfTracer = void (*)(const char* text, int x, int y);
void HudSetItfTracer(HudItfTracer tracer);

struct HudOverlayRequests {
    u32_t worldMarkers;
    u32_t insetViews;
    s32_t insetRect[4];  // left, top, right, bottom of the last inset view
    u32_t itfLists;
};
const HudOverlayRequests& HudOverlayRequestsSoFar();
void HudOverlayRequestsClear();
