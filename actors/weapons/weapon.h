// The weapon object: one gun, launcher, grenade or charge, lying in the world, carried in an actor's
// slots, mounted on an object's node or hanging under another weapon as a sub-weapon. It holds its
// own complete definition (read key by key through SetParam), its ammunition (rounds in the gun and
// a ring of magazines), its sub-weapons and its projectile template.
//
// Ownership: the weapon owns its sub-weapons, its magazine ring and round counts (a sub-weapon under
// "common_stats" only borrows its parent's), its bullet template, its first-person records and
// arrays (not the textures and meshes they point at). Owner, previous owner and mount node are
// references.
#pragma once
#include "actors/anim_entry.h"
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "world/objects/graph_obj.h"

class Actor;
class GraphNode;
class GuiScreen;
class IDirect3DTexture8;
class Projectile;

// Fire modes ("mode" key).
constexpr u32_t kFireModeAuto = 0x1;
constexpr u32_t kFireModeSingle = 0x10;
constexpr u32_t kFireModeBurst = 0x100;
constexpr u32_t WEAPON_FIRE_MODE_SLOTS = 3;
// The least time between two fire-mode changes.
constexpr u32_t WEAPON_MODE_SWITCH_MS = 300;

// Inventory slot classes ("type" key).
enum WeaponSlotType : u32_t {
    WEAPON_SLOT_CSW = 0,
    WEAPON_SLOT_PRIMARY = 1,
    WEAPON_SLOT_SECONDARY = 2,
    WEAPON_SLOT_GRENADE = 3,
    WEAPON_SLOT_EXPLOSIVE = 4,
};

// The first-person animations, in the order of their sections and of WeaponFirstPersonAnimIndex.
constexpr u32_t MAX_WEAPON_FP_ANIMS = 14;
constexpr u32_t WEAPON_FP_LODS = 4;
constexpr u32_t WEAPON_STANCES = 4;  // WALK, CROUCH, PRONE, RUN
// Sub-weapon counts are bytes.
constexpr u32_t WEAPON_MAX_SUBWEAPONS = 128;

// The saved record: two names of 16 bytes, spares, rounds, the ring's entry count, a zero byte,
// then the ring's u16 counts while they fit the kind area.
constexpr u32_t WEAPON_STATE_NAME_SIZE = 16;
constexpr u32_t WEAPON_STATE_RING_OFFSET = 36;

// First-person sway of one stance: walk_x (2), walk_y (2), walk_z (2), yaw (3), rot_x (2).
struct WeaponStanceSway {
    float walkX[2] = {};
    float walkY[2] = {};
    float walkZ[2] = {};
    float yaw[3] = {};
    float rotX[2] = {};
};

// Level-of-detail rendering of one first-person mesh.
struct MeshLodInfo {
    u8_t rendererFlags[3] = {0, 0, 1};
    u32_t renderCodes[3] = {2, 2, 2};
    bool levelFlags[3] = {};
};

// One pull of the trigger: where the shot leaves, toward where, and how the trigger was pulled.
struct WeaponFireRequest {
    Vector3 muzzle;
    Vector3 aim;                   // a unit direction
    void* indoorObject = nullptr;  // the indoor object the muzzle is in; null outdoors
    s32_t indoorCell = 0;          // the cell of that object the muzzle is in
    float yaw = 0.0f;              // turns the projectiles' models
    bool newPull = false;          // a new pull starts the trigger delay
    bool alternateRate = false;    // fire at the second rate
    bool forced = false;           // passes the player's "firewait"
};

class Weapon : public GraphObj {
public:
    // Type id 4 at the origin; the current weapon is itself; aim limits 0, pi, -pi/2, pi/2.
    Weapon();
    // Frees the ring, the sub-weapons (those under "common_stats" let go of the borrowed ring
    // first), the first-person data, detaches the template's live copies and frees the template.
    ~Weapon() override;

