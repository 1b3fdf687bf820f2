#include "game/external_camera.h"

namespace {

bool g_externalCamera = false;

}  // namespace

void SwitchToExternalCamera(ScriptArgWord*)
{
    g_externalCamera = true;
}

void SwitchFromExternalCamera(ScriptArgWord*)
{
    g_externalCamera = false;
}

bool ExternalCameraActive()
{
    return g_externalCamera;
}
