// Controllers drive one script variable over time (one key step is 100 ms): the key curves Step,
// Linear1D, Linear3D, Curve1D, Curve3D and Color, the on/off VisCurve, and the functions Sin and Exp.
#pragma once
#include <cstdint>
#include <string>

#include "plugins/ptk/script_objects.h"

namespace ptk {

constexpr std::int32_t kCurvePointCapacity = 100;

class Controller {
public:
    Controller(ScriptVar* driven, const char* kindName) : var(driven), kind(kindName) {}
    virtual ~Controller() = default;
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    virtual bool Read(ScriptCursor& cursor) = 0;
    // Computes the value at t and stores it into the driven variable.
    virtual void Evaluate(float t) = 0;
    virtual void Write(std::string& out) const = 0;

    ScriptVar* var;
    const char* kind;
};

enum class CurveKind { Step, Linear1D, Linear3D, Curve1D, Curve3D, Color, Vis };

struct CurvePoint {
    std::int32_t key;
    std::int32_t whole;  // Step
    float value[3];      // 1D: value[0]
};

class KeyCurve : public Controller {
public:
    KeyCurve(ScriptVar* driven, CurveKind curveKind);
    ~KeyCurve() override;

    bool Read(ScriptCursor& cursor) override;
    void Evaluate(float t) override;
    void Write(std::string& out) const override;

    // The value at t into out (components of the kind); false when the curve has no point.
    bool ValueAt(float t, float out[3], std::int32_t* whole) const;
    // VisCurve: 1 while t lies in an "on" span.
    std::int32_t VisibleAt(float t) const;
    // The point whose key equals k, or a new point at its place in key order (null when full).
    CurvePoint* InsertKey(std::int32_t key);

    CurveKind curve;
    CurvePoint points[kCurvePointCapacity];
    std::int32_t count = 0;
    mutable std::int32_t current = 0;  // the segment of the last evaluation
};

// Amp * sin(t * Per / 360 + Phase), its own variables drivable by its own Func block.
class SinFunction : public Controller, public ScriptObject {
public:
    explicit SinFunction(ScriptVar* driven);
    ~SinFunction() override { DropControllers(); }
    bool Read(ScriptCursor& cursor) override;
    void Evaluate(float t) override;
    void Write(std::string& out) const override;

    float amp = 1.0f;
    float per = 62.831852f;
    float phase = 0.0f;
};

// pow(Base, t * Scale * 0.1).
class ExpFunction : public Controller, public ScriptObject {
public:
    explicit ExpFunction(ScriptVar* driven);
    ~ExpFunction() override { DropControllers(); }
    bool Read(ScriptCursor& cursor) override;
    void Evaluate(float t) override;
    void Write(std::string& out) const override;

    float base = 2.0f;
    float scale = 1.0f;
};

// A controller of the kind for the variable, when its type allows the kind; null otherwise.
Controller* CreateController(const std::string& kind, ScriptVar* var);

}  // namespace ptk
