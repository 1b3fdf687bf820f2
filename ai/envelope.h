// Envelopes: the mission's script wrappers of world objects. What exists so far is what a world
// object asks of the envelope bound to it: its events and whether it counts the object destroyed.
#pragma once
#include "core/types.h"

class DynamicObject;

// Envelope event indices.
constexpr s32_t ENVELOPE_EVENT_ON_DESTROY = 3;  // "OnDestroy", fired with no sender

class DOEnvelope {
public:
    DOEnvelope() = default;
    virtual ~DOEnvelope() = default;
    DOEnvelope(const DOEnvelope&) = delete;
    DOEnvelope& operator=(const DOEnvelope&) = delete;

    // Runs the envelope's handler of the event on behalf of the sender (null: none). No handlers
    // exist yet: nothing happens.
    virtual void FireEvent(DynamicObject* /*sender*/, s32_t /*eventIndex*/) {}
    // True while the envelope counts its object as destroyed.
    virtual bool IsDestroyedState() { return destroyedState; }

    bool destroyedState = false;
};
