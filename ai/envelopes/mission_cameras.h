// The mission cameras: named camera slots that mission-script lists drive through their camera
// envelopes. A camera keeps its envelope's runner going: the runner's current command is executed
// every frame, so a "Wait" in a camera list ends in the first frame after its time.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class CameraEnvelope;

class MissionCamera {
public:
    explicit MissionCamera(const char* cameraName);
    ~MissionCamera();
    MissionCamera(const MissionCamera&) = delete;
    MissionCamera& operator=(const MissionCamera&) = delete;

    const char* GetName() const { return name.Text(); }
    CameraEnvelope* GetEnvelope() const { return envelope; }
    // Links the envelope (null unlinks); the envelope's side is CameraEnvelope::SetCamera.
    void SetEnvelope(CameraEnvelope* linked) { envelope = linked; }

private:
    EngineString name;
    CameraEnvelope* envelope = nullptr;  // not owned
};

// Appends a camera of that name to the registry and returns it.
MissionCamera* MissionCameraAdd(const char* name);
// Appends the mission's one camera, "cam1": first at mission start, before the envelopes are read.
MissionCamera* MissionCameraCreateDefault();
// The first camera whose name equals the given one ignoring case, or null.
MissionCamera* MissionCameraFind(const char* name);
s32_t MissionCameraCount();

// Every frame, first in the game frame: for each camera in registry order whose envelope has a running
// command, that command's runner executes its current command again.
void MissionCameraUpdateAll();
// Deletes every camera and empties the registry (at mission end); their envelopes are unlinked.
void MissionCameraDestroyAll();
