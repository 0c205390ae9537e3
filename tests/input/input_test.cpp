// input_test.cpp -- the input layer: start-up order and each failing step, reads with and without a
// device, held and released keys, relative mouse motion, joystick ranges, dead zones and choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fixtures.h"
#include "input.h"

using Names = std::vector<std::string>;

class Input : public testing::Test {
protected:
    void SetUp() override
    {
        make_test_window();
        joystick_found = 0;
        joystick_guid = GUID{};
        std::memset(joystick_name, 0, sizeof joystick_name);
        std::memset(keyboard_state, 0, sizeof keyboard_state);
        mouse_state = DIMOUSESTATE{};
        joystick_state = DIJOYSTATE{};
    }
    void TearDown() override { release_everything(); }

    static void release_everything()
    {
        keyboard_release();
        mouse_release();
        joystick_release();
        input_shutdown();
    }
    // A fresh platform for one more round of a loop over steps.
    static void start_again()
    {
        release_everything();
        testing_reset();
        make_test_window();
        joystick_found = 0;
        joystick_guid = GUID{};
    }
};

// The DirectInput operations called since the platform was reset, in the order of their first call.
static Names operations()
{
    Names names;
    for (const std::string& name : testing_operations_seen())
        if (name.find("DirectInput") != std::string::npos)
            names.push_back(name);
    return names;
}

// Whether any of `steps` after `failed` was called: none may be, once `failed` failed.
static bool later_step_called(const std::vector<const char*>& steps, const char* failed)
{
    const Names called = operations();
    bool after = false;
    for (const char* step : steps) {
        if (after && std::find(called.begin(), called.end(), step) != called.end())
            return true;
        after = after || std::strcmp(step, failed) == 0;
    }
    return false;
}

static DIPROPRANGE range_of(DWORD offset)
{
    DIPROPRANGE r{};
    r.diph = {sizeof r, sizeof r.diph, offset, DIPH_BYOFFSET};
    EXPECT_EQ(joystick_device->GetProperty(DIPROP_RANGE, &r.diph), DI_OK);
    return r;
}

static DWORD dead_zone_of(DWORD offset)
{
    DIPROPDWORD d{};
    d.diph = {sizeof d, sizeof d.diph, offset, DIPH_BYOFFSET};
    EXPECT_EQ(joystick_device->GetProperty(DIPROP_DEADZONE, &d.diph), DI_OK);
    return d.dwData;
}

static int bytes_down(const unsigned char* state, int size)
{
    int n = 0;
    for (int i = 0; i < size; ++i)
        n += state[i] != 0;
    return n;
}

// ---- start-up ----

TEST_F(Input, KeyboardAndMouseStartUpTakeTheirStepsInOrder)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_NE(dinput, nullptr);
    ASSERT_EQ(keyboard_init(), 1);
    ASSERT_NE(keyboard_device, nullptr);
    const Names expected = {"DirectInput8Create", "IDirectInput8A::CreateDevice",
                            "IDirectInputDevice8A::SetCooperativeLevel", "IDirectInputDevice8A::SetDataFormat",
                            "IDirectInputDevice8A::Acquire"};
    EXPECT_EQ(operations(), expected);
    EXPECT_EQ(keyboard_device->Acquire(), DI_NOEFFECT) << "the device is acquired already";

    ASSERT_EQ(mouse_init(), 1);
    ASSERT_NE(mouse_device, nullptr);
    EXPECT_NE(mouse_device, keyboard_device);
    EXPECT_EQ(mouse_device->Acquire(), DI_NOEFFECT);
}

TEST_F(Input, BackgroundLevelKeepsTheKeyboardAcquiredWithoutFocus)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    testing_key(DIK_SPACE, true);
    testing_focus(false);
    EXPECT_EQ(keyboard_read(), 1) << "a foreground device would have lost its input here";
    EXPECT_EQ(keyboard_state[DIK_SPACE], 0) << "keys read as up while the window lacks focus";
}

