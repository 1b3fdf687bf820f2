// The one prism clipper: polygons, quads and triangles with texture coordinates, and the overlay
// builder's map-vertex variant, each for both windings of the clip triangle and at small sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "map/meshes/map_face.h"
#include "map/meshes/polygon_clip.h"
#include "platform/d3dx8_math.h"

namespace {

using P = D3DXVECTOR3;

// The clip triangle: legs of 4 on x and z in the plane y = 0, wound either way, scaled.
void ClipTriangle(bool reversed, float scale, P* out)
{
    const P corners[3] = {P(0, 0, 0), P(4, 0, 0), P(0, 0, 4)};
    out[0] = corners[0] * scale;
    out[1] = corners[reversed ? 2 : 1] * scale;
    out[2] = corners[reversed ? 1 : 2] * scale;
}

float FanArea(const P* positions, int triangles)
{
    float area = 0.0f;
    for (int t = 0; t < triangles; ++t) {
        const P ab = positions[t * 3 + 1] - positions[t * 3], ac = positions[t * 3 + 2] - positions[t * 3];
        P cross;
        D3DXVec3Cross(&cross, &ab, &ac);
        area += 0.5f * D3DXVec3Length(&cross);
    }
    return area;
}

}  // namespace

TEST(PrismClipping, PolygonsAreCutAlikeWhateverTheWindingAndSize)
{
    struct Case {
        const char* what;
        P polygon[5];
        int count;
        int triangles;
        float area;  // at scale 1
    };
    const Case cases[] = {
        {"a quad inside", {P(0.5f, 1, 0.5f), P(1.5f, 1, 0.5f), P(1.5f, 1, 1.5f), P(0.5f, 1, 1.5f)}, 4, 2, 1.0f},
        {"a quad outside one plane", {P(-3, 0, 1), P(-1, 0, 1), P(-1, 0, 2), P(-3, 0, 2)}, 4, 0, 0.0f},
        {"a pentagon across an edge", {P(1, 0, 1), P(3, 0, 1), P(4, 0, 2), P(3, 0, 3), P(1, 0, 3)}, 5, 1, 2.0f},
        {"a quad with a corner on a plane", {P(0, 0, 1), P(1, 0, 1), P(1, 0, 2), P(0, 0, 2)}, 4, 2, 1.0f},
    };
    const D3DXVECTOR2 coords[5] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.5f}};
    for (float scale : {1.0f, 0.0025f}) {  // the small clip triangle has legs of 0.01
        for (bool reversed : {false, true}) {
            P triangle[3];
            ClipTriangle(reversed, scale, triangle);
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(c.what) + (reversed ? ", reversed" : "") + " at " + std::to_string(scale));
                P polygon[5];
                for (int i = 0; i < c.count; ++i)
                    polygon[i] = c.polygon[i] * scale;
                P out[24];
                D3DXVECTOR2 outCoords[24];
                const int made = ClipPolygonToTrianglePrism(out, outCoords, triangle, polygon, coords, c.count);
                EXPECT_EQ(made, c.triangles);
                EXPECT_NEAR(FanArea(out, made) / (scale * scale), c.area, 1e-3f);
                if (c.count == 4 && c.triangles == 2) {  // wholly inside: the coordinates unchanged
                    EXPECT_FLOAT_EQ(outCoords[1].x, 1.0f);
                    EXPECT_FLOAT_EQ(outCoords[2].y, 1.0f);
                }
            }
        }
    }
}

TEST(PrismClipping, DegenerateAndGrazingClipTriangles)
{
    const D3DXVECTOR2 coords[3] = {{0, 0}, {1, 0}, {0, 1}};
    const P tri[3] = {P(1, 0, 1), P(2, 0, 1), P(1, 0, 2)};
    P out[12];
    D3DXVECTOR2 outCoords[12];
    // Collinear corners, large or tiny: nothing.
    const P line[3] = {P(0, 0, 0), P(5, 0, 5), P(10, 0, 10)};
    const P tinyLine[3] = {P(0, 0, 0), P(0.001f, 0, 0.001f), P(0.002f, 0, 0.002f)};
    EXPECT_EQ(ClipTriangleToTrianglePrism(out, outCoords, line, tri, coords), 0);
    EXPECT_EQ(ClipTriangleToTrianglePrism(out, outCoords, tinyLine, tri, coords), 0);
    // An edge of the input that grazes the clip triangle's edge x = 0 within the tolerance gives no
    // extra corner: the input comes back as it is.
    const P grazing[3] = {P(-1e-6f, 0, 1), P(2, 0, 1), P(1e-6f, 0, 2)};
    const P big[3] = {P(0, 0, 0), P(0, 0, 10), P(10, 0, 0)};
    EXPECT_EQ(ClipTriangleToTrianglePrism(out, outCoords, big, grazing, coords), 1);
    const P onPlane[4] = {P(0, 0, 1), P(1, 0, 1), P(1, 0, 2), P(0, 0, 2)};
    const D3DXVECTOR2 quadCoords[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    EXPECT_EQ(ClipQuadToTrianglePrism(out, outCoords, big, onPlane, quadCoords), 2);
}

TEST(PrismClipping, MapVertexTrianglesKeepTheirCoordinates)
{
    for (float scale : {1.0f, 0.0025f}) {
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(std::to_string(scale) + (reversed ? ", reversed" : ""));
            P corners[3];
            ClipTriangle(reversed, scale, corners);
            MapVertex clip[3] = {};
            for (int c = 0; c < 3; ++c)
                clip[c].position = {corners[c].x, corners[c].y, corners[c].z};
            // A triangle across the long edge, u = x / scale, v = z / scale.
            MapVertex in[3] = {};
            const float xs[3] = {1, 5, 1}, zs[3] = {1, 1, 5};
            for (int c = 0; c < 3; ++c) {
                in[c].position = {xs[c] * scale, 2 * scale, zs[c] * scale};
                in[c].u = xs[c];
                in[c].v = zs[c];
            }
            MapVertex out[CLIP_TRIANGLE_MAX_VERTICES];
            const int count = ClipPositionsToTrianglePrism(out, clip, in);
            ASSERT_EQ(count, 3);  // the part below x + z = 4: a triangle (1,1) (3,1) (1,3)
            for (int k = 0; k < count; ++k) {
                EXPECT_NEAR(out[k].u, out[k].position.x / scale, 1e-3f);
                EXPECT_NEAR(out[k].v, out[k].position.z / scale, 1e-3f);
                EXPECT_LE(out[k].position.x + out[k].position.z, 4 * scale * 1.0001f);
            }
        }
    }
}
