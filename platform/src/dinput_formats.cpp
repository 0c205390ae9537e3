// dinput_formats.cpp -- DirectInput's identities and its three predefined data formats, object for
// object as the SDK's import library holds them, and the lookups the devices make in them.
#include <array>

#include "dinput_internal.h"

// ---- identities ----
#define DINPUT_TAIL {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}
const IID IID_IDirectInput8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, DINPUT_TAIL};
const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, DINPUT_TAIL};
const GUID GUID_XAxis = {0xA36D02E0, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_YAxis = {0xA36D02E1, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_ZAxis = {0xA36D02E2, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_RzAxis = {0xA36D02E3, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_Slider = {0xA36D02E4, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_POV = {0xA36D02F2, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_RxAxis = {0xA36D02F4, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_RyAxis = {0xA36D02F5, 0xC9F3, 0x11CF, DINPUT_TAIL};
const GUID GUID_Key = {0x55728220, 0xD33C, 0x11CF, DINPUT_TAIL};
#undef DINPUT_TAIL

// Property n is the GUID {n-0000-0000-"DIPROP"00}: distinct, and never a device's.
#define DIPROP_GUID(n) {n, 0, 0, {'D', 'I', 'P', 'R', 'O', 'P', 0, 0}}
const GUID dinput_property_guids[32] = {
    DIPROP_GUID(0),  DIPROP_GUID(1),  DIPROP_GUID(2),  DIPROP_GUID(3),  DIPROP_GUID(4),  DIPROP_GUID(5),
    DIPROP_GUID(6),  DIPROP_GUID(7),  DIPROP_GUID(8),  DIPROP_GUID(9),  DIPROP_GUID(10), DIPROP_GUID(11),
    DIPROP_GUID(12), DIPROP_GUID(13), DIPROP_GUID(14), DIPROP_GUID(15), DIPROP_GUID(16), DIPROP_GUID(17),
    DIPROP_GUID(18), DIPROP_GUID(19), DIPROP_GUID(20), DIPROP_GUID(21), DIPROP_GUID(22), DIPROP_GUID(23),
    DIPROP_GUID(24), DIPROP_GUID(25), DIPROP_GUID(26), DIPROP_GUID(27), DIPROP_GUID(28), DIPROP_GUID(29),
    DIPROP_GUID(30), DIPROP_GUID(31),
};
#undef DIPROP_GUID

// ---- constants ----
static constexpr DWORD ANY = DIDFT_ANYINSTANCE;
static constexpr DWORD OPTIONAL = DIDFT_OPTIONAL;

// ---- the object tables (the formats point at them without const, as the SDK's do) ----

// One optional button per key code, instance = key code.
static constexpr std::array<DIOBJECTDATAFORMAT, 256> keyboard_table()
{
    std::array<DIOBJECTDATAFORMAT, 256> objects{};
    for (DWORD key = 0; key < objects.size(); ++key)
        objects[key] = {&GUID_Key, key, OPTIONAL | DIDFT_BUTTON | DIDFT_MAKEINSTANCE(key), 0};
    return objects;
}

// Six axes and two sliders, four POV hats, 32 buttons: every object optional.
static constexpr std::array<DIOBJECTDATAFORMAT, 44> joystick_table()
{
    const GUID* axis_guids[HOST_AXES] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,  &GUID_RxAxis,
                                         &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider, &GUID_Slider};
    std::array<DIOBJECTDATAFORMAT, 44> objects{};
    int n = 0;
    for (int axis = 0; axis < HOST_AXES; ++axis)
        objects[n++] = {axis_guids[axis], static_cast<DWORD>(DIJOFS_X + 4 * axis), OPTIONAL | DIDFT_AXIS | ANY,
                        DIDOI_ASPECTPOSITION};
    for (int pov = 0; pov < HOST_POVS; ++pov)
        objects[n++] = {&GUID_POV, static_cast<DWORD>(DIJOFS_POV(pov)), OPTIONAL | DIDFT_POV | ANY, 0};
    for (int button = 0; button < HOST_BUTTONS; ++button)
        objects[n++] = {nullptr, static_cast<DWORD>(DIJOFS_BUTTON(button)), OPTIONAL | DIDFT_BUTTON | ANY, 0};
    return objects;
}

constinit static std::array<DIOBJECTDATAFORMAT, 256> keyboard_objects = keyboard_table();
constinit static std::array<DIOBJECTDATAFORMAT, 7> mouse_objects = {{
    {&GUID_XAxis, DIMOFS_X, DIDFT_AXIS | ANY, 0},
    {&GUID_YAxis, DIMOFS_Y, DIDFT_AXIS | ANY, 0},
    {&GUID_ZAxis, DIMOFS_Z, OPTIONAL | DIDFT_AXIS | ANY, 0},
    {nullptr, DIMOFS_BUTTON0, DIDFT_BUTTON | ANY, 0},
    {nullptr, DIMOFS_BUTTON1, DIDFT_BUTTON | ANY, 0},
    {nullptr, DIMOFS_BUTTON2, OPTIONAL | DIDFT_BUTTON | ANY, 0},
    {nullptr, DIMOFS_BUTTON3, OPTIONAL | DIDFT_BUTTON | ANY, 0},
}};
constinit static std::array<DIOBJECTDATAFORMAT, 44> joystick_objects = joystick_table();

// ---- the formats ----
const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256,
                                     keyboard_objects.size(), keyboard_objects.data()};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE), mouse_objects.size(), mouse_objects.data()};
const DIDATAFORMAT c_dfDIJoystick = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS,
                                     sizeof(DIJOYSTATE), joystick_objects.size(), joystick_objects.data()};

// ---- lookups ----

const DIDATAFORMAT& format_for(DeviceKind kind)
{
    switch (kind) {
    case DeviceKind::keyboard:
        return c_dfDIKeyboard;
    case DeviceKind::mouse:
        return c_dfDIMouse;
    case DeviceKind::joystick:
        break;
    }
    return c_dfDIJoystick;
}

static bool objects_equal(const DIOBJECTDATAFORMAT& a, const DIOBJECTDATAFORMAT& b)
{
    const bool guids_equal = (!a.pguid && !b.pguid) || (a.pguid && b.pguid && *a.pguid == *b.pguid);
    return guids_equal && a.dwOfs == b.dwOfs && a.dwType == b.dwType && a.dwFlags == b.dwFlags;
}

// A copy of a predefined format counts as that format (callers sometimes copy c_dfDIJoystick).
bool format_matches(const DIDATAFORMAT& format, const DIDATAFORMAT& predefined)
{
    if (format.dwSize != predefined.dwSize || format.dwObjSize != predefined.dwObjSize ||
        format.dwFlags != predefined.dwFlags || format.dwDataSize != predefined.dwDataSize ||
        format.dwNumObjs != predefined.dwNumObjs || !format.rgodf)
        return false;
    for (DWORD i = 0; i < format.dwNumObjs; ++i)
        if (!objects_equal(format.rgodf[i], predefined.rgodf[i]))
            return false;
    return true;
}

const DIOBJECTDATAFORMAT* format_object_at(const DIDATAFORMAT& format, DWORD offset)
{
    for (DWORD i = 0; i < format.dwNumObjs; ++i)
        if (format.rgodf[i].dwOfs == offset)
            return &format.rgodf[i];
    return nullptr;
}

int property_number(REFGUID property)
{
    for (int n = 0; n < static_cast<int>(std::size(dinput_property_guids)); ++n)
        if (property == dinput_property_guids[n])
            return n;
    return -1;
}
