#include "ai/squads/defend_points.h"

#include <string>

#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "core/strings/text_case.h"

void AILoadDefendPoints(const char* missionFolder)
{
    const std::string fileName = std::string(missionFolder ? missionFolder : "") + "\\mission.dfp";
    DefFile* file = DefFileLoad(fileName.c_str());
    if (!file)
        return;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        // A point needs its name and its envelope's name.
        if (CompareNoCase(entry->key.Text(), "point") != 0 || entry->valueCount < 2)
            continue;
        const char* envelopeName = entry->Value(1);
        Envelope* envelope = EnvelopeFind(envelopeName);
        if (!envelope) {
            ConPrint(0, ERROR_COLOUR "'%s': no such envelope (%s)!\n", fileName.c_str(), envelopeName);
            continue;
        }
        if (envelope->kind != ENVELOPE_KIND_POINT) {
            ConPrint(0, ERROR_COLOUR "Envelope '%s': POINT type expected!\n", envelope->name.Text());
            continue;
        }
        // A full table refuses the rest, as the paths' and the groups' tables do.
        if (g_ai.defendPointCount >= MAX_AI_DEFEND_POINTS) {
            ConPrint(0, ERROR_COLOUR "'%s': too many defend points, '%s' ignored!\n", fileName.c_str(),
                     entry->Value(0));
            continue;
        }
        auto* point = new DefendPoint();
        point->name.Assign(entry->Value(0));
        point->objectPosition = envelope->GetPosition();
        point->x = point->objectPosition.x;
        point->z = point->objectPosition.z;
        point->envelope = envelope;
        g_ai.defendPoints[g_ai.defendPointCount++] = point;
    }
    DefFileRelease(file);
}

void AIClearDefendPoints()
{
    for (DefendPoint*& point : g_ai.defendPoints) {
        delete point;
        point = nullptr;
    }
    g_ai.defendPointCount = 0;
}

DefendPoint* AIFindDefendPoint(const char* name)
{
    if (!name)
        return nullptr;
    for (u32_t i = 0; i < g_ai.defendPointCount; ++i)
        if (CompareNoCase(g_ai.defendPoints[i]->name.Text(), name) == 0)
            return g_ai.defendPoints[i];
    return nullptr;
}

DefendPoint* AIRandomDefendPoint()
{
    if (g_ai.defendPointCount == 0)
        return nullptr;
    return g_ai.defendPoints[static_cast<u32_t>(EngineRand()) % g_ai.defendPointCount];
}
