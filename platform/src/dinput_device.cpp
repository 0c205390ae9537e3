// dinput_device.cpp -- one DirectInput device: the keyboard, the mouse or a game controller, read
// whole in immediate mode. A failing call changes nothing and writes nothing into the caller's state.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "dinput_internal.h"
#include "host.h"
#include "internal.h"

// ---- constants ----
static constexpr BYTE DOWN = 0x80;
static constexpr DWORD DEAD_ZONE_WHOLE = 10000;  // hundredths of a percent
static constexpr int PROPERTY_RANGE = 4;          // the numbers of MAKEDIPROP
static constexpr int PROPERTY_DEAD_ZONE = 5;
static constexpr DWORD KNOWN_LEVEL_FLAGS =
    DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY;

// ---- helpers ----

static LONG clamp_to_long(int64_t value)
{
    return static_cast<LONG>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A raw position (HOST_AXIS_MIN … HOST_AXIS_MAX) as DirectInput reports it: inside the dead zone
// the centre of the range, beyond it the rest of the travel stretched over the whole half-range.
static LONG scale_axis(int raw, const AxisSettings& axis)
{
    double p = raw > 0 ? raw / static_cast<double>(HOST_AXIS_MAX) : raw / -static_cast<double>(HOST_AXIS_MIN);
    const double dead = axis.dead_zone / static_cast<double>(DEAD_ZONE_WHOLE);
    const double magnitude = std::fabs(p);
    p = magnitude <= dead ? 0.0 : std::copysign((magnitude - dead) / (1.0 - dead), p);
    const int64_t min = axis.min, max = axis.max;
    const int64_t centre = min + (max - min) / 2;
    const int64_t half = p >= 0 ? max - centre : centre - min;
    return clamp_to_long(std::clamp<int64_t>(centre + std::llround(p * static_cast<double>(half)), min, max));
}

static bool one_of_each_pair(DWORD flags)
{
    const bool exclusive = flags & DISCL_EXCLUSIVE, nonexclusive = flags & DISCL_NONEXCLUSIVE;
    const bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
    return exclusive != nonexclusive && foreground != background && !(flags & ~KNOWN_LEVEL_FLAGS);
}

// ---- life ----

InputDevice::InputDevice(DirectInput* owner, DeviceKind kind, const GUID& instance)
    : owner(owner), kind(kind), instance(instance)
{
    owner->AddRef();
}

InputDevice::~InputDevice() { owner->Release(); }

// ---- set-up ----

HRESULT InputDevice::SetCooperativeLevel(HWND window, DWORD flags)
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::SetCooperativeLevel"); hr != DI_OK)
        return hr;
    if (!one_of_each_pair(flags))
        return DIERR_INVALIDPARAM;
    // Only a non-exclusive background device may go without a window.
    const bool windowless_allowed = flags == (DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    if (!(windowless_allowed && !window) && !IsWindow(window))
        return E_HANDLE;
    // The system keeps the keyboard and mouse from being held exclusively by a window in the background.
    if (kind != DeviceKind::joystick && (flags & DISCL_EXCLUSIVE) && (flags & DISCL_BACKGROUND))
        return DIERR_UNSUPPORTED;
    if (acquired)
        return DIERR_ACQUIRED;
    cooperative_flags = flags;
    return DI_OK;
}

HRESULT InputDevice::SetDataFormat(LPCDIDATAFORMAT data_format)
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::SetDataFormat"); hr != DI_OK)
        return hr;
    if (!data_format)
        return DIERR_INVALIDPARAM;
    if (acquired)
        return DIERR_ACQUIRED;
    // The stand-in knows the predefined format of each kind of device, and no other.
    const DIDATAFORMAT& predefined = format_for(kind);
    if (!format_matches(*data_format, predefined))
        return DIERR_INVALIDPARAM;
    format = &predefined;
    return DI_OK;
}

