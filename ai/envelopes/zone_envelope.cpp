#include "ai/envelopes/zone_envelope.h"

#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_state.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr float kParallel = 0.00001f;
constexpr float kNoCrossing = 1e30f;

// The turn at b on the way a, b, c: positive for a left (counter-clockwise) turn.
float Turn(const ZoneVertex& a, const ZoneVertex& b, const ZoneVertex& c)
{
    return (b.x - a.x) * (c.z - b.z) - (b.z - a.z) * (c.x - b.x);
}

// The outward normal of the edge a -> b of a counter-clockwise outline.
void EdgeNormal(const ZoneVertex& a, const ZoneVertex& b, float* out)
{
    out[0] = b.z - a.z;
    out[1] = -(b.x - a.x);
}

void Normalise(float* v)
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1]);
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
    }
}

float Distance(const float* a, float x, float z)
{
    const float dx = x - a[0], dz = z - a[1];
    return std::sqrt(dx * dx + dz * dz);
}

}  // namespace

ZoneEnvelope::ZoneEnvelope(const char* envelopeName, float* polygon, u32_t count, u8_t insideFlag) : inside(insideFlag)
{
    kind = ENVELOPE_KIND_ZONE;
    name.Assign(envelopeName ? envelopeName : "");
    scriptClass = ScriptClassRegistry::RegisterClass("ZoneEnvelope");
    AddMethod(ScriptMethodOf(&ZoneEnvelope::AllActorsDeadMethod), "AllActorsDead", 2);
    if (name.Length() > 0)
        EnterGlobalObjects();
    if (!polygon || count == 0)
        return;
    const u32_t n = count;

    // The polygon turns positively: a clockwise list is reversed in place.
    u32_t lowest = 0;
    for (u32_t i = 1; i < n; ++i) {
        if (polygon[2 * i + 1] < polygon[2 * lowest + 1])
            lowest = i;
    }
    if (n >= 3) {
        const u32_t p = (lowest + n - 1) % n, q = (lowest + 1) % n;
        const float turn = (polygon[2 * lowest] - polygon[2 * p]) * (polygon[2 * q + 1] - polygon[2 * lowest + 1]) -
                           (polygon[2 * lowest + 1] - polygon[2 * p + 1]) * (polygon[2 * q] - polygon[2 * lowest]);
        if (turn < 0.0f) {
            for (u32_t i = 0, j = n - 1; i < j; ++i, --j) {
                std::swap(polygon[2 * i], polygon[2 * j]);
                std::swap(polygon[2 * i + 1], polygon[2 * j + 1]);
            }
            lowest = n - 1 - lowest;
        }
    }

    vertexCount = n;
    vertices = new ZoneVertex[n];
    const u32_t stamp = g_actors.routeNumber - 1;
    for (u32_t i = 0; i < n; ++i) {
        vertices[i].x = polygon[2 * i];
        vertices[i].z = polygon[2 * i + 1];
        vertices[i].searchStamp = stamp;
    }
    inner = new s32_t[n + 1];
    for (u32_t i = 0; i < n; ++i)
        inner[i] = static_cast<s32_t>(i);
    inner[n] = -1;
    innerCount = n;

    std::vector<float> turns(n, 0.0f);
    bool convex = true;
    for (u32_t i = 0; i < n; ++i) {
        turns[i] = Turn(vertices[(i + n - 1) % n], vertices[i], vertices[(i + 1) % n]);
        if (turns[i] < 0.0f)
            convex = false;
    }

    outer = new s32_t[n + 1];
    if (convex) {
        for (u32_t i = 0; i < n; ++i)
            outer[i] = static_cast<s32_t>(i);
        outerCount = n;
        outerDiffers = 0;
    } else {
        // The hull: walk the polygon once round from the lowest vertex, keeping on a stack only
        // the vertices that turn positively and are no reflex corners of the polygon.
        std::vector<u32_t> stack;
        stack.push_back(lowest);
        for (u32_t step = 1; step <= n; ++step) {
            const u32_t v = (lowest + step) % n;
            while (stack.size() >= 2) {
                const u32_t top = stack.back(), below = stack[stack.size() - 2];
                if (Turn(vertices[below], vertices[top], vertices[v]) > 0.0f && turns[top] > 0.0f)
                    break;
                stack.pop_back();
            }
            if (step < n)
                stack.push_back(v);
        }
        outerCount = static_cast<u32_t>(stack.size());
        for (u32_t i = 0; i < outerCount; ++i)
            outer[i] = static_cast<s32_t>(stack[i]);
        outerDiffers = 1;
    }
    outer[outerCount] = -1;

    for (u32_t i = 0; i < n; ++i) {
        vertices[i].type = turns[i] > 0.0f ? ZONE_VERTEX_CONVEX : ZONE_VERTEX_REFLEX;
        if (vertices[i].x < minX)
            minX = vertices[i].x;
        if (vertices[i].x > maxX)
            maxX = vertices[i].x;
        if (vertices[i].z < minZ)
            minZ = vertices[i].z;
        if (vertices[i].z > maxZ)
            maxZ = vertices[i].z;
    }
    for (u32_t i = 0; i < outerCount; ++i)
        vertices[outer[i]].type = ZONE_VERTEX_ON_HULL;
}

