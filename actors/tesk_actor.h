// The body of the Tesk team's soldier: an actor drawn as a plain graphic object inside a white
// marker box, kept on the ground with its legs animated by the wall clock, and left out of saved
// games. Its AIInterface makes it in place of a plain actor.
#pragma once
#include "actors/actor.h"

class TeskActor : public Actor {
public:
    TeskActor();
    ~TeskActor() override;

    void Render() override;
    void Update() override;
    // Neither saved nor restored: loading a game leaves it as it is.
    void LoadState(SavedObjectState*) override {}
    void SaveState(SavedObjectState*) override {}

    // On the terrain under it, the legs at the wall clock's frame, and no movement this frame.
    void StickToGround();
};
