// Motion helpers that the vehicle kinds (boat, caterpillar, helicopter) share: tilting and pushing,
// turning in place and swinging about a pivot, and their parameter reader.
#pragma once
#include "actors/vehicles/vehicle.h"

// The up vector rotated about the axis by the angle.
D3DXVECTOR3 VehicleTilt(const D3DXVECTOR3& up, const D3DXVECTOR3& axis, float angle);
// The part of the tilted up vector perpendicular to up (zero when untilted).
D3DXVECTOR3 VehiclePush(const D3DXVECTOR3& up, const D3DXVECTOR3& tiltedUp);
// An angle below the limit grows by the step (it may pass the limit for one frame); one at or above
// it becomes the limit. VehicleFall is the mirror toward a lower limit.
float VehicleRise(float angle, float limit, float step);
float VehicleFall(float angle, float limit, float step);
// The rotation about the axis by the angle around the point.
D3DXMATRIX VehicleRotationAbout(const D3DXVECTOR3& point, const D3DXVECTOR3& axis, float angle);
// The vector turned about the axis by the angle.
D3DXVECTOR3 VehicleTurned(const D3DXVECTOR3& vector, const D3DXVECTOR3& axis, float angle);
// Turns the vehicle's contact points about the axis through the pivot by the angle; gives that rotation.
D3DXMATRIX VehicleTurnPoints(Vehicle& vehicle, const D3DXVECTOR3& pivot, const D3DXVECTOR3& axis, float angle);
// The turn in place toward the view: the heading turns by the angle in the ground plane, the contact
// points with it about the axis through the ground position, and the axes and the orientation follow.
void VehicleTurnHeading(Vehicle& vehicle, const D3DXVECTOR3& axis, float angle);
// One frame of a swing about a pivot beside the vehicle, as the boat and the helicopter steer: the
// bank grows toward the turn's side and the pitch toward the sense of travel. Gives the turn angle.
float VehicleSwingStep(bool left, bool ahead, float turnRate, float maxAngle, float maxRotZ, float* bankAngle,
                       float* pitchAngle);
// The pivot of that swing: beside the centre by wheelbase / sin(maxAngle) on the turn's side. A
// "max_angle" of 0 puts it at the centre itself (the turn rate is 0 then anyway).
D3DXVECTOR3 VehicleSwingPivot(const D3DXVECTOR3& centre, const D3DXVECTOR3& side, float wheelbase, float maxAngle,
                              bool left);
// Reads "%f"; 0 when the text is not a number.
float VehicleReadFloat(const EngineString& text);
