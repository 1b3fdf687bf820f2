// The D3DX math the renderer builds on: row-vector conventions, rotation order, inverses,
// planes, the probes, colours and vertex sizes.
#include <gtest/gtest.h>

#include "platform/d3dx8_math.h"

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectVector(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
}

TEST(D3dxMath, RotationsActOnRowVectorsRollThenPitchThenYaw)
{
    const float quarter = D3DX_PI / 2.0f;
    struct Case {
        float yaw, pitch, roll;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {quarter, 0, 0, {0, 0, 1}, {1, 0, 0}},   // yaw turns forward to the right
        {0, quarter, 0, {0, 0, 1}, {0, -1, 0}},  // pitch turns forward downwards
        {0, 0, quarter, {1, 0, 0}, {0, 1, 0}},   // roll turns right to up
        {quarter, quarter, quarter, {1, 0, 0}, {1, 0, 0}},
        {quarter, quarter, 0, {0, 0, 1}, {0, -1, 0}},
    };
    for (const Case& c : cases) {
        D3DXMATRIX rotation;
        D3DXMatrixRotationYawPitchRoll(&rotation, c.yaw, c.pitch, c.roll);
        D3DXVECTOR3 out;
        D3DXVec3TransformNormal(&out, &c.in, &rotation);
        ExpectVector(out, c.out);
    }
    D3DXMATRIX axis, y;
    const D3DXVECTOR3 up(0, 3, 0);  // any length
    D3DXMatrixRotationAxis(&axis, &up, 0.7f);
    D3DXMatrixRotationY(&y, 0.7f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(axis(r, c), y(r, c), kTolerance);
}

TEST(D3dxMath, InverseUndoesAMatrixAndRefusesASingularOne)
{
    D3DXMATRIX rotation, translation, scaling, inverse, product;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.3f, -0.4f, 1.1f);
    D3DXMatrixTranslation(&translation, 5, -2, 7);
    D3DXMatrixScaling(&scaling, 2, 3, 0.5f);
    const D3DXMATRIX m = scaling * rotation * translation;
    float determinant = 0;
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &m), nullptr);
    EXPECT_NEAR(determinant, 3.0f, 1e-4f);
    D3DXMatrixMultiply(&product, &m, &inverse);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(product(r, c), r == c ? 1.0f : 0.0f, 1e-5f);
    D3DXMatrixScaling(&scaling, 1, 0, 1);
    EXPECT_EQ(D3DXMatrixInverse(&inverse, nullptr, &scaling), nullptr);
}

TEST(D3dxMath, CameraAndProjectionMapDepthZeroToOne)
{
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, 2.0f, 1.0f, 11.0f);
    const D3DVIEWPORT8 viewport = {0, 0, 200, 100, 0.0f, 1.0f};
    struct Case {
        D3DXVECTOR3 world, screen;
    };
    const Case cases[] = {
        {{0, 0, -4}, {100, 50, 0}},      // on the near plane, centre of the view
        {{0, 0, 6}, {100, 50, 1}},       // on the far plane
        {{8, 4, -1}, {200, 0, 0.825f}},  // the top-right corner at depth 4
    };
    for (const Case& c : cases) {
        D3DXVECTOR3 screen, back;
        D3DXVec3Project(&screen, &c.world, &viewport, &projection, &view, nullptr);
        ExpectVector(screen, c.screen);
        D3DXVec3Unproject(&back, &screen, &viewport, &projection, &view, nullptr);
        EXPECT_NEAR(back.x, c.world.x, 1e-4f);
        EXPECT_NEAR(back.y, c.world.y, 1e-4f);
        EXPECT_NEAR(back.z, c.world.z, 1e-4f);
    }
    D3DXMATRIX ortho;
    D3DXMatrixOrthoLH(&ortho, 4, 2, 1, 3);
    D3DXVECTOR3 corner;
    const D3DXVECTOR3 point(2, -1, 3);
    D3DXVec3TransformCoord(&corner, &point, &ortho);
    ExpectVector(corner, {1, -1, 1});
}

