// sdl_pad_keys.cpp -- the first game controller pressed as keys: what it holds goes to the key
// state beside the keyboard's own (host_controller_key_changed), so neither releases the other's keys.
#include "sdl_pad_keys.h"

#include <dinput.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <strings.h>

#include "host.h"
#include "../../src/host_reports.h"

// ---- constants ----

// An arrow goes down when the stick is pushed past 30 % of its travel that way and up only when it
// comes back inside 20 %: a worn stick that rests near the dead zone's edge never flickers a key.
static constexpr int STICK_PRESS = 32767 * 30 / 100;
static constexpr int STICK_RELEASE = 32767 * 20 / 100;

// Every key the controller presses and the button that presses it. The first four are the arrows,
// in the order of the stick's directions below, which press them too.
static constexpr struct {
    uint8_t dik;
    SDL_GameControllerButton button;
} PAD_KEYS[] = {
    {DIK_UP, SDL_CONTROLLER_BUTTON_DPAD_UP},     {DIK_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    {DIK_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN}, {DIK_LEFT, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {DIK_SPACE, SDL_CONTROLLER_BUTTON_A},        {DIK_LSHIFT, SDL_CONTROLLER_BUTTON_X},
    {DIK_F2, SDL_CONTROLLER_BUTTON_START},       {DIK_ESCAPE, SDL_CONTROLLER_BUTTON_BACK},
};
static constexpr int PAD_KEY_COUNT = static_cast<int>(std::size(PAD_KEYS));
enum StickDirection { STICK_UP, STICK_RIGHT, STICK_DOWN, STICK_LEFT, STICK_DIRECTIONS };

// ---- globals ----
static bool enabled = true;
static SDL_JoystickID stick_owner = -1;  // the controller whose stick the directions below follow
static bool stick_held[STICK_DIRECTIONS];  // each direction as last decided, for the hysteresis
static bool key_held[PAD_KEY_COUNT];  // what this controller holds of PAD_KEYS now

// ---- helpers ----

static bool says_off(const char* value)
{
    for (const char* off : {"0", "off", "no", "false"})
        if (strcasecmp(value, off) == 0)
            return true;
    return false;
}

static void follow_stick(SDL_GameController* c)
{
    const int x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
    const int toward[STICK_DIRECTIONS] = {-y, x, y, -x};  // how far the stick leans each way
    for (int d = 0; d < STICK_DIRECTIONS; ++d)
        stick_held[d] = toward[d] > (stick_held[d] ? STICK_RELEASE : STICK_PRESS);
}

static void hold_keys(const bool* wanted)
{
    for (int k = 0; k < PAD_KEY_COUNT; ++k)
        if (wanted[k] != key_held[k]) {
            key_held[k] = wanted[k];
            host_controller_key_changed(PAD_KEYS[k].dik, wanted[k]);
        }
}

// ---- public ----

void pad_keys_configure()
{
    pad_keys_update(nullptr);
    const char* value = std::getenv(PAD_KEYS_VARIABLE);
    enabled = !(value && says_off(value));
}

void pad_keys_update(SDL_GameController* controller)
{
    if (!enabled)
        return;
    bool wanted[PAD_KEY_COUNT] = {};
    const SDL_JoystickID owner = controller ? SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) : -1;
    if (owner != stick_owner) {  // another controller took over: its stick starts from the centre
        stick_owner = owner;
        for (bool& held : stick_held)
            held = false;
    }
    if (controller) {
        follow_stick(controller);
        for (int k = 0; k < PAD_KEY_COUNT; ++k)
            wanted[k] = SDL_GameControllerGetButton(controller, PAD_KEYS[k].button) != 0 ||
                        (k < STICK_DIRECTIONS && stick_held[k]);
    }
    hold_keys(wanted);
}
