// Embree 3 as the reference tracer of the trace benchmarks: a scene of plain triangles (9 floats
// each, no shared vertices) and a segment test over it. Only where Embree was found.
#pragma once
#ifndef ZINTAR_NO_EMBREE
#include <embree3/rtcore.h>

#include <cstddef>
#include <vector>

namespace bench {

// A committed scene of the triangles on a new device.
inline void EmbreeBuildTriangles(const std::vector<float>& triangles, RTCDevice* device, RTCScene* scene)
{
    *device = rtcNewDevice(nullptr);
    *scene = rtcNewScene(*device);
    RTCGeometry geometry = rtcNewGeometry(*device, RTC_GEOMETRY_TYPE_TRIANGLE);
    const size_t count = triangles.size() / 9;
    float* vertices = static_cast<float*>(
        rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 3 * sizeof(float), count * 3));
    unsigned* indices = static_cast<unsigned*>(
        rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(unsigned), count));
    for (size_t i = 0; i < count * 9; ++i)
        vertices[i] = triangles[i];
    for (size_t i = 0; i < count * 3; ++i)
        indices[i] = static_cast<unsigned>(i);
    rtcCommitGeometry(geometry);
    rtcAttachGeometry(*scene, geometry);
    rtcReleaseGeometry(geometry);
    rtcCommitScene(*scene);
}

// Whether the segment from start to end meets a triangle of the scene.
inline bool EmbreeSegmentHits(RTCScene scene, const float* start, const float* end)
{
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    RTCRayHit ray = {};
    ray.ray.org_x = start[0];
    ray.ray.org_y = start[1];
    ray.ray.org_z = start[2];
    ray.ray.dir_x = end[0] - start[0];
    ray.ray.dir_y = end[1] - start[1];
    ray.ray.dir_z = end[2] - start[2];
    ray.ray.tnear = 0.0f;
    ray.ray.tfar = 1.0f;
    ray.ray.mask = 0xFFFFFFFFu;
    ray.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(scene, &context, &ray);
    return ray.hit.geomID != RTC_INVALID_GEOMETRY_ID;
}

}  // namespace bench
#endif
