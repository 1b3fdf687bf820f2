// Reading envelope arguments of script calls: an object argument's word is the object itself.
#pragma once
#include "ai/envelopes/envelope.h"

// The envelope an argument word holds; null for a null word or another kind of script object.
inline Envelope* EnvelopeFromWord(ScriptArgWord word)
{
    return word ? dynamic_cast<Envelope*>(static_cast<ScriptObject*>(word)) : nullptr;
}
