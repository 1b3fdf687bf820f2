// The DirectInput stand-in: buffered key and mouse records from injected SDL events, acquisition that
// follows the window's focus, and the set-up calls' checks.
#include "platform/direct_input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/raw_input.h"
#include "platform/sdl/sdl_window.h"
#include "platform/test_input.h"
#include "support/test_window.h"

namespace {

struct Record {
    DWORD offset;
    DWORD data;
    bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Record& record)
{
    return out << "{" << record.offset << ", " << static_cast<std::int32_t>(record.data) << "}";
}

HRESULT SetBufferSize(IDirectInputDevice8A* device, DWORD size)
{
    DIPROPDWORD property{};
    property.diph.dwSize = sizeof(DIPROPDWORD);
    property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    property.diph.dwHow = DIPH_DEVICE;
    property.dwData = size;
    return device->SetProperty(DIPROP_BUFFERSIZE, &property.diph);
}

void PushFocusEvent(HWND window, bool gained)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    event.window.windowID = SDL_GetWindowID(PlatformSdlWindow(window));
    SDL_PushEvent(&event);
}

class DirectInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(window, nullptr);
        testWindow.Show();
        PlatformPumpEvents();
        PlatformClearRawInput();

        void* created = nullptr;
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr), DI_OK);
        directInput = static_cast<IDirectInput8A*>(created);
        keyboard = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard);
        mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    }

    void TearDown() override
    {
        for (IDirectInputDevice8A* device : {keyboard, mouse}) {
            if (device != nullptr) {
                device->Unacquire();
                device->Release();
            }
        }
        if (directInput != nullptr) {
            directInput->Release();
        }
    }

    IDirectInputDevice8A* MakeDevice(const GUID& kind, const DIDATAFORMAT& format)
    {
        IDirectInputDevice8A* device = nullptr;
        EXPECT_EQ(directInput->CreateDevice(kind, &device, nullptr), DI_OK);
        if (device == nullptr) {
            return nullptr;
        }
        EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY), DI_OK);
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(SetBufferSize(device, 64), DI_OK);
        EXPECT_EQ(device->Acquire(), DI_OK);
        return device;
    }

    // Takes up to `wanted` records; the call's result goes to *result.
    static std::vector<Record> Read(IDirectInputDevice8A* device, HRESULT* result = nullptr, DWORD wanted = 64,
                                    DWORD flags = 0)
    {
        std::vector<DIDEVICEOBJECTDATA> data(wanted + 1);
        DWORD count = wanted;
        const HRESULT res = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data.data(), &count, flags);
        if (result != nullptr) {
            *result = res;
        }
        std::vector<Record> records;
        for (DWORD i = 0; i < count; ++i) {
            records.push_back({data[i].dwOfs, data[i].dwData});
        }
        return records;
    }

    TestWindow testWindow{320, 200, DefWindowProcA, WS_CAPTION};
    HWND window = testWindow.Handle();
    IDirectInput8A* directInput = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
    IDirectInputDevice8A* mouse = nullptr;
};

constexpr DWORD kDown = 0x80;

TEST_F(DirectInputTest, KeysAndMouseArriveAtTheirOwnDevicesInOrder)
{
    PlatformInjectKey(DIK_W, true);
    PlatformInjectMouseMotion(5, -3);
    PlatformInjectKey(DIK_W, false);
    PlatformInjectMouseButton(1, true);
    PlatformInjectKey(DIK_RCONTROL, true);
    PlatformInjectMouseButton(1, false);
    PlatformInjectMouseWheel(1);
    PlatformInjectMouseWheel(-2);
    PlatformInjectKey(DIK_WAKE, true);  // a key SDL has no scancode for

    HRESULT result = 0;
    const std::vector<Record> peeked = Read(keyboard, &result, 2, DIGDD_PEEK);
    EXPECT_EQ(result, DI_OK);
    EXPECT_EQ(peeked, (std::vector<Record>{{DIK_W, kDown}, {DIK_W, 0}}));
    EXPECT_EQ(Read(keyboard, &result),
              (std::vector<Record>{{DIK_W, kDown}, {DIK_W, 0}, {DIK_RCONTROL, kDown}, {DIK_WAKE, kDown}}));
    EXPECT_EQ(result, DI_OK);
    EXPECT_EQ(Read(mouse, &result), (std::vector<Record>{{DIMOFS_X, 5},
                                                         {DIMOFS_Y, static_cast<DWORD>(-3)},
                                                         {DIMOFS_BUTTON1, kDown},
                                                         {DIMOFS_BUTTON1, 0},
                                                         {DIMOFS_Z, 120},
                                                         {DIMOFS_Z, static_cast<DWORD>(-240)}}));
    EXPECT_EQ(result, DI_OK);
    EXPECT_TRUE(Read(keyboard).empty());
    EXPECT_TRUE(Read(mouse).empty());
    PlatformInjectKey(DIK_RCONTROL, false);
    PlatformInjectKey(DIK_WAKE, false);
}

