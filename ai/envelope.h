// The envelope a world object can be bound to: the script wrapper through which the mission script
// sees the object. What the world reads of it so far is its destroyed state.
#pragma once

class DOEnvelope {
public:
    virtual ~DOEnvelope() = default;
    // True while the envelope counts its object as destroyed: map traces then never hit the object.
    virtual bool IsDestroyedState() { return destroyed; }

    bool destroyed = false;
};
