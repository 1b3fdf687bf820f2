// The mission's defend points ("mission.dfp"): named places at point envelopes that soldiers are sent
// to hold. The record itself is in ai/soldier/ai_interface.h, where the soldier's steering reads it.
#pragma once

struct DefendPoint;

// Reads "<folder>\mission.dfp" ("point <name> <envelope>" lines). A point whose envelope is missing
// or not a point is reported on console 0 and dropped; more than 128 points fail the table's
// assertion. A missing file leaves no points.
void AILoadDefendPoints(const char* missionFolder);
// Deletes every defend point; the table is then empty.
void AIClearDefendPoints();
// The defend point of that name (case ignored); null when there is none.
DefendPoint* AIFindDefendPoint(const char* name);
// One of the mission's defend points chosen by the engine generator; null when there is none.
DefendPoint* AIRandomDefendPoint();
