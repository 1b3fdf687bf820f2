// The drivable vehicle: a graphic object on four wheels whose contact points follow the terrain, with
// seats that actors occupy, a driving model (actors/vehicles/vehicle_drive.cpp) and a per-frame update with
// its collisions and engine sounds (actors/vehicles/vehicle_update.cpp). It is also the common base of the
// boat, the caterpillar and the helicopter, which replace some of its own operations.
//
// Ownership: the vehicle owns its seats, their strings and part switches, and its orientation
// matrix. The occupants, the attach nodes and the seat screens are only referenced.
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3dx8_math.h"
#include "world/objects/graph_obj.h"

class Actor;
class GraphNode;
class GuiScreen;
class Weapon;

// One "inhide" or "inshow" line: meshes of a node hidden (or shown) while the player occupies the seat.
struct VehiclePartSwitch {
    u8_t hide = 0;
    GraphNode* node = nullptr;
    std::vector<s32_t> meshes;  // mesh index of each named mesh in the node's mesh; -1 when unknown
};

struct VehicleSeat {
    Actor* occupant = nullptr;  // null while the seat is free
    u8_t driver = 0;            // the occupant drives
    GraphNode* attachNode = nullptr;
    s32_t attachMesh = -1;                         // the seat mesh, an index in the parent of the attach node's mesh
    EngineString actorAnim;                        // the animation the occupant plays while seated
    Vector3 stepOut;                               // where the occupant leaves, in the vehicle's frame
    EngineString description;                      // localized
    std::vector<VehiclePartSwitch*> partSwitches;  // owned by the vehicle
    GuiScreen* screen = nullptr;                   // drawn over the view while the player sits here
    u8_t hideShadow = 0;                           // the occupant casts no shadow while seated
    Weapon* weapon = nullptr;                      // the weapon operated from the seat, if any
};

// The forces of the driving model.
float VehicleAirDrag(float speed);
float VehicleRollingResistance(float coefficient, float speed);
float VehicleScaledLength(const D3DXVECTOR3& vector, float factor);
// The terrain height under (x, z).
float VehicleTerrainHeight(float x, float z);
// Whether the model node exists and has at least count children (the layout checks of the kinds).
bool VehicleNodeHasChildren(const GraphNode* node, s32_t count);
// The wheel layout of the kinds on wheels and tracks: the front axle holds two holders of one wheel
// each, the rear axle two wheels.
bool VehicleHasWheels(const GraphNode* front, const GraphNode* rear);
// The reference point of the node's mesh (the middle of its box at its frame), in the node's own frame,
// and the same point in the world through the node's current matrix.
D3DXVECTOR3 VehicleReferencePoint(const GraphNode* node);
D3DXVECTOR3 VehicleWheelCentre(GraphNode* node);

// Drive state bits: what the controls did in the frame.
constexpr u16_t VEHICLE_DRIVE_IDLE = 0x01;
constexpr u16_t VEHICLE_DRIVE_FORWARD = 0x02;
constexpr u16_t VEHICLE_DRIVE_BACKWARD = 0x04;
constexpr u16_t VEHICLE_DRIVE_BRAKE = 0x08;
constexpr u16_t VEHICLE_DRIVE_STEERED = 0x10;

// Byte offsets of the vehicle's record in the kind area of its saved state.
constexpr u32_t VEHICLE_STATE_SPEED = 0;
constexpr u32_t VEHICLE_STATE_ANGLE = 4;
constexpr u32_t VEHICLE_STATE_POINTS = 8;
constexpr u32_t VEHICLE_STATE_DIRECTION = 56;
constexpr u32_t VEHICLE_STATE_NAMES = 68;
constexpr u32_t VEHICLE_STATE_NAME_SIZE = 16;
constexpr u32_t VEHICLE_STATE_NAME_COUNT = 16;
constexpr u32_t VEHICLE_STATE_OCCUPANTS = 324;
constexpr u32_t VEHICLE_STATE_GEAR = 328;
constexpr u32_t VEHICLE_STATE_SIZE = 329;

class Vehicle : public GraphObj {
public:
    // Type id 5, every field at its start value, the identity orientation.
    Vehicle();
    // Frees the seats and their part switches and stops the engine sounds.
    ~Vehicle() override;

