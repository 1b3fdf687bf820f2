// Stencil shadows: at mission start every dynamic object gets its shadow companions; each frame the
// pass lists run one volume pass (z-fail or z-pass counting) over the shadow list the visible-object
// pass collected, then darken, with one full-screen quad, every pixel whose stencil count ended
// above the map's base value 8.
#pragma once
#include "core/types.h"

struct ObjectGridEntry;
class ShadowObject;

// The most vertices and indices of one volume piece the streaming buffers take; a larger piece is
// not drawn.
constexpr u32_t SHADOW_PASS_MAX_VERTICES = 16384;
constexpr u32_t SHADOW_PASS_MAX_INDICES = 32768;

// Mission start, after the objects are loaded: for every object of the registry a bounds shadow
// (when the object has a flagged mesh texture) and a shadow volume, both added to the world and
// kept in the object's two companion fields; then the wire shadows are built.
void ShadowsPrepare();

// Whether a shadow-list record is drawn by a volume pass (and its volume brought up to date): a
// volume companion whose source casts a shadow, within the distance limit of the camera (any
// distance for the external camera).
bool ShadowRecordDrawn(const ObjectGridEntry* record, bool externalCamera);

// The volume passes over a shadow list (the visible-object pass's records of kind 4). Only while
// rbshadows is on, the device has a stencil buffer and the view is not under water. The external
// camera's list passes true: its distance limit does not apply.
void ShadowVolumePassZFail(ObjectGridEntry* const* records, u32_t count, bool externalCamera);
void ShadowVolumePassZPass(ObjectGridEntry* const* records, u32_t count, bool externalCamera);

// The darkening colour (rcshadowcolor as a D3DCOLOR) and the blend factors it is drawn with.
u32_t ShadowDarkenColour();
void ShadowDarkenBlend(u32_t colour, u32_t* source, u32_t* destination);
// The full-screen quad that shades every pixel whose stencil value exceeds 8. Nothing without a
// stencil buffer: the stencil test would then pass everywhere and darken the whole frame.
void ShadowDarkenPass();
