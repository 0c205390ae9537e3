// dinput.h -- the stand-in's DirectInput 8: the DirectInput object and the keyboard, mouse and game
// controller devices with their predefined data formats, read in immediate mode.
// Only what the library calls is declared; names, parameters, layouts and values are the real ones.
#pragma once
#include <windows.h>

#include <cstddef>

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif

// ---- results ----
#define DI_OK S_OK
#define DI_NOEFFECT S_FALSE
#define DI_PROPNOEFFECT S_FALSE
#define DI_POLLEDDEVICE ((HRESULT)0x00000002L)

// Win32 errors wrapped as results (facility 7): ERROR_FILE_NOT_FOUND 2, ERROR_INVALID_ACCESS 12,
// ERROR_NOT_READY 21, ERROR_READ_FAULT 30, ERROR_BAD_DRIVER_LEVEL 119, ERROR_BUSY 170,
// ERROR_OLD_WIN_VERSION 1150, ERROR_RMODE_APP 1153, ERROR_ALREADY_INITIALIZED 1247.
#define DIERR_OLDDIRECTINPUTVERSION MAKE_HRESULT(1, 7, 1150)
#define DIERR_BETADIRECTINPUTVERSION MAKE_HRESULT(1, 7, 1153)
#define DIERR_BADDRIVERVER MAKE_HRESULT(1, 7, 119)
#define DIERR_DEVICENOTREG REGDB_E_CLASSNOTREG
#define DIERR_NOTFOUND MAKE_HRESULT(1, 7, 2)
#define DIERR_OBJECTNOTFOUND MAKE_HRESULT(1, 7, 2)
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOINTERFACE E_NOINTERFACE
#define DIERR_GENERIC E_FAIL
#define DIERR_OUTOFMEMORY E_OUTOFMEMORY
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_NOTINITIALIZED MAKE_HRESULT(1, 7, 21)
#define DIERR_ALREADYINITIALIZED MAKE_HRESULT(1, 7, 1247)
#define DIERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DIERR_OTHERAPPHASPRIO E_ACCESSDENIED
#define DIERR_INPUTLOST MAKE_HRESULT(1, 7, 30)
#define DIERR_ACQUIRED MAKE_HRESULT(1, 7, 170)
#define DIERR_NOTACQUIRED MAKE_HRESULT(1, 7, 12)
#define DIERR_UNPLUGGED ((HRESULT)0x80040209L)

// ---- enumeration ----
#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

#define DIEDFL_ALLDEVICES 0x00000000
#define DIEDFL_ATTACHEDONLY 0x00000001
#define DIEDFL_FORCEFEEDBACK 0x00000100
#define DIEDFL_INCLUDEALIASES 0x00010000
#define DIEDFL_INCLUDEPHANTOMS 0x00020000
#define DIEDFL_INCLUDEHIDDEN 0x00040000

#define DI8DEVCLASS_ALL 0
#define DI8DEVCLASS_DEVICE 1
#define DI8DEVCLASS_POINTER 2
#define DI8DEVCLASS_KEYBOARD 3
#define DI8DEVCLASS_GAMECTRL 4

#define DIDEVTYPE_HID 0x00010000
#define DI8DEVTYPE_DEVICE 0x11
#define DI8DEVTYPE_MOUSE 0x12
#define DI8DEVTYPE_KEYBOARD 0x13
#define DI8DEVTYPE_JOYSTICK 0x14
#define DI8DEVTYPE_GAMEPAD 0x15
#define DI8DEVTYPE_SUPPLEMENTAL 0x1C
#define DI8DEVTYPEMOUSE_TRADITIONAL 2
#define DI8DEVTYPEKEYBOARD_PCENH 4
#define DI8DEVTYPEJOYSTICK_STANDARD 2
#define DI8DEVTYPEGAMEPAD_STANDARD 2

// ---- cooperative levels ----
#define DISCL_EXCLUSIVE 0x00000001
#define DISCL_NONEXCLUSIVE 0x00000002
#define DISCL_FOREGROUND 0x00000004
#define DISCL_BACKGROUND 0x00000008
#define DISCL_NOWINKEY 0x00000010

