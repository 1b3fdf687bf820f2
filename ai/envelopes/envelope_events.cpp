// The envelope's side of the mission's event handlers: binding its own instance of the handler it
// names, and firing that instance's events.
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_retire.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/envelopes/handler_compiler.h"
#include "ai/rules/script_events.h"

s32_t Envelope::BindHandler()
{
    EventHandler* instance = HandlerBindInstance(handlerName.Text(), this);
    if (!instance)
        return 0;
    // A handler bound before (the mission's handlers compiled a second time) is let go.
    EventHandlerUnbind(handler);
    handler = instance;
    return 1;
}

void Envelope::FireEvent(ScriptObject* sender, s32_t eventIndex)
{
    // Taken away by an event still running: it hears nothing more.
    if (EnvelopeRetired(this))
        return;
    if (ScriptEvent* event = HandlerEvent(eventIndex))
        event->Fire(sender, nullptr);
}

ScriptEvent* Envelope::HandlerEvent(s32_t eventIndex) const
{
    return handler ? handler->GetEvent(eventIndex) : nullptr;
}