TEST(D3dxMath, PlanesFromPointsAndTheirLineIntersections)
{
    D3DXPLANE plane;
    const D3DXVECTOR3 a(0, 2, 0), b(0, 2, 1), c(1, 2, 0);
    D3DXPlaneFromPoints(&plane, &a, &b, &c);  // normal (b - a) x (c - a), normalised
    EXPECT_NEAR(plane.a, 0, kTolerance);
    EXPECT_NEAR(plane.b, 1, kTolerance);
    EXPECT_NEAR(plane.c, 0, kTolerance);
    EXPECT_NEAR(plane.d, -2, kTolerance);
    const D3DXVECTOR3 above(3, 5, 1), below(3, -1, 1), beside(9, 5, 1);
    D3DXVECTOR3 hit;
    ASSERT_NE(D3DXPlaneIntersectLine(&hit, &plane, &above, &below), nullptr);
    ExpectVector(hit, {3, 2, 1});
    EXPECT_EQ(D3DXPlaneIntersectLine(&hit, &plane, &above, &beside), nullptr);
    const D3DXPLANE scaled(0, 4, 0, -8);
    D3DXPLANE normal;
    D3DXPlaneNormalize(&normal, &scaled);
    EXPECT_NEAR(D3DXPlaneDotCoord(&normal, &above), 3, kTolerance);
}

TEST(D3dxMath, ProbesSeeOnlyWhatLiesAheadOfTheRay)
{
    const D3DXVECTOR3 p0(0, 0, 5), p1(2, 0, 5), p2(0, 2, 5);
    const D3DXVECTOR3 origin(0.5f, 0.5f, 0), forward(0, 0, 2), backward(0, 0, -1);
    float u = 0, v = 0, distance = 0;
    ASSERT_TRUE(D3DXIntersectTri(&p0, &p1, &p2, &origin, &forward, &u, &v, &distance));
    EXPECT_NEAR(u, 0.25f, kTolerance);
    EXPECT_NEAR(v, 0.25f, kTolerance);
    EXPECT_NEAR(distance, 2.5f, kTolerance);  // in units of the direction's length
    EXPECT_FALSE(D3DXIntersectTri(&p0, &p1, &p2, &origin, &backward, &u, &v, &distance));
    const D3DXVECTOR3 outside(3, 3, 0);
    EXPECT_FALSE(D3DXIntersectTri(&p0, &p1, &p2, &outside, &forward, &u, &v, &distance));

    const D3DXVECTOR3 low(-1, -1, 4), high(1, 1, 6), inside(0, 0, 5), away(5, 0, 0);
    EXPECT_TRUE(D3DXBoxBoundProbe(&low, &high, &origin, &forward));
    EXPECT_FALSE(D3DXBoxBoundProbe(&low, &high, &origin, &backward));
    EXPECT_TRUE(D3DXBoxBoundProbe(&low, &high, &inside, &backward));
    EXPECT_FALSE(D3DXBoxBoundProbe(&low, &high, &away, &forward));
    const D3DXVECTOR3 centre(0, 0, 5);
    EXPECT_TRUE(D3DXSphereBoundProbe(&centre, 1.0f, &origin, &forward));
    EXPECT_FALSE(D3DXSphereBoundProbe(&centre, 1.0f, &origin, &backward));
}

TEST(D3dxMath, ColoursAndVertexSizes)
{
    const D3DXCOLOR colour(0x80FF4000u);
    EXPECT_NEAR(colour.a, 128 / 255.0f, kTolerance);
    EXPECT_NEAR(colour.r, 1.0f, kTolerance);
    EXPECT_EQ(static_cast<D3DCOLOR>(colour), 0x80FF4000u);
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(2.0f, -1.0f, 0.5f, 1.0f)), 0xFFFF0080u);

    const struct {
        DWORD fvf;
        UINT size;
    } sizes[] = {
        {D3DFVF_XYZ, 12},
        {D3DFVF_XYZ | D3DFVF_DIFFUSE, 16},
        {D3DFVF_XYZ | D3DFVF_TEX2, 28},
        {D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32},
        {D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 28},
        {D3DFVF_XYZB2 | D3DFVF_SPECULAR | D3DFVF_PSIZE, 28},
        {D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE3(0) | D3DFVF_TEXCOORDSIZE1(1), 28},
        {D3DFVF_XYZ | (9u << D3DFVF_TEXCOUNT_SHIFT), 0},
    };
    for (const auto& s : sizes)
        EXPECT_EQ(D3DXGetFVFVertexSize(s.fvf), s.size) << std::hex << s.fvf;
}

}  // namespace