TEST_F(Input, WithoutDirectInputEveryDeviceInitFails)
{
    testing_fault("DirectInput8Create", 1, DIERR_OUTOFMEMORY);
    EXPECT_EQ(input_init(), 0);
    EXPECT_EQ(dinput, nullptr);
    testing_controller_attach("Pad");
    EXPECT_EQ(keyboard_init(), 0);
    EXPECT_EQ(mouse_init(), 0);
    EXPECT_EQ(joystick_init(-100, 100, -100, 100, 10), 0);
    EXPECT_EQ(keyboard_device, nullptr);
    EXPECT_EQ(mouse_device, nullptr);
    EXPECT_EQ(joystick_device, nullptr);
    EXPECT_EQ(joystick_found, 0);
    EXPECT_EQ(operations(), Names{"DirectInput8Create"});
}

TEST_F(Input, InputInitCountsAnySuccessCodeButDeviceStepsNeedExactlyDiOk)
{
    testing_fault("DirectInput8Create", 1, S_FALSE);
    EXPECT_EQ(input_init(), 1) << "a non-negative result counts as success";
    input_shutdown();

    ASSERT_EQ(input_init(), 1);
    testing_fault("IDirectInputDevice8A::Acquire", 1, DI_NOEFFECT);
    EXPECT_EQ(keyboard_init(), 0) << "a success code other than DI_OK ends the step";
}

TEST_F(Input, KeyboardInitStopsAtEachFailingStepAndKeepsWhatItMade)
{
    const std::vector<const char*> steps = {"IDirectInput8A::CreateDevice", "IDirectInputDevice8A::SetCooperativeLevel",
                                            "IDirectInputDevice8A::SetDataFormat", "IDirectInputDevice8A::Acquire"};
    for (const char* step : steps) {
        SCOPED_TRACE(step);
        start_again();
        ASSERT_EQ(input_init(), 1);
        testing_fault(step, 1, DIERR_GENERIC);
        keyboard_state[DIK_F2] = 0x80;
        EXPECT_EQ(keyboard_init(), 0);
        EXPECT_FALSE(later_step_called(steps, step)) << "no step runs after the failing one";
        const bool created = std::strcmp(step, "IDirectInput8A::CreateDevice") != 0;
        EXPECT_EQ(keyboard_device != nullptr, created) << "a made device stays, unacquired";
        // Not acquired: a read fails and leaves the state as it was.
        if (created) {
            EXPECT_EQ(keyboard_read(), 0);
            EXPECT_EQ(keyboard_state[DIK_F2], 0x80);
        }
    }
}

TEST_F(Input, KeyboardReadWithoutDeviceZeroFills)
{
    std::memset(keyboard_state, 0x55, sizeof keyboard_state);
    EXPECT_EQ(keyboard_read(), 0) << "before keyboard_init";
    EXPECT_EQ(bytes_down(keyboard_state, 256), 0);

    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    testing_key(DIK_ESCAPE, true);
    ASSERT_EQ(keyboard_read(), 1);
    ASSERT_EQ(keyboard_state[DIK_ESCAPE], 0x80);
    keyboard_release();
    EXPECT_EQ(keyboard_device, nullptr);
    EXPECT_EQ(keyboard_read(), 0) << "after keyboard_release";
    EXPECT_EQ(bytes_down(keyboard_state, 256), 0);
    keyboard_release();  // a second release does nothing
}

TEST_F(Input, HeldKeyReadsDownEveryFrameAndUpOnTheFrameAfterRelease)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    testing_key(DIK_LEFT, true);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(keyboard_read(), 1);
        EXPECT_EQ(keyboard_state[DIK_LEFT], 0x80) << "frame " << frame;
        EXPECT_EQ(bytes_down(keyboard_state, 256), 1);
    }
    testing_key(DIK_LEFT, false);
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_EQ(keyboard_state[DIK_LEFT], 0);
}

TEST_F(Input, EachGameKeyReadsInItsOwnByte)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    const int keys[] = {DIK_ESCAPE, DIK_LSHIFT, DIK_SPACE, DIK_F2, DIK_UP, DIK_LEFT, DIK_RIGHT, DIK_DOWN};
    for (int key : keys) {
        SCOPED_TRACE(key);
        testing_key(key, true);
        ASSERT_EQ(keyboard_read(), 1);
        EXPECT_EQ(keyboard_state[key], 0x80);
        EXPECT_EQ(bytes_down(keyboard_state, 256), 1);
        testing_key(key, false);
    }
}

