// Envelopes: the named, script-callable regions and representatives of a mission. Rule scripts of
// "mission.hnd" call their script methods and receive their events; the mission script drives them
// command by command. Envelope is the common base; DOEnvelope is the envelope bound to one world
// object and carries most script methods. The shape envelopes are in ai/envelopes/shape_envelopes.h and
// ai/envelopes/zone_envelope.h.
#pragma once
#include <vector>

#include "ai/script/script_object.h"
#include "core/strings/engine_string.h"
#include "core/types.h"

class Actor;
class DynamicObject;
class EventHandler;
class GraphNode;
class MSALRunner;
class ScriptEvent;

// Envelope kinds (the kind word); they index the mission script's envelope-type table. Kinds 1, 4
// and 5 have no class.
constexpr s32_t ENVELOPE_KIND_OBJECT = 0;  // DOEnvelope: bound to a world object
constexpr s32_t ENVELOPE_KIND_BOX = 2;     // AABoxEnvenlope
constexpr s32_t ENVELOPE_KIND_ZONE = 3;    // ZoneEnvelope
constexpr s32_t ENVELOPE_KIND_VIRTUAL = 6;
constexpr s32_t ENVELOPE_KIND_CODE = 7;
constexpr s32_t ENVELOPE_KIND_POINT = 8;
constexpr s32_t ENVELOPE_KIND_CAMERA = 9;

// What the three contact tests answer for a contact; any other value means none.
constexpr s32_t ENVELOPE_HIT = 17;

// Event indices of a handler (the order of the handler's event-name table).
constexpr s32_t ENVELOPE_EVENT_ON_COLLISION = 0;
constexpr s32_t ENVELOPE_EVENT_ON_HIT = 1;
constexpr s32_t ENVELOPE_EVENT_ON_INIT = 2;
constexpr s32_t ENVELOPE_EVENT_ON_DESTROY = 3;  // fired with no sender
constexpr s32_t ENVELOPE_EVENT_ON_TRACE = 4;
constexpr s32_t ENVELOPE_EVENT_ON_ENTER = 5;
constexpr s32_t ENVELOPE_EVENT_ON_LEAVE = 6;
constexpr s32_t ENVELOPE_EVENT_ON_PICKUP = 7;
constexpr s32_t ENVELOPE_EVENT_ON_INTERACT = 8;
constexpr s32_t ENVELOPE_EVENT_ON_TIMEOUT = 9;
constexpr s32_t ENVELOPE_EVENT_ON_FRAME = 10;
constexpr s32_t ENVELOPE_EVENT_ON_ENABLE = 11;
constexpr s32_t ENVELOPE_EVENT_ON_DISABLE = 12;
constexpr s32_t ENVELOPE_EVENT_ON_SHOW = 13;
constexpr s32_t ENVELOPE_EVENT_ON_HIDE = 14;
constexpr s32_t ENVELOPE_EVENT_SLOTS = 64;  // a handler's event slots

// How a mission-script runner learns that the command it started on an envelope is done: the runner
// owns the record; the envelope holds a pointer to it while the command runs.
struct MSALCompletionRecord {
    void (*function)(MSALRunner* runner) = nullptr;  // MSALRunner::Advance
    u32_t reserved[3] = {};
    MSALRunner* runner = nullptr;
};

// The argument of "LockTargetOrMoveTo": an object (tag 1) or a point (tag 2).
constexpr s32_t ENVELOPE_TARGET_OBJECT = 1;
constexpr s32_t ENVELOPE_TARGET_POINT = 2;
struct EnvelopeTarget {
    s32_t tag = 0;
    DynamicObject* object = nullptr;
    Vector3 point = {};
};

// A named point of an object for the cursor pick: the text and the node (not owned) that places it.
struct EnvelopeLabel {
    EngineString text;
    GraphNode* node = nullptr;
};

// A vehicle envelope's record of one seat.
struct EnvelopeSeatRecord {
    s32_t seatNumber = 0;  // the seat's index: 0, 1, 2 ... in seat order
    s32_t data = 0;        // the seat's data word
    EngineString seatName;
};

// The world objects of a zone ("mission.zns"): a list of fixed capacity.
class EnvelopeObjectList {
public:
    explicit EnvelopeObjectList(u32_t listCapacity);
    ~EnvelopeObjectList();
    EnvelopeObjectList(const EnvelopeObjectList&) = delete;
    EnvelopeObjectList& operator=(const EnvelopeObjectList&) = delete;

    // False (nothing kept) once the list is full or for a null object.
    bool Add(DynamicObject* object);
    DynamicObject* At(u32_t index) const { return index < count ? items[index] : nullptr; }
    u32_t Count() const { return count; }
    u32_t Capacity() const { return capacity; }

