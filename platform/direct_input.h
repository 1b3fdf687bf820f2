// Our stand-in for the DirectInput 8 keyboard and mouse with buffered data. The devices read the raw
// key and mouse records that the message pump collects (platform/raw_input.h): keys in the keyboard
// scan-code numbering (1..237, the DIK_ values below), the mouse as relative motion, the wheel in
// units of 120 per notch and four buttons. A device collects records only while it is acquired, and
// a foreground device loses its acquisition when its window loses the input focus.
#pragma once
#include <cstdint>

#include "platform/win32.h"

using ULONG = std::uint32_t;

#define DIRECTINPUT_VERSION 0x0800

// Results. Failures are negative.
constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;        // nothing to do (already acquired, not acquired)
constexpr HRESULT DI_BUFFEROVERFLOW = 1;  // records were lost because the buffer was full
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAu);
constexpr HRESULT DIERR_NOTBUFFERED = static_cast<HRESULT>(0x80040207u);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047Eu);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = static_cast<HRESULT>(0x80070481u);
constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005u);

inline bool DiFailed(HRESULT result)
{
    return result < 0;
}

// Interface and device identifiers. Only their identity matters here.
struct GUID {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};
inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.data4[i] != b.data4[i]) {
            return false;
        }
    }
    return true;
}
extern const GUID IID_IDirectInput8A;
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;

// Cooperative levels.
constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;
constexpr DWORD DISCL_NOWINKEY = 0x10;

// Data formats: the device reads whole-state structures of this shape. The keyboard format is 256
// key bytes; the mouse format is X, Y, Z (LONG each) and four button bytes.
struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
};
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;

// Properties.
struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
};
using DIPROPID = std::uintptr_t;
constexpr DIPROPID DIPROP_BUFFERSIZE = 1;
constexpr DWORD DIPH_DEVICE = 0;
// Records a device can hold at most; a larger buffer size is refused.
constexpr DWORD DI_MAX_BUFFER_SIZE = 4096;

// One buffered record: the object (key code or mouse offset) and its data (0x80 = pressed for keys and
// buttons, the signed movement for axes).
struct DIDEVICEOBJECTDATA {
    DWORD dwOfs;
    DWORD dwData;
    DWORD dwTimeStamp;
    DWORD dwSequence;
    std::uintptr_t uAppData;
};
constexpr DWORD DIGDD_PEEK = 0x01;

// Mouse object offsets (the fields of the mouse state structure).
constexpr DWORD DIMOFS_X = 0;
constexpr DWORD DIMOFS_Y = 4;
constexpr DWORD DIMOFS_Z = 8;
constexpr DWORD DIMOFS_BUTTON0 = 12;
constexpr DWORD DIMOFS_BUTTON1 = 13;
constexpr DWORD DIMOFS_BUTTON2 = 14;
constexpr DWORD DIMOFS_BUTTON3 = 15;

class IDirectInputDevice8A;

class IDirectInput8A {
public:
    // keyboard: GUID_SysKeyboard, mouse: GUID_SysMouse; DIERR_DEVICENOTREG for any other device.
    HRESULT CreateDevice(const GUID& device, IDirectInputDevice8A** created, void* outer);
    ULONG AddRef();
    ULONG Release();

private:
    friend HRESULT DirectInput8Create(HINSTANCE, DWORD, const GUID&, void**, void*);
    IDirectInput8A() = default;
    ~IDirectInput8A() = default;
    ULONG m_references = 1;
};

class IDirectInputDevice8A {
public:
    // One of DISCL_EXCLUSIVE / DISCL_NONEXCLUSIVE and one of DISCL_FOREGROUND / DISCL_BACKGROUND;
    // a foreground device needs a window.
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    // c_dfDIKeyboard for the keyboard, c_dfDIMouse for the mouse; not while acquired.
    HRESULT SetDataFormat(const DIDATAFORMAT* format);
    // DIPROP_BUFFERSIZE with a DIPROPDWORD for the device (DIPH_DEVICE); not while acquired.
    HRESULT SetProperty(DIPROPID property, const DIPROPHEADER* header);
    // The buffer starts empty at acquisition. DIERR_OTHERAPPHASPRIO for a foreground device whose
    // window does not have the focus; DI_NOEFFECT when already acquired.
    HRESULT Acquire();
    HRESULT Unacquire();
    // Takes up to *count records, oldest first (DIGDD_PEEK leaves them in the buffer; null records
    // discard them), and stores the number taken in *count. DIERR_INPUTLOST once after the device lost
    // its acquisition, DIERR_NOTACQUIRED while it is not acquired.
    HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count, DWORD flags);
    ULONG AddRef();
    ULONG Release();

    struct State;

private:
    friend class IDirectInput8A;
    explicit IDirectInputDevice8A(bool keyboard);
    ~IDirectInputDevice8A();
    State* m_state;
};

// Creates the DirectInput object (version 0x0800, IID_IDirectInput8A).
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, const GUID& interfaceId, void** created, void* outer);

