// palette.cpp -- the 8-bit palette: whole and single-entry sets kept in step with shadow_palette,
// rotation of a range, and a table of blinking entries. Every index, range and slot is checked
// before it is used; the device palette is written only when the display has one.
#include <cstring>

#include "display.h"

// ---- constants ----
static constexpr int PALETTE_SIZE = 256;
static constexpr int BLINK_SLOTS = 256;
static constexpr int BLINK_FREE = 0;
static constexpr int BLINK_ON = 1;
static constexpr int BLINK_OFF = -1;

// ---- globals ----
// Zeroed at load, which is the cleared table the first blink command would make; it lives to the
// end of the process.
static BlinkEntry blink_table[BLINK_SLOTS];

// ---- helpers ----

static bool index_valid(int index) { return index >= 0 && index < PALETTE_SIZE; }

static void device_set(int index, const PALETTEENTRY& color)
{
    if (!display_palette)
        return;
    PALETTEENTRY entry = color;
    display_palette->SetEntries(0, static_cast<DWORD>(index), 1, &entry);
}

static int lowest_free_slot()
{
    for (int slot = 0; slot < BLINK_SLOTS; ++slot)
        if (blink_table[slot].state == BLINK_FREE)
            return slot;
    return -1;
}

static int blink_add(const BlinkEntry* entry)
{
    if (!entry || !index_valid(entry->index))
        return -1;
    const int slot = lowest_free_slot();
    if (slot < 0)
        return -1;  // all taken: -1, since 1 would name a slot
    BlinkEntry& b = blink_table[slot];
    b = *entry;
    b.counter = 0;
    b.state = BLINK_OFF;
    device_set(b.index, b.off_color);
    return slot;
}

static int blink_delete(int slot)
{
    if (slot < 0 || slot >= BLINK_SLOTS || blink_table[slot].state == BLINK_FREE)
        return -1;
    std::memset(&blink_table[slot], 0, sizeof blink_table[slot]);
    return slot;
}

static int blink_change(const BlinkEntry* entry, int slot)
{
    if (!entry || slot < 0 || slot >= BLINK_SLOTS || blink_table[slot].state == BLINK_FREE)
        return -1;
    BlinkEntry& b = blink_table[slot];
    b.on_color = entry->on_color;
    b.off_color = entry->off_color;
    b.on_time = entry->on_time;
    b.off_time = entry->off_time;
    device_set(b.index, b.state == BLINK_OFF ? b.off_color : b.on_color);
    return slot;
}

// A phase ends once its counter reaches the phase's length; a length shortened by a change, or one
// of 0 or less, ends the phase at the next run instead of never.
static void blink_run()
{
    for (BlinkEntry& b : blink_table) {
        if (b.state == BLINK_FREE)
            continue;
        ++b.counter;
        if (b.state == BLINK_OFF && b.counter >= b.off_time) {
            b.counter = 0;
            b.state = BLINK_ON;
            device_set(b.index, b.on_color);
        } else if (b.state == BLINK_ON && b.counter >= b.on_time) {
            b.counter = 0;
            b.state = BLINK_OFF;
            device_set(b.index, b.off_color);
        }
    }
}

// ---- palette ----

int palette_set_all(const PALETTEENTRY palette[256])
{
    if (!palette)
        return 0;
    std::memcpy(shadow_palette, palette, sizeof shadow_palette);
    if (display_palette)
        display_palette->SetEntries(0, 0, PALETTE_SIZE, shadow_palette);
    return 1;
}

int palette_save(PALETTEENTRY palette[256])
{
    if (!palette)
        return 0;
    std::memcpy(palette, shadow_palette, sizeof shadow_palette);
    return 1;
}

int palette_set_entry(int index, const PALETTEENTRY* color)
{
    if (!index_valid(index) || !color)
        return 0;
    device_set(index, *color);
    shadow_palette[index] = *color;
    return 1;
}

int palette_get_entry(int index, PALETTEENTRY* color)
{
    if (!index_valid(index) || !color)
        return 0;
    *color = shadow_palette[index];
    return 1;
}

int palette_rotate(int first, int last)
{
    if (!index_valid(first) || !index_valid(last) || first > last || !display_palette)
        return 0;
    const int count = last - first + 1;
    PALETTEENTRY work[PALETTE_SIZE];
    if (FAILED(display_palette->GetEntries(0, static_cast<DWORD>(first), static_cast<DWORD>(count), work)))
        return 0;
    if (count > 1) {
        display_palette->SetEntries(0, static_cast<DWORD>(first + 1), static_cast<DWORD>(count - 1), work);
        display_palette->SetEntries(0, static_cast<DWORD>(first), 1, &work[count - 1]);
    }
    display_palette->GetEntries(0, 0, PALETTE_SIZE, shadow_palette);
    return 1;
}

int palette_blink(int command, BlinkEntry* entry, int slot)
{
    switch (command) {
    case PALETTE_BLINK_ADD:
        return blink_add(entry);
    case PALETTE_BLINK_DELETE:
        return blink_delete(slot);
    case PALETTE_BLINK_CHANGE:
        return blink_change(entry, slot);
    case PALETTE_BLINK_RUN:
        blink_run();
        return 1;
    default:
        return 1;
    }
}
