// The character object of soldiers and of the player's body: a graphic object whose node tree holds
// the body (root -> body -> torso -> head), with its stance and motion state, its animation state, its
// inventory, its oxygen and a link to the AI that drives it. Health, team and the other sensing values
// live in the AIEntity of that AI.
//
// Ownership: the world owns an actor once it is registered; whoever takes it out of the world deletes
// it. The actor owns its path follower and the weapons of the slots marked owned; carried items, the
// vehicle, the seat, the mounted weapon and the class are only referenced. The AI interface and the
// actor link to each other: deleting either first clears the other's link.
#pragma once
#include "actors/bleeding.h"
#include "actors/vehicles/vehicle.h"
#include "core/strings/engine_string.h"
#include "world/objects/graph_obj.h"

class AIEntity;
class AIInterface;
class DOEnvelope;
class PathFollower;
class Weapon;
struct ActorClassInfo;

constexpr int kActorWeaponSlots = 8;
constexpr int kActorCarriedItems = 8;
constexpr int kActorSquadSlots = 8;

// The pose code derived from the stance flags.
enum ActorPose : s32_t {
    ACTOR_POSE_STAND = 0,
    ACTOR_POSE_CROUCH = 1,
    ACTOR_POSE_PRONE = 2,
};

// Movement modes.
enum ActorMovementMode : s32_t {
    ACTOR_MOVE_IDLE = -1,
    ACTOR_MOVE_WALK = 0,
    ACTOR_MOVE_RUN = 1,
    ACTOR_MOVE_LEFT = 2,
    ACTOR_MOVE_RIGHT = 3,
    ACTOR_MOVE_BACKWARD = 4,
    ACTOR_MOVE_RUN_BACKWARD = 5,
    ACTOR_MOVE_PATROL = 8,
};

// A member of the player's squad as the HUD shows it.
struct SquadMember {
    EngineString name;
    DynamicObject* object = nullptr;
};

// Aim point kinds: the body point (aimed at; items drop from it) and the eye point.
constexpr s32_t ACTOR_AIM_BODY = 1;
constexpr s32_t ACTOR_AIM_EYE = 2;
// The height above the actor's position of the point of that kind in that pose; 0 for others.
float ActorPoseHeight(s32_t pose, s32_t kind);

// Byte offsets of the actor's record in the kind area of its saved state.
constexpr u32_t ACTOR_STATE_HEALTH = 0;
constexpr u32_t ACTOR_STATE_SLOT_KIND = 4;
constexpr u32_t ACTOR_STATE_PATROL = 8;
constexpr u32_t ACTOR_STATE_ALERT = 9;
constexpr u32_t ACTOR_STATE_AI_BYTE = 10;
constexpr u32_t ACTOR_STATE_MOVEMENT = 12;
constexpr u32_t ACTOR_STATE_POSE = 16;
constexpr u32_t ACTOR_STATE_FOLLOWER_BYTE = 20;
constexpr u32_t ACTOR_STATE_FOLLOWER_WORD = 24;
constexpr u32_t ACTOR_STATE_SIZE = 28;

// The section names of actor class scripts, ended by a null entry: "Stay", "Crouch", "Prone",
// "Interphases", "Phases".
extern const char* const ActorPoseSectionNames[6];
// The index (0-4) of the first name equal to the text without regard to case; -1 when none matches.
s32_t ActorPoseSectionIndex(const char* name);

class Actor : public GraphObj {
public:
    // Type id 2 at the origin, every field at its start value; the ground check starts at a random
    // tick of 0..999 so that actors do not all look up their ground in the same frame.
    Actor();
    // Deletes the weapons of the slots marked owned, the path follower, and the links that the AI
    // and the relation lists keep to the actor.
    ~Actor() override;