TEST_F(DirectInputTest, TwoKeyboardsEachGetEveryRecord)
{
    IDirectInputDevice8A* second = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard);
    ASSERT_NE(second, nullptr);
    PlatformInjectKey(DIK_A, true);
    PlatformInjectKey(DIK_A, false);
    const std::vector<Record> expected = {{DIK_A, kDown}, {DIK_A, 0}};
    EXPECT_EQ(Read(keyboard), expected);
    EXPECT_EQ(Read(second), expected);
    second->Release();
}

TEST_F(DirectInputTest, AFullBufferKeepsTheOldestRecordsAndReportsTheOverflow)
{
    for (int i = 0; i < 35; ++i) {
        PlatformInjectKey(DIK_SPACE, true);
        PlatformInjectKey(DIK_SPACE, false);
    }
    HRESULT result = 0;
    const std::vector<Record> records = Read(keyboard, &result, 100);
    EXPECT_EQ(result, DI_BUFFEROVERFLOW);
    ASSERT_EQ(records.size(), 64u);
    EXPECT_EQ(records.front(), (Record{DIK_SPACE, kDown}));
    EXPECT_EQ(records.back(), (Record{DIK_SPACE, 0}));
    EXPECT_TRUE(Read(keyboard, &result).empty());
    EXPECT_EQ(result, DI_OK);

    // Null records with an unbounded count empty the buffer.
    PlatformInjectKey(DIK_SPACE, true);
    PlatformInjectKey(DIK_SPACE, false);
    DWORD count = INFINITE;
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &count, 0), DI_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_TRUE(Read(keyboard).empty());
}

TEST_F(DirectInputTest, AcquisitionFollowsTheWindowFocus)
{
    PushFocusEvent(window, false);
    HRESULT result = 0;
    EXPECT_TRUE(Read(keyboard, &result).empty());
    EXPECT_EQ(result, DIERR_INPUTLOST);
    Read(keyboard, &result);
    EXPECT_EQ(result, DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);

    // What happens in the background is not recorded.
    PlatformInjectKey(DIK_Q, true);
    PlatformInjectKey(DIK_Q, false);
    PushFocusEvent(window, true);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
    PlatformInjectKey(DIK_E, true);
    EXPECT_EQ(Read(keyboard, &result), (std::vector<Record>{{DIK_E, kDown}}));
    EXPECT_EQ(result, DI_OK);

    // The mouse lost its acquisition as well; a background device does not follow the focus.
    Read(mouse, &result);
    EXPECT_EQ(result, DIERR_INPUTLOST);
    EXPECT_EQ(mouse->Unacquire(), DI_NOEFFECT);
    ASSERT_EQ(mouse->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    PushFocusEvent(window, false);
    PlatformInjectMouseButton(0, true);
    PlatformInjectMouseButton(0, false);
    EXPECT_EQ(Read(mouse, &result), (std::vector<Record>{{DIMOFS_BUTTON0, kDown}, {DIMOFS_BUTTON0, 0}}));
    PushFocusEvent(window, true);
    PlatformInjectKey(DIK_E, false);
    PlatformPumpEvents();
}

TEST_F(DirectInputTest, SetUpCallsCheckTheirArguments)
{
    void* created = reinterpret_cast<void*>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &created, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0900, IID_IDirectInput8A, &created, nullptr), DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, GUID_SysMouse, &created, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, nullptr, nullptr),
              DIERR_INVALIDPARAM);
    DirectInputFailCreation(true);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr), DIERR_GENERIC);
    DirectInputFailCreation(false);

    IDirectInputDevice8A* device = reinterpret_cast<IDirectInputDevice8A*>(1);
    EXPECT_EQ(directInput->CreateDevice(IID_IDirectInput8A, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(directInput->CreateDevice(GUID_SysKeyboard, &device, nullptr), DI_OK);

    DWORD count = 1;
    DIDEVICEOBJECTDATA record{};
    EXPECT_EQ(device->GetDeviceData(sizeof record, &record, &count, 0), DIERR_NOTBUFFERED);
    EXPECT_EQ(device->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(device->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);

    DIPROPDWORD property{};
    property.diph.dwSize = sizeof(DIPROPHEADER);  // wrong: the header of a DIPROPDWORD
    property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    property.dwData = 16;
    EXPECT_EQ(device->SetProperty(DIPROP_BUFFERSIZE, &property.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetProperty(DIPROP_BUFFERSIZE, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(SetBufferSize(device, DI_MAX_BUFFER_SIZE + 1), DIERR_INVALIDPARAM);
    EXPECT_EQ(SetBufferSize(device, 16), DI_OK);

    EXPECT_EQ(device->GetDeviceData(sizeof record, &record, &count, 0), DIERR_NOTACQUIRED);
    EXPECT_EQ(device->GetDeviceData(sizeof record - 1, &record, &count, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->GetDeviceData(sizeof record, &record, nullptr, 0), DIERR_INVALIDPARAM);
    ASSERT_EQ(device->Acquire(), DI_OK);
    EXPECT_EQ(SetBufferSize(device, 8), DIERR_ACQUIRED);
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(device->Unacquire(), DI_OK);
    EXPECT_EQ(device->Release(), 0u);
}

}  // namespace