// The axes a property header names: the whole device, or the one axis at an offset of the format.
HRESULT InputDevice::axes_named_by(const DIPROPHEADER& header, int* first, int* last) const
{
    if (header.dwHow == DIPH_DEVICE) {
        if (header.dwObj != 0)
            return DIERR_INVALIDPARAM;
        *first = 0;
        *last = HOST_AXES - 1;
        return DI_OK;
    }
    if (header.dwHow == DIPH_BYID)
        return DIERR_UNSUPPORTED;  // no object ids are handed out here
    if (header.dwHow != DIPH_BYOFFSET)
        return DIERR_INVALIDPARAM;
    const DIOBJECTDATAFORMAT* object = format ? format_object_at(*format, header.dwObj) : nullptr;
    if (!object)
        return DIERR_OBJECTNOTFOUND;
    if (!(object->dwType & DIDFT_AXIS))
        return DIERR_UNSUPPORTED;
    *first = *last = static_cast<int>(object->dwOfs / sizeof(LONG));
    return DI_OK;
}

HRESULT InputDevice::SetProperty(REFGUID property, LPCDIPROPHEADER header)
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::SetProperty"); hr != DI_OK)
        return hr;
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER))
        return DIERR_INVALIDPARAM;
    const int number = property_number(property);
    if (number != PROPERTY_RANGE && number != PROPERTY_DEAD_ZONE)
        return DIERR_UNSUPPORTED;
    if (kind != DeviceKind::joystick)
        return DIERR_UNSUPPORTED;  // keyboard keys have no range; mouse axes are relative
    const DWORD size = number == PROPERTY_RANGE ? sizeof(DIPROPRANGE) : sizeof(DIPROPDWORD);
    if (header->dwSize != size)
        return DIERR_INVALIDPARAM;
    int first = 0, last = 0;
    if (const HRESULT hr = axes_named_by(*header, &first, &last); hr != DI_OK)
        return hr;
    if (number == PROPERTY_RANGE) {
        const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
        if (range->lMin > range->lMax)
            return DIERR_INVALIDPARAM;
        for (int axis = first; axis <= last; ++axis) {
            axes[axis].min = range->lMin;
            axes[axis].max = range->lMax;
        }
    } else {
        const auto* dead_zone = reinterpret_cast<const DIPROPDWORD*>(header);
        if (dead_zone->dwData > DEAD_ZONE_WHOLE)
            return DIERR_INVALIDPARAM;
        for (int axis = first; axis <= last; ++axis)
            axes[axis].dead_zone = dead_zone->dwData;
    }
    return DI_OK;
}

HRESULT InputDevice::GetProperty(REFGUID property, LPDIPROPHEADER header)
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::GetProperty"); hr != DI_OK)
        return hr;
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER))
        return DIERR_INVALIDPARAM;
    const int number = property_number(property);
    if ((number != PROPERTY_RANGE && number != PROPERTY_DEAD_ZONE) || kind != DeviceKind::joystick)
        return DIERR_UNSUPPORTED;
    const DWORD size = number == PROPERTY_RANGE ? sizeof(DIPROPRANGE) : sizeof(DIPROPDWORD);
    if (header->dwSize != size || header->dwHow == DIPH_DEVICE)  // each axis has its own value
        return DIERR_INVALIDPARAM;
    int first = 0, last = 0;
    if (const HRESULT hr = axes_named_by(*header, &first, &last); hr != DI_OK)
        return hr;
    if (number == PROPERTY_RANGE) {
        auto* range = reinterpret_cast<DIPROPRANGE*>(header);
        range->lMin = axes[first].min;
        range->lMax = axes[first].max;
    } else {
        reinterpret_cast<DIPROPDWORD*>(header)->dwData = axes[first].dead_zone;
    }
    return DI_OK;
}

// ---- acquisition ----

HRESULT InputDevice::Acquire()
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::Acquire"); hr != DI_OK)
        return hr;
    if (!format)
        return DIERR_INVALIDPARAM;
    if (acquired)
        return DI_NOEFFECT;
    if (kind == DeviceKind::joystick && !controller_is_attached(instance))
        return DIERR_UNPLUGGED;
    if ((cooperative_flags & DISCL_FOREGROUND) && !window_has_focus())
        return DIERR_OTHERAPPHASPRIO;
    acquired = true;
    mouse_seen = mouse_totals();  // motion before acquisition is not reported
    return DI_OK;
}

