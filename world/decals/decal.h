// Decals: textured patches cut onto mesh faces where something happened (impacts, scorches,
// blood). A decal is built once by a builder (world/decals/decal_builders.h), then kept, aged, faded and
// drawn by its owner: the graphic node it covers or the world renderer's list.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

struct AnimFrameMesh;
struct AnimMaterial;
struct D3DXMATRIX;
struct D3DXVECTOR3;
class GraphNode;

enum DecalKind : s32_t {
    DECAL_IMPACT = 0,
    DECAL_EXPLOSION = 1,
    DECAL_BLOOD = 2,       // blood on an object behind a victim
    DECAL_BLOOD_POOL = 3,  // blood pool under an actor; fades in
};

// Triangles per decal of the impact and blood builders, and their work buffers.
constexpr u32_t MAX_DECAL_TRIANGLES = 100;
constexpr u32_t MAX_DECAL_VERTICES = 384;
// Triangles of an explosion decal, and its work buffers.
constexpr u32_t MAX_EXPLOSION_TRIANGLES = 1000;
constexpr u32_t EXPLOSION_BUFFER_TRIANGLES = 1024;
// Fading out at the end of the lifetime, and the blood pool's fading in.
constexpr u32_t DECAL_FADE_MS = 900;

// What Decal::Init copies and stores.
struct DecalInitParams {
    const float* vertices = nullptr;   // 3 vertices of 3 floats per triangle
    const float* texCoords = nullptr;  // 3 coordinate pairs per triangle
    u32_t triangles = 0;
    IDirect3DTexture8* texture = nullptr;  // may be null
    GraphNode* node = nullptr;             // null for world decals
    u32_t lifetimeMs = 0;
    bool attached = false;                     // node space, drawn with the node's world matrix
    AnimFrameMesh* const* meshes = nullptr;    // per triangle, optional
    AnimMaterial* const* materials = nullptr;  // per triangle, optional
};

class Decal {
public:
    // Every field zero but the two tint bytes, which start at 1.
    Decal();
    ~Decal();
    Decal(const Decal&) = delete;
    Decal& operator=(const Decal&) = delete;

    // Frees the vertex, texture-coordinate and per-triangle arrays.
    void Free();
    // Copies the triangles and the per-triangle arrays when given; stores texture, node, lifetime
    // and the attached byte; the creation tick is now. The builders set kind, centre, spacing radius
    // and the tint bytes afterwards.
    void Init(const DecalInitParams& params);
    // Once per frame: the colour's alpha (fading) and the world matrix to draw with.
    void UpdateFade();
    // Whether the lifetime is over at the tick (unsigned age, so a wrapping tick count is harmless).
    bool Expired(u32_t now) const { return now - created >= lifetime; }

    s32_t kind;
    u32_t lifetime;  // milliseconds after creation
    u32_t created;   // tick count at creation
    Vector3 centre;  // where the event happened, in world space
    float spacingRadius;
    float* vertices;   // 3 floats per vertex, 3 vertices per triangle; node space when attached
    float* texCoords;  // 2 floats per vertex
    u32_t triangleCount;
    AnimMaterial** meshMaterials;  // per triangle, optional
    AnimFrameMesh** meshes;        // per triangle, optional
    IDirect3DTexture8* texture;    // may be null
    GraphNode* node;               // null for world decals
    u8_t attached;                 // 1: node space, drawn with the node's world matrix
    u8_t lightTint;                // tinted with the scene's lit or shadow colour
    u8_t facesLight;               // the surface faces the scene's light
    u32_t colour;                  // ARGB; the alpha falls while fading
    D3DMATRIX worldMatrix;
    float fogFactor;  // written by the owner before drawing
};

// A bounded list of decals that owns them: a graphic node's (64). The world renderer keeps its own
// list (scene/passes/decal_list.h), which may grow past its 512.
class DecalList {
public:
    explicit DecalList(s32_t capacity) : m_capacity(capacity) {}
    ~DecalList() { Clear(); }
    DecalList(const DecalList&) = delete;
    DecalList& operator=(const DecalList&) = delete;

    // Takes the decal. With the spacing test a decal whose centre lies within the spacing radius of
    // one already listed is freed instead. A full list first frees the decal created longest ago
    // (the first of equals).
    void Add(Decal* decal, bool spacingTest);
    // With "rbremovedecals" on, frees every decal whose lifetime is over; then hands the fog factor
    // to the others and updates their fading.
    void Expire(float fogFactor);
    // Frees every decal.
    void Clear();
    s32_t Count() const { return m_count; }
    s32_t Capacity() const { return m_capacity; }
    Decal* Get(s32_t index) const { return m_items[index]; }

private:
    void RemoveAt(s32_t index);

    Decal** m_items = nullptr;
    s32_t m_count = 0;
    s32_t m_capacity;
};

// The matrix that turns by the angle about the axis through the point (row vectors).
D3DXMATRIX* DecalBuildProjection(D3DXMATRIX* out, const D3DXVECTOR3* point, const D3DXVECTOR3* axis, float angle);
// The rotation that turns the plane of triangle A onto the plane of triangle B, about the line
// where they meet; the angle between the planes goes to angleOut. False when the planes do not
// meet (parallel).
bool DecalFoldOntoFace(D3DXMATRIX* out, const D3DXVECTOR3* triangleA, const D3DXVECTOR3* triangleB, float* angleOut);
