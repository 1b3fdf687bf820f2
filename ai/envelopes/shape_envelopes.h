// The shapeless and simple shape envelopes: a point with a radius (trigger spheres and command
// destinations), an axis-aligned box (contacts only), and the "virtual" and "code" envelopes that
// only carry a name, a handler and events. Zones are in ai/envelopes/zone_envelope.h.
#pragma once
#include "ai/envelopes/envelope.h"

constexpr float POINT_ENVELOPE_DEFAULT_RADIUS = 10.0f;

class PointEnvelope : public Envelope {
public:
    // Registers the class "PointEnvelope" with its six methods and enters the global objects.
    explicit PointEnvelope(const char* envelopeName, const Vector3& at = {},
                           float pointRadius = POINT_ENVELOPE_DEFAULT_RADIUS);

    Vector3 GetPosition() const override { return point; }
    // The other envelope's point test against this point.
    s32_t Overlaps(Envelope* other) override;

    Vector3 point = {};
    float radius = POINT_ENVELOPE_DEFAULT_RADIUS;
};

// The name is spelled so in the mission files and the envelope-type table.
class AABoxEnvenlope : public Envelope {
public:
    // No script class and no global name: scripts cannot call it; it takes part in contacts only.
    AABoxEnvenlope(const char* envelopeName, const Vector3& minimum, const Vector3& maximum);

    // Against another box: ENVELOPE_HIT when the closed intervals overlap on all three axes.
    s32_t OverlapsBox(Envelope* other) override;
    // Against the bounds of the other envelope's world object (a DOEnvelope with an object).
    s32_t Overlaps(Envelope* other) override;

    Vector3 minimum = {};
    Vector3 maximum = {};
};

class VirtualEnvelope : public Envelope {
public:
    // Registers the class "VirtualEnvelope" with "IsDestroyed" and enters the global objects.
    explicit VirtualEnvelope(const char* envelopeName);
};

class CodeEnvelope : public Envelope {
public:
    // Registers the class "CodeEnvelope" with "IsDestroyed" and enters the global objects.
    explicit CodeEnvelope(const char* envelopeName);
};

// Closed-interval overlap of two axis-aligned boxes (minimum and maximum corners).
bool EnvelopeBoxesOverlap(const Vector3& minA, const Vector3& maxA, const Vector3& minB, const Vector3& maxB);