HRESULT InputDevice::Unacquire()
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::Unacquire"); hr != DI_OK)
        return hr;
    if (!acquired)
        return DI_NOEFFECT;
    acquired = false;
    return DI_OK;
}

// The system takes an acquired device away when its controller is unplugged or, in the
// foreground level, when the window loses the focus: the next call hears DIERR_INPUTLOST once.
HRESULT InputDevice::check_still_acquired()
{
    if (!acquired)
        return DIERR_NOTACQUIRED;
    const bool unplugged = kind == DeviceKind::joystick && !controller_is_attached(instance);
    const bool in_background = (cooperative_flags & DISCL_FOREGROUND) && !window_has_focus();
    if (unplugged || in_background) {
        acquired = false;
        return DIERR_INPUTLOST;
    }
    return DI_OK;
}

// ---- reading ----

HRESULT InputDevice::Poll()
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::Poll"); hr != DI_OK)
        return hr;
    if (const HRESULT hr = check_still_acquired(); hr != DI_OK)
        return hr;
    // Controllers are polled devices; the keyboard and the mouse report without being asked.
    return kind == DeviceKind::joystick ? DI_OK : DI_NOEFFECT;
}

HRESULT InputDevice::GetDeviceState(DWORD size, LPVOID data)
{
    if (const HRESULT hr = fault_check("IDirectInputDevice8A::GetDeviceState"); hr != DI_OK)
        return hr;
    if (!data)
        return DIERR_INVALIDPARAM;
    // Keys and mouse motion the machine has reported since the last message pump count in this
    // read: a key pressed while the frame was drawn moves the player in this frame, not the next.
    if (kind != DeviceKind::joystick)
        host().pump_events();
    if (const HRESULT hr = check_still_acquired(); hr != DI_OK)
        return hr;
    if (size != format->dwDataSize)
        return DIERR_INVALIDPARAM;
    switch (kind) {
    case DeviceKind::keyboard:
        read_keyboard(static_cast<BYTE*>(data));
        break;
    case DeviceKind::mouse:
        read_mouse(static_cast<DIMOUSESTATE*>(data));
        break;
    case DeviceKind::joystick:
        read_joystick(static_cast<DIJOYSTATE*>(data));
        break;
    }
    return DI_OK;
}

void InputDevice::read_keyboard(BYTE* out) const
{
    for (int key = 0; key < 256; ++key)
        out[key] = key_is_down(key) ? DOWN : 0;
}

// Differences of wrapping sums: the motion since the last read, whatever the totals are.
void InputDevice::read_mouse(DIMOUSESTATE* out)
{
    const MouseTotals now = mouse_totals();
    DIMOUSESTATE s{};
    s.lX = clamp_to_long(static_cast<int64_t>(now.x - mouse_seen.x));
    s.lY = clamp_to_long(static_cast<int64_t>(now.y - mouse_seen.y));
    s.lZ = clamp_to_long(static_cast<int64_t>(now.wheel - mouse_seen.wheel));
    for (int button = 0; button < HOST_MOUSE_BUTTONS; ++button)
        s.rgbButtons[button] = mouse_button_down(button) ? DOWN : 0;
    mouse_seen = now;
    std::memcpy(out, &s, sizeof s);
}

void InputDevice::read_joystick(DIJOYSTATE* out) const
{
    ControllerState c;
    if (!controller_state(instance, &c))
        return;  // not reached: check_still_acquired saw it attached
    DIJOYSTATE s{};
    LONG* axis_fields[HOST_AXES] = {&s.lX, &s.lY, &s.lZ, &s.lRx, &s.lRy, &s.lRz, &s.rglSlider[0], &s.rglSlider[1]};
    for (int axis = 0; axis < HOST_AXES; ++axis)
        *axis_fields[axis] = scale_axis(c.axes[axis], axes[axis]);
    for (int pov = 0; pov < HOST_POVS; ++pov)
        s.rgdwPOV[pov] = c.povs[pov];
    for (int button = 0; button < HOST_BUTTONS; ++button)
        s.rgbButtons[button] = c.buttons[button] ? DOWN : 0;
    std::memcpy(out, &s, sizeof s);
}
