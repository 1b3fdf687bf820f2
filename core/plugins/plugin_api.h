// The interface between the program and its plug-ins, included by both sides. It includes nothing
// of the engine: a plug-in links nothing of the program and reaches it only through the entries it
// looks up by name in the callback block handed to its `InitCommunication`.
//
// Words that may carry a pointer (the hook parameter, record fields, handles) are pointer-sized;
// fields that are plain numbers keep their widths.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

using PluginWord = std::uintptr_t;

// ---- Versions ---------------------------------------------------------------------------------
// Low 16 bits: the major number (read as a signed 16-bit value); high 16 bits: the minor number.
using PluginVersion = std::uint32_t;

constexpr PluginVersion MakePluginVersion(int major, int minor)
{
    return (static_cast<std::uint32_t>(minor) & 0xFFFFu) << 16 | (static_cast<std::uint32_t>(major) & 0xFFFFu);
}
constexpr int PluginVersionMajor(PluginVersion version)
{
    return static_cast<std::int16_t>(version & 0xFFFFu);
}
constexpr int PluginVersionMinor(PluginVersion version)
{
    return static_cast<int>(version >> 16);
}

// The version the host speaks: 0.1.
constexpr int kHostVersionMajor = 0;
constexpr int kHostVersionMinor = 1;

// ---- The callback block -----------------------------------------------------------------------
// Both lookups take a zero-terminated name and return a pointer or null. The function lookup
// serves function and data entries alike (for data it gives the variable's address); the value
// lookup finds nothing.
using HostLookupFn = void* (*)(const char* name);

struct HostCallbackBlock {
    HostLookupFn getFunction;
    HostLookupFn getValue;
};

// ---- Exports of a plug-in ---------------------------------------------------------------------
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

// What GetInfo returns points at four strings in this order; the name is the plug-in's name in
// every message of the host.
enum PluginInfoField { PLUGIN_INFO_NAME = 0, PLUGIN_INFO_DESCRIPTION, PLUGIN_INFO_AUTHOR, PLUGIN_INFO_COMPANY };
constexpr int kPluginInfoCount = 4;

using PluginGetTypeFn = std::int32_t (*)();  // optional
using PluginHookProcFn = std::int32_t (*)(std::uint32_t code, PluginWord parameter);
using PluginInitCommunicationFn = std::int32_t (*)(HostCallbackBlock* block);  // optional
using PluginGetVerFn = PluginVersion (*)();
using PluginGetInfoFn = const char* const* (*)();

// ---- Event codes: group << 16 | event ---------------------------------------------------------
constexpr std::uint32_t PluginMessage(std::uint32_t group, std::uint32_t event)
{
    return group << 16 | event;
}