    u32_t current = 0;

private:
    DynamicObject** items = nullptr;
    u32_t capacity = 0;
    u32_t count = 0;
};

class Envelope : public ScriptObject {
public:
    Envelope();
    ~Envelope() override;

    // ---- script methods every envelope class has ----
    void IsDestroyed(ScriptArgWord* args) override;  // bool cell = destroyed byte
    void IsVisible(ScriptArgWord* args) override;    // bool cell = visible byte
    void IsPlayer(ScriptArgWord* args) override;     // bool cell = false
    void Destroy(ScriptArgWord* args) override;      // destroyed and disabled
    void Disable(ScriptArgWord* args) override;
    void Enable(ScriptArgWord* args) override;
    void Show(ScriptArgWord* args) override;
    void Hide(ScriptArgWord* args) override;
    void ExecMenuItem(ScriptArgWord* args) override;  // the command-menu item whose id is argument 0
    void Slot87(ScriptArgWord* args) override;        // bool cell = disabled byte

    // ---- the envelope operations after the script slots, in slot order ----
    virtual void SetDisplayName(const char* text);
    // Where the envelope stands in the world (the stored position for the kinds without one).
    virtual Vector3 GetPosition() const { return position; }
    // Binds the handler named by handlerName (ai/envelopes/envelope_events.cpp): 1 on success, else 0.
    virtual s32_t BindHandler();
    // The contact tests against another envelope: ENVELOPE_HIT or 0.
    virtual s32_t TestAgainstPoint(Envelope* /*other*/) { return 0; }
    virtual s32_t OverlapsBox(Envelope* /*other*/) { return 0; }
    virtual s32_t Overlaps(Envelope* /*other*/) { return 0; }
    virtual s32_t Reserved() { return 0; }
    // Fires the bound handler's event of the index on behalf of the sender (null: none)
    // (ai/envelopes/envelope_events.cpp).
    virtual void FireEvent(ScriptObject* sender, s32_t eventIndex);
    // The event of the index in the bound handler; null without a handler, outside 0-63 or for an
    // empty slot (ai/envelopes/envelope_events.cpp).
    ScriptEvent* HandlerEvent(s32_t eventIndex) const;
    // True while the envelope counts as destroyed: a bound object that is not an actor is then not
    // drawn, and collisions and map traces pass it.
    virtual bool IsDestroyedState() { return destroyed != 0; }
    virtual void SetDestroyedState(bool state) { destroyed = state ? 1 : 0; }
    // Forwarded to the bound object's pose store, apply and restore (DOEnvelope only).
    virtual void StoreObjectPose() {}
    virtual void ApplyObjectPose() {}
    virtual void RestoreObjectPose() {}

    // ---- other operations ----
    // Fires OnInteract with no sender, which runs each action waiting in that event once and empties
    // the waiters; false without a handler, such an event, or anything waiting (the player's use key).
    bool Interact();
    void AddChild(Envelope* child);
    // Makes the object list (once; a second call keeps the first list).
    EnvelopeObjectList* CreateObjectList(u32_t capacity);
    EnvelopeObjectList* GetObjectList() const { return objectList; }
    // Completes the running mission-script command: calls the record's function on its runner when
    // notify is pending and both are set.
    void CompleteMSALCommand();
    // Publishes the envelope under its name in the script's global objects (when it has a name and
    // the table exists); the envelope takes itself out again when deleted.
    void EnterGlobalObjects();

    MSALCompletionRecord* msalCompletion = nullptr;  // the running command's record; not owned
    u8_t msalNotifyPending = 1;
    Envelope** children = nullptr;  // owned array; the children belong to the envelope table
    u32_t childCount = 0;
    EnvelopeObjectList* objectList = nullptr;  // owned; null when none
    Envelope* parent = nullptr;                // null for a parent "root"
    EventHandler* handler = nullptr;           // this envelope's own handler instance; owned
    s32_t kind = ENVELOPE_KIND_OBJECT;
    EngineString name;
    EngineString displayName;  // the speaker of the envelope's radio subtitles
    u8_t destroyed = 0;
    u8_t disabled = 0;
    u8_t visible = 0;
    Vector3 position = {};
    // The mark a soldier's "ReportSight" leaves: shown from the start tick (GetTickCount) for 20 s,
    // in the colour, set by the reporting envelope.
    u8_t sightMark = 0;
    u32_t sightStart = 0;
    u32_t sightColour = 0;
    Envelope* sightSetBy = nullptr;
    EngineString handlerName;  // the handler of "mission.hnd" that BindHandler binds
    // A vehicle's seats (DOEnvelope::Attach), and the record of the seat the next taker should occupy
    // (-1: none, the first seat), read when the vehicle is entered.
    std::vector<EnvelopeSeatRecord> seatRecords;
    s32_t currentSeatRecord = -1;
    s32_t spareWord = 0;
    // The mission-script runner of the envelope's soldier; not owned.
    MSALRunner* runner = nullptr;
    // The cursor pick's marks: a preferred envelope wins over nearer ones; the pick sets the far mark
    // of an object that is not an actor from 30 units on, and the label under the cursor (-1 none).
    u8_t pickPreferred = 0;
    u8_t pickFar = 0;
    s32_t selectedLabel = -1;
    // Points of the object named under the cursor: a text at a node's origin.
    std::vector<EnvelopeLabel> labels;

private:
    bool inGlobalObjects = false;
};

