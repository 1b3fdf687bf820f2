// The first-person weapon's transform, recorded by the first-person view each frame it draws the
// weapon and handed out to plug-ins and the weapon code.
#pragma once

class AnimMesh;

// Records the weapon matrix (16 floats, row-vector convention) and the animated mesh drawn with it.
void FPWSetTransform(const float* matrix, AnimMesh* mesh);
// Copies the 16 floats of the weapon matrix.
void FPWGetTransform(float* matrixOut);
// The animated mesh the first-person view drew last, or null; particle pins on the weapon look their
// mesh names up in it.
AnimMesh* FPWGetCurrentObject();
// Host function "FPWTrasform" (spelled so): the matrix's X, Y and Z axes as directions (9 floats) and
// the viewer position transformed as a point, times 0.1 (3 floats, the plug-in's units).
void FPWTransform(float* axesOut, float* positionOut);