TEST_F(Input, FailedKeyboardReadLeavesTheStateAlone)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    testing_key(DIK_SPACE, true);
    ASSERT_EQ(keyboard_read(), 1);
    testing_key(DIK_SPACE, false);
    testing_key(DIK_UP, true);

    testing_fault("IDirectInputDevice8A::GetDeviceState", 1, DIERR_INPUTLOST);
    EXPECT_EQ(keyboard_read(), 0);
    EXPECT_EQ(keyboard_state[DIK_SPACE], 0x80) << "the last good read stays";
    EXPECT_EQ(keyboard_state[DIK_UP], 0);
    EXPECT_EQ(keyboard_read(), 1) << "the next frame simply reads again";
    EXPECT_EQ(keyboard_state[DIK_SPACE], 0);
    EXPECT_EQ(keyboard_state[DIK_UP], 0x80);

    // Unacquired from outside: the layer neither re-acquires nor clears.
    ASSERT_EQ(keyboard_device->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard_read(), 0);
    EXPECT_EQ(keyboard_read(), 0);
    EXPECT_EQ(keyboard_state[DIK_UP], 0x80);
}

// ---- mouse ----

TEST_F(Input, MouseMotionIsRelativeBetweenReads)
{
    testing_mouse_move(40, 40);  // before the device exists: never reported
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(mouse_init(), 1);
    testing_mouse_move(5, -3);
    testing_mouse_move(2, 1);
    testing_mouse_wheel(-1);
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 7);
    EXPECT_EQ(mouse_state.lY, -2);
    EXPECT_EQ(mouse_state.lZ, -120) << "one notch towards the user";
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 0) << "no motion since the previous read";
    EXPECT_EQ(mouse_state.lY, 0);
    EXPECT_EQ(mouse_state.lZ, 0);
}

TEST_F(Input, MouseMotionDuringAFailedReadComesWithTheNextGoodOne)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(mouse_init(), 1);
    testing_mouse_move(3, 4);
    testing_fault("IDirectInputDevice8A::GetDeviceState", 1, DIERR_INPUTLOST);
    EXPECT_EQ(mouse_read(), 0);
    EXPECT_EQ(mouse_state.lX, 0);
    testing_mouse_move(1, 1);
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 4);
    EXPECT_EQ(mouse_state.lY, 5);
}

TEST_F(Input, MouseReadWithoutDeviceZeroFills)
{
    std::memset(&mouse_state, 0x55, sizeof mouse_state);
    EXPECT_EQ(mouse_read(), 0);
    EXPECT_EQ(bytes_down(reinterpret_cast<unsigned char*>(&mouse_state), sizeof mouse_state), 0);
}

// ---- joystick ----

TEST_F(Input, JoystickReadBeforeASuccessfulInitTouchesNothing)
{
    std::memset(&joystick_state, 0xAB, sizeof joystick_state);
    DIJOYSTATE before = joystick_state;
    EXPECT_EQ(joystick_read(), 0);
    EXPECT_EQ(std::memcmp(&joystick_state, &before, sizeof before), 0);

    ASSERT_EQ(input_init(), 1);
    EXPECT_EQ(joystick_init(-100, 100, -100, 100, 10), 0) << "no controller attached";
    EXPECT_EQ(joystick_found, 0);
    EXPECT_EQ(joystick_guid, GUID{}) << "still GUID_NULL, so CreateDevice refused it";
    EXPECT_EQ(joystick_read(), 0);
    EXPECT_EQ(std::memcmp(&joystick_state, &before, sizeof before), 0);
}

