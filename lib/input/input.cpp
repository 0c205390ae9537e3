// input.cpp -- keyboard, mouse and joystick through DirectInput 8 in immediate mode: each read copies
// a device's whole state into its global, and a failed read leaves the global as it was.
#include <cstring>

#include "input.h"
#include "services.h"

// ---- constants ----
static constexpr DWORD COOPERATIVE_LEVEL = DISCL_BACKGROUND | DISCL_NONEXCLUSIVE;
static constexpr int DEAD_ZONE_MAX_PERCENT = 100;
static constexpr DWORD DEAD_ZONE_UNITS_PER_PERCENT = 100;  // DirectInput counts hundredths of a percent

// The layouts and values this layer relies on, checked against whichever SDK header is in use.
static_assert(COOPERATIVE_LEVEL == 10);
static_assert(sizeof(DIMOUSESTATE) == 16 && sizeof(DIJOYSTATE) == 80);
static_assert(sizeof(DIPROPHEADER) == 16 && sizeof(DIPROPDWORD) == 20 && sizeof(DIPROPRANGE) == 24);
static_assert(DIJOFS_X == 0 && DIJOFS_Y == 4 && DIPH_BYOFFSET == 1);
static_assert(DI8DEVCLASS_GAMECTRL == 4 && DIEDFL_ATTACHEDONLY == 1 && DIENUM_STOP == 0);
static_assert(DIK_ESCAPE == 1 && DIK_LSHIFT == 42 && DIK_SPACE == 57 && DIK_F2 == 60);
static_assert(DIK_UP == 200 && DIK_LEFT == 203 && DIK_RIGHT == 205 && DIK_DOWN == 208);

// ---- globals ----
LPDIRECTINPUT8A dinput = nullptr;
LPDIRECTINPUTDEVICE8A keyboard_device = nullptr;
LPDIRECTINPUTDEVICE8A mouse_device = nullptr;
LPDIRECTINPUTDEVICE8A joystick_device = nullptr;
unsigned char keyboard_state[256];
DIMOUSESTATE mouse_state;
DIJOYSTATE joystick_state;
GUID joystick_guid;
char joystick_name[80];
int joystick_found = 0;

// ---- helpers ----

// Creates the device and brings it up to the acquired state, stopping at the first refusal.
static int device_init(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPCDIDATAFORMAT format)
{
    if (!dinput)
        return 0;
    if (dinput->CreateDevice(guid, device, nullptr) != DI_OK)
        return 0;
    if ((*device)->SetCooperativeLevel(main_window, COOPERATIVE_LEVEL) != DI_OK)
        return 0;
    if ((*device)->SetDataFormat(format) != DI_OK)
        return 0;
    return (*device)->Acquire() == DI_OK ? 1 : 0;
}

static int device_read(LPDIRECTINPUTDEVICE8A device, void* state, DWORD size)
{
    if (!device) {
        std::memset(state, 0, size);
        return 0;
    }
    return device->GetDeviceState(size, state) == DI_OK ? 1 : 0;
}

static void device_release(LPDIRECTINPUTDEVICE8A* device)
{
    if (*device) {
        (*device)->Unacquire();
        (*device)->Release();
        *device = nullptr;
    }
}

// The header of a property of `size` bytes set on the joystick axis at `offset` in its state.
static DIPROPHEADER axis_header(DWORD size, DWORD offset)
{
    return {size, sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET};
}

static void set_axis_range(DWORD offset, int min, int max)
{
    DIPROPRANGE range{axis_header(sizeof(DIPROPRANGE), offset), min, max};
    joystick_device->SetProperty(DIPROP_RANGE, &range.diph);
}

static void set_axis_dead_zone(DWORD offset, DWORD hundredths_of_percent)
{
    DIPROPDWORD dead_zone{axis_header(sizeof(DIPROPDWORD), offset), hundredths_of_percent};
    joystick_device->SetProperty(DIPROP_DEADZONE, &dead_zone.diph);
}

// ---- the DirectInput object ----

int input_init()
{
    const HRESULT hr = DirectInput8Create(main_instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                          reinterpret_cast<void**>(&dinput), nullptr);
    return hr >= 0 ? 1 : 0;
}

void input_shutdown()
{
    if (dinput) {
        dinput->Release();
        dinput = nullptr;
    }
}

// ---- keyboard ----

int keyboard_init() { return device_init(GUID_SysKeyboard, &keyboard_device, &c_dfDIKeyboard); }
int keyboard_read() { return device_read(keyboard_device, keyboard_state, sizeof keyboard_state); }
void keyboard_release() { device_release(&keyboard_device); }

// ---- mouse ----

int mouse_init() { return device_init(GUID_SysMouse, &mouse_device, &c_dfDIMouse); }
int mouse_read() { return device_read(mouse_device, &mouse_state, sizeof mouse_state); }
void mouse_release() { device_release(&mouse_device); }

// ---- joystick ----

BOOL CALLBACK joystick_enum_callback(LPCDIDEVICEINSTANCEA instance, LPVOID reference)
{
    if (!instance)
        return DIENUM_STOP;
    if (reference)
        *static_cast<GUID*>(reference) = instance->guidInstance;
    // The product name field need not be terminated: never look past it, nor past joystick_name.
    size_t length = 0;
    while (length < sizeof joystick_name - 1 && length < sizeof instance->tszProductName &&
           instance->tszProductName[length] != '\0')
        ++length;
    std::memcpy(joystick_name, instance->tszProductName, length);
    joystick_name[length] = '\0';
    return DIENUM_STOP;
}

int joystick_init(int min_x, int max_x, int min_y, int max_y, int dead_zone)
{
    if (!dinput)
        return 0;
    dinput->EnumDevices(DI8DEVCLASS_GAMECTRL, joystick_enum_callback, &joystick_guid, DIEDFL_ATTACHEDONLY);
    if (dinput->CreateDevice(joystick_guid, &joystick_device, nullptr) != DI_OK)
        return 0;
    if (joystick_device->SetCooperativeLevel(main_window, COOPERATIVE_LEVEL) != DI_OK)
        return 0;
    if (joystick_device->SetDataFormat(&c_dfDIJoystick) != DI_OK)
        return 0;
    set_axis_range(DIJOFS_X, min_x, max_x);
    set_axis_range(DIJOFS_Y, min_y, max_y);
    // Clamped first, so a wild percentage cannot overflow into a small, plausible dead zone.
    const int percent = dead_zone < 0 ? 0 : dead_zone > DEAD_ZONE_MAX_PERCENT ? DEAD_ZONE_MAX_PERCENT : dead_zone;
    const DWORD hundredths = static_cast<DWORD>(percent) * DEAD_ZONE_UNITS_PER_PERCENT;
    set_axis_dead_zone(DIJOFS_X, hundredths);
    set_axis_dead_zone(DIJOFS_Y, hundredths);
    if (joystick_device->Acquire() != DI_OK)
        return 0;
    joystick_found = 1;
    return 1;
}

int joystick_read()
{
    if (!joystick_found)
        return 0;
    if (!joystick_device) {
        std::memset(&joystick_state, 0, sizeof joystick_state);
        return 0;
    }
    if (joystick_device->Poll() != DI_OK)
        return 0;
    return joystick_device->GetDeviceState(sizeof joystick_state, &joystick_state) == DI_OK ? 1 : 0;
}

void joystick_release() { device_release(&joystick_device); }