    // ---- the world object's operations ----
    void ApplyDamage(int /*kind*/, float /*angle*/, float /*amount*/) override {}
    bool SphereCollision(const Vector3&, float, Vector3*) override { return false; }
    bool FootprintCollision(const Vector3&, float, Vector3*) override { return false; }
    // Mounted: the box of the weapon turned as its mount node.
    void GetGeometryBounds(float* box) override;
    // The one-time mount set-up, then following the mount; relinks the weapon when it moved.
    void Update() override;
    const char* GetComponentFolder() const override { return "component\\weapon\\"; }
    const char* GetObjectFolder() const override { return "object\\weapons\\"; }
    void InvalidateShadows() override;
    // A definition key (actors/weapons/weapon_params.cpp).
    bool SetParam(const char* key, const EngineString* values, int count) override;
    void LoadState(SavedObjectState* state) override;
    void SaveState(SavedObjectState* state) override;

    // ---- the weapon's own operations ----
    virtual void NextSubWeapon();
    virtual void SelectSubWeapon(s32_t index);

    // Magazines: a ring of magazineCountFull + 1 round counts, entry 0 in the gun.
    void FillMagazines();
    void ResetAmmo();
    // The reload step: true when a magazine was used up (the caller lowers the spares).
    bool CycleMagazine();
    u16_t GetMagazineRounds(u32_t index) const;
    void SetMagazineRounds(u32_t index, u16_t rounds);
    u32_t RingSize() const { return magazines ? ringSize : 0; }
    void ShareMagazines(u16_t** ring, u32_t size);
    void SetOwner(Actor* actor);
    Vector3 GetMuzzlePosition();

    // Sub-weapons and modes (actors/weapons/weapon_modes.cpp). False when the weapon holds 128 already.
    bool AddSubWeapon(Weapon* sub);
    Weapon* GetSubWeapon(u32_t index) const { return subWeapons[index]; }
    void NextFireMode();
    void SetFireMode(u32_t mode);
    bool HasFireMode(u32_t mode) const;
    bool IsSwitchPending() const { return switchPending; }
    void ClearSwitchPending();
    // Copies the 14 texture start indexes into out; the level's texture array (level 0 to 3).
    IDirect3DTexture8** GetFirstPersonAnims(u32_t* out, u32_t level) const;
    // The retire table takes it.
    static void RetireProjectile(Projectile* projectile);

    // ---- firing (actors/weapons/weapon_fire.cpp) ----
    // One trigger request on the current weapon (see WeaponFireRequest): true when a shot left it.
    // A weapon without a bullet block fires like a blank: no projectile.
    bool Fire(const WeaponFireRequest& request);
    // A projectile copied from the bullet template, not yet placed; null for a blank or no template.
    Projectile* SpawnProjectile();
    // After a burst: the echo once, then ready for the next.
    void PlayEcho();
    // The next magazine into the current weapon; false when none is left.
    bool Reload();

    // The saved record, field by field; false (nothing changed) when it does not fit or is damaged.
    bool WriteState(u8_t* area, u32_t size) const;
    bool ReadState(const u8_t* area, u32_t size);

    // Releases the first-person data / the template (its live copies detached first).
    void ReleaseFirstPerson();
    void ReleaseBulletTemplate();