TEST_F(Input, JoystickInitSetsRangesAndDeadZonesAsDirectInputReceivesThem)
{
    testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 10), 1);
    EXPECT_EQ(joystick_found, 1);
    ASSERT_NE(joystick_device, nullptr);
    for (DWORD axis : {DWORD{DIJOFS_X}, DWORD{DIJOFS_Y}}) {
        SCOPED_TRACE(axis);
        const DIPROPRANGE r = range_of(axis);
        EXPECT_EQ(r.lMin, -100);
        EXPECT_EQ(r.lMax, 100);
        EXPECT_EQ(dead_zone_of(axis), 1000u) << "hundredths of a percent";
    }
    const DIPROPRANGE z = range_of(DIJOFS_Z);
    EXPECT_EQ(z.lMin, 0) << "other axes keep DirectInput's default range";
    EXPECT_EQ(z.lMax, 65535);
    EXPECT_EQ(dead_zone_of(DIJOFS_Z), 0u);
    const Names expected = {"DirectInput8Create",
                            "IDirectInput8A::EnumDevices",
                            "IDirectInput8A::CreateDevice",
                            "IDirectInputDevice8A::SetCooperativeLevel",
                            "IDirectInputDevice8A::SetDataFormat",
                            "IDirectInputDevice8A::SetProperty",
                            "IDirectInputDevice8A::Acquire",
                            "IDirectInputDevice8A::GetProperty"};
    EXPECT_EQ(operations(), expected);
}

TEST_F(Input, JoystickInitSetsThePropertiesInTheirOrder)
{
    testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    // The third SetProperty is the X dead zone: failing it alone shows which value went where.
    testing_fault("IDirectInputDevice8A::SetProperty", 3, DIERR_GENERIC);
    ASSERT_EQ(joystick_init(-5, 5, -7, 7, 20), 1) << "property results are not checked";
    EXPECT_EQ(range_of(DIJOFS_X).lMax, 5);
    EXPECT_EQ(range_of(DIJOFS_Y).lMax, 7);
    EXPECT_EQ(dead_zone_of(DIJOFS_X), 0u);
    EXPECT_EQ(dead_zone_of(DIJOFS_Y), 2000u);
}

TEST_F(Input, JoystickReadsScaledAxesButtonsAndPov)
{
    const int pad = testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -1000, 1000, 10), 1);
    testing_controller_axis(pad, HOST_AXIS_X, 32767);
    testing_controller_axis(pad, HOST_AXIS_Y, -32768);
    testing_controller_button(pad, 3, true);
    testing_controller_pov(pad, 0, 9000);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 100);
    EXPECT_EQ(joystick_state.lY, -1000);
    EXPECT_EQ(joystick_state.lZ, 32767) << "a centred axis in the default range 0 … 65535";
    EXPECT_EQ(joystick_state.rgbButtons[3], 0x80);
    EXPECT_EQ(joystick_state.rgbButtons[2], 0);
    EXPECT_EQ(joystick_state.rgdwPOV[0], 9000u);
    EXPECT_EQ(joystick_state.rgdwPOV[1], 0xFFFFFFFFu) << "centred";

    // Inside the 10% dead zone: the centre. Beyond it the rest of the travel is stretched:
    // half-way (16384) is (0.5 - 0.1) / 0.9 of the half-range, 444 of 1000.
    testing_controller_axis(pad, HOST_AXIS_X, 3000);
    testing_controller_axis(pad, HOST_AXIS_Y, 16384);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 0);
    EXPECT_EQ(joystick_state.lY, 444);
}

TEST_F(Input, JoystickTakesTheFirstOfTwoControllers)
{
    const int first = testing_controller_attach("First Pad");
    const int second = testing_controller_attach("Second Pad");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
    EXPECT_STREQ(joystick_name, "First Pad");
    testing_controller_axis(second, HOST_AXIS_X, 32767);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 0) << "the second controller is not read";
    testing_controller_axis(first, HOST_AXIS_X, -32768);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, -100);
}

TEST_F(Input, LongProductNameIsCutTo79Characters)
{
    const std::string name(200, 'n');
    testing_controller_attach(name.c_str());
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(0, 10, 0, 10, 0), 1);
    EXPECT_EQ(std::strlen(joystick_name), 79u);
    EXPECT_EQ(std::string(joystick_name), name.substr(0, 79));
}