    // ---- the world object's operations ----
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override;
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override;
    void GetGeometryBounds(float* box) override;
    void Update() override;
    void UpdateSounds() override;
    const char* GetComponentFolder() const override { return "component\\vehicle\\"; }
    const char* GetObjectFolder() const override { return "object\\vehicles\\"; }
    bool IsMovable() const override { return true; }
    bool IsCollidable() const override { return true; }
    bool IsStatic() const override { return false; }
    void InvalidateShadows() override;
    bool SetParam(const char* name, const EngineString* values, int count) override;
    void LoadState(SavedObjectState* state) override;
    void SaveState(SavedObjectState* state) override;

    // ---- the vehicle's own operations, in the order every vehicle kind keeps ----
    // Seats the actor in the seat the actor holds already (the taking actor chose and linked it).
    virtual void EnterSeat(Actor* actor);
    virtual void ControlForward();
    virtual void ControlBackward();
    virtual void SteerLeft();
    virtual void SteerRight();
    virtual void ControlLeanLeft() {}
    virtual void ControlLeanRight() {}
    virtual void SetGearChangeArmed(bool armed) { gearChangeArmed = armed; }
    virtual void SteerBy(bool negative, float amount);
    virtual void ToggleMode() {}
    // Normal, lateral and length axes from the contact points.
    virtual void ComputeAxes();
    // The orientation matrix with the negated lateral, the normal and the length axis as columns.
    virtual void BuildOrientation();
    virtual void SetAuxFlag(bool /*value*/) {}
    // The driver asks for the fast drive (always-run on); what a kind does with it is its own.
    virtual void ControlFast() { fastRequested = 1; }

    // ---- seats ----
    // Capacity empty seats in place of any earlier ones; no seat defined.
    void AllocateSeats();
    void LeaveSeat(Actor* actor);
    // The first defined seat without occupant; null when none.
    VehicleSeat* FindFreeSeat();
    // Places every seated actor at its seat (the player excepted).
    void UpdateOccupants();
    // Applies the seat's part switches to the meshes' level-of-detail records, inverted when leaving.
    void ApplyPartSwitches(const VehicleSeat& seat, bool invert);

    // ---- driving steps (actors/vehicles/vehicle_drive.cpp) ----
    void Accelerate();
    void Reverse();
    void Brake();
    void Coast();
    void ToggleGear() { forwardGear = !forwardGear; }
    void Steer(bool negative, float amount, float factor);
    void Move();
    void SettleOnGround(float h0, float h1, float h2, float h3);
    // SettleOnGround on the terrain heights under the four contact points.
    void SettleOnTerrain();
    void DriveStep();
    // ---- the update's steps (actors/vehicles/vehicle_update.cpp) ----
    void CollideWithObjects();
    // Each collidable object whose grid box meets the vehicle's, once: an actor other than the
    // player and the vehicle's own passengers takes the run-over damage; anything else pushes the
    // vehicle out of a sphere of the radius round its centre (and above half the maximum speed cuts
    // the speed by a quarter).
    void PushOutOfObjects(float radius);
    // The first update: placement from the model layout. False when the model lacks a node of it.
    bool PlaceFirst();
    // Takes the body and axle nodes of a layout VehicleHasWheels accepts: the contact points at the
    // wheel centres, and the track and the wheelbase from them.
    void TakeWheelLayout(GraphNode* body, GraphNode* front, GraphNode* rear);
    // The first update of a kind with its own layout: the first-update mark and the bounds cleared,
    // the vehicle set on the terrain where it stands (unless it flies) with its rotation kept, and
    // relinked in the object grid. Gives the position taken.
    Vector3 StandOnGroundAtStart();

    // ---- accessors ----
    float GetSpeed() const { return speed; }
    void SetSpeed(float value) { speed = value; }
    float GetMass() const { return mass; }
    float GetWheelbase() const { return wheelbase; }
    float GetMaxSpeed() const { return maxSpeed; }
    float GetReverseSpeed() const { return reverseSpeed; }
    float GetEngineForce() const { return engineForce; }
    float GetSteerAngle() const { return steerAngle; }
    float SetSteerAngle(float value) { return steerAngle = value; }
    bool IsForwardGear() const { return forwardGear != 0; }
    void SetForwardGear(bool value) { forwardGear = value; }
    void SetCapacity(u16_t value) { capacity = value; }
    Vector3 GetDirection() const { return ToVector(direction); }
    Vector3 GetCentre() const { return ToVector(centre); }
    Vector3 GetContactPoint0() const { return ToVector(points[0]); }
    Vector3 GetContactPoint1() const { return ToVector(points[1]); }
    Vector3 GetNormalAxis() const { return ToVector(normalAxis); }
    Vector3 GetLateralAxis() const { return ToVector(lateralAxis); }
    Vector3 GetLengthAxis() const { return ToVector(lengthAxis); }
    void SetGroundPosition(float x, float y, float z) { groundPosition = {x, y, z}; }
    void SetDirection(float x, float y, float z) { direction = Normalized(x, y, z); }
    void SetNormalAxis(float x, float y, float z) { normalAxis = Normalized(x, y, z); }
    void SetLateralAxis(float x, float y, float z) { lateralAxis = Normalized(x, y, z); }
    void SetLengthAxis(float x, float y, float z) { lengthAxis = Normalized(x, y, z); }