    // ---- the world object's operations ----
    void Render() override;
    void ApplyDamage(int kind, float angle, float amount) override;
    void OnProjectileHit(ObjectTraceBlock* hit, const ProjectileHit& shot) override;
    void OnProjectileHitNotify(ObjectTraceBlock*, DynamicObject*) override {}
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override;
    // The sphere test of the body: each child of the root in order, at the current level of
    // detail, pushes the centre (copied to out) out of its solid meshes; true on any contact.
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override;
    void GetGeometryBounds(float* box) override;
    void Update() override;
    void UpdateSounds() override;
    const char* GetComponentFolder() const override { return "component\\model\\"; }
    const char* GetObjectFolder() const override { return "object\\actors\\"; }
    bool IsMovable() const override { return isMovable; }
    bool IsCollidable() const override { return isCollidable; }
    bool IsStatic() const override { return isCorpse; }
    void InvalidateShadows() override;
    bool SetParam(const char* keyword, const EngineString* values, int count) override;
    bool EnumGeometry(GeometryEnumCallback callback, GeometryEnumData* data) override;
    void LoadState(SavedObjectState* state) override;
    void SaveState(SavedObjectState* state) override;
    // ---- the graphic object's operations ----
    bool IsAnimated() const override;
    // The blood of the object's "decal" parameter; null while it has no decal texture.
    const BleedingInfo* GetBleedingInfo() const override;

    // ---- the actor's own operations, in the order every actor class keeps ----
    virtual void ResetPoseAndWeapons();
    // Returns the previous mode.
    virtual s32_t SetMovementMode(s32_t mode);
    virtual s32_t GetShownMode() const { return shownMode; }
    virtual s32_t GetShownSideStep() const { return shownSideStep; }
    virtual float GetHeading() const { return heading; }
    virtual float GetPitch() const { return pitch; }
    virtual float GetCurrentSpeed() const { return currentSpeed; }
    virtual void MoveForward();
    virtual void MoveBackward();
    virtual void RunForward();
    virtual void RunBackward();
    virtual void StrafeLeft();
    virtual void StrafeRight();
    virtual void RunStrafeLeft();
    virtual void RunStrafeRight();
    virtual void TurnTo(float targetAngle, bool instant);
    virtual void SetPitch(float value);
    virtual void TurnToPoint(const Vector3& point);
    virtual void AimAtPoint(const Vector3& point);
    // True when a shot was fired.
    virtual bool FireAt(float yaw, float pitchAngle, bool alternateRate, bool forced);
    virtual bool Fire(bool aim, bool skipAmmo);
    virtual void Jump();
    // True when a change of stance started.
    virtual bool PoseDown();
    virtual bool PoseUp();
    virtual void Crouch(bool hold);
    virtual void StartReload();
    // The death: the death set and the angle the hit came from (radians).
    virtual void die(s32_t deathSet, float angle);
    virtual void Revive();
    // Stores the body angle and returns it.
    virtual float SetBodyAngle(float angle);
    virtual void MoveToEnvelope(const Vector3& point, DOEnvelope* target);
    // The path follower plans a route from the actor's position to the point.
    virtual void MoveTo(const Vector3& point);
    // True when a weapon of that kind was taken in hand.
    virtual bool SelectWeaponKind(s32_t kind);
    // Takes the AI out of the AI table, deletes it and clears the link.
    virtual void DetachAI();

    // ---- taking and dropping (actors/actor_take_drop.cpp) ----
    // Takes a pick-up item, a weapon lying in the world, a mounted weapon, or enters a vehicle.
    void TakeItem(DynamicObject* object);
    // Puts the weapon in hand back into the world; the weapon dropped, or null.
    Weapon* DropItem(u8_t force);
    // True when a carried item has that name (without regard to case).
    bool HasItem(const char* itemName) const;
    // Leaves the seat; a soldier (not the player) alive steps out at the seat's step-out point.
    void LeaveVehicle();

    // ---- saved state, reset and aim points (actors/actor_saved_state.cpp) ----
    // A seated soldier (not the player) stands at its seat's attach node, 12 lower.
    void FollowSeatPoint();
    // ActorPoseHeight of the actor's pose.
    float GetPoseHeight(s32_t kind) const;
    // The position raised by the pose's height of the kind.
    Vector3* GetAimPointForPose(Vector3* out, s32_t poseCode, s32_t kind) const;
    Vector3* GetAimPoint(Vector3* out, s32_t kind) const;

