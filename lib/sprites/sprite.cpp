// sprite.cpp -- Sprite records: frame surfaces made through the display, frames copied in from
// bitmap files, animation sequences, movement in the clip rectangle, keyed blits. Every index and
// rectangle is checked here at the entry; drawing, animating and moving allocate nothing.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "display.h"
#include "placement.h"
#include "sprites.h"

// ---- records ----

namespace {

// The pixels of a bitmap of one depth: rows of width pixels, bytes each, with no gaps.
struct PixelSource {
    const uint8_t* pixels;
    int64_t width, height;
    int bytes;
};

// A block of pixels to copy out of a bitmap.
struct Block {
    int64_t x, y;  // top-left corner in the bitmap
    int width, height;
};

}  // namespace

// ---- helpers ----

// The bitmap's pixels when it holds a loaded picture of `bpp` bits.
static bool source_of(const BitmapFile* bitmap, int bpp, PixelSource* source)
{
    if (!bitmap || !bitmap->pixels || bitmap->info_header.biBitCount != bpp)
        return false;
    const BITMAPINFOHEADER& info = bitmap->info_header;
    if (info.biWidth <= 0 || info.biHeight <= 0)
        return false;
    *source = {bitmap->pixels, info.biWidth, info.biHeight, bpp / 8};
    return true;
}

// Mode 0 takes cell (cx, cy) of a grid of width × height cells with one-pixel borders around and
// between them; any other mode takes (cx, cy) as the pixel corner.
static Block block_at(int mode, int cx, int cy, int width, int height)
{
    if (mode == 0)
        return {int64_t{cx} * (int64_t{width} + 1) + 1, int64_t{cy} * (int64_t{height} + 1) + 1, width, height};
    return {cx, cy, width, height};
}

static bool block_inside(const PixelSource& source, const Block& b)
{
    return b.width > 0 && b.height > 0 && b.x >= 0 && b.y >= 0 && b.x + b.width <= source.width &&
           b.y + b.height <= source.height;
}

// Locks the whole surface: its memory, or null when the lock fails or supplies none (then nothing
// is left locked).
static uint8_t* lock_whole(LPDIRECTDRAWSURFACE7 surface, DDSURFACEDESC2* desc)
{
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
    if (FAILED(surface->Lock(nullptr, desc, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, nullptr)))
        return nullptr;
    if (!desc->lpSurface) {
        surface_unlock(surface);
        return nullptr;
    }
    return static_cast<uint8_t*>(desc->lpSurface);
}

