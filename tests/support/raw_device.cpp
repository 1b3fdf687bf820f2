#include "support/raw_device.h"

#include "platform/d3d8_test_hooks.h"

D3DPRESENT_PARAMETERS WindowedParameters(HWND window, UINT width, UINT height, D3DFORMAT depth)
{
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = depth;
    return parameters;
}

RawDeviceTest::RawDeviceTest(UINT width, UINT height, DWORD behaviour)
    : m_width(width),
      m_height(height),
      m_behaviour(behaviour),
      m_window(static_cast<int>(width), static_cast<int>(height))
{}

void RawDeviceTest::SetUp()
{
    ASSERT_NE(Window(), nullptr);
    direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    parameters = WindowedParameters(Window(), m_width, m_height);
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, Window(), m_behaviour, &parameters, &device),
              D3D_OK);
}

void RawDeviceTest::TearDown()
{
    D3D8TestFailDepthFormats(nullptr, 0);
    if (device)
        device->Release();
    device = nullptr;
    if (direct3d)
        direct3d->Release();
    direct3d = nullptr;
}
