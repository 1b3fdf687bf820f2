#include "ai/envelopes/camera_envelope.h"

#include "ai/envelopes/mission_cameras.h"
#include "ai/msal/msal_cell.h"
#include "game/view/external_camera.h"
#include "scene/hud/screen_fade.h"

CameraEnvelope::CameraEnvelope(const char* envelopeName)
{
    kind = ENVELOPE_KIND_CAMERA;
    name.Assign(envelopeName ? envelopeName : "");
    scriptClass = ScriptClassRegistry::RegisterClass("CameraEnvelope");
    AddMethod(&ScriptObject::MSALSwitchTo, "MSALSwitchTo", 1);
    AddMethod(&ScriptObject::MSALSwitchFrom, "MSALSwitchFrom", 1);
    AddMethod(&ScriptObject::MSALSetFadeIn, "MSALSetFadeIn", 1);
    EnterGlobalObjects();
}

CameraEnvelope::~CameraEnvelope()
{
    if (camera && camera->GetEnvelope() == this)
        camera->SetEnvelope(nullptr);
}

void CameraEnvelope::MSALSwitchTo(ScriptArgWord*)
{
    SwitchToExternalCamera();
    CompleteMSALCommand();
}

void CameraEnvelope::MSALSwitchFrom(ScriptArgWord*)
{
    SwitchFromExternalCamera();
    CompleteMSALCommand();
}

void CameraEnvelope::MSALSetFadeIn(ScriptArgWord* args)
{
    // A length beyond the integer range (or not a number) must not overflow the conversion.
    const float length = MSALArg(args, 0).AsFloat();
    const s32_t milliseconds = length >= 2147483520.0f ? 2147483520 : length > 0.0f ? static_cast<s32_t>(length) : 0;
    ScreenFadeStart(milliseconds, 0);
    CompleteMSALCommand();
}

void CameraEnvelopeLink(CameraEnvelope* envelope, MissionCamera* camera)
{
    if (!envelope || !camera)
        return;
    envelope->SetCamera(camera);
    camera->SetEnvelope(envelope);
}
