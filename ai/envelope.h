// Envelopes: the script-callable regions and representatives of a mission. This holds what the
// world uses of the envelope bound to one world object (DOEnvelope): its object, its enable state,
// its events and whether it counts the object destroyed. The script methods, handlers and the
// envelope table come with the envelopes themselves.
#pragma once
#include <vector>

#include "core/engine_string.h"
#include "core/types.h"

class DynamicObject;
class EventHandler;
class MSALRunner;

// Envelope kinds (the kind word).
constexpr s32_t ENVELOPE_KIND_OBJECT = 0;  // bound to a world object
constexpr s32_t ENVELOPE_KIND_ZONE = 3;
constexpr s32_t ENVELOPE_KIND_POINT = 8;

// Envelope event indices.
constexpr s32_t ENVELOPE_EVENT_ON_DESTROY = 3;  // "OnDestroy", fired with no sender

class Envelope {
public:
    virtual ~Envelope() = default;

    // Script methods; each takes one argument (null when the caller has none).
    virtual void Enable(void* /*argument*/) { disabled = 0; }
    virtual void Disable(void* /*argument*/) { disabled = 1; }
    virtual void Show(void* /*argument*/) { hidden = 0; }
    virtual void Hide(void* /*argument*/) { hidden = 1; }
    // Runs the envelope's handler of the event on behalf of the sender (null: none). No handlers
    // exist yet: nothing happens.
    virtual void FireEvent(DynamicObject* /*sender*/, s32_t /*eventIndex*/) {}
    // True while the envelope counts its object as destroyed: the object is then not drawn (unless
    // an actor) and map traces never hit it.
    virtual bool IsDestroyedState() { return destroyed != 0; }
    // Where the envelope stands in the world.
    virtual Vector3 GetPosition() const { return position; }

    s32_t kind = 0;
    EngineString name;
    u8_t destroyed = 0;
    u8_t disabled = 0;
    u8_t visible = 0;
    u8_t hidden = 0;                  // the object is hidden by the script
    EventHandler* handler = nullptr;  // the loaded handler of the envelope's events; not owned
    MSALRunner* runner = nullptr;     // the mission-script runner of the envelope's soldier; not owned
    Vector3 position = {};            // a point envelope's place
    // The mark a soldier's "ReportSight" leaves: shown from the start tick (GetTickCount) for 20 s.
    u8_t sightMark = 0;
    u32_t sightStart = 0;
    u32_t sightColour = 0;
};

struct EnvelopeSeatRecord {
    s32_t seatNumber = 0;
};

class DOEnvelope : public Envelope {
public:
    DOEnvelope() = default;
    explicit DOEnvelope(const char* envelopeName) { name.Assign(envelopeName ? envelopeName : ""); }
    // The bound object's position (the stored one without an object).
    Vector3 GetPosition() const override;

    // Binds the envelope to the object, which keeps it as its bound envelope.
    void Attach(DynamicObject* target);

    DynamicObject* object = nullptr;  // the bound world object; not owned
    // A vehicle's envelope keeps one record per seat, each with its seat number, and the record
    // of the seat the next taker should occupy (-1: none, the first seat).
    std::vector<EnvelopeSeatRecord> seatRecords;
    s32_t currentSeatRecord = -1;
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
