// dinput_test.cpp -- the DirectInput stand-in as the library relies on it: creation checks, device
// states and their error codes, cooperative levels, enumeration, properties and axis scaling.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <cstring>
#include <string>
#include <vector>

#include "fixtures.h"
#include "input.h"

class DirectInputStandIn : public testing::Test {
protected:
    void SetUp() override
    {
        window = make_test_window();
        ASSERT_EQ(DirectInput8Create(main_instance, 0x0800, IID_IDirectInput8A, reinterpret_cast<void**>(&di),
                                     nullptr),
                  DI_OK);
    }
    void TearDown() override
    {
        for (LPDIRECTINPUTDEVICE8A d : devices)
            d->Release();
        if (di)
            di->Release();
    }

    // A device made, set up and acquired, or null when a step fails (the test then fails too).
    LPDIRECTINPUTDEVICE8A make(REFGUID guid, LPCDIDATAFORMAT format,
                               DWORD level = DISCL_BACKGROUND | DISCL_NONEXCLUSIVE)
    {
        LPDIRECTINPUTDEVICE8A d = nullptr;
        EXPECT_EQ(di->CreateDevice(guid, &d, nullptr), DI_OK);
        if (!d)
            return nullptr;
        devices.push_back(d);
        EXPECT_EQ(d->SetCooperativeLevel(window, level), DI_OK);
        EXPECT_EQ(d->SetDataFormat(format), DI_OK);
        EXPECT_EQ(d->Acquire(), DI_OK);
        return d;
    }
    GUID controller_guid(int index)
    {
        std::vector<GUID> found = enumerate(DI8DEVCLASS_GAMECTRL);
        return index < static_cast<int>(found.size()) ? found[index] : GUID{};
    }
    std::vector<GUID> enumerate(DWORD request, DWORD flags = DIEDFL_ATTACHEDONLY)
    {
        std::vector<GUID> found;
        EXPECT_EQ(di->EnumDevices(request, collect, &found, flags), DI_OK);
        return found;
    }
    static BOOL CALLBACK collect(LPCDIDEVICEINSTANCEA instance, LPVOID reference)
    {
        static_cast<std::vector<GUID>*>(reference)->push_back(instance->guidInstance);
        return DIENUM_CONTINUE;
    }

    HWND window = nullptr;
    LPDIRECTINPUT8A di = nullptr;
    std::vector<LPDIRECTINPUTDEVICE8A> devices;
};

static DIPROPRANGE range(DWORD how, DWORD object, LONG min, LONG max)
{
    DIPROPRANGE r{};
    r.diph = {sizeof r, sizeof r.diph, object, how};
    r.lMin = min;
    r.lMax = max;
    return r;
}

static DIPROPDWORD dead_zone(DWORD how, DWORD object, DWORD value)
{
    DIPROPDWORD d{};
    d.diph = {sizeof d, sizeof d.diph, object, how};
    d.dwData = value;
    return d;
}

// ---- creation ----

