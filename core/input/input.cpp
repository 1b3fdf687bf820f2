// Input start-up, shutdown and the per-frame poll of the DirectInput devices.
#include "core/input/input.h"

#include <cstring>

#include "core/input/actions.h"
#include "core/assert.h"
#include "core/console/console.h"
#include "core/input/input_modes.h"
#include "core/log.h"
#include "platform/direct_input.h"

InputState g_input;

namespace {

// Records read from a device per poll (the size of each device's buffer as well).
constexpr DWORD INPUT_BUFFER_RECORDS = 64;
constexpr DWORD kPressedBit = 0x80;
constexpr DWORD kCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY;

IDirectInputDevice8A* CreateDevice(const GUID& kind, const DIDATAFORMAT& format)
{
    IDirectInputDevice8A* device = nullptr;
    HRESULT result = g_input.directInput->CreateDevice(kind, &device, nullptr);
    ENGINE_ASSERT_TEXT(result == DI_OK, "res == DI_OK");
    result = device->SetCooperativeLevel(g_input.window, kCooperation);
    ENGINE_ASSERT_TEXT(result == DI_OK, "res == DI_OK");
    result = device->SetDataFormat(&format);
    ENGINE_ASSERT_TEXT(result == DI_OK, "res == DI_OK");
    return device;
}

void SetBufferAndAcquire(IDirectInputDevice8A* device)
{
    DIPROPDWORD property = {};
    property.diph.dwSize = sizeof(DIPROPDWORD);
    property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    property.diph.dwObj = 0;
    property.diph.dwHow = DIPH_DEVICE;
    property.dwData = INPUT_BUFFER_RECORDS;
    HRESULT result = device->SetProperty(DIPROP_BUFFERSIZE, &property.diph);
    ENGINE_ASSERT_TEXT(result == DI_OK, "res == DI_OK");
    // A window without the focus cannot acquire; the poll acquires once it has the focus.
    result = device->Acquire();
    if (result == DIERR_OTHERAPPHASPRIO)
        result = DI_OK;
    ENGINE_ASSERT_TEXT(result == DI_OK, "res == DI_OK");
}

// Reads the device's waiting records (at most INPUT_BUFFER_RECORDS). On failure (the device was lost to
// another window) it is acquired again for the next poll; a window in the background simply keeps failing.
bool ReadDevice(IDirectInputDevice8A* device, DIDEVICEOBJECTDATA* records, DWORD* count)
{
    *count = INPUT_BUFFER_RECORDS;
    if (!DiFailed(device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, count, 0)))
        return true;
    *count = 0;
    device->Acquire();
    return false;
}

void PollKeyboard()
{
    DIDEVICEOBJECTDATA records[INPUT_BUFFER_RECORDS];
    DWORD count = 0;
    const bool read = ReadDevice(g_input.keyboard, records, &count);
    // While a screen is open the window messages feed the states, whatever the device: a device that
    // cannot be read (the window without the focus) must not wipe the keys the screen waits for.
    if (g_input.guiMode)
        return;
    // Keys released while the window was away never report it: none stays held.
    if (!read)
        ClearKeyStates();
    ClearWheel();
    for (DWORD i = 0; i < count; ++i) {
        const DIDEVICEOBJECTDATA& record = records[i];
        if (record.dwData & kPressedBit)
            KeyDown(static_cast<int>(record.dwOfs));
        else
            KeyUp(static_cast<int>(record.dwOfs));
    }
}

void PollMouse()
{
    DIDEVICEOBJECTDATA records[INPUT_BUFFER_RECORDS];
    DWORD count = 0;
    const bool read = ReadDevice(g_input.mouse, records, &count);
    // As for the keys: the buttons of an open screen are the window messages'.
    if (g_input.guiMode)
        return;
    if (!read)
        std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);
    for (DWORD i = 0; i < count; ++i) {
        const DIDEVICEOBJECTDATA& record = records[i];
        const auto value = static_cast<s32_t>(record.dwData);
        switch (record.dwOfs) {
            case DIMOFS_X:
                MouseMove(value, 0);
                break;
            case DIMOFS_Y:
                MouseMove(0, value);
                break;
            case DIMOFS_Z:
                MouseWheel(value);
                break;
            case DIMOFS_BUTTON0:
            case DIMOFS_BUTTON1:
            case DIMOFS_BUTTON2:
            case DIMOFS_BUTTON3:
                if (record.dwData & kPressedBit)
                    MouseButtonDown(static_cast<int>(record.dwOfs - DIMOFS_BUTTON0));
                else
                    MouseButtonUp(static_cast<int>(record.dwOfs - DIMOFS_BUTTON0));
                break;
            default:
                break;
        }
    }
}