// Game.
constexpr std::uint32_t HookMissionStarted = 0x30001;
constexpr std::uint32_t HookMissionLeft = 0x30002;
constexpr std::uint32_t HookGameModsInit = 0x30003;  // plug-ins register their game modes in answer
constexpr std::uint32_t HookGameModHit = 0x30004;    // parameter: the projectile record
constexpr std::uint32_t HookObjectUsed = 0x30005;    // parameter: ObjectUseEvent*
// Frame: every game frame and every pass of the menu loop.
constexpr std::uint32_t HookFrame = 0x40000;
// Front end, servers and players.
constexpr std::uint32_t HookGuiReady = 0x50000;
constexpr std::uint32_t HookServerListFill = 0x50001;  // parameter: the list control (PluginListFill*)
constexpr std::uint32_t HookServerCreate = 0x50002;
constexpr std::uint32_t HookServerJoin = 0x50003;
constexpr std::uint32_t HookPlayerListFill = 0x50004;  // parameter: the list control (PluginListFill*)
constexpr std::uint32_t HookPlayerInfo = 0x50005;
constexpr std::uint32_t HookScreenShown = 0x50006;  // parameter: the screen
constexpr std::uint32_t HookMessageLine = 0x50007;  // parameter: the text
constexpr std::uint32_t HookServerInfo = 0x50008;   // parameter: the current screen
// Parameter: address of the menu request word; the plug-in writes 1 (show the multiplayer
// screen) or 2 (start the mission of the current map).
constexpr std::uint32_t HookMultiplayerPending = 0x50009;
// Particles.
constexpr std::uint32_t HookParticlesMapLoaded = 0x60000;
constexpr std::uint32_t HookParticlesMapUnloaded = 0x60001;
constexpr std::uint32_t HookParticlesFrame = 0x60002;        // the plug-in answers with AddParticleInfo
constexpr std::uint32_t HookParticlesEffectEvent = 0x60003;  // parameter: ParticleEffectEvent*
constexpr std::uint32_t HookParticlesSpawn = 0x60004;        // parameter: ParticleSpawnRequest*
constexpr std::uint32_t HookParticlesValue = 0x60005;        // parameter: ParticleValueEvent*; the host never sends it
constexpr std::uint32_t HookParticlesReset = 0x60006;
// Indoor rendering.
constexpr std::uint32_t HookIndoorMissionLoaded = 0x70000;
constexpr std::uint32_t HookIndoorMissionUnloaded = 0x70001;
constexpr std::uint32_t HookIndoorMeshAttach = 0x70002;      // parameter: IndoorMeshAttachEvent*
constexpr std::uint32_t HookIndoorLinkUpdate = 0x70003;      // parameter: IndoorLink*
constexpr std::uint32_t HookIndoorRender = 0x70004;          // parameter: IndoorPosition* of the camera
constexpr std::uint32_t HookIndoorLocateStart = 0x70005;     // parameter: IndoorLocateStartQuery*
constexpr std::uint32_t HookIndoorLocateWalk = 0x70006;      // parameter: IndoorLocateWalkQuery*
constexpr std::uint32_t HookIndoorTraceSegment = 0x70007;    // parameter: IndoorTraceRequest*
constexpr std::uint32_t HookIndoorQueryNearPoint = 0x70008;  // parameter: IndoorNearPointQuery*
constexpr std::uint32_t HookIndoorObjectAdd = 0x70009;       // parameter: IndoorObjectAddEvent*
constexpr std::uint32_t HookIndoorLinkRelease = 0x7000a;     // parameter: the plug-in's handle of the link

// ---- Lists a plug-in fills ---------------------------------------------------------------------
// The server and player list events pass one of these; so does the host for every list control it
// creates for a plug-in (which deletes it through the virtual destructor). Texts are copied.
class PluginListFill {
public:
    virtual ~PluginListFill() = default;
    // Appends an item; the first item of a list without selection becomes the selection.
    virtual void AddString(const char* text) = 0;
    // Appends a column text to an existing item; an item out of range or a list without columns
    // ignores it.
    virtual void AddColumnText(std::uint32_t item, const char* text) = 0;
    // Removes every item and its column texts; the selection stays.
    virtual void Clear() = 0;
};

// ---- Game modes --------------------------------------------------------------------------------
// A game mode a plug-in registers: the host creates the record (BeginGameModRegistration), the
// plug-in fills the names and flag bytes, the host keeps it until the program ends. The reserved
// bytes are the plug-in's; the host never reads them. The team and map arrays and the map index
// belong to the host: a plug-in adds teams through GetNewGameModTeam and leaves the rest alone.
constexpr int kGameModNameSize = 128;  // each name text, zero-terminated

// A host-owned growable array of pointers: items, count, capacity, growth step.
struct GameModPointerArray {
    void** items = {};
    std::uint32_t count = {};
    std::uint32_t capacity = {};
    std::int8_t growStep = {};
    std::uint8_t pad[7] = {};
};

