// Envelopes: the script-callable regions and representatives of a mission. This holds what the actors
// use of the envelope bound to one world object (DOEnvelope): its object and its enable state. The
// script methods, handlers and the envelope table come with the envelopes themselves.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class DynamicObject;

class Envelope {
public:
    virtual ~Envelope() = default;

    // Script methods; each takes one argument (null when the caller has none).
    virtual void Enable(void* /*argument*/) { disabled = 0; }
    virtual void Disable(void* /*argument*/) { disabled = 1; }

    s32_t kind = 0;
    EngineString name;
    u8_t destroyed = 0;
    u8_t disabled = 0;
    u8_t visible = 0;
};

class DOEnvelope : public Envelope {
public:
    DynamicObject* object = nullptr;  // the bound world object; not owned
};
