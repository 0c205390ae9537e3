// dinput_internal.h -- the stand-in's DirectInput objects: the DirectInput object that makes devices,
// and one device class for the keyboard, the mouse and a game controller. Every fallible call asks
// fault_check once; whatever a test injects, a success code other than DI_OK included, is returned
// with nothing done, so callers that accept only DI_OK can be tested on such codes too.
#pragma once
#include <dinput.h>

#include "com_object.h"
#include "input_internal.h"

enum class DeviceKind { keyboard, mouse, joystick };

// What SetProperty set on one absolute axis: DirectInput's defaults until then.
struct AxisSettings {
    LONG min = 0;
    LONG max = 65535;
    DWORD dead_zone = 0;  // hundredths of a percent of the distance from the centre, 0 … 10000
};

class DirectInput final : public ComObject<IDirectInput8A> {
public:
    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) override;
    HRESULT STDMETHODCALLTYPE EnumDevices(DWORD device_type, LPDIENUMDEVICESCALLBACKA callback, LPVOID reference,
                                          DWORD flags) override;
};

class InputDevice final : public ComObject<IDirectInputDevice8A> {
public:
    InputDevice(DirectInput* owner, DeviceKind kind, const GUID& instance);  // holds a reference to owner
    ~InputDevice() override;

    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID property, LPDIPROPHEADER header) override;
    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
    HRESULT STDMETHODCALLTYPE Acquire() override;
    HRESULT STDMETHODCALLTYPE Unacquire() override;
    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override;
    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Poll() override;

private:
    HRESULT check_still_acquired();
    HRESULT axes_named_by(const DIPROPHEADER& header, int* first, int* last) const;
    void read_keyboard(BYTE* out) const;
    void read_mouse(DIMOUSESTATE* out);
    void read_joystick(DIJOYSTATE* out) const;

    DirectInput* owner;
    DeviceKind kind;
    GUID instance;
    const DIDATAFORMAT* format = nullptr;  // the predefined format in force; null until SetDataFormat
    DWORD cooperative_flags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool acquired = false;
    MouseTotals mouse_seen{};  // the mouse's totals at the last read, so each read gives the motion since
    AxisSettings axes[HOST_AXES];
};

// ---- dinput_formats.cpp ----
// The predefined format for a kind of device, and whether `format` has its shape.
const DIDATAFORMAT& format_for(DeviceKind kind);
bool format_matches(const DIDATAFORMAT& format, const DIDATAFORMAT& predefined);
// The object at byte `offset` of a format, or null.
const DIOBJECTDATAFORMAT* format_object_at(const DIDATAFORMAT& format, DWORD offset);
// Which property of dinput_property_guids this is (DIPROP_RANGE is 4), or -1.
int property_number(REFGUID property);
