// The angles of the current camera, read back from its view matrix.
#pragma once

// yaw = atan2 of the view direction's x and z; pitch = acos(y of the view direction) - pi / 2;
// roll = pi / 2 - acos(y of the right axis). Any out pointer may be null.
void CameraGetYawPitch(float* outYaw, float* outPitch, float* outRoll);
