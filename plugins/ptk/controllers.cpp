#include "plugins/ptk/controllers.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace ptk {

namespace {
const char* KindName(CurveKind kind)
{
    switch (kind) {
        case CurveKind::Step:
            return "Step";
        case CurveKind::Linear1D:
            return "Linear1D";
        case CurveKind::Linear3D:
            return "Linear3D";
        case CurveKind::Curve1D:
            return "Curve1D";
        case CurveKind::Curve3D:
            return "Curve3D";
        case CurveKind::Color:
            return "Color";
        case CurveKind::Vis:
            return "VisCurve";
    }
    return "";
}

int Components(CurveKind kind)
{
    switch (kind) {
        case CurveKind::Linear3D:
        case CurveKind::Curve3D:
        case CurveKind::Color:
            return 3;
        default:
            return 1;
    }
}

// Curve time to a whole key, toward zero, kept inside the key range.
std::int32_t WholeKey(float t)
{
    if (!(t == t))
        return 0;
    if (t >= 2147483520.0f)
        return 2147483520;
    if (t <= -2147483520.0f)
        return -2147483520;
    return static_cast<std::int32_t>(t);
}

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

void Appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Appendf(std::string& out, const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written > 0)
        out.append(buffer, static_cast<std::size_t>(written) < sizeof buffer ? written : sizeof buffer - 1);
}

// Reads an object body one level deeper; too deep a nesting fails the read.
bool ReadNestedBody(ScriptObject& object, ScriptCursor& cursor)
{
    if (cursor.depth >= kScriptNestingLimit)
        return false;
    ++cursor.depth;
    const bool read = object.ReadObjectBody(cursor);
    --cursor.depth;
    return read;
}
}  // namespace

// ---- Key curves ---------------------------------------------------------------------------------

KeyCurve::KeyCurve(ScriptVar* driven, CurveKind curveKind) : Controller(driven, KindName(curveKind)), curve(curveKind)
{}

KeyCurve::~KeyCurve()
{
    // A deleted on/off curve leaves its word on.
    if (curve == CurveKind::Vis && var && var->value)
        *static_cast<std::int32_t*>(var->value) = 1;
}

bool KeyCurve::Read(ScriptCursor& cursor)
{
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        CurvePoint point = {0, 0, {0.0f, 0.0f, 0.0f}};
        if (!ReadInteger(cursor, point.key))
            return false;
        if (curve != CurveKind::Vis) {
            if (!TakeChar(cursor, ':'))
                return false;
            bool read = false;
            if (curve == CurveKind::Step)
                read = ReadInteger(cursor, point.whole);
            else if (Components(curve) == 1)
                read = ReadFloat(cursor, point.value[0]);
            else
                read = ReadVector(cursor, point.value);
            if (!read)
                return false;
        }
        if (count < kCurvePointCapacity)
            points[count++] = point;
    }
    return true;
}

bool KeyCurve::ValueAt(float t, float out[3], std::int32_t* whole) const
{
    if (count == 0)
        return false;
    const int n = Components(curve);
    const std::int32_t T = WholeKey(t);
    auto copy = [&](const CurvePoint& p) {
        for (int c = 0; c < n; ++c)
            out[c] = p.value[c];
        if (whole)
            *whole = p.whole;
    };
    auto finish = [&]() {
        if (curve == CurveKind::Color) {
            for (int c = 0; c < 3; ++c)
                out[c] = Clamp01(out[c]);
        }
        return true;
    };
    if (count == 1 || T <= points[0].key) {
        copy(points[0]);
        return finish();
    }
    if (T >= points[count - 1].key) {
        copy(points[count - 1]);
        return finish();
    }
    std::int32_t i = 0;
    for (std::int32_t j = 0; j < count; ++j) {
        if (points[j].key == T) {
            i = j;
            break;
        }
        if (points[j].key < T)
            i = j;
    }
    current = i;
    const CurvePoint& p0 = points[i];
    // Keys out of order can leave the segment at the last point: its value stands.
    if (i + 1 >= count || curve == CurveKind::Step) {
        copy(p0);
        return finish();
    }
    const CurvePoint& p1 = points[i + 1];
    const double span = static_cast<double>(p1.key) - p0.key;
    // Equal successive keys make a segment of no length: its first value, not a division by zero.
    if (span == 0.0) {
        copy(p0);
        return finish();
    }
    const double s = (static_cast<double>(T) - p0.key) / span;
    if (curve == CurveKind::Linear1D || curve == CurveKind::Linear3D) {
        for (int c = 0; c < n; ++c)
            out[c] = static_cast<float>(p0.value[c] + (p1.value[c] - p0.value[c]) * s);
        return finish();
    }
    const CurvePoint& before = points[i > 0 ? i - 1 : i];
    const CurvePoint& after = points[i + 2 < count ? i + 2 : i + 1];
    const double spanIn = static_cast<double>(p1.key) - before.key;
    const double spanOut = static_cast<double>(after.key) - p0.key;
    const double s2 = s * s;
    const double s3 = s2 * s;
    for (int c = 0; c < n; ++c) {
        // A tangent over a span of no length is 0.
        const double m0 = spanIn == 0.0 ? 0.0 : (p1.value[c] - before.value[c]) * span / spanIn;
        const double m1 = spanOut == 0.0 ? 0.0 : (after.value[c] - p0.value[c]) * span / spanOut;
        out[c] = static_cast<float>((2 * s3 - 3 * s2 + 1) * p0.value[c] + (s3 - 2 * s2 + s) * m0 +
                                    (3 * s2 - 2 * s3) * p1.value[c] + (s3 - s2) * m1);
    }
    return finish();
}