TEST_F(Input, EnumCallbackCopiesAndStopsAndNeverReadsPastTheName)
{
    DIDEVICEINSTANCEA instance{};
    instance.dwSize = sizeof instance;
    instance.guidInstance = GUID{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    std::memset(instance.tszProductName, 'y', sizeof instance.tszProductName);  // no terminator
    GUID found{};
    EXPECT_EQ(joystick_enum_callback(&instance, &found), DIENUM_STOP);
    EXPECT_EQ(found, instance.guidInstance);
    EXPECT_EQ(std::string(joystick_name), std::string(79, 'y'));

    std::strcpy(instance.tszProductName, "Short");
    EXPECT_EQ(joystick_enum_callback(&instance, nullptr), DIENUM_STOP) << "no GUID to fill";
    EXPECT_STREQ(joystick_name, "Short");
    EXPECT_EQ(joystick_enum_callback(nullptr, &found), DIENUM_STOP);
}

TEST_F(Input, JoystickInitStopsAtEachCheckedStep)
{
    const std::vector<const char*> steps = {"IDirectInput8A::CreateDevice", "IDirectInputDevice8A::SetCooperativeLevel",
                                            "IDirectInputDevice8A::SetDataFormat", "IDirectInputDevice8A::Acquire"};
    for (const char* step : steps) {
        SCOPED_TRACE(step);
        start_again();
        testing_controller_attach("Pad");
        ASSERT_EQ(input_init(), 1);
        testing_fault(step, 1, DIERR_GENERIC);
        EXPECT_EQ(joystick_init(-100, 100, -100, 100, 10), 0);
        EXPECT_EQ(joystick_found, 0);
        EXPECT_FALSE(later_step_called(steps, step));
        EXPECT_EQ(joystick_read(), 0);
    }
    // A failed enumeration is not checked: it simply finds nothing.
    start_again();
    testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    testing_fault("IDirectInput8A::EnumDevices", 1, DIERR_GENERIC);
    EXPECT_EQ(joystick_init(-100, 100, -100, 100, 10), 0);
}

TEST_F(Input, FailedJoystickReadLeavesTheStateAlone)
{
    const int pad = testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
    testing_controller_axis(pad, HOST_AXIS_X, 32767);
    ASSERT_EQ(joystick_read(), 1);
    testing_controller_axis(pad, HOST_AXIS_X, -32768);

    for (const char* step : {"IDirectInputDevice8A::Poll", "IDirectInputDevice8A::GetDeviceState"}) {
        SCOPED_TRACE(step);
        testing_fault(step, 1, DIERR_INPUTLOST);
        EXPECT_EQ(joystick_read(), 0);
        EXPECT_EQ(joystick_state.lX, 100);
    }
    testing_controller_detach(pad);
    EXPECT_EQ(joystick_read(), 0) << "unplugged";
    EXPECT_EQ(joystick_state.lX, 100);
}

TEST_F(Input, JoystickReadAfterReleaseZeroFills)
{
    testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
    ASSERT_EQ(joystick_read(), 1);
    ASSERT_EQ(joystick_state.rgdwPOV[0], 0xFFFFFFFFu);
    joystick_release();
    EXPECT_EQ(joystick_device, nullptr);
    EXPECT_EQ(joystick_found, 1);
    EXPECT_EQ(joystick_read(), 0);
    EXPECT_EQ(bytes_down(reinterpret_cast<unsigned char*>(&joystick_state), sizeof joystick_state), 0);
}

TEST_F(Input, DeadZoneOutsideZeroToHundredPercentIsClamped)
{
    testing_controller_attach("Pad");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 150), 1);
    EXPECT_EQ(dead_zone_of(DIJOFS_X), 10000u);
    joystick_release();
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, -5), 1);
    EXPECT_EQ(dead_zone_of(DIJOFS_X), 0u);
    joystick_release();
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 42949673), 1) << "would wrap to 4 if multiplied first";
    EXPECT_EQ(dead_zone_of(DIJOFS_X), 10000u);
}

// ---- shut-down ----

TEST_F(Input, ShutdownReleasesOnlyTheDirectInputObject)
{
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    input_shutdown();
    EXPECT_EQ(dinput, nullptr);
    input_shutdown();  // a second shut-down does nothing
    testing_key(DIK_F2, true);
    EXPECT_EQ(keyboard_read(), 1) << "the game never releases the keyboard; it keeps working";
    EXPECT_EQ(keyboard_state[DIK_F2], 0x80);
    EXPECT_EQ(keyboard_init(), 0) << "no DirectInput object to make devices with";
}