class ZoneEnvelope;

// The envelope of one world object (actor, vehicle, item).
class DOEnvelope : public Envelope {
public:
    // Registers the class "DOEnvelope" with its methods and enters the envelope in the script's
    // global objects under its name.
    explicit DOEnvelope(const char* envelopeName = nullptr);
    ~DOEnvelope() override = default;

    // Binds the object both ways (the object keeps this as its envelope); a vehicle gets one seat
    // record per seat.
    void Attach(DynamicObject* target);
    // The bound object when it is an actor (object kind 2), else null.
    Actor* BoundActor() const;

    // ---- envelope operations ----
    void SetDisplayName(const char* text) override;
    Vector3 GetPosition() const override;
    s32_t BindHandler() override;
    s32_t TestAgainstPoint(Envelope* other) override;
    s32_t OverlapsBox(Envelope* other) override;
    s32_t Overlaps(Envelope* other) override;
    bool IsDestroyedState() override;
    void StoreObjectPose() override;
    void ApplyObjectPose() override;
    void RestoreObjectPose() override;

    // ---- script methods (ai/envelopes/do_envelope_methods.cpp, ai/envelopes/do_envelope_msal.cpp) ----
    void IsPlayer(ScriptArgWord* args) override;
    void IsDestroyed(ScriptArgWord* args) override;
    void Destroy(ScriptArgWord* args) override;
    void LockTarget(ScriptArgWord* args) override;
    void MoveTo(ScriptArgWord* args) override;
    void Hold(ScriptArgWord* args) override;
    void RotateToPoint(ScriptArgWord* args) override;
    void Take(ScriptArgWord* args) override;
    void TakeObject(ScriptArgWord* args) override;
    void HasItem(ScriptArgWord* args) override;
    void ExecParticleSet(ScriptArgWord* args) override;
    void SetFrame(ScriptArgWord* args) override;
    void LockTargetOrMoveTo(ScriptArgWord* args) override;
    void SetBehavRecon(ScriptArgWord* args) override;
    void SetBehavAggres(ScriptArgWord* args) override;
    void SetBehavNormal(ScriptArgWord* args) override;
    void SetStandMode(ScriptArgWord* args) override;
    void SetCrouchMode(ScriptArgWord* args) override;
    void SetProneMode(ScriptArgWord* args) override;
    void ReportHealth(ScriptArgWord* args) override;
    void FollowPlayer(ScriptArgWord* args) override;
    void ReportPosition(ScriptArgWord* args) override;
    void ReportSight(ScriptArgWord* args) override;
    void ReportStatus(ScriptArgWord* args) override;
    void MSALMoveTo(ScriptArgWord* args) override;
    void MSALMoveToPt(ScriptArgWord* args) override;
    void MSALUse(ScriptArgWord* args) override;
    void MSALTake(ScriptArgWord* args) override;
    void MSALEliminate(ScriptArgWord* args) override;
    void MSALSetPoseMode(ScriptArgWord* args) override;
    void MSALSetMovementMode(ScriptArgWord* args) override;
    void MSALFireObjectEvent(ScriptArgWord* args) override;

    // Shows a radio subtitle spoken by the display name, 1500 ms.
    void Say(const char* textKey) const;
    // The script method "Print" (registered by the command menu): a debug line with the name and the
    // tick count on console 4.
    void Print(ScriptArgWord* args);

    DynamicObject* object = nullptr;     // the bound world object; not owned
    ZoneEnvelope* targetZone = nullptr;  // the zone of a running MSALEliminate; not owned
};

// True when the envelope is bound to an actor that is alive (the sight marks follow living soldiers).
bool EnvelopeActorAlive(const Envelope* envelope);

// Puts the envelope into the first free slot of the envelope table; its slot, or -1 when the table
// is full or the envelope is null. An envelope already in the table keeps its slot.
s32_t EnvelopeRegister(Envelope* envelope);
// Takes the envelope out of the table (nothing when it is not there).
void EnvelopeUnregister(Envelope* envelope);
// Deletes every envelope of the table and empties it.
void EnvelopeTableDeleteAll();
