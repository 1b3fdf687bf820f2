#include "ai/squads/patrol_path.h"

#include <string>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/strings/text_case.h"
#include "map/registry/world_registry.h"

namespace {

bool IsKey(const DefEntry* entry, const char* key)
{
    return CompareNoCase(entry->key.Text(), key) == 0;
}

// The point envelope a "point" line names; null (with its console line) when it names none or
// another kind.
Envelope* PointEnvelopeNamed(const char* fileName, const char* envelopeName)
{
    Envelope* envelope = EnvelopeFind(envelopeName);
    if (!envelope) {
        ConPrint(0, ERROR_COLOUR "'%s': no such envelope (%s)!\n", fileName, envelopeName);
        return nullptr;
    }
    if (envelope->kind != ENVELOPE_KIND_POINT) {
        ConPrint(0, ERROR_COLOUR "Envelope '%s': POINT type expected!\n", envelope->name.Text());
        return nullptr;
    }
    return envelope;
}

// Gives the path its points: the "point" lines after its own "path" line up to the next path. Only
// the envelopes found are kept, so a skipped point never leaves a slot without a place.
void FinishPath(PatrolPath* path, const DefEntry* pathLine, u32_t counted, const char* fileName)
{
    if (counted > 0) {
        path->points = new float[2 * counted];
        path->envelopes = new Envelope*[counted];
        for (const DefEntry* entry = pathLine->next; entry && path->pointCount < counted; entry = entry->next) {
            if (IsKey(entry, "path"))
                break;
            if (!IsKey(entry, "point"))
                continue;
            Envelope* envelope = PointEnvelopeNamed(fileName, entry->Value(0));
            if (!envelope)
                continue;
            const Vector3 at = envelope->GetPosition();
            path->points[2 * path->pointCount] = at.x;
            path->points[2 * path->pointCount + 1] = at.z;
            path->envelopes[path->pointCount++] = envelope;
        }
    }
    if (g_ai.patrolPathCount >= MAX_AI_PATROL_PATHS) {
        ConPrint(0, ERROR_COLOUR "'%s': too many patrol paths, '%s' ignored!\n", fileName, path->name.Text());
        delete path;
        return;
    }
    g_ai.patrolPaths[g_ai.patrolPathCount++] = path;
}

}  // namespace

PatrolPath::~PatrolPath()
{
    delete[] points;
    delete[] envelopes;
}

void AILoadPatrolPaths(const char* missionFolder)
{
    AIClearPatrolPaths();
    const std::string fileName = std::string(missionFolder ? missionFolder : "") + "\\mission.ptl";
    DefFile* file = DefFileLoad(fileName.c_str());
    if (!file)
        return;
    PatrolPath* path = nullptr;
    const DefEntry* pathLine = nullptr;
    u32_t counted = 0;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        if (IsKey(entry, "path")) {
            if (path)
                FinishPath(path, pathLine, counted, fileName.c_str());
            path = new PatrolPath();
            path->name.Assign(entry->Value(0));
            pathLine = entry;
            counted = 0;
        } else if (!path) {
            // Flags and points before the first path belong to no path.
            continue;
        } else if (IsKey(entry, "flag")) {
            if (CompareNoCase(entry->Value(0), "PINGPONG") == 0)
                path->mode = PATROL_MODE_PINGPONG;
            else if (CompareNoCase(entry->Value(0), "LOOP") == 0)
                path->mode = PATROL_MODE_LOOP;
        } else if (IsKey(entry, "point")) {
            ++counted;
        }
    }
    if (path)
        FinishPath(path, pathLine, counted, fileName.c_str());
    DefFileRelease(file);
}

void AIClearPatrolPaths()
{
    for (PatrolPath*& path : g_ai.patrolPaths) {
        delete path;
        path = nullptr;
    }
    g_ai.patrolPathCount = 0;
}

PatrolPath* AIFindPatrolPath(const char* name)
{
    if (!name)
        return nullptr;
    for (u32_t i = 0; i < g_ai.patrolPathCount; ++i)
        if (CompareNoCase(g_ai.patrolPaths[i]->name.Text(), name) == 0)
            return g_ai.patrolPaths[i];
    return nullptr;
}

void AILoadPatrolAssignments(const char* missionFolder)
{
    const std::string fileName = std::string(missionFolder ? missionFolder : "") + "\\mission.pta";
    DefFile* file = DefFileLoad(fileName.c_str());
    if (!file)
        return;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        for (s32_t i = 0; i < count; ++i) {
            DynamicObject* object = objects[i];
            if (!object || object->GetTypeId() != OBJECT_TYPE_ACTOR ||
                CompareNoCase(object->name.Text(), entry->key.Text()) != 0)
                continue;
            if (AIEntity* entity = static_cast<Actor*>(object)->GetAIEntity())
                entity->SetParam("patrol_path", entry->values, entry->valueCount);
            break;
        }
    }
    DefFileRelease(file);
}