// ---- data formats ----
#define DIDFT_ALL 0x00000000
#define DIDFT_RELAXIS 0x00000001
#define DIDFT_ABSAXIS 0x00000002
#define DIDFT_AXIS 0x00000003
#define DIDFT_PSHBUTTON 0x00000004
#define DIDFT_TGLBUTTON 0x00000008
#define DIDFT_BUTTON 0x0000000C
#define DIDFT_POV 0x00000010
#define DIDFT_ANYINSTANCE 0x00FFFF00
#define DIDFT_MAKEINSTANCE(n) ((WORD)(n) << 8)
#define DIDFT_OPTIONAL 0x80000000

#define DIDF_ABSAXIS 0x00000001
#define DIDF_RELAXIS 0x00000002

#define DIDOI_ASPECTPOSITION 0x00000100

typedef struct _DIOBJECTDATAFORMAT {
    const GUID* pguid;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
} DIOBJECTDATAFORMAT, *LPDIOBJECTDATAFORMAT;
typedef const DIOBJECTDATAFORMAT* LPCDIOBJECTDATAFORMAT;

typedef struct _DIDATAFORMAT {
    DWORD dwSize;     // sizeof(DIDATAFORMAT)
    DWORD dwObjSize;  // sizeof(DIOBJECTDATAFORMAT)
    DWORD dwFlags;    // DIDF_ABSAXIS or DIDF_RELAXIS
    DWORD dwDataSize;
    DWORD dwNumObjs;
    LPDIOBJECTDATAFORMAT rgodf;
} DIDATAFORMAT, *LPDIDATAFORMAT;
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

// The predefined formats: 256 key bytes; DIMOUSESTATE (16 bytes); DIJOYSTATE (80 bytes).
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIJoystick;

typedef struct DIMOUSESTATE {
    LONG lX;  // motion since the previous read
    LONG lY;
    LONG lZ;  // the wheel, 120 per notch, positive away from the user
    BYTE rgbButtons[4];
} DIMOUSESTATE, *LPDIMOUSESTATE;

typedef struct DIJOYSTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];  // hundredths of a degree clockwise from forward; 0xFFFFFFFF centred
    BYTE rgbButtons[32];
} DIJOYSTATE, *LPDIJOYSTATE;

#define DIMOFS_X ((LONG)offsetof(DIMOUSESTATE, lX))
#define DIMOFS_Y ((LONG)offsetof(DIMOUSESTATE, lY))
#define DIMOFS_Z ((LONG)offsetof(DIMOUSESTATE, lZ))
#define DIMOFS_BUTTON0 ((LONG)offsetof(DIMOUSESTATE, rgbButtons) + 0)
#define DIMOFS_BUTTON1 ((LONG)offsetof(DIMOUSESTATE, rgbButtons) + 1)
#define DIMOFS_BUTTON2 ((LONG)offsetof(DIMOUSESTATE, rgbButtons) + 2)
#define DIMOFS_BUTTON3 ((LONG)offsetof(DIMOUSESTATE, rgbButtons) + 3)

#define DIJOFS_X ((LONG)offsetof(DIJOYSTATE, lX))
#define DIJOFS_Y ((LONG)offsetof(DIJOYSTATE, lY))
#define DIJOFS_Z ((LONG)offsetof(DIJOYSTATE, lZ))
#define DIJOFS_RX ((LONG)offsetof(DIJOYSTATE, lRx))
#define DIJOFS_RY ((LONG)offsetof(DIJOYSTATE, lRy))
#define DIJOFS_RZ ((LONG)offsetof(DIJOYSTATE, lRz))
#define DIJOFS_SLIDER(n) ((LONG)offsetof(DIJOYSTATE, rglSlider) + (n) * (LONG)sizeof(LONG))
#define DIJOFS_POV(n) ((LONG)offsetof(DIJOYSTATE, rgdwPOV) + (n) * (LONG)sizeof(DWORD))
#define DIJOFS_BUTTON(n) ((LONG)offsetof(DIJOYSTATE, rgbButtons) + (n))

// ---- properties ----
typedef struct DIPROPHEADER {
    DWORD dwSize;        // size of the whole property record
    DWORD dwHeaderSize;  // sizeof(DIPROPHEADER)
    DWORD dwObj;         // 0 for the device, else an offset into the data format (DIPH_BYOFFSET)
    DWORD dwHow;
} DIPROPHEADER, *LPDIPROPHEADER;
typedef const DIPROPHEADER* LPCDIPROPHEADER;

#define DIPH_DEVICE 0
#define DIPH_BYOFFSET 1
#define DIPH_BYID 2

