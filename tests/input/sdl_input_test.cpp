// sdl_input_test.cpp -- the SDL2 host's input: the scancode table, SDL's key, mouse and focus events
// as the input layer then reads them, and a controller plugged in and out through SDL.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "fixtures.h"
#include "input.h"
#include "sdl_host.h"
#include "sdl_input.h"
#include "sdl_pad_keys.h"

// ---- the scancode table ----

TEST(ScancodeTable, EveryKeyTheGameUsesHasItsCode)
{
    const struct {
        SDL_Scancode scancode;
        int dik;
    } keys[] = {
        {SDL_SCANCODE_UP, DIK_UP},         {SDL_SCANCODE_DOWN, DIK_DOWN},   {SDL_SCANCODE_LEFT, DIK_LEFT},
        {SDL_SCANCODE_RIGHT, DIK_RIGHT},   {SDL_SCANCODE_LSHIFT, DIK_LSHIFT}, {SDL_SCANCODE_SPACE, DIK_SPACE},
        {SDL_SCANCODE_F2, DIK_F2},         {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    };
    for (const auto& k : keys)
        EXPECT_EQ(sdl_scancode_to_dik(k.scancode), k.dik) << "scancode " << k.scancode;
    EXPECT_NE(sdl_scancode_to_dik(SDL_SCANCODE_RSHIFT), DIK_LSHIFT) << "right Shift is a key of its own";
}

TEST(ScancodeTable, NoTwoScancodesShareACodeExceptTheSameKeyOnTwoPages)
{
    std::map<int, std::set<int>> scancodes_of;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
        if (const int dik = sdl_scancode_to_dik(scancode))
            scancodes_of[dik].insert(scancode);
    const std::map<int, std::set<int>> shared_on_purpose = {
        {DIK_BACKSLASH, {SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_NONUSHASH}},
        {DIK_MUTE, {SDL_SCANCODE_MUTE, SDL_SCANCODE_AUDIOMUTE}},
    };
    for (const auto& [dik, scancodes] : scancodes_of) {
        if (scancodes.size() == 1)
            continue;
        const auto allowed = shared_on_purpose.find(dik);
        ASSERT_NE(allowed, shared_on_purpose.end()) << "DIK code " << dik << " reached from " << scancodes.size()
                                                    << " scancodes";
        EXPECT_EQ(scancodes, allowed->second) << "DIK code " << dik;
    }
}

TEST(ScancodeTable, CoversTheWholePcKeyboard)
{
    std::set<int> reached;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
        reached.insert(sdl_scancode_to_dik(scancode));
    // The main block, function keys and keypad (0x01 … 0x53), and the keys of an ISO 105-key board.
    std::vector<int> codes;
    for (int dik = DIK_ESCAPE; dik <= DIK_DECIMAL; ++dik)
        codes.push_back(dik);
    for (int dik : {DIK_OEM_102, DIK_F11, DIK_F12, DIK_NUMPADENTER, DIK_RCONTROL, DIK_DIVIDE, DIK_SYSRQ, DIK_RMENU,
                    DIK_PAUSE, DIK_HOME, DIK_UP, DIK_PRIOR, DIK_LEFT, DIK_RIGHT, DIK_END, DIK_DOWN, DIK_NEXT,
                    DIK_INSERT, DIK_DELETE, DIK_LWIN, DIK_RWIN, DIK_APPS})
        codes.push_back(dik);
    for (int dik : codes)
        EXPECT_TRUE(reached.count(dik)) << "no scancode gives DIK code " << dik;
}

TEST(ScancodeTable, LookupIsBoundsChecked)
{
    for (int outside : {-1, int{SDL_NUM_SCANCODES}, SDL_NUM_SCANCODES + 1, INT_MIN, INT_MAX})
        EXPECT_EQ(sdl_scancode_to_dik(outside), 0) << outside;
    EXPECT_EQ(sdl_scancode_to_dik(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(sdl_scancode_to_dik(SDL_SCANCODE_F24), 0) << "no DirectInput code";
}

// ---- events, as the input layer reads them ----

class SdlEvents : public testing::Test {
protected:
    void SetUp() override
    {
        make_test_window();
        ASSERT_EQ(input_init(), 1);
        ASSERT_EQ(keyboard_init(), 1);
        ASSERT_EQ(mouse_init(), 1);
    }
    void TearDown() override
    {
        keyboard_release();
        mouse_release();
        joystick_release();
        input_shutdown();
        joystick_found = 0;
    }
    static void key(SDL_Scancode scancode, SDL_Keycode symbol, bool down)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = symbol;
        sdl_input_event(e);
    }
    static void window_event(Uint8 what)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        sdl_input_event(e);
    }
};

TEST_F(SdlEvents, KeysGoByPhysicalPositionWhateverTheLayout)
{
    key(SDL_SCANCODE_Q, SDLK_a, true);  // the key right of Tab on a French layout types 'a'
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_EQ(keyboard_state[DIK_Q], 0x80);
    EXPECT_EQ(keyboard_state[DIK_A], 0);
    key(SDL_SCANCODE_Q, SDLK_a, false);
    key(SDL_SCANCODE_F24, SDLK_F24, true);  // no DirectInput code: nothing changes
    ASSERT_EQ(keyboard_read(), 1);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(keyboard_state[i], 0) << "byte " << i;
}

TEST_F(SdlEvents, FocusLossLetsGoOfEveryKeyAndButton)
{
    key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    sdl_input_event(e);
    window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    // The key-up happens in another window and never arrives; the focus comes back later.
    testing_focus(true);
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_EQ(keyboard_state[DIK_SPACE], 0) << "no key sticks";
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.rgbButtons[0], 0);
}