// Test hook: while set, DirectInput8Create fails with DIERR_GENERIC, as on a system without it.
void DirectInputFailCreation(bool fail);

// Keyboard scan codes.
constexpr std::uint8_t DIK_ESCAPE = 0x01;
constexpr std::uint8_t DIK_1 = 0x02;
constexpr std::uint8_t DIK_2 = 0x03;
constexpr std::uint8_t DIK_3 = 0x04;
constexpr std::uint8_t DIK_4 = 0x05;
constexpr std::uint8_t DIK_5 = 0x06;
constexpr std::uint8_t DIK_6 = 0x07;
constexpr std::uint8_t DIK_7 = 0x08;
constexpr std::uint8_t DIK_8 = 0x09;
constexpr std::uint8_t DIK_9 = 0x0A;
constexpr std::uint8_t DIK_0 = 0x0B;
constexpr std::uint8_t DIK_MINUS = 0x0C;
constexpr std::uint8_t DIK_EQUALS = 0x0D;
constexpr std::uint8_t DIK_BACK = 0x0E;
constexpr std::uint8_t DIK_TAB = 0x0F;
constexpr std::uint8_t DIK_Q = 0x10;
constexpr std::uint8_t DIK_W = 0x11;
constexpr std::uint8_t DIK_E = 0x12;
constexpr std::uint8_t DIK_R = 0x13;
constexpr std::uint8_t DIK_T = 0x14;
constexpr std::uint8_t DIK_Y = 0x15;
constexpr std::uint8_t DIK_U = 0x16;
constexpr std::uint8_t DIK_I = 0x17;
constexpr std::uint8_t DIK_O = 0x18;
constexpr std::uint8_t DIK_P = 0x19;
constexpr std::uint8_t DIK_LBRACKET = 0x1A;
constexpr std::uint8_t DIK_RBRACKET = 0x1B;
constexpr std::uint8_t DIK_RETURN = 0x1C;
constexpr std::uint8_t DIK_LCONTROL = 0x1D;
constexpr std::uint8_t DIK_A = 0x1E;
constexpr std::uint8_t DIK_S = 0x1F;
constexpr std::uint8_t DIK_D = 0x20;
constexpr std::uint8_t DIK_F = 0x21;
constexpr std::uint8_t DIK_G = 0x22;
constexpr std::uint8_t DIK_H = 0x23;
constexpr std::uint8_t DIK_J = 0x24;
constexpr std::uint8_t DIK_K = 0x25;
constexpr std::uint8_t DIK_L = 0x26;
constexpr std::uint8_t DIK_SEMICOLON = 0x27;
constexpr std::uint8_t DIK_APOSTROPHE = 0x28;
constexpr std::uint8_t DIK_GRAVE = 0x29;
constexpr std::uint8_t DIK_LSHIFT = 0x2A;
constexpr std::uint8_t DIK_BACKSLASH = 0x2B;
constexpr std::uint8_t DIK_Z = 0x2C;
constexpr std::uint8_t DIK_X = 0x2D;
constexpr std::uint8_t DIK_C = 0x2E;
constexpr std::uint8_t DIK_V = 0x2F;
constexpr std::uint8_t DIK_B = 0x30;
constexpr std::uint8_t DIK_N = 0x31;
constexpr std::uint8_t DIK_M = 0x32;
constexpr std::uint8_t DIK_COMMA = 0x33;
constexpr std::uint8_t DIK_PERIOD = 0x34;
constexpr std::uint8_t DIK_SLASH = 0x35;
constexpr std::uint8_t DIK_RSHIFT = 0x36;
constexpr std::uint8_t DIK_MULTIPLY = 0x37;
constexpr std::uint8_t DIK_LMENU = 0x38;
constexpr std::uint8_t DIK_SPACE = 0x39;
constexpr std::uint8_t DIK_CAPITAL = 0x3A;
constexpr std::uint8_t DIK_F1 = 0x3B;
constexpr std::uint8_t DIK_F2 = 0x3C;
constexpr std::uint8_t DIK_F3 = 0x3D;
constexpr std::uint8_t DIK_F4 = 0x3E;
constexpr std::uint8_t DIK_F5 = 0x3F;
constexpr std::uint8_t DIK_F6 = 0x40;
constexpr std::uint8_t DIK_F7 = 0x41;
constexpr std::uint8_t DIK_F8 = 0x42;
constexpr std::uint8_t DIK_F9 = 0x43;
constexpr std::uint8_t DIK_F10 = 0x44;
constexpr std::uint8_t DIK_NUMLOCK = 0x45;
constexpr std::uint8_t DIK_SCROLL = 0x46;
constexpr std::uint8_t DIK_NUMPAD7 = 0x47;
constexpr std::uint8_t DIK_NUMPAD8 = 0x48;
constexpr std::uint8_t DIK_NUMPAD9 = 0x49;
constexpr std::uint8_t DIK_SUBTRACT = 0x4A;
constexpr std::uint8_t DIK_NUMPAD4 = 0x4B;
constexpr std::uint8_t DIK_NUMPAD5 = 0x4C;
constexpr std::uint8_t DIK_NUMPAD6 = 0x4D;
constexpr std::uint8_t DIK_ADD = 0x4E;
constexpr std::uint8_t DIK_NUMPAD1 = 0x4F;
constexpr std::uint8_t DIK_NUMPAD2 = 0x50;
constexpr std::uint8_t DIK_NUMPAD3 = 0x51;
constexpr std::uint8_t DIK_NUMPAD0 = 0x52;
constexpr std::uint8_t DIK_DECIMAL = 0x53;
constexpr std::uint8_t DIK_OEM_102 = 0x56;
constexpr std::uint8_t DIK_F11 = 0x57;
constexpr std::uint8_t DIK_F12 = 0x58;
constexpr std::uint8_t DIK_F13 = 0x64;
constexpr std::uint8_t DIK_F14 = 0x65;
constexpr std::uint8_t DIK_F15 = 0x66;
constexpr std::uint8_t DIK_KANA = 0x70;
constexpr std::uint8_t DIK_ABNT_C1 = 0x73;
constexpr std::uint8_t DIK_CONVERT = 0x79;
constexpr std::uint8_t DIK_NOCONVERT = 0x7B;
constexpr std::uint8_t DIK_YEN = 0x7D;
constexpr std::uint8_t DIK_ABNT_C2 = 0x7E;
constexpr std::uint8_t DIK_NUMPADEQUALS = 0x8D;
constexpr std::uint8_t DIK_PREVTRACK = 0x90;
constexpr std::uint8_t DIK_AT = 0x91;
constexpr std::uint8_t DIK_COLON = 0x92;
constexpr std::uint8_t DIK_UNDERLINE = 0x93;
constexpr std::uint8_t DIK_KANJI = 0x94;
constexpr std::uint8_t DIK_STOP = 0x95;
constexpr std::uint8_t DIK_AX = 0x96;
constexpr std::uint8_t DIK_UNLABELED = 0x97;
constexpr std::uint8_t DIK_NEXTTRACK = 0x99;
constexpr std::uint8_t DIK_NUMPADENTER = 0x9C;
constexpr std::uint8_t DIK_RCONTROL = 0x9D;
constexpr std::uint8_t DIK_MUTE = 0xA0;
constexpr std::uint8_t DIK_CALCULATOR = 0xA1;
constexpr std::uint8_t DIK_PLAYPAUSE = 0xA2;
constexpr std::uint8_t DIK_MEDIASTOP = 0xA4;
constexpr std::uint8_t DIK_VOLUMEDOWN = 0xAE;
constexpr std::uint8_t DIK_VOLUMEUP = 0xB0;
constexpr std::uint8_t DIK_WEBHOME = 0xB2;
constexpr std::uint8_t DIK_NUMPADCOMMA = 0xB3;
constexpr std::uint8_t DIK_DIVIDE = 0xB5;
constexpr std::uint8_t DIK_SYSRQ = 0xB7;
constexpr std::uint8_t DIK_RMENU = 0xB8;
constexpr std::uint8_t DIK_PAUSE = 0xC5;
constexpr std::uint8_t DIK_HOME = 0xC7;
constexpr std::uint8_t DIK_UP = 0xC8;
constexpr std::uint8_t DIK_PRIOR = 0xC9;
constexpr std::uint8_t DIK_LEFT = 0xCB;
constexpr std::uint8_t DIK_RIGHT = 0xCD;
constexpr std::uint8_t DIK_END = 0xCF;
constexpr std::uint8_t DIK_DOWN = 0xD0;
constexpr std::uint8_t DIK_NEXT = 0xD1;
constexpr std::uint8_t DIK_INSERT = 0xD2;
constexpr std::uint8_t DIK_DELETE = 0xD3;
constexpr std::uint8_t DIK_LWIN = 0xDB;
constexpr std::uint8_t DIK_RWIN = 0xDC;
constexpr std::uint8_t DIK_APPS = 0xDD;
constexpr std::uint8_t DIK_POWER = 0xDE;
constexpr std::uint8_t DIK_SLEEP = 0xDF;
constexpr std::uint8_t DIK_WAKE = 0xE3;
constexpr std::uint8_t DIK_WEBSEARCH = 0xE5;
constexpr std::uint8_t DIK_WEBFAVORITES = 0xE6;
constexpr std::uint8_t DIK_WEBREFRESH = 0xE7;
constexpr std::uint8_t DIK_WEBSTOP = 0xE8;
constexpr std::uint8_t DIK_WEBFORWARD = 0xE9;
constexpr std::uint8_t DIK_WEBBACK = 0xEA;
constexpr std::uint8_t DIK_MYCOMPUTER = 0xEB;
constexpr std::uint8_t DIK_MAIL = 0xEC;
constexpr std::uint8_t DIK_MEDIASELECT = 0xED;
