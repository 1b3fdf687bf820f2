// The per-frame contact pass: the envelopes of the player's actor and of every actor of the actor
// table are tested against the envelopes of the table, and each contact fires OnCollision on both.
#pragma once

class Envelope;

// The player actor's envelope first, then each actor's of the actor table in table order (the
// player's is not tested twice), as the moving envelope.
void EnvelopeUpdateContacts();
// One moving envelope against the table: nothing when it is disabled or counts as destroyed; else
// every other envelope of the table in slot order that is enabled and not destroyed is tested by its
// kind (object: Overlaps, box: OverlapsBox, point: TestAgainstPoint; other kinds never touch), and a
// contact fires the moving envelope's OnCollision with the other as sender, then the other's with the
// moving one. No state is kept: a lasting contact fires in every frame.
void EnvelopeTestContacts(Envelope* moving);
