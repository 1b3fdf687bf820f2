// The animation cache: every animated mesh the game uses is loaded once, post-processed (dummy
// frames, welded faces and face neighbours) and shared by name. Also the interpolation of dummy
// frames between two animation frames.
#pragma once
#include "core/types.h"

class AnimMesh;
struct AnimDummyFrame;
struct D3DXMATRIX;

constexpr u32_t MAX_ANIMATIONS = 1024;

// The cached mesh of that name (same length, compared without regard to case), else the file
// read from disk, then through the file system, post-processed and cached. With useGpuBuffers a
// newly loaded mesh is queued for the GPU animation buffers. Null when the file is not found or
// cannot be read, or when the table is full.
AnimMesh* AnimCacheAcquire(const char* fileName, bool useGpuBuffers);
// Empties the table without destroying anything (mission start).
void AnimCacheReset();
// Destroys every cached mesh (mission end).
void AnimCacheFreeAll();
u32_t AnimCacheCount();

// A dummy frame for every mesh whose vertex block has exactly three vertices: the origin at the
// corner opposite the longest edge, X along the middle edge, Z along the shortest, Y = X x Z.
void AnimMeshBuildDummyFrames(AnimMesh* mesh);
// For every mesh that owns its faces: the welded index triples (positions closer than 0.01 share
// the lowest index) and the neighbour of each face edge (0xFFFF for none).
void AnimMeshBuildAdjacency(AnimMesh* mesh);

// origin = A + (B - A) t; each axis normalised after the same blend. axes: X, Y, Z.
void DummyFrameLerp(const AnimDummyFrame* a, const AnimDummyFrame* b, float t, Vector3* origin, Vector3* axes);
// The row-vector matrix that takes a point into the dummy's space: X becomes the first
// coordinate, Z the second and Y the third.
void DummyFrameToMatrix(D3DXMATRIX* out, const Vector3* axes, const Vector3* origin);
void DummyFrameLerpMatrix(const AnimDummyFrame* a, D3DXMATRIX* out, float t, const AnimDummyFrame* b);
