// The DirectInput stand-in: the keyboard and mouse devices share the raw input ring of the message
// pump. Whichever device reads first takes every waiting record from the ring and hands each one to
// the buffers of the acquired devices of its kind, so that no device steals another's records.
#include "platform/direct_input.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <new>

#include "platform/raw_input.h"
#include "platform/sdl/window_system.h"

const GUID IID_IDirectInput8A = {0x5A1D0800u, 0x0001, 0x0000, {'z', 'i', 'n', 't', 'a', 'r', 0, 1}};
const GUID GUID_SysKeyboard = {0x5A1D0800u, 0x0002, 0x0000, {'z', 'i', 'n', 't', 'a', 'r', 0, 2}};
const GUID GUID_SysMouse = {0x5A1D0800u, 0x0003, 0x0000, {'z', 'i', 'n', 't', 'a', 'r', 0, 3}};

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 24, 0x02, 256, 256};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), 24, 0x02, 16, 7};

struct IDirectInputDevice8A::State {
    bool keyboard = false;
    ULONG references = 1;
    HWND window = nullptr;
    DWORD cooperation = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool formatSet = false;
    bool acquired = false;
    bool lost = false;
    bool overflowed = false;
    // The record buffer, used as a ring.
    std::unique_ptr<DIDEVICEOBJECTDATA[]> records;
    DWORD capacity = 0;
    DWORD first = 0;
    DWORD count = 0;
    State* nextLive = nullptr;
};

namespace {

using DeviceState = IDirectInputDevice8A::State;

DeviceState* g_liveDevices = nullptr;
DWORD g_sequence = 0;
bool g_failCreation = false;

constexpr DWORD kPressed = 0x80;
constexpr int kWheelUnitsPerNotch = 120;

void Register(DeviceState* state)
{
    state->nextLive = g_liveDevices;
    g_liveDevices = state;
}

void Unregister(DeviceState* state)
{
    for (DeviceState** link = &g_liveDevices; *link != nullptr; link = &(*link)->nextLive) {
        if (*link == state) {
            *link = state->nextLive;
            return;
        }
    }
}

bool WindowHasFocus(HWND window)
{
    return window != nullptr && GetForegroundWindow() == window;
}

void Append(DeviceState& state, DWORD offset, DWORD data, DWORD time)
{
    if (state.count == state.capacity) {
        state.overflowed = true;  // the newest records are the ones lost
        return;
    }
    DIDEVICEOBJECTDATA& record = state.records[(state.first + state.count) % state.capacity];
    record = DIDEVICEOBJECTDATA{offset, data, time, ++g_sequence, 0};
    ++state.count;
}

void AppendRaw(DeviceState& state, const RawInputEvent& event)
{
    switch (event.kind) {
        case RAW_KEY:
            Append(state, event.code, event.down ? kPressed : 0, event.time);
            break;
        case RAW_MOUSE_MOTION:
            if (event.dx != 0) {
                Append(state, DIMOFS_X, static_cast<DWORD>(event.dx), event.time);
            }
            if (event.dy != 0) {
                Append(state, DIMOFS_Y, static_cast<DWORD>(event.dy), event.time);
            }
            break;
        case RAW_MOUSE_WHEEL:
            Append(state, DIMOFS_Z, static_cast<DWORD>(event.wheel * kWheelUnitsPerNotch), event.time);
            break;
        case RAW_MOUSE_BUTTON:
            if (event.code <= 3) {
                Append(state, DIMOFS_BUTTON0 + event.code, event.down ? kPressed : 0, event.time);
            }
            break;
    }
}

// Takes what the system has collected: focus changes first (a foreground device whose window lost the
// focus loses its acquisition and the records after it), then the waiting records.
void Distribute()
{
    PlatformPumpEvents();
    for (DeviceState* state = g_liveDevices; state != nullptr; state = state->nextLive) {
        if (state->acquired && (state->cooperation & DISCL_FOREGROUND) != 0 && !WindowHasFocus(state->window)) {
            state->acquired = false;
            state->lost = true;
        }
    }
    RawInputEvent event;
    while (PlatformPopRawInput(&event)) {
        const bool keyRecord = event.kind == RAW_KEY;
        for (DeviceState* state = g_liveDevices; state != nullptr; state = state->nextLive) {
            if (state->acquired && state->keyboard == keyRecord) {
                AppendRaw(*state, event);
            }
        }
    }
}

bool OneOf(DWORD flags, DWORD a, DWORD b)
{
    return ((flags & a) != 0) != ((flags & b) != 0);
}

}  // namespace

// The DirectInput object.

HRESULT DirectInput8Create(HINSTANCE /*instance*/, DWORD version, const GUID& interfaceId, void** created,
                           void* /*outer*/)
{
    if (created == nullptr) {
        return DIERR_INVALIDPARAM;
    }
    *created = nullptr;
    if (version < DIRECTINPUT_VERSION) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    if (version > DIRECTINPUT_VERSION) {
        return DIERR_BETADIRECTINPUTVERSION;
    }
    if (!(interfaceId == IID_IDirectInput8A)) {
        return DIERR_INVALIDPARAM;
    }
    if (g_failCreation || !EnsureSdlSubsystems(SDL_INIT_EVENTS)) {
        return DIERR_GENERIC;
    }
    auto* object = new (std::nothrow) IDirectInput8A();
    if (object == nullptr) {
        return DIERR_GENERIC;
    }
    *created = object;
    return DI_OK;
}