TEST_F(SdlEvents, MouseMotionWheelAndButtons)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.xrel = 6;
    e.motion.yrel = -2;
    sdl_input_event(e);
    sdl_input_event(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 2;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    sdl_input_event(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    for (Uint8 button : {SDL_BUTTON_RIGHT, SDL_BUTTON_X1, SDL_BUTTON_X2}) {  // no fifth button: ignored
        e.button.button = button;
        sdl_input_event(e);
    }
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 12);
    EXPECT_EQ(mouse_state.lY, -4);
    EXPECT_EQ(mouse_state.lZ, -240) << "a flipped wheel turns the other way";
    const BYTE right_and_fourth[4] = {0, 0x80, 0, 0x80};
    EXPECT_EQ(std::memcmp(mouse_state.rgbButtons, right_and_fourth, 4), 0);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_RIGHT;
    sdl_input_event(e);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_MIDDLE;
    sdl_input_event(e);
    ASSERT_EQ(mouse_read(), 1);
    const BYTE middle_and_fourth[4] = {0, 0, 0x80, 0x80};
    EXPECT_EQ(std::memcmp(mouse_state.rgbButtons, middle_and_fourth, 4), 0);
}

// ---- a controller through SDL, plugged in and out ----

class SdlController : public SdlEvents {
protected:
    void SetUp() override
    {
        SdlEvents::SetUp();
        if (!sdl_input_open())
            GTEST_SKIP() << "SDL cannot start controller support here: " << SDL_GetError();
    }
    void TearDown() override
    {
        sdl_input_close();
        SdlEvents::TearDown();
    }
    static void pump()
    {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            sdl_input_event(e);
    }
};

TEST_F(SdlController, PlainJoystickIsEnumeratedReadAndUnplugged)
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 3, 4, 1);
    ASSERT_GE(index, 0) << SDL_GetError();
    pump();
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
    SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(stick, nullptr) << "the host opened it";
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(stick, 0, 32767), 0);
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(stick, 1, -32768), 0);
    ASSERT_EQ(SDL_JoystickSetVirtualButton(stick, 2, SDL_PRESSED), 0);
    ASSERT_EQ(SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTDOWN), 0);
    SDL_JoystickUpdate();
    pump();
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 100);
    EXPECT_EQ(joystick_state.lY, -100);
    EXPECT_EQ(joystick_state.rgbButtons[2], 0x80);
    EXPECT_EQ(joystick_state.rgdwPOV[0], 13500u);

    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    pump();
    EXPECT_EQ(joystick_read(), 0) << "unplugged";
    EXPECT_EQ(joystick_state.lX, 100) << "state left as it was";
}

TEST_F(SdlController, GameControllerShowsAsGamepadsDoThroughDirectInput)
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    pump();
    if (!SDL_IsGameController(index))
        GTEST_SKIP() << "SDL gives this virtual device no controller layout";
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(pad, nullptr);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_PRESSED);
    SDL_JoystickUpdate();
    pump();
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, -100);
    EXPECT_EQ(joystick_state.lRy, 65535) << "right stick down, in the default range";
    EXPECT_EQ(joystick_state.lZ, 65535) << "the left trigger pulls the shared Z axis up";
    EXPECT_EQ(joystick_state.rgbButtons[7], 0x80) << "start";
    EXPECT_EQ(joystick_state.rgdwPOV[0], 31500u) << "d-pad up and left";
    SDL_JoystickDetachVirtual(index);
    pump();
}

