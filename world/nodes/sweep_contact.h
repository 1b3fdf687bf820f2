// What a world object tells the player's collision sweep about a contact beyond the pushed-out
// centre that DynamicObject::SphereCollision gives: whether the thing touched is a ladder, and the
// value the ladder hands the player control with it. An object class that is climbable also derives
// from the reporter (its meshes' own contact record is GraphNode's SphereContact).
#pragma once
#include "core/types.h"

struct SweepContact {
    u8_t ladder = 0;
    u32_t value = 0;
};

class SweepContactReporter {
public:
    // Fills the record for a contact that SphereCollision has just reported.
    virtual void ReportSweepContact(SweepContact* contact) const = 0;

protected:
    ~SweepContactReporter() = default;
};