TEST(DirectInputCreate, RefusesWrongVersionsInterfacesInstancesAndAggregation)
{
    static HINSTANCE__ instance;
    void* object = &instance;
    EXPECT_EQ(DirectInput8Create(&instance, 0x0700, IID_IDirectInput8A, &object, nullptr),
              DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(object, nullptr) << "the out pointer is cleared on failure";
    EXPECT_EQ(DirectInput8Create(&instance, 0x0900, IID_IDirectInput8A, &object, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(&instance, 0x0800, IID_IUnknown, &object, nullptr), DIERR_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8A, &object, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(DirectInput8Create(&instance, 0x0800, IID_IDirectInput8A, nullptr, nullptr), DIERR_INVALIDPARAM);
    IUnknown* outer = reinterpret_cast<IUnknown*>(&instance);
    EXPECT_EQ(DirectInput8Create(&instance, 0x0800, IID_IDirectInput8A, &object, outer), DIERR_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST_F(DirectInputStandIn, CreateDeviceKnowsOnlyAttachedDevices)
{
    LPDIRECTINPUTDEVICE8A d = reinterpret_cast<LPDIRECTINPUTDEVICE8A>(this);
    EXPECT_EQ(di->CreateDevice(GUID{}, &d, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(d, nullptr);
    const int pad = testing_controller_attach("Pad");
    const GUID guid = controller_guid(0);
    testing_controller_detach(pad);
    EXPECT_EQ(di->CreateDevice(guid, &d, nullptr), DIERR_DEVICENOTREG) << "unplugged";
    EXPECT_EQ(di->CreateDevice(GUID_SysKeyboard, nullptr, nullptr), DIERR_INVALIDPARAM);
}

// ---- device states ----

TEST_F(DirectInputStandIn, ReadsNeedAnAcquiredDeviceAndTheFormatsExactSize)
{
    LPDIRECTINPUTDEVICE8A d = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &d, nullptr), DI_OK);
    devices.push_back(d);
    BYTE keys[257];
    std::memset(keys, 0x33, sizeof keys);
    EXPECT_EQ(d->Acquire(), DIERR_INVALIDPARAM) << "no data format yet";
    ASSERT_EQ(d->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(d->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(d->Poll(), DIERR_NOTACQUIRED);
    ASSERT_EQ(d->Acquire(), DI_OK);
    EXPECT_EQ(d->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(d->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(d->GetDeviceState(257, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(d->GetDeviceState(256, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(keys[0], 0x33) << "a refused read writes nothing";
    EXPECT_EQ(d->Poll(), DI_NOEFFECT) << "the keyboard needs no polling";
    EXPECT_EQ(d->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(d->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE), DIERR_ACQUIRED);
    ASSERT_EQ(d->GetDeviceState(256, keys), DI_OK);
    EXPECT_EQ(keys[256], 0x33) << "nothing past the 256 bytes";
    EXPECT_EQ(d->Unacquire(), DI_OK);
    EXPECT_EQ(d->Unacquire(), DI_NOEFFECT);
}

TEST_F(DirectInputStandIn, EachDeviceTakesOnlyItsOwnPredefinedFormat)
{
    LPDIRECTINPUTDEVICE8A d = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysMouse, &d, nullptr), DI_OK);
    devices.push_back(d);
    EXPECT_EQ(d->SetDataFormat(&c_dfDIKeyboard), DIERR_INVALIDPARAM);
    EXPECT_EQ(d->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
    DIDATAFORMAT copy = c_dfDIMouse;
    EXPECT_EQ(d->SetDataFormat(&copy), DI_OK) << "a copy of the predefined format is that format";
    copy.dwDataSize = 20;
    EXPECT_EQ(d->SetDataFormat(&copy), DIERR_INVALIDPARAM);
    EXPECT_EQ(c_dfDIKeyboard.dwDataSize, 256u);
    EXPECT_EQ(c_dfDIMouse.dwDataSize, 16u);
    EXPECT_EQ(c_dfDIJoystick.dwDataSize, 80u);
    EXPECT_EQ(c_dfDIKeyboard.dwNumObjs, 256u);
    EXPECT_EQ(c_dfDIMouse.dwNumObjs, 7u);
    EXPECT_EQ(c_dfDIJoystick.dwNumObjs, 44u);
    EXPECT_EQ(c_dfDIJoystick.dwFlags, static_cast<DWORD>(DIDF_ABSAXIS));
    EXPECT_EQ(c_dfDIMouse.dwFlags, static_cast<DWORD>(DIDF_RELAXIS));
}

TEST_F(DirectInputStandIn, CooperativeLevelsAreCheckedAsTheSystemDoes)
{
    LPDIRECTINPUTDEVICE8A d = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &d, nullptr), DI_OK);
    devices.push_back(d);
    EXPECT_EQ(d->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_BACKGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(d->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
    EXPECT_EQ(d->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND | 0x100), DIERR_INVALIDPARAM);
    EXPECT_EQ(d->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), E_HANDLE);
    EXPECT_EQ(d->SetCooperativeLevel(reinterpret_cast<HWND>(this), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), E_HANDLE);
    EXPECT_EQ(d->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    EXPECT_EQ(d->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_UNSUPPORTED);
    EXPECT_EQ(d->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
}

TEST_F(DirectInputStandIn, ForegroundDeviceLosesItsInputWithTheFocus)
{
    LPDIRECTINPUTDEVICE8A d = make(GUID_SysKeyboard, &c_dfDIKeyboard, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
    ASSERT_NE(d, nullptr);
    BYTE keys[256];
    testing_focus(false);
    EXPECT_EQ(d->GetDeviceState(256, keys), DIERR_INPUTLOST);
    EXPECT_EQ(d->GetDeviceState(256, keys), DIERR_NOTACQUIRED) << "lost is reported once";
    EXPECT_EQ(d->Acquire(), DIERR_OTHERAPPHASPRIO);
    testing_focus(true);
    EXPECT_EQ(d->Acquire(), DI_OK);
    EXPECT_EQ(d->GetDeviceState(256, keys), DI_OK);
}

TEST_F(DirectInputStandIn, UnpluggedControllerLosesItsInputAndCannotBeAcquired)
{
    const int pad = testing_controller_attach("Pad");
    LPDIRECTINPUTDEVICE8A d = make(controller_guid(0), &c_dfDIJoystick);
    ASSERT_NE(d, nullptr);
    DIJOYSTATE s;
    EXPECT_EQ(d->Poll(), DI_OK) << "controllers are polled devices";
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    testing_controller_detach(pad);
    EXPECT_EQ(d->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(d->GetDeviceState(sizeof s, &s), DIERR_NOTACQUIRED);
    EXPECT_EQ(d->Acquire(), DIERR_UNPLUGGED);
    testing_controller_attach("Pad");
    EXPECT_EQ(d->Acquire(), DIERR_UNPLUGGED) << "plugged in again it is a new device";
}

TEST_F(DirectInputStandIn, MouseClampsHugeMotionAndReadsButtonsUpWithoutFocus)
{
    LPDIRECTINPUTDEVICE8A d = make(GUID_SysMouse, &c_dfDIMouse);
    ASSERT_NE(d, nullptr);
    testing_mouse_move(INT_MAX, INT_MIN);
    testing_mouse_move(INT_MAX, INT_MIN);
    testing_mouse_button(0, true);
    testing_mouse_button(7, true);  // not a button: ignored
    DIMOUSESTATE s;
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    EXPECT_EQ(s.lX, INT32_MAX);
    EXPECT_EQ(s.lY, INT32_MIN);
    EXPECT_EQ(s.rgbButtons[0], 0x80);
    testing_focus(false);
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    EXPECT_EQ(s.rgbButtons[0], 0);
    EXPECT_EQ(s.lX, 0);
}

// ---- enumeration ----

TEST_F(DirectInputStandIn, EnumerationListsWhatWasAskedForInAttachOrder)
{
    testing_controller_attach("Stick", false);
    testing_controller_attach("Pad", true);
    const std::vector<GUID> all = enumerate(DI8DEVCLASS_ALL);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0], GUID_SysKeyboard);
    EXPECT_EQ(all[1], GUID_SysMouse);
    EXPECT_EQ(enumerate(DI8DEVCLASS_KEYBOARD), std::vector<GUID>{GUID_SysKeyboard});
    EXPECT_EQ(enumerate(DI8DEVCLASS_POINTER), std::vector<GUID>{GUID_SysMouse});
    EXPECT_EQ(enumerate(DI8DEVCLASS_GAMECTRL), (std::vector<GUID>{all[2], all[3]}));
    EXPECT_EQ(enumerate(DI8DEVTYPE_GAMEPAD), std::vector<GUID>{all[3]});
    EXPECT_EQ(enumerate(DI8DEVTYPE_JOYSTICK), std::vector<GUID>{all[2]});
    EXPECT_TRUE(enumerate(DI8DEVCLASS_DEVICE).empty());
    EXPECT_TRUE(enumerate(DI8DEVCLASS_GAMECTRL, DIEDFL_FORCEFEEDBACK).empty());
    EXPECT_NE(all[2], all[3]);

    std::vector<GUID> ignored;
    EXPECT_EQ(di->EnumDevices(0x99, collect, &ignored, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(di->EnumDevices(DI8DEVCLASS_ALL, nullptr, nullptr, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(di->EnumDevices(DI8DEVCLASS_ALL, collect, &ignored, 0x8), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputStandIn, EnumerationDescribesEachController)
{
    testing_controller_attach("Stick", false);
    const std::string long_name(400, 'q');
    testing_controller_attach(long_name.c_str(), true);
    std::vector<DIDEVICEINSTANCEA> seen;
    auto record = [](LPCDIDEVICEINSTANCEA instance, LPVOID reference) -> BOOL {
        static_cast<std::vector<DIDEVICEINSTANCEA>*>(reference)->push_back(*instance);
        return DIENUM_CONTINUE;
    };
    ASSERT_EQ(di->EnumDevices(DI8DEVCLASS_GAMECTRL, record, &seen, DIEDFL_ATTACHEDONLY), DI_OK);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].dwSize, sizeof(DIDEVICEINSTANCEA));
    EXPECT_STREQ(seen[0].tszProductName, "Stick");
    EXPECT_EQ(seen[0].dwDevType & 0xFF, static_cast<DWORD>(DI8DEVTYPE_JOYSTICK));
    EXPECT_EQ(seen[1].dwDevType & 0xFF, static_cast<DWORD>(DI8DEVTYPE_GAMEPAD));
    EXPECT_EQ(std::string(seen[1].tszProductName), long_name.substr(0, MAX_PATH - 1)) << "cut, terminated";
}

TEST_F(DirectInputStandIn, EnumerationStopsWhenAskedAndSurvivesUnplugging)
{
    const int first = testing_controller_attach("A");
    testing_controller_attach("B");
    struct Walk {
        int first, calls;
    } walk{first, 0};
    auto unplug_and_stop = [](LPCDIDEVICEINSTANCEA, LPVOID reference) -> BOOL {
        auto* w = static_cast<Walk*>(reference);
        testing_controller_detach(w->first);
        return ++w->calls == 1 ? DIENUM_CONTINUE : DIENUM_STOP;
    };
    EXPECT_EQ(di->EnumDevices(DI8DEVCLASS_ALL, unplug_and_stop, &walk, 0), DI_OK);
    EXPECT_EQ(walk.calls, 2) << "stopped at the second device";
    EXPECT_EQ(enumerate(DI8DEVCLASS_GAMECTRL).size(), 1u);
}

// ---- properties and scaling ----

TEST_F(DirectInputStandIn, PropertiesAreCheckedAndApplyToTheAxesNamed)
{
    testing_controller_attach("Pad");
    LPDIRECTINPUTDEVICE8A d = make(controller_guid(0), &c_dfDIJoystick);
    ASSERT_NE(d, nullptr);
    DIPROPRANGE r = range(DIPH_BYOFFSET, DIJOFS_X, -10, 10);
    r.diph.dwHeaderSize = 20;
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DIERR_INVALIDPARAM);
    r = range(DIPH_BYOFFSET, DIJOFS_X, -10, 10);
    r.diph.dwSize = sizeof(DIPROPDWORD);
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DIERR_INVALIDPARAM);
    r = range(DIPH_BYOFFSET, DIJOFS_BUTTON(0), -10, 10);
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DIERR_UNSUPPORTED) << "a button has no range";
    r = range(DIPH_BYOFFSET, 2, -10, 10);
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DIERR_OBJECTNOTFOUND);
    r = range(DIPH_BYOFFSET, DIJOFS_X, 10, -10);
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DIERR_INVALIDPARAM);
    r = range(DIPH_DEVICE, 4, -10, 10);
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DIERR_INVALIDPARAM);
    DIPROPDWORD z = dead_zone(DIPH_BYOFFSET, DIJOFS_X, 10001);
    EXPECT_EQ(d->SetProperty(DIPROP_DEADZONE, &z.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(d->SetProperty(MAKEDIPROP(6), &z.diph), DIERR_UNSUPPORTED);
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, nullptr), DIERR_INVALIDPARAM);

    r = range(DIPH_DEVICE, 0, -10, 10);
    ASSERT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DI_OK) << "the whole device";
    z = dead_zone(DIPH_BYOFFSET, DIJOFS_RZ, 10000);
    ASSERT_EQ(d->SetProperty(DIPROP_DEADZONE, &z.diph), DI_OK);
    DIJOYSTATE s;
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    EXPECT_EQ(s.lX, 0);
    EXPECT_EQ(s.rglSlider[1], 0);
    testing_controller_axis(1, HOST_AXIS_SLIDER1, 32767);
    testing_controller_axis(1, HOST_AXIS_RZ, 32767);
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    EXPECT_EQ(s.rglSlider[1], 10);
    EXPECT_EQ(s.lRz, 0) << "a whole-range dead zone keeps the axis centred";

    LPDIRECTINPUTDEVICE8A keyboard = make(GUID_SysKeyboard, &c_dfDIKeyboard);
    r = range(DIPH_DEVICE, 0, -10, 10);
    EXPECT_EQ(keyboard->SetProperty(DIPROP_RANGE, &r.diph), DIERR_UNSUPPORTED);
}

TEST_F(DirectInputStandIn, AxisScalingCoversExtremeRangesWithoutOverflow)
{
    const int pad = testing_controller_attach("Pad");
    LPDIRECTINPUTDEVICE8A d = make(controller_guid(0), &c_dfDIJoystick);
    ASSERT_NE(d, nullptr);
    DIPROPRANGE r = range(DIPH_BYOFFSET, DIJOFS_X, INT32_MIN, INT32_MAX);
    ASSERT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DI_OK);
    r = range(DIPH_BYOFFSET, DIJOFS_Y, 7, 7);
    ASSERT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), DI_OK);
    DIJOYSTATE s;
    const struct {
        int raw;
        LONG x;
    } cases[] = {{32767, INT32_MAX}, {-32768, INT32_MIN}, {0, -1}, {100000, INT32_MAX}, {-100000, INT32_MIN}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        testing_controller_axis(pad, HOST_AXIS_X, c.raw);
        testing_controller_axis(pad, HOST_AXIS_Y, c.raw);
        ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
        EXPECT_EQ(s.lX, c.x);
        EXPECT_EQ(s.lY, 7) << "a one-value range";
    }
    // The default range 0 … 65535 reaches both ends and centres on 32767.
    testing_controller_axis(pad, HOST_AXIS_Z, 32767);
    testing_controller_axis(pad, HOST_AXIS_RX, -32768);
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    EXPECT_EQ(s.lZ, 65535);
    EXPECT_EQ(s.lRx, 0);
    EXPECT_EQ(s.lRy, 32767);
}

TEST_F(DirectInputStandIn, ControllerTableIsBoundedAndInputIsSanitised)
{
    int last = 0;
    for (int i = 0; i < HOST_CONTROLLERS; ++i) {
        last = testing_controller_attach(nullptr);
        ASSERT_NE(last, 0);
    }
    EXPECT_EQ(testing_controller_attach("One too many"), 0);
    LPDIRECTINPUTDEVICE8A d = make(controller_guid(HOST_CONTROLLERS - 1), &c_dfDIJoystick);
    ASSERT_NE(d, nullptr);
    testing_controller_pov(last, 0, 36000);
    testing_controller_pov(last, 1, 27000);
    testing_controller_pov(last, 4, 0);
    testing_controller_button(last, 32, true);
    testing_controller_button(last, 31, true);
    testing_controller_axis(last, HOST_AXES, 5);
    testing_controller_axis(999, HOST_AXIS_X, 5);
    DIJOYSTATE s;
    ASSERT_EQ(d->GetDeviceState(sizeof s, &s), DI_OK);
    EXPECT_EQ(s.rgdwPOV[0], 0xFFFFFFFFu) << "not a direction: centred";
    EXPECT_EQ(s.rgdwPOV[1], 27000u);
    EXPECT_EQ(s.rgbButtons[31], 0x80);
}

// ---- fault injection ----

TEST_F(DirectInputStandIn, EveryFallibleCallCanBeMadeToFail)
{
    testing_controller_attach("Pad");
    LPDIRECTINPUTDEVICE8A d = make(controller_guid(0), &c_dfDIJoystick);
    ASSERT_NE(d, nullptr);
    constexpr HRESULT injected = DIERR_GENERIC;
    DIJOYSTATE s;
    DIPROPRANGE r = range(DIPH_BYOFFSET, DIJOFS_X, 0, 1);
    LPDIRECTINPUTDEVICE8A made = nullptr;
    std::vector<GUID> found;
    void* object = nullptr;
    const struct {
        const char* name;
        std::function<HRESULT()> call;
    } calls[] = {
        {"DirectInput8Create",
         [&] { return DirectInput8Create(main_instance, 0x0800, IID_IDirectInput8A, &object, nullptr); }},
        {"IDirectInput8A::CreateDevice", [&] { return di->CreateDevice(GUID_SysMouse, &made, nullptr); }},
        {"IDirectInput8A::EnumDevices", [&] { return di->EnumDevices(0, collect, &found, 0); }},
        {"IDirectInputDevice8A::SetCooperativeLevel",
         [&] { return d->SetCooperativeLevel(window, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE); }},
        {"IDirectInputDevice8A::SetDataFormat", [&] { return d->SetDataFormat(&c_dfDIJoystick); }},
        {"IDirectInputDevice8A::SetProperty", [&] { return d->SetProperty(DIPROP_RANGE, &r.diph); }},
        {"IDirectInputDevice8A::GetProperty", [&] { return d->GetProperty(DIPROP_RANGE, &r.diph); }},
        {"IDirectInputDevice8A::Acquire", [&] { return d->Acquire(); }},
        {"IDirectInputDevice8A::Poll", [&] { return d->Poll(); }},
        {"IDirectInputDevice8A::GetDeviceState", [&] { return d->GetDeviceState(sizeof s, &s); }},
        {"IDirectInputDevice8A::Unacquire", [&] { return d->Unacquire(); }},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.name);
        testing_fault(c.name, 1, injected);
        EXPECT_EQ(c.call(), injected);
    }
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(made, nullptr);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(d->Unacquire(), DI_OK) << "the failed Unacquire changed nothing";
}