struct GameMod {
    char name[kGameModNameSize] = {};  // looked up without regard to case
    std::uint8_t reserved0[16] = {};
    std::uint8_t vehicleFlag = {};  // 0: the object factory makes no vehicle, helicopter, boat or caterpillar
    // 0: no AI soldiers: the factory makes no "actor" unless forced, the AI step does not run, a hit
    // on a friend shows no subtitle and the coded-message keys do nothing.
    std::uint8_t aiSoldiers = {};
    std::uint8_t chatFlag = {};  // 1: the squad command keys send chat messages instead of orders
    std::uint8_t reserved1 = {};
    std::uint8_t satelliteView = {};  // 0: the satellite-view key does nothing
    std::uint8_t reserved2[3] = {};
    // 1: networked: the simulation keeps running under screens, and the mode's own screens stand in
    // for the menu, the objectives and the loading screen.
    std::uint8_t ownScreens = {};
    std::uint8_t reserved3[3] = {};
    char scoreScreen[kGameModNameSize] = {};
    char escapeScreen[kGameModNameSize] = {};  // the in-game menu
    char teamScreen[kGameModNameSize] = {};
    char loadScreen[kGameModNameSize] = {};
    std::uint8_t reserved4[12] = {};
    GameModPointerArray teams = {};  // of 36-byte team records
    GameModPointerArray maps = {};   // of the host's map-name strings
    std::uint32_t mapIndex = {};     // the current map of `maps`
    std::uint8_t pad[4] = {};
};
static_assert(std::is_standard_layout_v<GameMod>);
static_assert(sizeof(GameModPointerArray) == 24);
static_assert(offsetof(GameMod, name) == 0);
static_assert(offsetof(GameMod, vehicleFlag) == 144);
static_assert(offsetof(GameMod, aiSoldiers) == 145);
static_assert(offsetof(GameMod, chatFlag) == 146);
static_assert(offsetof(GameMod, satelliteView) == 148);
static_assert(offsetof(GameMod, ownScreens) == 152);
static_assert(offsetof(GameMod, scoreScreen) == 156);
static_assert(offsetof(GameMod, escapeScreen) == 284);
static_assert(offsetof(GameMod, teamScreen) == 412);
static_assert(offsetof(GameMod, loadScreen) == 540);
static_assert(offsetof(GameMod, teams) == 680);
static_assert(offsetof(GameMod, maps) == 704);
static_assert(offsetof(GameMod, mapIndex) == 728);
static_assert(sizeof(GameMod) == 736);

constexpr int kGameModTeamSize = 36;

// ---- Event records: owned by the sender, valid only during the broadcast ----------------------
struct ObjectUseEvent {
    PluginWord envelope;         // the envelope used
    std::uint32_t action;        // 8: interact
    std::uint32_t envelopeWord;  // the envelope's own word
};

struct ParticleEffectEvent {
    const char* effectName;
    PluginWord object;  // the world object the effect follows
};

// Pointers to the caller's floats: position x, y, z, then direction x, y, z.
struct ParticleSpawnRequest {
    const char* effectName;
    float* x;
    float* y;
    float* z;
    float* dx;
    float* dy;
    float* dz;
};

struct ParticleValueEvent {
    const char* effectName;
};

// One particle to draw this frame, made by the particle plug-in and read by the host (76 bytes,
// little-endian). Kinds 0-6 use this layout; kind 7 uses ParticleMeshInfo.
enum ParticleKind : std::uint32_t {
    PARTICLE_FACING = 0,       // a quad facing the camera
    PARTICLE_UPRIGHT = 1,      // an upright quad turned to the camera
    PARTICLE_STRETCHED = 2,    // a quad stretched along `vector`
    PARTICLE_ON_GROUND = 3,    // a facing quad standing on the terrain height under it
    PARTICLE_FACING_RECT = 4,  // a facing quad with its own texture rectangle
    PARTICLE_GROUND_QUAD = 5,  // a quad flat on the ground
    PARTICLE_WALL_QUAD = 6,    // an upright quad in the x-y plane
    PARTICLE_MESH = 7,         // an animated mesh (ParticleMeshInfo)
    PARTICLE_KIND_COUNT = 8,
};

