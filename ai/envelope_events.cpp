// The envelope's side of the mission's event handlers: binding its handler and firing its events.
#include "ai/envelope.h"

s32_t Envelope::BindHandler()
{
    return 0;
}

void Envelope::FireEvent(ScriptObject*, s32_t) {}

ScriptEvent* Envelope::HandlerEvent(s32_t) const
{
    return nullptr;
}