// ---- the SDL host's event pump hands input to the devices ----

TEST(SdlHostInput, PumpedKeyReachesTheKeyboardAndGetAsyncKeyState)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SdlHost sdl;
    host_install(&sdl);
    if (!make_test_window()) {
        host_install(nullptr);
        GTEST_SKIP() << "no SDL window here: " << sdl.reason();
    }
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // pumps the host's events
    EXPECT_TRUE(GetAsyncKeyState(VK_ESCAPE) & 0x8000);
    DestroyWindow(main_window);
    host_install(nullptr);
}

// ---- the first game controller pressed as keys ----

class SdlPadKeys : public SdlController {
protected:
    void SetUp() override
    {
        SdlController::SetUp();
        if (IsSkipped())
            return;
        attach();
    }
    void TearDown() override
    {
        unsetenv(PAD_KEYS_VARIABLE);
        SdlController::TearDown();
    }
    void attach()
    {
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(index_, 0) << SDL_GetError();
        pump();
        if (!SDL_IsGameController(index_))
            GTEST_SKIP() << "SDL gives this virtual device no controller layout";
        pad_ = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index_));
        ASSERT_NE(pad_, nullptr) << "the host opened it";
    }
    void unplug()
    {
        ASSERT_EQ(SDL_JoystickDetachVirtual(index_), 0);
        pump();
    }
    void stick(SDL_GameControllerAxis axis, int percent)
    {
        SDL_JoystickSetVirtualAxis(pad_, axis, static_cast<Sint16>(32767 * percent / 100));
        SDL_JoystickUpdate();
        pump();
    }
    void button(SDL_GameControllerButton b, bool down)
    {
        SDL_JoystickSetVirtualButton(pad_, b, down ? SDL_PRESSED : SDL_RELEASED);
        SDL_JoystickUpdate();
        pump();
    }
    static bool down(int dik)
    {
        EXPECT_EQ(keyboard_read(), 1);
        return keyboard_state[dik] != 0;
    }
    int index_ = -1;
    SDL_Joystick* pad_ = nullptr;
};

TEST_F(SdlPadKeys, StickPressesAnArrowPastThirtyPercentAndLetsGoInsideTwenty)
{
    const struct {
        int percent;
        bool right;
        const char* why;
    } steps[] = {
        {25, false, "inside the dead zone"}, {35, true, "past it"},      {25, true, "held: not yet back inside 20 %"},
        {31, true, "jitter at the edge"},    {15, false, "back inside"}, {28, false, "short of 30 % again"},
    };
    for (const auto& s : steps) {
        stick(SDL_CONTROLLER_AXIS_LEFTX, s.percent);
        EXPECT_EQ(down(DIK_RIGHT), s.right) << s.percent << " %: " << s.why;
        EXPECT_FALSE(keyboard_state[DIK_LEFT]);
    }
    stick(SDL_CONTROLLER_AXIS_LEFTX, 0);
    stick(SDL_CONTROLLER_AXIS_LEFTY, -100);
    EXPECT_TRUE(down(DIK_UP));
    EXPECT_FALSE(keyboard_state[DIK_DOWN] || keyboard_state[DIK_RIGHT] || keyboard_state[DIK_LEFT]);
    stick(SDL_CONTROLLER_AXIS_LEFTX, -100);
    EXPECT_TRUE(down(DIK_LEFT)) << "a diagonal holds two arrows";
    EXPECT_TRUE(keyboard_state[DIK_UP]);
}

TEST_F(SdlPadKeys, DpadAndStickHoldTheSameArrowTogether)
{
    button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    stick(SDL_CONTROLLER_AXIS_LEFTX, 100);
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    EXPECT_TRUE(down(DIK_RIGHT));
    EXPECT_TRUE(keyboard_state[DIK_DOWN]);
    button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_TRUE(down(DIK_RIGHT)) << "the stick still holds it";
    stick(SDL_CONTROLLER_AXIS_LEFTX, 0);
    EXPECT_FALSE(down(DIK_RIGHT));
    EXPECT_TRUE(keyboard_state[DIK_DOWN]) << "the d-pad still holds it";
}