typedef struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
} DIPROPDWORD, *LPDIPROPDWORD;
typedef const DIPROPDWORD* LPCDIPROPDWORD;

typedef struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
} DIPROPRANGE, *LPDIPROPRANGE;
typedef const DIPROPRANGE* LPCDIPROPRANGE;

// The SDK names a property by a small number cast to a GUID reference that is never read. Binding a
// reference to such an address is undefined in C++ (and the sanitizers stop on it), so here each
// number names a real GUID of this table instead; callers use the same DIPROP_ names either way.
extern const GUID dinput_property_guids[32];
#define MAKEDIPROP(prop) (dinput_property_guids[prop])
#define DIPROP_RANGE MAKEDIPROP(4)
#define DIPROP_DEADZONE MAKEDIPROP(5)

// ---- key codes: DIK_ values, one per physical key (PC scan codes, extended keys with bit 7) ----
#define DIK_ESCAPE 0x01
#define DIK_1 0x02
#define DIK_2 0x03
#define DIK_3 0x04
#define DIK_4 0x05
#define DIK_5 0x06
#define DIK_6 0x07
#define DIK_7 0x08
#define DIK_8 0x09
#define DIK_9 0x0A
#define DIK_0 0x0B
#define DIK_MINUS 0x0C
#define DIK_EQUALS 0x0D
#define DIK_BACK 0x0E
#define DIK_TAB 0x0F
#define DIK_Q 0x10
#define DIK_W 0x11
#define DIK_E 0x12
#define DIK_R 0x13
#define DIK_T 0x14
#define DIK_Y 0x15
#define DIK_U 0x16
#define DIK_I 0x17
#define DIK_O 0x18
#define DIK_P 0x19
#define DIK_LBRACKET 0x1A
#define DIK_RBRACKET 0x1B
#define DIK_RETURN 0x1C
#define DIK_LCONTROL 0x1D
#define DIK_A 0x1E
#define DIK_S 0x1F
#define DIK_D 0x20
#define DIK_F 0x21
#define DIK_G 0x22
#define DIK_H 0x23
#define DIK_J 0x24
#define DIK_K 0x25
#define DIK_L 0x26
#define DIK_SEMICOLON 0x27
#define DIK_APOSTROPHE 0x28
#define DIK_GRAVE 0x29
#define DIK_LSHIFT 0x2A
#define DIK_BACKSLASH 0x2B
#define DIK_Z 0x2C
#define DIK_X 0x2D
#define DIK_C 0x2E
#define DIK_V 0x2F
#define DIK_B 0x30
#define DIK_N 0x31
#define DIK_M 0x32
#define DIK_COMMA 0x33
#define DIK_PERIOD 0x34
#define DIK_SLASH 0x35
#define DIK_RSHIFT 0x36
#define DIK_MULTIPLY 0x37  // * on the numeric keypad
#define DIK_LMENU 0x38     // left Alt
#define DIK_SPACE 0x39
#define DIK_CAPITAL 0x3A
#define DIK_F1 0x3B
#define DIK_F2 0x3C
#define DIK_F3 0x3D
#define DIK_F4 0x3E
#define DIK_F5 0x3F
#define DIK_F6 0x40
#define DIK_F7 0x41
#define DIK_F8 0x42
#define DIK_F9 0x43
#define DIK_F10 0x44
#define DIK_NUMLOCK 0x45
#define DIK_SCROLL 0x46
#define DIK_NUMPAD7 0x47
#define DIK_NUMPAD8 0x48
#define DIK_NUMPAD9 0x49
#define DIK_SUBTRACT 0x4A  // - on the numeric keypad
#define DIK_NUMPAD4 0x4B
#define DIK_NUMPAD5 0x4C
#define DIK_NUMPAD6 0x4D
#define DIK_ADD 0x4E  // + on the numeric keypad
#define DIK_NUMPAD1 0x4F
#define DIK_NUMPAD2 0x50
#define DIK_NUMPAD3 0x51
#define DIK_NUMPAD0 0x52
#define DIK_DECIMAL 0x53  // . on the numeric keypad
#define DIK_OEM_102 0x56  // < > | beside left Shift on ISO keyboards
#define DIK_F11 0x57
#define DIK_F12 0x58
#define DIK_F13 0x64
#define DIK_F14 0x65
#define DIK_F15 0x66
#define DIK_KANA 0x70
#define DIK_ABNT_C1 0x73  // / ? on Brazilian keyboards, the Ro key on Japanese ones
#define DIK_CONVERT 0x79
#define DIK_NOCONVERT 0x7B
#define DIK_YEN 0x7D
#define DIK_ABNT_C2 0x7E  // . on the Brazilian numeric keypad
#define DIK_NUMPADEQUALS 0x8D
#define DIK_PREVTRACK 0x90  // not in every copy of the SDK header, so the library never names it
#define DIK_CIRCUMFLEX 0x90
#define DIK_AT 0x91
#define DIK_COLON 0x92
#define DIK_UNDERLINE 0x93
#define DIK_KANJI 0x94
#define DIK_STOP 0x95
#define DIK_AX 0x96
#define DIK_UNLABELED 0x97
#define DIK_NEXTTRACK 0x99
#define DIK_NUMPADENTER 0x9C
#define DIK_RCONTROL 0x9D
#define DIK_MUTE 0xA0
#define DIK_CALCULATOR 0xA1
#define DIK_PLAYPAUSE 0xA2
#define DIK_MEDIASTOP 0xA4
#define DIK_VOLUMEDOWN 0xAE
#define DIK_VOLUMEUP 0xB0
#define DIK_WEBHOME 0xB2
#define DIK_NUMPADCOMMA 0xB3
#define DIK_DIVIDE 0xB5  // / on the numeric keypad
#define DIK_SYSRQ 0xB7
#define DIK_RMENU 0xB8  // right Alt
#define DIK_PAUSE 0xC5
#define DIK_HOME 0xC7
#define DIK_UP 0xC8
#define DIK_PRIOR 0xC9  // Page Up
#define DIK_LEFT 0xCB
#define DIK_RIGHT 0xCD
#define DIK_END 0xCF
#define DIK_DOWN 0xD0
#define DIK_NEXT 0xD1  // Page Down
#define DIK_INSERT 0xD2
#define DIK_DELETE 0xD3
#define DIK_LWIN 0xDB
#define DIK_RWIN 0xDC
#define DIK_APPS 0xDD
#define DIK_POWER 0xDE
#define DIK_SLEEP 0xDF
#define DIK_WAKE 0xE3
#define DIK_WEBSEARCH 0xE5
#define DIK_WEBFAVORITES 0xE6
#define DIK_WEBREFRESH 0xE7
#define DIK_WEBSTOP 0xE8
#define DIK_WEBFORWARD 0xE9
#define DIK_WEBBACK 0xEA
#define DIK_MYCOMPUTER 0xEB
#define DIK_MAIL 0xEC
#define DIK_MEDIASELECT 0xED

