// The mission's envelope table as a whole: lookup by name, the reset at mission start and restart,
// the OnFrame events of each frame and the deletion at mission end. Registering and unregistering
// single envelopes are the envelope's own (ai/envelopes/envelope.h).
#pragma once
#include "core/types.h"

class DOEnvelope;
class DynamicObject;
class Envelope;

// The envelope in the lowest slot whose name has the same length as the text and equals it without
// regard to case; null when none does (or for null).
Envelope* EnvelopeFind(const char* name);
// Every envelope of the table in slot order: its OnInit event (no sender), then its destroyed state
// cleared.
void EnvelopeResetAll();
// Every envelope of the table that is neither disabled nor counts as destroyed: its OnFrame event
// (no sender).
void EnvelopeFireFrameEvents();
// Gives the object an envelope of its own outside the table (the player's, the Tesk team's), with the
// name and handler name; it is kept in the slot, whose earlier envelope is deleted first.
DOEnvelope* EnvelopeGiveOutside(DOEnvelope** slot, DynamicObject* object, const char* name, const char* handlerName);
// Mission end: deletes every envelope of the table, the player's and the Tesk team's envelopes (an
// object still in the world forgets its envelope first) and every marker record.
void EnvelopeDestroyAll();