void ReleaseDevice(IDirectInputDevice8A*& device)
{
    if (!device)
        return;
    device->Unacquire();
    device->Release();
    device = nullptr;
}

}  // namespace

int InputInit(HWND window, bool useDirectInput)
{
    Log("Initializing input...");
    g_input.window = window;
    g_input.useDirectInput = useDirectInput;
    ClearKeyStates();
    std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);

    if (useDirectInput) {
        void* created = nullptr;
        const HRESULT result = DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr);
        if (DiFailed(result)) {
            g_input.useDirectInput = false;
            return result;
        }
        g_input.directInput = static_cast<IDirectInput8A*>(created);
        g_input.keyboard = CreateDevice(GUID_SysKeyboard, c_dfDIKeyboard);
        g_input.mouse = CreateDevice(GUID_SysMouse, c_dfDIMouse);
        SetBufferAndAcquire(g_input.keyboard);
        SetBufferAndAcquire(g_input.mouse);
    }

    LoadKeyBindings();
    Log("done\n");
    return 0;
}

void InputShutdown()
{
    Log("Destroying input...");
    if (g_input.useDirectInput) {
        ReleaseDevice(g_input.keyboard);
        ReleaseDevice(g_input.mouse);
        if (g_input.directInput) {
            g_input.directInput->Release();
            g_input.directInput = nullptr;
        }
    }
    g_input = InputState{};
    Log("done\n");
}

void InputUpdate()
{
    if (g_input.keyboard)
        PollKeyboard();
    if (g_input.mouse)
        PollMouse();
    // While a console page is shown the action tables keep their last values.
    if (ConCurrentPage() == -1)
        ActionsUpdate();
    else
        KeyPressesRead();
    InputModeCall();
}

void InputForgetMouseMotion()
{
    // Reading the device takes in what the system has collected up to now (the message pump's
    // waiting events too); what is read goes nowhere.
    if (g_input.mouse) {
        DIDEVICEOBJECTDATA records[INPUT_BUFFER_RECORDS];
        DWORD count = 0;
        ReadDevice(g_input.mouse, records, &count);
    }
    InputCenterCursor();
}

bool InputUsesDirectInput()
{
    return g_input.useDirectInput;
}

void InputSetMouseMoveListener(MouseMoveListener listener)
{
    g_input.mouseMoveListener = listener;
}

void KeyDown(int code)
{
    if (code < 0 || code >= 256)
        return;
    g_input.keyStates[code] = INPUT_STATE_DOWN;
    g_input.keyPressUnread[code] = true;
    g_input.keyReleaseHeld[code] = false;
}

void KeyUp(int code)
{
    if (code < 0 || code >= 256)
        return;
    // A press that no poll has seen stays down for the next poll, which then sees the release.
    if (g_input.keyPressUnread[code])
        g_input.keyReleaseHeld[code] = true;
    else
        g_input.keyStates[code] = 0;
}

void MouseButtonDown(int button)
{
    if (button >= 0 && button < MOUSE_STATE_COUNT)
        g_input.mouseStates[button] = INPUT_STATE_DOWN;
}

void MouseButtonUp(int button)
{
    if (button >= 0 && button < MOUSE_STATE_COUNT)
        g_input.mouseStates[button] = 0;
}

void MouseWheel(int delta)
{
    if (delta > 0)
        g_input.mouseStates[MOUSE_WHEEL_UP] = INPUT_STATE_DOWN;
    else if (delta < 0)
        g_input.mouseStates[MOUSE_WHEEL_DOWN] = INPUT_STATE_DOWN;
}

void MouseMove(s32_t dx, s32_t dy)
{
    if (g_input.mouseMoveListener)
        g_input.mouseMoveListener(dx, dy);
}

void KeyPressesRead()
{
    for (int code = 0; code < 256; ++code) {
        g_input.keyPressUnread[code] = false;
        if (g_input.keyReleaseHeld[code]) {
            g_input.keyReleaseHeld[code] = false;
            g_input.keyStates[code] = 0;
        }
    }
}

void ClearKeyStates()
{
    std::memset(g_input.keyStates, 0, sizeof g_input.keyStates);
    std::memset(g_input.keyPressUnread, 0, sizeof g_input.keyPressUnread);
    std::memset(g_input.keyReleaseHeld, 0, sizeof g_input.keyReleaseHeld);
}

void ClearWheel()
{
    g_input.mouseStates[MOUSE_WHEEL_UP] = 0;
    g_input.mouseStates[MOUSE_WHEEL_DOWN] = 0;
}
