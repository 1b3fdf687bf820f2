// The sky backdrop: the first thing drawn into every view of a mission. The sky box of six faces
// round the camera (clipped below the horizon), the "before" sky object, a floor of fog colour
// under it, the sun's sprites and the "after" sky object, all with depth test and depth writes off
// so that everything drawn later covers them.
#pragma once
#include "core/types.h"

// For the camera in force, which stands at the origin (the world is drawn round the viewer):
// the horizon follows the camera's yaw (in third person its view direction) and the viewer's
// height (GameGetViewPos). Leaves depth test and writes off, D3DRS_LIGHTING 0, object fog on, the
// sky pass off, the draw-record list empty and the sun-lights mark clear.
void SkyBackdropDraw();

// The backdrop of a frame outside the mission's own camera (the front end, the editor): sets up its
// own camera at the origin with these angles and field of view (radians); only the height of
// position is read. No fog floor; the sun sprites fade by their opacity alone, without night vision.
void SkyBackdropDrawStandalone(const float* position, float yaw, float pitch, float roll, float fieldOfView);
