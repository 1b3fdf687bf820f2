// A device straight from Direct3DCreate8 on a test window of its size, without the render core: for the
// tests of the device itself and of the D3DX functions that work on one.
#pragma once
#include <gtest/gtest.h>

#include "platform/d3d8.h"
#include "support/test_window.h"

// Windowed presentation with a depth-stencil buffer, as the tests create their devices.
D3DPRESENT_PARAMETERS WindowedParameters(HWND window, UINT width, UINT height, D3DFORMAT depth = D3DFMT_D24S8);

class RawDeviceTest : public ::testing::Test {
protected:
    explicit RawDeviceTest(UINT width = 64, UINT height = 48, DWORD behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING);
    void SetUp() override;
    // Releases the device and the Direct3D object; depth formats made to fail by the test work again.
    void TearDown() override;

    HWND Window() const { return m_window.Handle(); }

    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS parameters = {};

private:
    UINT m_width;
    UINT m_height;
    DWORD m_behaviour;
    TestWindow m_window;
};
