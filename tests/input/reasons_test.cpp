// reasons_test.cpp -- input_reason(): each reason the input layer's inits give.
#include "fixtures.h"
#include "input.h"
#include "reason_rows.h"

namespace {

int joystick() { return joystick_init(-100, 100, -100, 100, 10); }
int pad() { return testing_controller_attach("Pad") && joystick(); }

// input_init (unless `init` is itself), then `init` with `operation`'s first call failing.
std::function<int()> failing(const char* operation, int (*init)())
{
    return [=] {
        if (init != input_init)
            input_init();
        testing_fault(operation, 1, E_FAIL);
        return init();
    };
}

// clang-format off: one row per reason reads better than one field per line
const ReasonRow ROWS[] = {
    {failing("DirectInput8Create", input_init), "DirectInput cannot start (error 0x80004005)"},
    {[] { main_instance = nullptr; return input_init(); }, "DirectInput cannot start: main_instance is null"},
    {keyboard_init, "there is no DirectInput object: input_init comes first"},
    {failing("IDirectInput8A::CreateDevice", keyboard_init), "the keyboard cannot be made (error 0x80004005)"},
    {failing("IDirectInputDevice8A::SetCooperativeLevel", mouse_init),
     "the mouse cannot be bound to the window (error 0x80004005)"},
    {failing("IDirectInputDevice8A::SetDataFormat", keyboard_init),
     "the keyboard cannot be given its data format (error 0x80004005)"},
    {failing("IDirectInputDevice8A::Acquire", pad), "the game controller cannot be acquired (error 0x80004005)"},
    {[] { input_init(); return joystick(); }, "no game controller is attached"},
    {[] { input_init(); joystick(); return keyboard_init(); }, ""},  // a success empties it
};
// clang-format on

class InputReasons : public testing::TestWithParam<ReasonRow> {
protected:
    void SetUp() override
    {
        make_test_window();
        joystick_found = 0;
        joystick_guid = GUID{};
    }
    void TearDown() override
    {
        keyboard_release();
        mouse_release();
        joystick_release();
        input_shutdown();
    }
};

}  // namespace

REASON_TABLE(InputReasons, ROWS, input_reason);