// ---- devices as enumeration describes them ----
typedef struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance;  // names this device to CreateDevice
    GUID guidProduct;
    DWORD dwDevType;  // DI8DEVTYPE_ in the low byte, the subtype in the next
    CHAR tszInstanceName[MAX_PATH];
    CHAR tszProductName[MAX_PATH];
    GUID guidFFDriver;
    WORD wUsagePage;
    WORD wUsage;
} DIDEVICEINSTANCEA, *LPDIDEVICEINSTANCEA;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCEA;

typedef BOOL(CALLBACK* LPDIENUMDEVICESCALLBACKA)(LPCDIDEVICEINSTANCEA instance, LPVOID reference);

// ---- identities ----
extern const IID IID_IDirectInput8A;
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;
extern const GUID GUID_XAxis;
extern const GUID GUID_YAxis;
extern const GUID GUID_ZAxis;
extern const GUID GUID_RxAxis;
extern const GUID GUID_RyAxis;
extern const GUID GUID_RzAxis;
extern const GUID GUID_Slider;
extern const GUID GUID_POV;
extern const GUID GUID_Key;

// ---- interfaces ----
struct IDirectInputDevice8A : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetProperty(REFGUID property, LPDIPROPHEADER header) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
    virtual HRESULT STDMETHODCALLTYPE Acquire() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unacquire() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Poll() = 0;

protected:
    ~IDirectInputDevice8A() = default;
};
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8A;

struct IDirectInput8A : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device,
                                                   LPUNKNOWN outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumDevices(DWORD device_type, LPDIENUMDEVICESCALLBACKA callback,
                                                  LPVOID reference, DWORD flags) = 0;

protected:
    ~IDirectInput8A() = default;
};
typedef IDirectInput8A* LPDIRECTINPUT8A;

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* object, LPUNKNOWN outer);
