// Wires: the wires, cables and tapes strung between placed objects of a mission. A group
// is a chain of point sets, one per placed object; wire n of a span runs from the minus point n of
// one set to the plus point n of the next. The points come from the dummy boxes "+n" and "-n" of
// the object's animated mesh. Wires can be cut; a cut wire is no longer drawn, collided with or
// sighted. The renderer draws the wires from the records below.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class IDirect3DTexture8;
class DynamicObject;
class GraphObj;
struct WireShadowMesh;

constexpr s32_t MAX_WIRE_POINTS = 16;
constexpr s32_t MAX_WIRE_GROUPS = 64;
constexpr s32_t MAX_WIRE_SEGMENTS = 16;

constexpr u32_t WIRE_PROFILE_CROSS = 1;  // a thin wire: two crossed quads along a sagging curve
constexpr u32_t WIRE_PROFILE_YFLAT = 2;  // a flat vertical band

// Bits of ConObjPointSet::present: which ends of wire n the object's boxes gave.
constexpr u8_t WIRE_POINT_MINUS = 1;  // "-n": where wire n leaves towards the next object
constexpr u8_t WIRE_POINT_PLUS = 2;   // "+n": where wire n arrives from the previous object

// The connection points of one placed object of a chain.
struct ConObjPointSet {
    ConObjPointSet() = default;
    // Frees the set's shadow meshes.
    ~ConObjPointSet();
    ConObjPointSet(const ConObjPointSet&) = delete;
    ConObjPointSet& operator=(const ConObjPointSet&) = delete;

    // Wire n of the span to the next set has both its ends.
    bool WireExists(s32_t n) const
    {
        return next && (present[n] & WIRE_POINT_MINUS) && (next->present[n] & WIRE_POINT_PLUS);
    }
    // The wire exists and is not cut: it is drawn, collided with and sighted.
    bool WireIntact(s32_t n) const { return WireExists(n) && !cut[n]; }

    float swayPhase = 0.0f;                     // advanced by the renderer
    Vector3 minusPoints[MAX_WIRE_POINTS] = {};  // world space
    Vector3 plusPoints[MAX_WIRE_POINTS] = {};
    u8_t present[MAX_WIRE_POINTS] = {};      // WIRE_POINT_MINUS | WIRE_POINT_PLUS; non-zero: point n was set
    u8_t cut[MAX_WIRE_POINTS] = {};          // wire n leaving this object is cut
    float wireRandom[MAX_WIRE_POINTS] = {};  // -0.5 to 0.5, read by the renderer
    ConObjPointSet* prev = nullptr;
    ConObjPointSet* next = nullptr;
    WireShadowMesh* shadows = nullptr;  // owned list of "con_obj_shadow" meshes
    GraphObj* owner = nullptr;
};

// One chain of point sets.
struct ConObjGroup {
    ConObjGroup() = default;
    // Deletes the point sets with their shadow meshes.
    ~ConObjGroup();
    ConObjGroup(const ConObjGroup&) = delete;
    ConObjGroup& operator=(const ConObjGroup&) = delete;

    ConObjPointSet* first = nullptr;
    ConObjPointSet* last = nullptr;
    u32_t pointSetCount = 0;
    EngineString name;
    IDirect3DTexture8* texture = nullptr;  // held by the texture manager
    u32_t profile = WIRE_PROFILE_CROSS;
    float width = 0.0f;          // half-size of the cross-section
    float textureLength = 0.0f;  // length over which the texture repeats once
    u32_t segments = 1;          // curve segments of a "CROSS" wire, 0 to 16
    float sag = 0.0f;            // how far a "CROSS" wire's curve drops below the straight line
};

// The wire under the crosshair.
struct SightedWire {
    ConObjPointSet* pointSet = nullptr;  // the set the wire leaves from; null: none
    s32_t wire = 0;
    Vector3 boxMin;
    Vector3 boxMax;
};

// Module state ------------------------------------------------------------------------------------

s32_t WireGroupCount();
// Null past the count.
ConObjGroup* WireGetGroup(s32_t index);
bool WireCutEnabled();
void WireSetCutEnabled(bool enabled);
const SightedWire& WireGetSighted();

// Mission life --------------------------------------------------------------------------------------

// Reads folder + "\mission.cog": "group" lines start chains, "add" lines append placed objects to
// the current chain. Nothing happens when the file is missing. Registers the four script functions
// "EnableWireCut", "DisableWireCut", "WireCutEnabled" and "CutWire".
void ConObjLoad(const char* missionFolder);
// Deletes every group; no sighted wire, wire cutting off.
void ConObjFreeAll();

// Builds the point set of an object (moving it onto the terrain first unless it is placed or
// flies); null, with a console line where the object has no animation, when it gives no point.
ConObjPointSet* WireBuildPointSet(DynamicObject* object);

// Play ------------------------------------------------------------------------------------------------

// Pushes the position out of every intact wire near the object, in x and z only: to the radius
// from a "CROSS" wire, or to the radius on its own side of a "YFLAT" band.
void ConObjCollideObject(DynamicObject* object, Vector3* position, float radius);
// Finds the nearest intact wire within 30 units of the viewer whose box the view's centre ray
// meets, and makes it the sighted wire.
void ConObjSightTest();
// Cuts the sighted wire when wire cutting is on.
void ConObjCutSightedWire();
void ConObjClearSightedWire();
// Cuts wire n of the span that starts k sets into the first group of that name (any case); no
// effect when there is no such group, span or wire. Wire cutting need not be on.
void WireCut(const char* groupName, s32_t span, s32_t wire);

// Editor operations (1 on success, 0 on failure) -----------------------------------------------------

// Fills the group's name, profile, texture and lengths as a "group" line of "mission.cog" does (lengths
// in file units); its point sets stay. 0 for no group.
int ConObjGroupSetup(ConObjGroup* group, const char* name, const char* profile, const char* texture, float width,
                     float sag, float textureLength, s32_t segments);
// Lengths in file units, as "mission.cog" gives them. Null when the table is full.
ConObjGroup* ConObjCreateGroup(const char* name, const char* profile, const char* texture, float width, float sag,
                               float textureLength, s32_t segments);
int ConObjGroupAppendObject(ConObjGroup* group, DynamicObject* object);
// Before the set at that index; at or beyond the count: appended.
int ConObjGroupInsertObject(ConObjGroup* group, DynamicObject* object, s32_t index);
// Removes the group from the table (the last entry takes its slot) and deletes it.
int ConObjDeleteGroup(ConObjGroup* group);
// Recomputes the points of every set of the group that the object owns, after it moved.
int ConObjGroupRefreshObject(ConObjGroup* group, DynamicObject* object);
int ConObjGroupRemoveAt(ConObjGroup* group, s32_t index);

// Wire shadows (wire_shadows.cpp) -------------------------------------------------------------------

// Builds the shadow meshes of every span once per mission.
void ConObjBuildShadows();