struct ParticleInfo {
    std::uint32_t kind;
    std::uint8_t environmentColour;  // not 0: the map's diffuse colour with the particle's alpha
    std::uint8_t pad0[3];
    float position[3];
    float halfSize;
    float rect[4];        // u left, u right, v top, v bottom (kind 4)
    float vector[3];      // kind 2: the long axis
    std::uint32_t value;  // kinds 0, 1, 3, 4, 5, 6: copied bit for bit (the rotation angle)
    std::uint32_t textureIndex;
    std::uint8_t alphaTest;
    std::uint8_t pad1[3];
    std::uint32_t colour;       // A R G B from the high byte down
    std::uint32_t sourceBlend;  // a D3DBLEND value
    std::uint32_t destinationBlend;
};
static_assert(sizeof(ParticleInfo) == 76);
static_assert(offsetof(ParticleInfo, kind) == 0);
static_assert(offsetof(ParticleInfo, environmentColour) == 4);
static_assert(offsetof(ParticleInfo, position) == 8);
static_assert(offsetof(ParticleInfo, halfSize) == 20);
static_assert(offsetof(ParticleInfo, rect) == 24);
static_assert(offsetof(ParticleInfo, vector) == 40);
static_assert(offsetof(ParticleInfo, value) == 52);
static_assert(offsetof(ParticleInfo, textureIndex) == 56);
static_assert(offsetof(ParticleInfo, alphaTest) == 60);
static_assert(offsetof(ParticleInfo, colour) == 64);
static_assert(offsetof(ParticleInfo, sourceBlend) == 68);
static_assert(offsetof(ParticleInfo, destinationBlend) == 72);

// Kind 7: a registered animated mesh drawn with a world matrix (row-major, row-vector convention).
struct ParticleMeshInfo {
    std::uint32_t kind;
    std::uint8_t environmentColour;
    std::uint8_t pad0[3];
    float matrix[16];
    std::uint32_t animIndex;
};
static_assert(sizeof(ParticleMeshInfo) == 76);
static_assert(offsetof(ParticleMeshInfo, matrix) == 8);
static_assert(offsetof(ParticleMeshInfo, animIndex) == 72);

// The link of a world object to its indoor mesh. The plug-in writes its handle; the host refreshes
// the transform before every link update. The pointer array belongs to the link.
struct IndoorLink {
    PluginWord owner;
    PluginWord handle;
    float transform[16];
    PluginWord* items;
    std::uint32_t count;
    std::uint32_t capacity;
    std::int8_t growStep;
};

struct IndoorMeshAttachEvent {
    const char* meshName;
    IndoorLink* link;
};

// Where a point stands indoors: object null means outdoors.
struct IndoorPosition {
    PluginWord object;
    PluginWord cell;
};

// Segment ends point at three floats each.
struct IndoorLocateStartQuery {
    PluginWord structure;  // the candidate structure
    const float* from;
    const float* to;
    PluginWord cell;  // answer: the cell that holds the point, 0 when none
};

struct IndoorLocateWalkQuery {
    IndoorPosition current;
    const float* from;
    const float* to;
    IndoorPosition answer;  // the new position
};

// What the plug-in writes on a hit; the host copies it into its own trace record.
struct IndoorTraceHit {
    std::int32_t hit;  // not 0: the segment hit the indoor mesh
    float fraction;    // along the segment, 0..1
    float point[3];
    float normal[3];
};

struct IndoorTraceRequest {
    IndoorPosition* position;
    const float* from;
    const float* to;
    IndoorTraceHit* hit;  // starts with hit 0
    PluginWord filter;    // hit filter or 0
};

struct IndoorNearPointQuery {
    PluginWord object;
    PluginWord cell;
    const float* point;
    float radius;
    PluginWord result;  // answer: the object found, 0 when none
};

// The object handed to the plug-in: the object, its root node, its model transform, and where it lies.
struct IndoorObjectRecord {
    PluginWord object;
    PluginWord node;
    float transform[16];
    PluginWord indoorObject;
    PluginWord cell;
};

struct IndoorObjectAddEvent {
    IndoorObjectRecord* record;
    PluginWord object;  // the indoor object
    PluginWord cell;
    const float* position;  // the object's, three floats
    PluginWord taken;       // answer: not 0 when the plug-in keeps the object; the host starts it at 0
};

// The clip state of the current portal, shared through the data entry "ndr_clip_data".
constexpr int kIndoorClipMaxPlanes = 32;
struct IndoorClipData {
    std::int32_t planeCount;
    float planes[kIndoorClipMaxPlanes][4];  // a, b, c, d of a x + b y + c z + d >= 0 inside
};

