// A handler may take away an envelope while its own event runs (a weapon taken by "OnInteract" or
// "OnCollision" loses its envelope), and the code that fired the event may still reach it when the
// event returns. While an event runs or a scope is held, EnvelopeRetire takes the envelope out of the
// table and keeps it, retired, until the outermost scope closes; with none held it is deleted at once.
// A retired envelope fires no more events.
#pragma once

class Envelope;

void EnvelopeRetire(Envelope* envelope);
bool EnvelopeRetired(const Envelope* envelope);

class EnvelopeEventScope {
public:
    EnvelopeEventScope();
    ~EnvelopeEventScope();
    EnvelopeEventScope(const EnvelopeEventScope&) = delete;
    EnvelopeEventScope& operator=(const EnvelopeEventScope&) = delete;
};