std::int32_t KeyCurve::VisibleAt(float t) const
{
    const std::int32_t T = WholeKey(t);
    if (count == 0)
        return 0;
    if (count == 1)
        return T == points[0].key ? 1 : 0;
    if (T >= points[count - 1].key)
        return 0;
    std::int32_t i = -1;
    for (std::int32_t j = 0; j < count; ++j) {
        if (points[j].key == T) {
            i = j;
            break;
        }
        if (points[j].key < T)
            i = j;
    }
    if (i < 0 || i + 1 >= count)
        return 0;
    current = i;
    return i % 2 == 0 && points[i].key <= T && T < points[i + 1].key ? 1 : 0;
}

void KeyCurve::Evaluate(float t)
{
    if (!var || !var->value)
        return;
    if (curve == CurveKind::Vis) {
        *static_cast<std::int32_t*>(var->value) = VisibleAt(t);
        return;
    }
    float value[3];
    std::int32_t whole = 0;
    if (!ValueAt(t, value, &whole))
        return;
    if (curve == CurveKind::Step) {
        *static_cast<std::int32_t*>(var->value) = whole;
        return;
    }
    float* storage = static_cast<float*>(var->value);
    for (int c = 0; c < Components(curve); ++c)
        storage[c] = value[c];
}

void KeyCurve::Write(std::string& out) const
{
    Appendf(out, "\t\t%s = ", var ? var->name.c_str() : "");
    Appendf(out, "%s\n", kind);
    out += "\t\t{\n";
    if (curve == CurveKind::Vis) {
        out += "\t\t\t";
        for (std::int32_t i = 0; i < count; ++i)
            Appendf(out, "%d ", points[i].key);
        out += "\n";
    } else {
        for (std::int32_t i = 0; i < count; ++i) {
            const CurvePoint& p = points[i];
            if (curve == CurveKind::Step)
                Appendf(out, "\t\t\t%d : %d\n", p.key, p.whole);
            else if (Components(curve) == 1)
                Appendf(out, "\t\t\t%d : %f\n", p.key, p.value[0]);
            else
                Appendf(out, "\t\t\t%d : (%f,%f,%f) \n", p.key, p.value[0], p.value[1], p.value[2]);
        }
    }
    out += "\t\t}\n";
}

CurvePoint* KeyCurve::InsertKey(std::int32_t key)
{
    std::int32_t at = count;
    for (std::int32_t i = 0; i < count; ++i) {
        if (points[i].key == key)
            return &points[i];
        if (points[i].key > key) {
            at = i;
            break;
        }
    }
    if (count >= kCurvePointCapacity)
        return nullptr;
    CurvePoint fresh = {key, 0, {0.0f, 0.0f, 0.0f}};
    if (curve == CurveKind::Curve1D || curve == CurveKind::Curve3D)
        ValueAt(static_cast<float>(key), fresh.value, nullptr);
    for (std::int32_t i = count; i > at; --i)
        points[i] = points[i - 1];
    points[at] = fresh;
    ++count;
    return &points[at];
}

// The dump of a function controller: "<variable> = <kind>" and its own blocks in braces.
static void WriteNestedFunction(std::string& out, const ScriptObject& function, const ScriptVar* var, const char* kind)
{
    Appendf(out, "\t\t%s = %s\n", var ? var->name.c_str() : "", kind);
    out += "\t\t{\n";
    function.WriteVarBlock(out);
    function.WriteFuncBlock(out);
    out += "\t\t}\n";
}

// ---- Functions ----------------------------------------------------------------------------------

SinFunction::SinFunction(ScriptVar* driven) : Controller(driven, "Sin"), ScriptObject("Sin", nullptr)
{
    Declare("float", "Amp", &amp);
    Declare("float", "Per", &per);
    Declare("float", "Phase", &phase);
}

bool SinFunction::Read(ScriptCursor& cursor)
{
    return ReadNestedBody(*this, cursor);
}

void SinFunction::Evaluate(float t)
{
    ScriptObject::Evaluate(t);
    if (var && var->value)
        *static_cast<float*>(var->value) = amp * std::sin(t * per / 360.0f + phase);
}

void SinFunction::Write(std::string& out) const
{
    WriteNestedFunction(out, *this, var, "Sin");
}

ExpFunction::ExpFunction(ScriptVar* driven) : Controller(driven, "Exp"), ScriptObject("Exp", nullptr)
{
    Declare("float", "Base", &base);
    Declare("float", "Scale", &scale);
}

bool ExpFunction::Read(ScriptCursor& cursor)
{
    return ReadNestedBody(*this, cursor);
}

void ExpFunction::Evaluate(float t)
{
    ScriptObject::Evaluate(t);
    if (var && var->value)
        *static_cast<float*>(var->value) = std::pow(base, t * scale * 0.1f);
}

void ExpFunction::Write(std::string& out) const
{
    WriteNestedFunction(out, *this, var, "Exp");
}

Controller* CreateController(const std::string& kind, ScriptVar* var)
{
    if (!var || !var->type || !var->type->AllowsKind(kind))
        return nullptr;
    if (kind == "Sin")
        return new SinFunction(var);
    if (kind == "Exp")
        return new ExpFunction(var);
    static const CurveKind kCurves[] = {CurveKind::Step,    CurveKind::Linear1D, CurveKind::Linear3D,
                                        CurveKind::Curve1D, CurveKind::Curve3D,  CurveKind::Color};
    for (CurveKind curve : kCurves) {
        if (kind == KindName(curve))
            return new KeyCurve(var, curve);
    }
    return nullptr;
}

}  // namespace ptk
