// The envelope of a mission camera: mission-script lists switch the game view to the external camera
// and back through it, and start full-screen fades.
#pragma once
#include "ai/envelopes/envelope.h"

class MissionCamera;

class CameraEnvelope : public Envelope {
public:
    // Registers the class "CameraEnvelope" with its three methods and enters the global objects.
    explicit CameraEnvelope(const char* envelopeName = nullptr);
    // Unlinks its camera, which outlives it when the envelopes go first.
    ~CameraEnvelope() override;

    MissionCamera* GetCamera() const { return camera; }
    // Links the camera (null unlinks); the camera's side is MissionCamera::SetEnvelope.
    void SetCamera(MissionCamera* linked) { camera = linked; }

    // ---- script methods; each completes its command ----
    void MSALSwitchTo(ScriptArgWord* args) override;
    void MSALSwitchFrom(ScriptArgWord* args) override;
    // Argument 0: the fade's length in milliseconds (a float cell); the fade is from black.
    void MSALSetFadeIn(ScriptArgWord* args) override;

    // The angle a soldier following this envelope turns its offset with (radians about the vertical).
    float heading = 0.0f;

private:
    MissionCamera* camera = nullptr;  // not owned
};

// Links the envelope and the camera both ways.
void CameraEnvelopeLink(CameraEnvelope* envelope, MissionCamera* camera);