    // ---- weapons in hand (actors/actor_weapons.cpp) ----
    // A mounted weapon follows the body's heading and pitch, each clamped to the weapon's limits.
    void TurnMountedWeapon(float heading);
    void PitchMountedWeapon(float pitch);
    // Hangs the weapon left at its carry dummy and the weapon now in hand at "xhand_r".
    void SwapWeaponNodes(u16_t kind);
    // The weapon of the selected slot back to its carry dummy.
    void HolsterWeaponInHand();
    // Shows the sub-weapon switched to in place of the one left; one without a model node gets its
    // model from the weapon folder, with the current weapon's per-mesh settings.
    void ShowSubWeapon(Weapon* sub, Weapon* current);
    // Weapon::Reload on the weapon in hand (the first-person reload animation's end).
    bool ReloadWeapon();
    // The mounted weapon while it is used, else the weapon of the selected slot, else null.
    Weapon* WeaponInHand() const;
    // The actor's node of the weapon: a child of the torso named like it, else of the body.
    GraphNode* WeaponNode(const Weapon* weapon) const;
    // The position raised by the eye height of the pose (on a mounted weapon, of a standing actor).
    Vector3 EyeOrigin() const;

    // The AI's health; 0 or less is dead (0 without AI).
    float GetHealth() const;
    // The sensing record of the actor's AI; null without AI.
    AIEntity* GetAIEntity() const;
    // 1 when crouched, else 2 when prone, else 0.
    ActorPose GetActorPose() const
    {
        return crouched ? ACTOR_POSE_CROUCH : (prone ? ACTOR_POSE_PRONE : ACTOR_POSE_STAND);
    }
    // Puts an item's envelope into the first free carried-item entry; nothing when all 8 are taken.
    void ActorAddCarriedItem(DOEnvelope* item);
    // Gives every carried item back to the world (drawn, casting shadows, its envelope enabled) and
    // empties the entries.
    void ReleaseInventory();
    // alwaysRun follows the console variable gbalwaysrun.
    void ApplyAlwaysRunSetting();
    // Sets the heading at once, the body straightened to it (definitions, the console).
    void SetHeading(float value);
    // The heading to turn to, brought within pi of the heading; turning unless already there.
    void SetTargetHeading(float angle);
    // True when the actor sits in a vehicle seat marked "driver".
    bool IsDriver() const { return inVehicle && seat && seat->driver; }

