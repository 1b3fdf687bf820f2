#include "game/player/slide_move.h"

#include <vector>

#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/player/player_control.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree_query.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/sweep_contact.h"

namespace {

// The leaves one step's box reaches; kept between steps (emptied after each) so that a sweep does not
// allocate once the array has grown to the largest step.
std::vector<OctreeNode*> g_stepLeaves;

int CollectLeaf(OctreeNode* leaf, s32_t, s32_t)
{
    g_stepLeaves.push_back(leaf);
    return 0;
}

bool Skipped(DynamicObject* object)
{
    if (!object || object == g_frameView.player)
        return true;
    if (object->typeId == OBJECT_TYPE_ROOT || object->typeId == OBJECT_TYPE_GRAPHIC)
        return true;
    if (object->envelope && object->envelope->IsDestroyedState())
        return true;
    return !object->IsCollidable();
}

// Asks every object of the collected leaves for contact with the sphere at p, which a contact pushes
// out. True when any touched.
bool StepTouches(Vector3* p, const float* box)
{
    bool contact = false;
    for (OctreeNode* leaf : g_stepLeaves) {
        u32_t it;
        for (ObjectGridEntry* entry = ObjectGridFirst(leaf, &it); entry; entry = ObjectGridNext(&it)) {
            if (entry->kind != OBJECT_GRID_OBJECT)
                continue;
            DynamicObject* object = static_cast<DynamicObject*>(entry->owner);
            if (Skipped(object))
                continue;
            float bounds[6];
            object->GetGeometryBounds(bounds);
            if (!BoxesOverlap(bounds, box))
                continue;
            Vector3 pushed = *p;
            if (!object->SphereCollision(*p, kPlayerRadius, &pushed))
                continue;
            *p = pushed;
            contact = true;
            SweepContact report;
            if (const auto* reporter = dynamic_cast<const SweepContactReporter*>(object))
                reporter->ReportSweepContact(&report);
            if (report.ladder) {
                GameSetPlayerClimbState(true, GameIsPlayerFalling() != 0);
                g_game.ladderValue = report.value;
            }
        }
    }
    return contact;
}

}  // namespace

int SlideMoveStepCount(float length)
{
    const float perStep = gfcollipar.Float() * kPlayerRadius;
    // A step size of zero or less (a bad setting) walks the move in one step.
    if (!(perStep > 0.0f) || !(length >= 0.0f))
        return 1;
    const float steps = length / perStep;
    // A length beyond any sensible move is cut rather than turned into a count that overflows.
    constexpr float kMostSteps = 1000.0f;
    return static_cast<int>(steps < kMostSteps ? steps : kMostSteps) + 1;
}

void SlideMove(float* position, const float* move, float length)
{
    if (!position || !move)
        return;
    IndoorPosition* indoor = IndoorCameraPosition();
    if (indoor && indoor->object) {
        IndoorQueryNearPoint(position, kPlayerRadius);
        return;
    }
    GameSetPlayerClimbState(false, GameIsPlayerFalling() != 0);
    const int n = SlideMoveStepCount(length);
    const Vector3 step = {move[0] / static_cast<float>(n), move[1] / static_cast<float>(n),
                          move[2] / static_cast<float>(n)};
    Vector3 p = {position[0] - move[0], position[1] - move[1], position[2] - move[2]};
    for (int i = 0; i < n; ++i) {
        p.x += step.x;
        p.y += step.y;
        p.z += step.z;
        const float box[6] = {p.x - kSlideBoxHalfX, p.y - kSlideBoxHalfY, p.z - kSlideBoxHalfZ,
                              p.x + kSlideBoxHalfX, p.y + kSlideBoxHalfY, p.z + kSlideBoxHalfZ};
        g_stepLeaves.clear();
        OctreeQueryBox(box, CollectLeaf);
        const bool contact = StepTouches(&p, box);
        g_stepLeaves.clear();
        if (contact)
            break;
    }
    position[0] = p.x;
    position[1] = p.y;
    position[2] = p.z;
}
