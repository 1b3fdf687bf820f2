#include "ai/envelopes/mission_cameras.h"

#include <vector>

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/camera_envelope.h"
#include "ai/msal/mission_script_runner.h"
#include "core/strings/text_case.h"

namespace {

std::vector<MissionCamera*> g_cameras;

}  // namespace

MissionCamera::MissionCamera(const char* cameraName)
{
    name.Assign(cameraName ? cameraName : "");
}

MissionCamera::~MissionCamera()
{
    // The envelopes outlive their camera when the cameras go first: none may reach a deleted one.
    // The camera knows only the last envelope linked to it, so every camera envelope of the table
    // is asked.
    if (envelope && envelope->GetCamera() == this)
        envelope->SetCamera(nullptr);
    for (Envelope* entry : g_ai.envelopes) {
        if (!entry || entry->kind != ENVELOPE_KIND_CAMERA)
            continue;
        auto* linked = static_cast<CameraEnvelope*>(entry);
        if (linked->GetCamera() == this)
            linked->SetCamera(nullptr);
    }
}

MissionCamera* MissionCameraAdd(const char* name)
{
    MissionCamera* camera = new MissionCamera(name);
    g_cameras.push_back(camera);
    return camera;
}

MissionCamera* MissionCameraCreateDefault()
{
    return MissionCameraAdd("cam1");
}

MissionCamera* MissionCameraFind(const char* name)
{
    if (!name)
        return nullptr;
    for (MissionCamera* camera : g_cameras) {
        if (CompareNoCase(camera->GetName(), name) == 0)
            return camera;
    }
    return nullptr;
}

s32_t MissionCameraCount()
{
    return static_cast<s32_t>(g_cameras.size());
}

void MissionCameraUpdateAll()
{
    // By index: a command may add a camera while the registry is walked.
    for (size_t i = 0; i < g_cameras.size(); ++i) {
        const CameraEnvelope* envelope = g_cameras[i]->GetEnvelope();
        if (!envelope || !envelope->msalCompletion || !envelope->msalCompletion->runner)
            continue;
        envelope->msalCompletion->runner->ExecuteCurrent();
    }
}

void MissionCameraDestroyAll()
{
    for (MissionCamera* camera : g_cameras)
        delete camera;
    g_cameras.clear();
    g_cameras.shrink_to_fit();
}