    float steerAngle = 0.0f;
    float speed = 0.0f;  // a magnitude; the gear gives the sense
    float mass = 0.0f;
    u16_t occupantCount = 0;
    u16_t capacity = 0;
    float maxSteerAngle = 0.0f;
    float maxSpeed = 0.0f;
    float reverseSpeed = 0.0f;
    float engineForce = 0.0f;
    D3DXMATRIX* orientation;  // owned
    u8_t forwardGear = 1;
    D3DXVECTOR3 points[4];  // P0, P1 front (steered) axle; P2, P3 rear axle
    D3DXVECTOR3 groundPosition;
    D3DXVECTOR3 direction;
    D3DXVECTOR3 lateralAxis;
    D3DXVECTOR3 normalAxis;
    D3DXVECTOR3 lengthAxis;
    D3DXVECTOR3 centre;
    float wheelbase = 0.0f;
    float track = 0.0f;
    u8_t modeFlag = 1;
    u8_t loweredBody = 0;
    EngineString trailParticle;
    u8_t gearChangeArmed = 1;
    u8_t slow = 1;
    u8_t mouseSteering = 0;
    u8_t selfCentringAllowed = 1;
    float steerSpeed = 0.0f;
    float finalSteer = 0.0f;
    float accelSpeed = 0.0f;
    float brakeForce = 0.0f;
    float throttle = 100.0f;
    float steerRate = 0.0f;
    float mouseSteerAmount = 0.0f;
    u16_t driveState = VEHICLE_DRIVE_IDLE;
    u32_t soundStartTime = 0;
    D3DXVECTOR3 savedNormalAxis;
    D3DXVECTOR3 savedPosition;
    VehicleSeat* seats = nullptr;  // owned, capacity entries
    s32_t seatCount = 0;
    u8_t firstUpdatePending = 1;
    // Written by the player's driving each frame: steering is free unless a sideways and a drive key
    // are held together; the view is being centred back to straight ahead; how far the view yaw moved
    // from the last frame's; the seat's view stays fixed ahead; the fast drive was asked for.
    u8_t steeringFree = 1;
    u8_t lookCentring = 0;
    float yawChange = 0.0f;
    u8_t fixedView = 0;
    u8_t fastRequested = 0;
    GraphNode* bodyNode = nullptr;
    GraphNode* frontAxleNode = nullptr;
    GraphNode* rearAxleNode = nullptr;
    GraphNode* steeringWheelNode = nullptr;  // may be absent

private:
    static Vector3 ToVector(const D3DXVECTOR3& v) { return {v.x, v.y, v.z}; }
    static D3DXVECTOR3 Normalized(float x, float y, float z);
    u16_t m_seatSlots = 0;  // the entries of the seat array (capacity may change after it)
    // Set while a seat section's entries are applied: a "seat" or "capacity" among them would
    // recurse or free the seat being filled, and is refused.
    bool m_applyingSeat = false;

    bool SetSeatParam(const EngineString* values);
    void FreeSeats();
    bool SetPartSwitchParam(bool hide, const EngineString* values, int count);
    void StopEngineSounds();
    // Moves the centre, the ground position and the contact points by the offset.
    void Shift(const D3DXVECTOR3& offset);
};

// The body sway shared by every vehicle (low-speed pitch and bump); the tests reset it.
struct VehicleSwayState {
    bool lowSpeedPitch = false;
    bool bumpActive = false;
    bool bumpRunning = false;
    bool bumpRising = false;
    float bumpAmount = 0.0f;
};
extern VehicleSwayState g_vehicleSway;