// ---- Host entries a plug-in calls, as it calls them -------------------------------------------
// Looked up with the names given here; a null result means the host lacks the entry.
using HostConPrintFn = int (*)(int console, const char* format, ...);
using HostCommandHandlerFn = std::int32_t (*)(const char* arguments);
using HostAddCVarFnFn = void* (*)(const char* name, HostCommandHandlerFn handler);  // the new command
using HostFindCVarFn = void* (*)(const char* name);
using HostVFSFindCallbackFn = void (*)(const char* name, const char* folder);
// 1 when any entry was reported, else 0.
using HostVFSFindFileFn = std::int32_t (*)(const char* folder, const char* extension, HostVFSFindCallbackFn callback,
                                           std::int32_t allEntries);
using HostVFSOpenFileFn = std::int32_t (*)(const char* name);  // binary mode; 0 when not found
using HostVFSCloseFileFn = void (*)();
using HostVFSReadFileFn = std::int32_t (*)(void* buffer, std::uint32_t count);
using HostVFSGetFileSizeFn = std::uint32_t (*)();
using HostParticleRegisterTextureFn = std::int32_t (*)(const char* name);
using HostParticleRegisterAnimFn = std::int32_t (*)(const char* name);
using HostAddParticleInfoFn = void (*)(void* info);
using HostParticleRegisterPinOBJFn = std::int32_t (*)(void* object, const char* meshName);
using HostParticleRegisterPinFPWFn = std::int32_t (*)(const char* meshName);
using HostParticleUnregisterPinFn = void (*)(std::int32_t index);
using HostParticlePinGetTransformFn = void (*)(std::int32_t index, float* axesOut, float* originOut);
using HostFPWTransformFn = void (*)(float* axesOut, float* positionOut);
using HostDebugVertexFn = void (*)(const float* point, std::uint32_t colour, std::uint32_t durationMs);
// The indoor plug-in's host entries. RegisterAffMesh answers the mesh (an opaque handle) or null;
// RegisterTexture a texture or null.
using HostRegisterAffMeshFn = void* (*)(const char* name);
using HostRegisterTextureFn = void* (*)(const char* name);
// Collects what is seen through the portal whose planes "ndr_clip_data" holds.
using HostIndoorClipCallbackFn = void (*)();
// Draws mesh `meshIndex` of frame `frame` of a registered mesh with the world matrix (16 floats,
// row-vector convention; null: identity) and a texture table indexed as the mesh's own (or null).
using HostIndoorRenderMeshCallbackFn = void (*)(void* mesh, std::int32_t meshIndex, std::int32_t frame,
                                                const float* world, void* const* textures);
// Hands a world object to the frame's visible-object list.
using HostIndoorRenderDefCallbackFn = void (*)(void* object);
// A sphere against the faces of mesh `meshIndex` (frame 0) of a registered mesh, in the mesh's own
// space: 1 on contact, the centre (3 floats) pushed out of the touched faces.
using HostIndoorMeshSphereCollisionFn = std::int32_t (*)(void* mesh, std::int32_t meshIndex, float* centre,
                                                         float radius);
// A segment against the faces of mesh `meshIndex` (frame 0) of a registered mesh, in the mesh's own
// space: 1 on a hit, which fills the record (hit, fraction and point).
using HostIndoorMeshTraceFn = std::int32_t (*)(void* mesh, std::int32_t meshIndex, const float* from, const float* to,
                                               IndoorTraceHit* hit);
// Game modes: Begin answers the new record (null while another is open or without memory); a team
// is 36 bytes of the plug-in's own; End files the open record. The tables show the mode's score or
// team screen; the next map is the name given, or the mode's next map for null.
using HostBeginGameModRegistrationFn = GameMod* (*)();
using HostGetNewGameModTeamFn = void* (*)(GameMod* mod);
using HostEndGameModRegistrationFn = void (*)();
using HostGameInvokeTableFn = void (*)();
using HostGameLoadNextGameModMapFn = void (*)(const char* mapName);
// Arms an actor with a weapon by name: in the hand (inHand 1) or where the weapon rests unused.
using HostGameAddWeaponToActorFn = void (*)(const char* weaponName, void* actor, std::uint8_t inHand);
// "die": the actor dies with the death set, the hit having come from the angle (radians).
using HostDieFn = void (*)(void* actor, std::int32_t deathSet, float angle);