void DirectInputFailCreation(bool fail)
{
    g_failCreation = fail;
}

HRESULT IDirectInput8A::CreateDevice(const GUID& device, IDirectInputDevice8A** created, void* /*outer*/)
{
    if (created == nullptr) {
        return DIERR_INVALIDPARAM;
    }
    *created = nullptr;
    const bool keyboard = device == GUID_SysKeyboard;
    if (!keyboard && !(device == GUID_SysMouse)) {
        return DIERR_DEVICENOTREG;
    }
    auto* made = new (std::nothrow) IDirectInputDevice8A(keyboard);
    if (made == nullptr || made->m_state == nullptr) {
        delete made;
        return DIERR_GENERIC;
    }
    *created = made;
    return DI_OK;
}

ULONG IDirectInput8A::AddRef()
{
    return ++m_references;
}

ULONG IDirectInput8A::Release()
{
    const ULONG left = --m_references;
    if (left == 0) {
        delete this;
    }
    return left;
}

// Devices.

IDirectInputDevice8A::IDirectInputDevice8A(bool keyboard) : m_state(new (std::nothrow) State())
{
    if (m_state != nullptr) {
        m_state->keyboard = keyboard;
        Register(m_state);
    }
}

IDirectInputDevice8A::~IDirectInputDevice8A()
{
    if (m_state != nullptr) {
        Unregister(m_state);
        delete m_state;
    }
}

ULONG IDirectInputDevice8A::AddRef()
{
    return ++m_state->references;
}

ULONG IDirectInputDevice8A::Release()
{
    const ULONG left = --m_state->references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT IDirectInputDevice8A::SetCooperativeLevel(HWND window, DWORD flags)
{
    State& state = *m_state;
    if (state.acquired) {
        return DIERR_ACQUIRED;
    }
    if (!OneOf(flags, DISCL_EXCLUSIVE, DISCL_NONEXCLUSIVE) || !OneOf(flags, DISCL_FOREGROUND, DISCL_BACKGROUND)) {
        return DIERR_INVALIDPARAM;
    }
    if ((flags & DISCL_FOREGROUND) != 0 && !IsLiveWindow(window)) {
        return DIERR_INVALIDPARAM;
    }
    state.window = window;
    state.cooperation = flags;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::SetDataFormat(const DIDATAFORMAT* format)
{
    State& state = *m_state;
    if (state.acquired) {
        return DIERR_ACQUIRED;
    }
    const DIDATAFORMAT& expected = state.keyboard ? c_dfDIKeyboard : c_dfDIMouse;
    if (format == nullptr || format->dwSize != expected.dwSize || format->dwDataSize != expected.dwDataSize ||
        format->dwNumObjs != expected.dwNumObjs) {
        return DIERR_INVALIDPARAM;
    }
    state.formatSet = true;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::SetProperty(DIPROPID property, const DIPROPHEADER* header)
{
    State& state = *m_state;
    if (property != DIPROP_BUFFERSIZE || header == nullptr || header->dwSize != sizeof(DIPROPDWORD) ||
        header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwHow != DIPH_DEVICE || header->dwObj != 0) {
        return DIERR_INVALIDPARAM;
    }
    if (state.acquired) {
        return DIERR_ACQUIRED;
    }
    const DWORD size = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
    if (size > DI_MAX_BUFFER_SIZE) {
        return DIERR_INVALIDPARAM;
    }
    std::unique_ptr<DIDEVICEOBJECTDATA[]> records;
    if (size > 0) {
        records.reset(new (std::nothrow) DIDEVICEOBJECTDATA[size]);
        if (records == nullptr) {
            return DIERR_GENERIC;
        }
    }
    state.records = std::move(records);
    state.capacity = size;
    state.first = 0;
    state.count = 0;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::Acquire()
{
    State& state = *m_state;
    if (!state.formatSet) {
        return DIERR_INVALIDPARAM;
    }
    Distribute();
    if (state.acquired) {
        return DI_NOEFFECT;
    }
    if ((state.cooperation & DISCL_FOREGROUND) != 0 && !WindowHasFocus(state.window)) {
        return DIERR_OTHERAPPHASPRIO;
    }
    state.acquired = true;
    state.lost = false;
    state.first = 0;
    state.count = 0;
    state.overflowed = false;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::Unacquire()
{
    State& state = *m_state;
    state.lost = false;
    if (!state.acquired) {
        return DI_NOEFFECT;
    }
    state.acquired = false;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count, DWORD flags)
{
    State& state = *m_state;
    if (recordSize != sizeof(DIDEVICEOBJECTDATA) || count == nullptr) {
        return DIERR_INVALIDPARAM;
    }
    const DWORD wanted = *count;
    *count = 0;
    if (state.capacity == 0) {
        return DIERR_NOTBUFFERED;
    }
    Distribute();
    if (state.lost) {
        state.lost = false;
        return DIERR_INPUTLOST;
    }
    if (!state.acquired) {
        return DIERR_NOTACQUIRED;
    }
    const DWORD taken = std::min(wanted, state.count);
    if (records != nullptr) {
        for (DWORD i = 0; i < taken; ++i) {
            records[i] = state.records[(state.first + i) % state.capacity];
        }
    }
    *count = taken;
    const HRESULT result = state.overflowed ? DI_BUFFEROVERFLOW : DI_OK;
    if ((flags & DIGDD_PEEK) == 0) {
        state.first = (state.first + taken) % state.capacity;
        state.count -= taken;
        state.overflowed = false;
    }
    return result;
}