TEST_F(SdlPadKeys, ButtonsPressTheGameKeysAndTheJoystickSeesTheSameController)
{
    ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
    const struct {
        SDL_GameControllerButton button;
        int dik, joystick_button;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, DIK_SPACE, 0},
        {SDL_CONTROLLER_BUTTON_X, DIK_LSHIFT, 2},
        {SDL_CONTROLLER_BUTTON_START, DIK_F2, 7},
        {SDL_CONTROLLER_BUTTON_BACK, DIK_ESCAPE, 6},
    };
    for (const auto& b : buttons) {
        button(b.button, true);
        EXPECT_TRUE(down(b.dik)) << "DIK code " << b.dik;
        ASSERT_EQ(joystick_read(), 1);
        EXPECT_EQ(joystick_state.rgbButtons[b.joystick_button], 0x80) << "DIK code " << b.dik;
        if (b.dik == DIK_ESCAPE) {
            EXPECT_TRUE(GetAsyncKeyState(VK_ESCAPE) & 0x8000) << "the game reads ESC this way too";
        }
        button(b.button, false);
        EXPECT_FALSE(down(b.dik)) << "DIK code " << b.dik;
    }
    EXPECT_FALSE(GetAsyncKeyState(VK_ESCAPE) & 0x8000);
    button(SDL_CONTROLLER_BUTTON_B, true);
    ASSERT_EQ(keyboard_read(), 1);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(keyboard_state[i], 0) << "B presses no key; byte " << i;
}

TEST_F(SdlPadKeys, KeyboardAndControllerEachKeepTheirHoldOnAKey)
{
    key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
    button(SDL_CONTROLLER_BUTTON_A, true);
    key(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
    EXPECT_TRUE(down(DIK_SPACE)) << "the controller still holds it";
    key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
    button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_TRUE(down(DIK_SPACE)) << "the keyboard still holds it";
    key(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
    EXPECT_FALSE(down(DIK_SPACE));

    stick(SDL_CONTROLLER_AXIS_LEFTY, 100);
    window_event(SDL_WINDOWEVENT_FOCUS_LOST);  // lets go of the keyboard's keys only
    testing_focus(true);
    EXPECT_TRUE(down(DIK_DOWN)) << "the stick is still pushed down";
}

TEST_F(SdlPadKeys, UnpluggingLetsGoOfWhatTheControllerHeld)
{
    key(SDL_SCANCODE_LEFT, SDLK_LEFT, true);
    stick(SDL_CONTROLLER_AXIS_LEFTX, -100);
    button(SDL_CONTROLLER_BUTTON_A, true);
    button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    unplug();
    EXPECT_FALSE(down(DIK_SPACE));
    EXPECT_FALSE(keyboard_state[DIK_UP]);
    EXPECT_TRUE(keyboard_state[DIK_LEFT]) << "the keyboard's own key stays down";
    key(SDL_SCANCODE_LEFT, SDLK_LEFT, false);
    EXPECT_FALSE(down(DIK_LEFT));

    attach();  // plugged in again, centred: presses nothing, and its stick starts afresh
    EXPECT_FALSE(down(DIK_LEFT));
    stick(SDL_CONTROLLER_AXIS_LEFTX, 25);
    EXPECT_FALSE(down(DIK_RIGHT));
}

TEST_F(SdlPadKeys, TheVariableTurnsTheMappingOff)
{
    // Controller support is started afresh, as by the program, with the variable set; the virtual
    // controller goes with it and is plugged in again.
    const auto restart = [this](const char* value) {
        sdl_input_close();
        setenv(PAD_KEYS_VARIABLE, value, 1);
        ASSERT_TRUE(sdl_input_open());
        attach();
    };
    for (const char* off : {"0", "OFF", "no"}) {
        restart(off);
        ASSERT_EQ(joystick_init(-100, 100, -100, 100, 0), 1);
        button(SDL_CONTROLLER_BUTTON_A, true);
        stick(SDL_CONTROLLER_AXIS_LEFTX, 100);
        EXPECT_FALSE(down(DIK_SPACE)) << off;
        EXPECT_FALSE(keyboard_state[DIK_RIGHT]) << off;
        ASSERT_EQ(joystick_read(), 1);
        EXPECT_EQ(joystick_state.rgbButtons[0], 0x80) << "the joystick device still reads it";
        joystick_release();
    }
    restart("1");
    button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(down(DIK_SPACE)) << "any other value leaves it on";
}
