// input.cpp -- keyboard, mouse and joystick through DirectInput 8 in immediate mode: each read copies
// a device's whole state into its global, and a failed read leaves the global as it was. The inits
// say why they failed through input_reason().
#include <cstdarg>
#include <cstdint>
#include <cstdio>
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

static char reason[160] = "";  // input_reason()'s text

// ---- helpers ----

// Keeps the reason, printf-style, and returns 0.
static int fail(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
static int fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    return 0;
}

static int succeed()
{
    reason[0] = '\0';
    return 1;
}

static unsigned long error_code(HRESULT hr) { return static_cast<uint32_t>(hr); }

// A device's step refused, and why.
static int step_failed(const char* device, const char* step, HRESULT hr)
{
    return fail("the %s cannot be %s (error 0x%08lX)", device, step, error_code(hr));
}

// Creates the device and brings it up to the acquired state, stopping at the first refusal.
static int device_init(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPCDIDATAFORMAT format, const char* name)
{
    if (!dinput)
        return fail("there is no DirectInput object: input_init comes first");
    HRESULT hr;
    if ((hr = dinput->CreateDevice(guid, device, nullptr)) != DI_OK)
        return step_failed(name, "made", hr);
    if ((hr = (*device)->SetCooperativeLevel(main_window, COOPERATIVE_LEVEL)) != DI_OK)
        return step_failed(name, "bound to the window", hr);
    if ((hr = (*device)->SetDataFormat(format)) != DI_OK)
        return step_failed(name, "given its data format", hr);
    if ((hr = (*device)->Acquire()) != DI_OK)
        return step_failed(name, "acquired", hr);
    return succeed();
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
    if (hr >= 0)
        return succeed();
    return main_instance ? fail("DirectInput cannot start (error 0x%08lX)", error_code(hr))
                         : fail("DirectInput cannot start: main_instance is null");
}

void input_shutdown()
{
    if (dinput) {
        dinput->Release();
        dinput = nullptr;
    }
}

// ---- keyboard ----

int keyboard_init() { return device_init(GUID_SysKeyboard, &keyboard_device, &c_dfDIKeyboard, "keyboard"); }
int keyboard_read() { return device_read(keyboard_device, keyboard_state, sizeof keyboard_state); }
void keyboard_release() { device_release(&keyboard_device); }

// ---- mouse ----

int mouse_init() { return device_init(GUID_SysMouse, &mouse_device, &c_dfDIMouse, "mouse"); }
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
        return fail("there is no DirectInput object: input_init comes first");
    dinput->EnumDevices(DI8DEVCLASS_GAMECTRL, joystick_enum_callback, &joystick_guid, DIEDFL_ATTACHEDONLY);
    HRESULT hr;
    if ((hr = dinput->CreateDevice(joystick_guid, &joystick_device, nullptr)) != DI_OK)
        return joystick_guid == GUID{} ? fail("no game controller is attached")
                                       : step_failed("game controller", "made", hr);
    if ((hr = joystick_device->SetCooperativeLevel(main_window, COOPERATIVE_LEVEL)) != DI_OK)
        return step_failed("game controller", "bound to the window", hr);
    if ((hr = joystick_device->SetDataFormat(&c_dfDIJoystick)) != DI_OK)
        return step_failed("game controller", "given its data format", hr);
    set_axis_range(DIJOFS_X, min_x, max_x);
    set_axis_range(DIJOFS_Y, min_y, max_y);
    // Clamped first, so a wild percentage cannot overflow into a small, plausible dead zone.
    const int percent = dead_zone < 0 ? 0 : dead_zone > DEAD_ZONE_MAX_PERCENT ? DEAD_ZONE_MAX_PERCENT : dead_zone;
    const DWORD hundredths = static_cast<DWORD>(percent) * DEAD_ZONE_UNITS_PER_PERCENT;
    set_axis_dead_zone(DIJOFS_X, hundredths);
    set_axis_dead_zone(DIJOFS_Y, hundredths);
    if ((hr = joystick_device->Acquire()) != DI_OK)
        return step_failed("game controller", "acquired", hr);
    joystick_found = 1;
    return succeed();
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

// ---- failure reasons ----

const char* input_reason() { return reason; }