// The locked surface has the source's depth and room for the block in its top-left corner.
static bool surface_holds(const DDSURFACEDESC2& desc, const PixelSource& source, const Block& b)
{
    const int bytes = static_cast<int>((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
    return bytes == source.bytes && desc.dwWidth >= static_cast<DWORD>(b.width) &&
           desc.dwHeight >= static_cast<DWORD>(b.height) && desc.lPitch >= int64_t{b.width} * bytes;
}

// Copies a checked block row by row; the destination advances by its pitch rounded down to whole
// pixels.
static void copy_rows(const PixelSource& source, const Block& b, uint8_t* dest, const DDSURFACEDESC2& desc)
{
    const size_t row = static_cast<size_t>(b.width) * source.bytes;
    const size_t source_step = static_cast<size_t>(source.width) * source.bytes;
    const size_t dest_step = static_cast<size_t>(desc.lPitch) / source.bytes * source.bytes;
    const uint8_t* in =
        source.pixels + static_cast<size_t>(b.y) * source_step + static_cast<size_t>(b.x) * source.bytes;
    for (int r = 0; r < b.height; ++r, in += source_step, dest += dest_step)
        std::memcpy(dest, in, row);
}

// The frame loaders' one body: 1 when the block went into the frame surface.
static int load_frame(Sprite* sprite, const BitmapFile* bitmap, int frame, int cx, int cy, int mode, int bpp)
{
    if (!sprite || frame < 0 || frame >= sprite->frame_count || frame >= SPRITE_MAX_FRAMES)
        return 0;
    LPDIRECTDRAWSURFACE7 surface = sprite->frames[frame];
    PixelSource source;
    if (!surface || !source_of(bitmap, bpp, &source))
        return 0;
    const Block block = block_at(mode, cx, cy, sprite->width, sprite->height);
    if (!block_inside(source, block))
        return 0;
    DDSURFACEDESC2 desc;
    uint8_t* dest = lock_whole(surface, &desc);
    if (!dest)
        return 0;
    const bool fits = surface_holds(desc, source, block);
    if (fits)
        copy_rows(source, block, dest, desc);
    surface_unlock(surface);
    if (!fits)
        return 0;
    sprite->attr |= SPRITE_ATTR_LOADED;
    return 1;
}

// The frame on show, or null when `frame` names no surface.
static LPDIRECTDRAWSURFACE7 current_frame(const Sprite* sprite)
{
    if (sprite->frame < 0 || sprite->frame >= SPRITE_MAX_FRAMES)
        return nullptr;
    return sprite->frames[sprite->frame];
}

// The draws' one body: the current frame keyed onto dest at the truncated position, size w × h.
static int draw_frame(Sprite* sprite, int w, int h, LPDIRECTDRAWSURFACE7 dest)
{
    if (!sprite)
        return 0;
    if (!(sprite->attr & SPRITE_ATTR_VISIBLE))
        return 1;
    LPDIRECTDRAWSURFACE7 frame = current_frame(sprite);
    if (!frame || !dest)
        return 0;
    // The far edges are truncated from float sums, so a fractional position can make the
    // destination one pixel narrower than the frame: the blitter then shrinks the frame.
    RECT to = {trunc_to_int(sprite->pos_x), trunc_to_int(sprite->pos_y),
               trunc_to_int(static_cast<float>(w) + sprite->pos_x),
               trunc_to_int(static_cast<float>(h) + sprite->pos_y)};
    // Both rectangles are stored a field at a time, as the blitter reads them: a field read out of
    // a wider store waits for that store to reach the cache, not forwarded, and the compiler would
    // otherwise merge the copied width and height (and the two zeros) into 8-byte stores.
    RECT from;
    from.left = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    from.top = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    from.right = sprite->width;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    from.bottom = sprite->height;
    return SUCCEEDED(dest->Blt(&to, frame, &from, DDBLT_WAIT | DDBLT_KEYSRC, nullptr)) ? 1 : 0;
}

// Counts one sprite_animate call; true when the animation steps on this call.
static bool tick(Sprite* sprite)
{
    if (sprite->anim_tick < INT32_MAX)
        ++sprite->anim_tick;
    if (sprite->anim_tick < sprite->anim_delay)
        return false;
    sprite->anim_tick = 0;
    return true;
}

// Entries before the terminator.
static int sequence_length(const int32_t* sequence)
{
    int n = 0;
    while (n < SPRITE_MAX_SEQUENCE && sequence[n] != -1)
        ++n;
    return n;
}

// One step through anims[anim]: the next entry, or at the terminator the last entry again
// (one-shot, anim_state 1) or the first (looping).
static int step_sequence(Sprite* sprite)
{
    if (sprite->anim < 0 || sprite->anim >= SPRITE_MAX_ANIMS || !sprite->anims[sprite->anim])
        return 0;
    const int32_t* sequence = sprite->anims[sprite->anim];
    const int length = sequence_length(sequence);
    if (length == 0)
        return 0;
    if (!tick(sprite))
        return 1;
    // A position the sequence does not reach counts as its end.
    const int next = sprite->anim_pos >= 0 && sprite->anim_pos < length ? sprite->anim_pos + 1 : length;
    if (next < length) {
        sprite->anim_pos = next;
    } else if (sprite->attr & SPRITE_ATTR_ANIM_ONE_SHOT) {
        sprite->anim_state = 1;
        sprite->anim_pos = length - 1;
    } else {
        sprite->anim_pos = 0;
    }
    sprite->frame = sequence[sprite->anim_pos];
    return 1;
}

// Leaving past one side of [low - size, high] brings the position back at the other.
static void wrap_axis(float* pos, int low, int high, int size)
{
    const float before = static_cast<float>(int64_t{low} - size);
    if (*pos > static_cast<float>(high))
        *pos = before;
    else if (*pos < before)
        *pos = static_cast<float>(high);
}

// Passing either edge of [low, high - size] turns the velocity; the position stays.
static void bounce_axis(float pos, float* vel, int low, int high, int size)
{
    if (pos > static_cast<float>(int64_t{high} - size) || pos < static_cast<float>(low))
        *vel = -*vel;
}

// ---- sprite objects ----

int sprite_create(Sprite* sprite, int x, int y, int width, int height, int frame_count, uint32_t attr,
                  uint32_t mem_flags, int color_key, int bpp)
{
    if (!sprite || frame_count < 0 || frame_count > SPRITE_MAX_FRAMES)
        return 0;
    sprite->state = 1;
    sprite->attr = attr;
    sprite->anim_state = 0;
    std::memset(sprite->counters, 0, sizeof sprite->counters);
    sprite->frame = 0;
    sprite->frame_count = frame_count;
    sprite->bpp = bpp;
    sprite->anim = 0;
    sprite->anim_tick = 0;
    sprite->anim_pos = 0;
    sprite->anim_delay = 0;
    sprite->pos_x = static_cast<float>(x);
    sprite->pos_y = static_cast<float>(y);
    sprite->vel_x = 0;
    sprite->vel_y = 0;
    sprite->width = width;
    sprite->height = height;
    // Whatever these held belongs to an earlier life of the record (or to a clone's source).
    std::memset(sprite->frames, 0, sizeof sprite->frames);
    std::memset(sprite->anims, 0, sizeof sprite->anims);
    const int64_t surface_width = int64_t{width} + sprite->width_pad;
    if (frame_count > 0 && (surface_width <= 0 || surface_width > INT32_MAX || height <= 0))
        return 0;  // no surface of that size can be made
    for (int i = 0; i < frame_count; ++i) {
        sprite->frames[i] = surface_create(static_cast<int>(surface_width), height, mem_flags, color_key);
        if (!sprite->frames[i])
            return 0;
    }
    return 1;
}

int sprite_load_frame(Sprite* sprite, const BitmapFile* bitmap, int frame, int cx, int cy, int mode)
{
    return load_frame(sprite, bitmap, frame, cx, cy, mode, 8);
}

int sprite_load_frame16(Sprite* sprite, const BitmapFile* bitmap, int frame, int cx, int cy, int mode)
{
    return load_frame(sprite, bitmap, frame, cx, cy, mode, 16);
}

int surface_load_cell(const BitmapFile* bitmap, LPDIRECTDRAWSURFACE7 surface, int cx, int cy)
{
    PixelSource source;
    if (!surface || !source_of(bitmap, 8, &source))
        return 0;
    DDSURFACEDESC2 desc;
    uint8_t* dest = lock_whole(surface, &desc);
    if (!dest)
        return 0;
    // The cell is as large as the surface.
    const Block block = block_at(0, cx, cy, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight));
    const bool fits = desc.dwWidth <= INT32_MAX && desc.dwHeight <= INT32_MAX && block_inside(source, block) &&
                      surface_holds(desc, source, block);
    if (fits)
        copy_rows(source, block, dest, desc);
    surface_unlock(surface);
    return fits ? 1 : 0;
}

int sprite_load_animation(Sprite* sprite, int anim_index, int count, const int32_t* frame_indices)
{
    if (!sprite || anim_index < 0 || anim_index >= SPRITE_MAX_ANIMS || count < 1 || count > SPRITE_MAX_SEQUENCE ||
        !frame_indices)
        return 0;
    auto* sequence = static_cast<int32_t*>(std::malloc((static_cast<size_t>(count) + 1) * sizeof(int32_t)));
    sprite->anims[anim_index] = sequence;
    if (!sequence)
        return 0;
    std::memcpy(sequence, frame_indices, static_cast<size_t>(count) * sizeof(int32_t));
    sequence[count] = -1;
    return 1;
}

int sprite_draw(Sprite* sprite, LPDIRECTDRAWSURFACE7 dest)
{
    return sprite ? draw_frame(sprite, sprite->width, sprite->height, dest) : 0;
}

int sprite_draw_scaled(Sprite* sprite, int draw_width, int draw_height, LPDIRECTDRAWSURFACE7 dest)
{
    return draw_frame(sprite, draw_width, draw_height, dest);
}

// The blitter copies either depth alike, so the 16-bit twins are the same operations.
int sprite_draw16(Sprite* sprite, LPDIRECTDRAWSURFACE7 dest) { return sprite_draw(sprite, dest); }

int sprite_draw_scaled16(Sprite* sprite, int draw_width, int draw_height, LPDIRECTDRAWSURFACE7 dest)
{
    return sprite_draw_scaled(sprite, draw_width, draw_height, dest);
}

int sprite_animate(Sprite* sprite)
{
    if (!sprite)
        return 0;
    if (sprite->attr & SPRITE_ATTR_SINGLE_FRAME) {
        sprite->frame = 0;
    } else if (sprite->attr & SPRITE_ATTR_MULTI_FRAME) {
        if (tick(sprite))
            sprite->frame = int64_t{sprite->frame} + 1 >= sprite->frame_count ? 0 : sprite->frame + 1;
    } else if (sprite->attr & SPRITE_ATTR_MULTI_ANIM) {
        return step_sequence(sprite);
    }
    return 1;
}

int sprite_move(Sprite* sprite)
{
    if (!sprite)
        return 0;
    sprite->pos_x += sprite->vel_x;
    sprite->pos_y += sprite->vel_y;
    if (sprite->attr & SPRITE_ATTR_WRAPAROUND) {
        wrap_axis(&sprite->pos_x, clip_min_x, clip_max_x, sprite->width);
        wrap_axis(&sprite->pos_y, clip_min_y, clip_max_y, sprite->height);
    } else if (sprite->attr & SPRITE_ATTR_BOUNCE) {
        bounce_axis(sprite->pos_x, &sprite->vel_x, clip_min_x, clip_max_x, sprite->width);
        bounce_axis(sprite->pos_y, &sprite->vel_y, clip_min_y, clip_max_y, sprite->height);
    }
    return 1;
}

int sprite_set_position(Sprite* sprite, int x, int y)
{
    if (!sprite)
        return 0;
    sprite->pos_x = static_cast<float>(x);
    sprite->pos_y = static_cast<float>(y);
    return 1;
}

int sprite_set_velocity(Sprite* sprite, int vx, int vy)
{
    if (!sprite)
        return 0;
    sprite->vel_x = static_cast<float>(vx);
    sprite->vel_y = static_cast<float>(vy);
    return 1;
}

int sprite_set_anim_delay(Sprite* sprite, int delay)
{
    if (!sprite)
        return 0;
    sprite->anim_delay = delay;
    return 1;
}

int sprite_set_animation(Sprite* sprite, int anim_index)
{
    if (!sprite)
        return 0;
    sprite->anim = anim_index;
    sprite->anim_pos = 0;
    return 1;
}

int sprite_hide(Sprite* sprite)
{
    if (!sprite)
        return 0;
    sprite->attr &= ~SPRITE_ATTR_VISIBLE;
    return 1;
}

int sprite_show(Sprite* sprite)
{
    if (!sprite)
        return 0;
    sprite->attr |= SPRITE_ATTR_VISIBLE;
    return 1;
}

int sprite_copy(const Sprite* source, Sprite* dest)
{
    if (!source || !dest || source == dest)
        return 0;
    std::memcpy(dest, source, sizeof *dest);
    dest->attr |= SPRITE_ATTR_CLONE;
    return 1;
}

int sprite_destroy(Sprite* sprite)
{
    if (!sprite)
        return 0;
    const bool owner = !(sprite->attr & SPRITE_ATTR_CLONE);
    for (LPDIRECTDRAWSURFACE7& frame : sprite->frames) {
        if (frame && owner)
            frame->Release();
        frame = nullptr;
    }
    for (int32_t*& sequence : sprite->anims) {
        if (owner)
            std::free(sequence);
        sequence = nullptr;
    }
    return 1;
}