    PathFollower* follower;  // owned
    bool boundsDirty = true;
    bool isCorpse = false;
    bool isCollidable = true;
    bool isMovable = true;
    EngineString defName;  // the class name of the "class" parameter
    ActorClassInfo* classInfo = nullptr;
    Vector3 stepPoint;
    Vector3 jumpDirection;
    s32_t movementMode = ACTOR_MOVE_WALK;
    s32_t pose = ACTOR_POSE_STAND;
    s32_t shownMode = 0;
    s32_t shownSideStep = 0;
    s32_t sideStep = 0;
    u32_t shownWeaponKind = 0;
    u32_t shownTorsoSet = 0;
    bool wasAiming = true;
    s32_t transitionKind = 0;
    s32_t targetPose = -1;
    float fallSpeed = 0.0f;
    float currentSpeed = 0.0f;
    float previousSpeed = 0.0f;
    float walkSpeed = 17.0f;
    float cautiousSpeed = 10.0f;
    float runSpeed = 44.0f;
    float runBackSpeed = 25.5f;
    float jumpSpeed = 0.0f;
    float jumpPhase = 0.0f;
    s32_t animVariant = 0;
    s32_t deathVariant = 0;
    s32_t deathSet = 0;
    float heading = 0.0f;
    float pitch = 0.0f;
    float previousHeading = 0.0f;
    float previousPitch = 0.0f;
    float targetHeading = 0.0f;
    bool turning = false;
    u32_t turnTime = 0;
    float jumpFrame = 0.0f;
    float landFrame = 0.0f;
    float reloadFrame = 0.0f;
    float transitionFrame = 0.0f;
    float deathLegsFrame = 0.0f;
    float deathTorsoFrame = 0.0f;
    float bodyAngle = 0.0f;
    float aimPitchFrame = 0.0f;  // frame of the aim animation on the torso, chosen from the pitch
    float fireAngle = 0.0f;
    u32_t turnInPlaceStart = 0;
    float turnInPlaceTime = 250.0f;
    u32_t jumpStart = 0;
    float jumpDuration = 500.0f;
    float idleInterval = 10000.0f;
    u32_t idleTick = 0;
    float raiseInterval = 2000.0f;
    u32_t raiseTick = 0;
    bool crouched = false;
    bool prone = false;
    bool alwaysRun = false;
    bool momentaryCrouch = false;
    bool aiming = false;
    bool weaponRaised = false;
    bool weaponRaiseRequest = false;
    bool fitBody = false;
    bool jumping = false;
    bool landing = false;
    bool jumpStarted = false;
    bool reloading = false;
    bool poseChanging = false;
    bool poseChanged = false;
    bool isDead = false;
    bool deathDone = false;
    bool turningInPlace = false;
    bool slowMove = false;
    bool bloodPending = true;
    bool deathFlagA = false;
    bool deathFlagB = false;
    bool fireFromBody = false;
    bool aiMoveOff = false;
    bool noCollision = false;
    u8_t weaponCueA = 255;
    u8_t weaponCueB = 255;
    u16_t weaponKind = 0;
    u16_t torsoSet = 0;
    Weapon* paramWeapon = nullptr;     // the weapon of the last "weapon" parameter
    Weapon* shownSubWeapon = nullptr;  // the sub-weapon whose model the hand shows
    Weapon* weapons[kActorWeaponSlots] = {};
    bool weaponOwned[kActorWeaponSlots] = {};  // the slot holds a weapon the actor owns
    u8_t weaponCount = 0;
    u8_t selectedSlot = 0;  // the slot in hand
    u8_t previousSlot = 255;
    u16_t pendingSlotKind = 0;
    bool slotChangeRequest = false;
    bool usesMountedWeapon = false;
    Weapon* mountedWeapon = nullptr;
    Weapon* lastMountedWeapon = nullptr;
    DOEnvelope* carriedItems[kActorCarriedItems] = {};  // packed from the front
    bool firstUpdateDone = false;
    bool onGround = false;
    u32_t groundCheckTick = 0;
    void* groundMaterial = nullptr;
    u32_t walkStepTick = 0;
    u32_t runStepTick = 0;
    u32_t cautiousStepTick = 0;
    bool shotFired = false;
    bool inVehicle = false;
    Vehicle* vehicle = nullptr;
    VehicleSeat* seat = nullptr;
    float oxygen = 0.0f;  // breath left, drained under water and refilled up to oxygenMax
    float oxygenMax = 0.0f;
    bool sensedFlag = false;
    AIInterface* ai = nullptr;  // the AI that drives the actor; null without
    void* indoorObject = nullptr;
    s32_t indoorCell = 0;
    s32_t savedWord = 0;
    SquadMember* squad[kActorSquadSlots] = {};  // not owned

private:
    // The refusals of both fire operations: no round (unless skipped) or a reload under way.
    bool RefuseShot(Weapon* weapon, bool skipAmmo);

    mutable BleedingInfo m_bleeding;
};

// The player's actor: the frame view's player object (core/frame_view.h), which only ever holds an
// actor; null outside a mission.
Actor* PlayerActor();
// The soldier lets go of the mounted weapon he uses, which turns back to its mount and is drawn by
// its mount again (nothing when he uses none).
void ActorLetGoOfMountedWeapon(Actor* actor);
// The weapon of the occupied seat in a vehicle, else the one in the selected slot, else none.
const Weapon* ActorWeaponInUse(const Actor* actor);
