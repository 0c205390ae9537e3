// controllers.cpp -- the game controllers as the host reports them: a bounded table in attach
// order, each with an instance GUID that is never handed out twice, its name and its raw state.
#include <algorithm>
#include <cstring>

#include "input_internal.h"

// ---- records ----
struct Controller {
    int id;  // 0: free slot
    ControllerInfo info;
    ControllerState state;
    uint32_t order;  // attach sequence, for enumeration order
};

// ---- globals ----
static Controller controllers[HOST_CONTROLLERS];
static uint32_t attach_count;  // attaches since the start: ids and GUIDs come from it

// ---- helpers ----

// The attach number in the first field; a fixed tail marks the stand-in's controllers.
static GUID instance_guid(uint32_t serial)
{
    return GUID{serial, 0x1A7C, 0x4D21, {0x9E, 0x00, 'V', 'P', 'A', 'D', 0x00, 0x01}};
}

static Controller* find(int id)
{
    if (id <= 0)
        return nullptr;
    for (Controller& c : controllers)
        if (c.id == id)
            return &c;
    return nullptr;
}

static const Controller* find(const GUID& instance)
{
    for (const Controller& c : controllers)
        if (c.id != 0 && c.info.instance == instance)
            return &c;
    return nullptr;
}

static void centre(ControllerState* s)
{
    std::memset(s, 0, sizeof *s);
    for (DWORD& pov : s->povs)
        pov = HOST_POV_CENTRED;
}

// ---- for the devices ----

int controllers_attached(ControllerInfo* out, int capacity)
{
    const Controller* sorted[HOST_CONTROLLERS];
    int count = 0;
    for (const Controller& c : controllers)
        if (c.id != 0)
            sorted[count++] = &c;
    std::sort(sorted, sorted + count, [](const Controller* a, const Controller* b) { return a->order < b->order; });
    const int written = std::min(count, std::max(capacity, 0));
    for (int i = 0; i < written; ++i)
        out[i] = sorted[i]->info;
    return written;
}

bool controller_is_attached(const GUID& instance) { return find(instance) != nullptr; }

bool controller_state(const GUID& instance, ControllerState* out)
{
    const Controller* c = find(instance);
    if (!c)
        return false;
    *out = c->state;
    return true;
}

// ---- for the hosts ----

int host_controller_attached(const char* name, bool gamepad)
{
    Controller* slot = nullptr;
    for (Controller& c : controllers)
        if (c.id == 0) {
            slot = &c;
            break;
        }
    if (!slot)
        return 0;
    ++attach_count;
    slot->id = static_cast<int>(attach_count);
    slot->order = attach_count;
    slot->info.id = slot->id;
    slot->info.instance = instance_guid(attach_count);
    slot->info.gamepad = gamepad;
    const size_t length = name ? strnlen(name, MAX_PATH - 1) : 0;
    std::memcpy(slot->info.name, name ? name : "", length);
    slot->info.name[length] = '\0';
    centre(&slot->state);
    return slot->id;
}

void host_controller_detached(int id)
{
    if (Controller* c = find(id))
        *c = Controller{};
}

void host_controller_axis(int id, int axis, int position)
{
    Controller* c = find(id);
    if (c && axis >= 0 && axis < HOST_AXES)
        c->state.axes[axis] = std::clamp(position, HOST_AXIS_MIN, HOST_AXIS_MAX);
}

void host_controller_button(int id, int button, bool down)
{
    Controller* c = find(id);
    if (c && button >= 0 && button < HOST_BUTTONS)
        c->state.buttons[button] = down;
}

void host_controller_pov(int id, int pov, uint32_t hundredths)
{
    Controller* c = find(id);
    if (c && pov >= 0 && pov < HOST_POVS)
        c->state.povs[pov] = hundredths < 36000 ? hundredths : HOST_POV_CENTRED;
}
