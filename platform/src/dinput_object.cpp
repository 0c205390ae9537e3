// dinput_object.cpp -- the DirectInput object: version check, device creation by instance GUID,
// and enumeration of the keyboard, the mouse and the attached game controllers.
#include <cstring>
#include <new>

#include "dinput_internal.h"
#include "internal.h"

// ---- constants ----
static constexpr DWORD DIRECTINPUT_8 = 0x0800;
static constexpr DWORD KNOWN_ENUM_FLAGS = DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK | DIEDFL_INCLUDEALIASES |
                                          DIEDFL_INCLUDEPHANTOMS | DIEDFL_INCLUDEHIDDEN;
static constexpr WORD USAGE_PAGE_GENERIC_DESKTOP = 0x01;
static constexpr WORD USAGE_JOYSTICK = 0x04;
static constexpr WORD USAGE_GAMEPAD = 0x05;
static constexpr int MAX_ENUMERATED = 2 + HOST_CONTROLLERS;  // keyboard, mouse, controllers

// ---- helpers ----

static void copy_name(CHAR (&to)[MAX_PATH], const char* from)
{
    const size_t length = strnlen(from, MAX_PATH - 1);
    std::memcpy(to, from, length);
    to[length] = '\0';
}

static DIDEVICEINSTANCEA describe_system_device(const GUID& instance, DWORD type, const char* name)
{
    DIDEVICEINSTANCEA d{};
    d.dwSize = sizeof d;
    d.guidInstance = instance;
    d.guidProduct = instance;  // the system devices' product GUIDs are their instance GUIDs
    d.dwDevType = type;
    copy_name(d.tszInstanceName, name);
    copy_name(d.tszProductName, name);
    return d;
}

static DIDEVICEINSTANCEA describe_controller(const ControllerInfo& c)
{
    DIDEVICEINSTANCEA d{};
    d.dwSize = sizeof d;
    d.guidInstance = c.instance;
    d.guidProduct = GUID{0, 0, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}};  // no vendor or product id known
    d.dwDevType = DIDEVTYPE_HID | (c.gamepad ? DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8)
                                             : DI8DEVTYPE_JOYSTICK | (DI8DEVTYPEJOYSTICK_STANDARD << 8));
    copy_name(d.tszInstanceName, c.name);
    copy_name(d.tszProductName, c.name);
    d.wUsagePage = USAGE_PAGE_GENERIC_DESKTOP;
    d.wUsage = c.gamepad ? USAGE_GAMEPAD : USAGE_JOYSTICK;
    return d;
}

// What EnumDevices may be asked for: a DI8DEVCLASS_ or one DI8DEVTYPE_.
static bool request_valid(DWORD request)
{
    return request <= DI8DEVCLASS_GAMECTRL || (request >= DI8DEVTYPE_DEVICE && request <= DI8DEVTYPE_SUPPLEMENTAL);
}

// Whether a device of `type` (its DI8DEVTYPE_ in the low byte) belongs to the request.
static bool wanted(DWORD request, DWORD type)
{
    const DWORD kind = type & 0xFF;
    switch (request) {
    case DI8DEVCLASS_ALL:
        return true;
    case DI8DEVCLASS_DEVICE:
        return kind == DI8DEVTYPE_DEVICE;
    case DI8DEVCLASS_POINTER:
        return kind == DI8DEVTYPE_MOUSE;
    case DI8DEVCLASS_KEYBOARD:
        return kind == DI8DEVTYPE_KEYBOARD;
    case DI8DEVCLASS_GAMECTRL:
        return kind == DI8DEVTYPE_JOYSTICK || kind == DI8DEVTYPE_GAMEPAD;  // the only controllers made here
    default:
        return kind == request;
    }
}

// ---- creation ----

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* object, LPUNKNOWN outer)
{
    if (!object)
        return DIERR_INVALIDPARAM;
    *object = nullptr;
    if (const HRESULT hr = fault_check("DirectInput8Create"); hr != DI_OK)
        return hr;
    if (outer)
        return DIERR_NOAGGREGATION;
    if (iid != IID_IDirectInput8A)
        return DIERR_NOINTERFACE;
    if (!instance)
        return DIERR_INVALIDPARAM;
    if (version > DIRECTINPUT_8)
        return DIERR_OLDDIRECTINPUTVERSION;  // the caller needs a newer DirectInput than this one
    if (version < DIRECTINPUT_8)
        return DIERR_BETADIRECTINPUTVERSION;
    auto* di = new (std::nothrow) DirectInput;
    if (!di)
        return DIERR_OUTOFMEMORY;
    *object = static_cast<IDirectInput8A*>(di);
    return DI_OK;
}

HRESULT DirectInput::CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer)
{
    if (!device)
        return DIERR_INVALIDPARAM;
    *device = nullptr;
    if (const HRESULT hr = fault_check("IDirectInput8A::CreateDevice"); hr != DI_OK)
        return hr;
    if (outer)
        return DIERR_NOAGGREGATION;
    DeviceKind kind;
    if (instance == GUID_SysKeyboard)
        kind = DeviceKind::keyboard;
    else if (instance == GUID_SysMouse)
        kind = DeviceKind::mouse;
    else if (controller_is_attached(instance))
        kind = DeviceKind::joystick;
    else
        return DIERR_DEVICENOTREG;  // GUID_NULL, a controller since unplugged, or no device at all
    auto* made = new (std::nothrow) InputDevice(this, kind, instance);
    if (!made)
        return DIERR_OUTOFMEMORY;
    *device = made;
    return DI_OK;
}

// ---- enumeration ----

// The callback sees a snapshot: controllers plugged or unplugged meanwhile do not disturb the walk.
HRESULT DirectInput::EnumDevices(DWORD device_type, LPDIENUMDEVICESCALLBACKA callback, LPVOID reference, DWORD flags)
{
    if (const HRESULT hr = fault_check("IDirectInput8A::EnumDevices"); hr != DI_OK)
        return hr;
    if (!callback || (flags & ~KNOWN_ENUM_FLAGS) || !request_valid(device_type))
        return DIERR_INVALIDPARAM;
    DIDEVICEINSTANCEA found[MAX_ENUMERATED];
    int count = 0;
    found[count++] = describe_system_device(GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD | (DI8DEVTYPEKEYBOARD_PCENH << 8),
                                            "Keyboard");
    found[count++] =
        describe_system_device(GUID_SysMouse, DI8DEVTYPE_MOUSE | (DI8DEVTYPEMOUSE_TRADITIONAL << 8), "Mouse");
    ControllerInfo controllers[HOST_CONTROLLERS];
    const int attached = controllers_attached(controllers, HOST_CONTROLLERS);
    for (int i = 0; i < attached; ++i)
        found[count++] = describe_controller(controllers[i]);

    DIDEVICEINSTANCEA listed[MAX_ENUMERATED];
    int listed_count = 0;
    for (int i = 0; i < count; ++i)
        // No device here gives force feedback, so a request for such devices lists none.
        if (wanted(device_type, found[i].dwDevType) && !(flags & DIEDFL_FORCEFEEDBACK))
            listed[listed_count++] = found[i];
    for (int i = 0; i < listed_count; ++i)
        if (callback(&listed[i], reference) == DIENUM_STOP)
            break;
    return DI_OK;
}