    u32_t slotType = 0;
    Weapon** subWeapons = nullptr;
    u8_t subWeaponCount = 0;
    u32_t subWeaponCapacity = 0;
    EngineString fpAnimName;
    AnimEntry* fpAnims = nullptr;  // MAX_WEAPON_FP_ANIMS records, owned
    MeshLodInfo* fpMeshLod = nullptr;
    u32_t fpMeshLodCount = 0;
    bool fpNoLod[MAX_WEAPON_FP_ANIMS] = {};
    IDirect3DTexture8** fpTextures[WEAPON_FP_LODS] = {};
    u32_t fpTextureCount = 0;
    u32_t fpTextureStart[MAX_WEAPON_FP_ANIMS] = {};
    Vector3 fpScale;
    Vector3 fpPosition;
    float fpFov = 0.0f;
    // What the first-person view reads beside the definition's values. The definition files have no key
    // for them, so they keep these values: the semi-automatic shot value (0: a pull shows no shot), the
    // scope (non-zero: zooming hides the weapon) and the weapon's own camera object.
    u32_t semiShotValue = 0;
    u32_t scopeValue = 0;
    GraphNode* fpCameraObject = nullptr;
    // The view kick of a shot for the player, per pose (stand, crouch, prone): pitch kick, least and
    // greatest yaw kick, in degrees. The definition files have no key for it: a weapon kicks by nothing.
    float recoil[3][3] = {};
    GuiScreen* zoomScreen = nullptr;
    bool silent = false;
    bool button2Off = false;
    bool fixed = false;
    u32_t lastShotTime = 0;
    u32_t shotTimer = 0;
    Projectile* bulletTemplate = nullptr;
    u8_t burstState = 0;
    GuiScreen* statScreen = nullptr;
    GuiScreen* crosshairScreen = nullptr;
    u16_t roundsInGun = 0;
    u16_t spareMagazines = 0;
    u16_t** magazines = nullptr;  // the ring; owned unless borrowed from the parent
    u32_t ringSize = 0;           // entries of the ring
    bool ringOwned = false;       // false while the ring is borrowed from the parent
    float zoom = 0.0f;
    u32_t lastModeSwitchTime = 0;
    u32_t fireModeCount = 0;
    u32_t fireModes[WEAPON_FIRE_MODE_SLOTS] = {};
    bool switchPending = false;
    bool fireReady = true;
    Weapon* currentWeapon;
    s32_t subWeaponIndex = -1;
    GraphNode* mountNode = nullptr;  // the carrier's node the weapon hangs from (not owned)
    bool mountSetUp = false;
    bool placementChanged = false;  // moved: relinked in the grid with its shadows at the next update
    float aimLimits[4];
    GraphNode* fireNode[2] = {};
    EngineString fpParticleNames[MAX_WEAPON_FP_ANIMS];
    Vector3 fpParticleOffsets[MAX_WEAPON_FP_ANIMS];
    u16_t magazineCountFull = 0;
    u16_t magazineCapFull = 0;
    EngineString activateBullet;
    EngineString fpAnimList;
    EngineString legsName;
    EngineString torsoName;
    EngineString pinInactive;
    float fpmFirst = 0.0f;
    float fpmSecond = 0.0f;
    u32_t fireMode = 0;
    u32_t fireModeMask = 0;
    float delay = 0.0f;
    u16_t burstCount = 0;
    u16_t magazineCap = 0;
    s32_t fireWait = 0;
    s32_t traceCount = 0;
    bool commonStats = false;
    Actor* owner = nullptr;
    Actor* previousOwner = nullptr;
    u32_t shotCounter = 0;
    Vector3 mountRotation;
    WeaponStanceSway stanceSway[WEAPON_STANCES];
    float scatter[4][3] = {};
    float aiNear = 0.0f;
    float aiFar = 0.0f;
    float aiPower = 0.0f;
    float* aiGoodFor;  // six values, owned
    s32_t aiType = 0;
    s32_t aiRepTime = 0;
    s32_t aiNKills = 0;
    // The name of the carrier's dummy the weapon hangs on while carried. No definition key sets it:
    // it stays empty (no dummy, attach index -1).
    EngineString carryDummy;
    // Set while the bound envelope is the weapon's own (made when it was dropped or mounted): the
    // weapon takes it out of the envelope table and deletes it when it goes.
    bool ownsEnvelope = false;

private:
    // Frees an own ring (the sub-weapons holding it let go first); forgets a borrowed one.
    void FreeRing();
    // A new own ring of that many entries, each with the rounds; shared under "common_stats".
    void MakeRing(u32_t entries, u16_t rounds);
};

// "Aim" ... "ReloadHolster" as 0 to 13, without regard to case; 14 for any other name.
u32_t WeaponFirstPersonAnimIndex(const char* name);
// True when the weapon definition keyword table holds the keyword (compared without regard to case).
bool WeaponKnowsParam(const char* key);
// The first registered weapon whose name equals the text (same length, without regard to case).
Weapon* FindWeaponByName(const char* name);
// The names of a saved weapon record: the previous owner's and the weapon's own. False when either
// is not terminated within its 16 bytes or the area is too small.
bool WeaponStateNames(const u8_t* area, u32_t size, EngineString* previousOwnerName, EngineString* ownName);
