// The first-person weapon transform as plug-ins receive it.
#include <gtest/gtest.h>

#include "game/view/player_view.h"
#include "platform/d3dx8_math.h"
#include "render/fpw_transform.h"

namespace {

TEST(FpwTransform, AxesAreDirectionsAndTheViewerAPointInPluginUnits)
{
    // A quarter turn about y, then a move by (100, 200, 300).
    D3DXMATRIX turn, move, weapon;
    D3DXMatrixRotationY(&turn, D3DX_PI / 2);
    D3DXMatrixTranslation(&move, 100, 200, 300);
    weapon = turn * move;
    FPWSetTransform(&weapon.m[0][0], nullptr);

    float* viewer = GameGetViewPos();
    const float saved[3] = {viewer[0], viewer[1], viewer[2]};
    viewer[0] = 10;
    viewer[1] = 20;
    viewer[2] = 30;
    float axes[9], position[3];
    FPWTransform(axes, position);
    viewer[0] = saved[0];
    viewer[1] = saved[1];
    viewer[2] = saved[2];

    // x turns to -z, y stays, z turns to +x; the move does not reach the axes.
    const float expectedAxes[9] = {0, 0, -1, 0, 1, 0, 1, 0, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(axes[i], expectedAxes[i], 1e-5f) << i;
    // (10, 20, 30) turned is (30, 20, -10), moved (130, 220, 290), in tenths.
    EXPECT_NEAR(position[0], 13.0f, 1e-4f);
    EXPECT_NEAR(position[1], 22.0f, 1e-4f);
    EXPECT_NEAR(position[2], 29.0f, 1e-4f);

    float copy[16];
    FPWGetTransform(copy);
    EXPECT_EQ(copy[12], 100.0f);
    EXPECT_EQ(FPWGetCurrentObject(), nullptr);
}

}  // namespace