ZoneEnvelope::~ZoneEnvelope()
{
    delete[] vertices;
    delete[] outer;
    delete[] inner;
}

bool ZoneEnvelope::HasLivingActor() const
{
    const EnvelopeObjectList* list = GetObjectList();
    if (!list)
        return false;
    for (u32_t i = 0; i < list->Count(); ++i) {
        const DynamicObject* object = list->At(i);
        if (object && object->GetTypeId() == OBJECT_TYPE_ACTOR && !static_cast<const Actor*>(object)->isDead)
            return true;
    }
    return false;
}

void ZoneEnvelope::AllActorsDeadMethod(ScriptArgWord*)
{
    g_scriptResult.asBool = HasLivingActor() ? 0 : 1;
}

bool ZoneEnvelope::ContainsPoint(int outline, const float* point) const
{
    const s32_t* list = Outline(outline);
    const u32_t n = OutlineCount(outline);
    if (!list || n == 0 || !point)
        return false;
    u32_t crossings = 0;
    for (u32_t i = 0; i < n; ++i) {
        const ZoneVertex& a = vertices[list[i]];
        const ZoneVertex& b = vertices[list[(i + 1) % n]];
        if (b.z == a.z)
            continue;
        const float t = (point[1] - a.z) / (b.z - a.z);
        if (t > 0.0f && t < 1.0f && a.x + t * (b.x - a.x) > point[0])
            ++crossings;
    }
    return (crossings & 1) != 0;
}

bool ZoneEnvelope::IntersectOutline(int outline, const float* a, const float* b, float* distance) const
{
    float best = kNoCrossing;
    const s32_t* list = Outline(outline);
    const u32_t n = OutlineCount(outline);
    if (list && a && b) {
        const float dx = b[0] - a[0], dz = b[1] - a[1];
        for (u32_t i = 0; i < n; ++i) {
            const ZoneVertex& p = vertices[list[i]];
            const ZoneVertex& q = vertices[list[(i + 1) % n]];
            const float ex = q.x - p.x, ez = q.z - p.z;
            const float denominator = dx * ez - dz * ex;
            if (std::fabs(denominator) < kParallel)
                continue;
            const float wx = p.x - a[0], wz = p.z - a[1];
            const float t = (wx * ez - wz * ex) / denominator;  // along the segment
            const float u = (wx * dz - wz * dx) / denominator;  // along the edge
            if (t > 0.0f && t < 1.0f && u > 0.0f && u < 1.0f && t < best)
                best = t;
        }
    }
    if (distance)
        *distance = best;
    return best < kNoCrossing;
}

bool ZoneEnvelope::FindDetourPoint(int outline, const ZoneRoute& route, float push, ZoneDetour* out)
{
    const s32_t* list = Outline(outline);
    const u32_t n = OutlineCount(outline);
    if (!list || n < 3 || !out)
        return false;
    const u32_t stamp = g_actors.routeNumber;
    float bestLength = kNoCrossing;
    s32_t best = -1;
    float bestNormal[2] = {};
    for (u32_t i = 0; i < n; ++i) {
        ZoneVertex& corner = vertices[list[i]];
        if ((corner.type != ZONE_VERTEX_ON_HULL && corner.type != ZONE_VERTEX_CONVEX) || corner.searchStamp == stamp)
            continue;
        const ZoneVertex& previous = vertices[list[(i + n - 1) % n]];
        const ZoneVertex& next = vertices[list[(i + 1) % n]];
        float n1[2], n2[2];
        EdgeNormal(previous, corner, n1);
        EdgeNormal(corner, next, n2);
        // The start sees one edge at the corner from the front and the other from behind: the
        // corner lies on the zone's outline as seen from the start.
        const float sx = route.start[0] - corner.x, sz = route.start[1] - corner.z;
        const float d1 = sx * n1[0] + sz * n1[1];
        const float d2 = sx * n2[0] + sz * n2[1];
        if (!((d1 < 0.0f && d2 > 0.0f) || (d1 > 0.0f && d2 < 0.0f)))
            continue;
        if (outline == ZONE_OUTLINE_INNER) {
            const float to[2] = {corner.x, corner.z};
            if (IntersectOutline(ZONE_OUTLINE_INNER, route.start, to, nullptr))
                continue;
        }
        const float length = Distance(route.start, corner.x, corner.z) + Distance(route.goal, corner.x, corner.z);
        if (length < bestLength) {
            bestLength = length;
            best = list[i];
            Normalise(n1);
            Normalise(n2);
            bestNormal[0] = n1[0] + n2[0];
            bestNormal[1] = n1[1] + n2[1];
            Normalise(bestNormal);
        }
    }
    if (best < 0)
        return false;
    out->corner = &vertices[best];
    out->point[0] = vertices[best].x + push * bestNormal[0];
    out->point[1] = vertices[best].z + push * bestNormal[1];
    return true;
}

ZoneEnvelope* CreateZoneEnvelope(const char* name, const float* polygon, u32_t count, u8_t inside)
{
    std::vector<float> copy(polygon && count ? polygon : nullptr, polygon && count ? polygon + 2 * count : nullptr);
    return new ZoneEnvelope(name, copy.empty() ? nullptr : copy.data(), static_cast<u32_t>(copy.size() / 2), inside);
}
