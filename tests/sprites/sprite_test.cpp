// sprite_test.cpp -- sprite objects: creation and its failures, frame and cell loads with every
// refusal, animation stepping, keyed, fractional, stretched and clipped draws at both depths,
// wrap-around and bounce, clones and destruction.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "display.h"
#include "fixtures.h"
#include "sheet.h"
#include "sprites.h"

namespace {

constexpr int BACKGROUND = 77;  // the back buffer's colour before a draw

// Never 0 (the key) and different at every pixel of a small sheet.
int pattern(int x, int y) { return 1 + (x + 7 * y) % 250; }
// As pattern, with key pixels on every third diagonal.
int keyed_pattern(int x, int y) { return (x + y) % 3 == 0 ? 0 : pattern(x, y); }

// A surface's pixels, copied out under a lock.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

Picture grab(LPDIRECTDRAWSURFACE7 surface)
{
    Picture p;
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    if (surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK)
        return p;
    p.width = static_cast<int>(d.dwWidth);
    p.height = static_cast<int>(d.dwHeight);
    const bool wide = d.ddpfPixelFormat.dwRGBBitCount > 8;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* row = static_cast<const uint8_t*>(d.lpSurface) + static_cast<ptrdiff_t>(y) * d.lPitch;
            p.px.push_back(wide ? reinterpret_cast<const uint16_t*>(row)[x] : row[x]);
        }
    surface->Unlock(nullptr);
    return p;
}

// Reference count of a live COM object, read without changing it.
ULONG references(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

class Sprites : public testing::Test {
protected:
    void SetUp() override
    {
        make_test_window();
        saved_clip_ = {clip_min_x, clip_min_y, clip_max_x, clip_max_y};
    }
    void TearDown() override
    {
        sprite_destroy(&sprite);
        display_shutdown();
        clip_min_x = saved_clip_[0], clip_min_y = saved_clip_[1], clip_max_x = saved_clip_[2],
        clip_max_y = saved_clip_[3];
    }
    // A display of this depth with the back buffer cleared to BACKGROUND, and `sprite` made on it.
    void start(int bpp, int width, int height, int frames, uint32_t attr = 0x12, int key = 0)
    {
        ASSERT_EQ(display_init(640, 480, bpp, 0), 1);
        surface_fill(back_surface, BACKGROUND, nullptr);
        ASSERT_EQ(sprite_create(&sprite, 0, 0, width, height, frames, attr, DDSCAPS_SYSTEMMEMORY, key, bpp), 1);
    }
    ScratchFolder folder;
    Sprite sprite{};
    std::vector<int> saved_clip_;
};

// ---- create ----

TEST_F(Sprites, CreateResetsTheRecordAndMakesKeyedSurfacesWithThePad)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    sprite.width_pad = 2;
    sprite.int_vars[5] = 9;
    sprite.float_vars[2] = 1.5f;
    sprite.counters[1] = 7;
    sprite.frame = 9, sprite.anim = 3, sprite.anim_tick = 2, sprite.anim_pos = 4, sprite.anim_delay = 5;
    sprite.anim_state = 1, sprite.vel_x = 3;
    ASSERT_EQ(sprite_create(&sprite, 3, -4, 10, 6, 3, 0x14, DDSCAPS_SYSTEMMEMORY, 0x10005, 8), 1);
    EXPECT_EQ(sprite.state, 1);
    EXPECT_EQ(sprite.attr, 0x14u);
    EXPECT_EQ(sprite.pos_x, 3.0f);
    EXPECT_EQ(sprite.pos_y, -4.0f);
    EXPECT_EQ(sprite.vel_x, 0.0f);
    EXPECT_EQ(sprite.width, 10);
    EXPECT_EQ(sprite.height, 6);
    EXPECT_EQ(sprite.width_pad, 2) << "create does not set the pad";
    EXPECT_EQ(sprite.bpp, 8);
    EXPECT_EQ(sprite.counters[1], 0);
    EXPECT_EQ(sprite.int_vars[5], 9) << "the game's variables are left alone";
    EXPECT_EQ(sprite.float_vars[2], 1.5f);
    EXPECT_EQ(sprite.frame, 0);
    EXPECT_EQ(sprite.frame_count, 3);
    EXPECT_EQ(sprite.anim, 0);
    EXPECT_EQ(sprite.anim_tick, 0);
    EXPECT_EQ(sprite.anim_pos, 0);
    EXPECT_EQ(sprite.anim_delay, 0);
    EXPECT_EQ(sprite.anim_state, 0);
    for (int i = 0; i < SPRITE_MAX_FRAMES; ++i) {
        if (i >= 3) {
            EXPECT_EQ(sprite.frames[i], nullptr) << i;
            continue;
        }
        ASSERT_NE(sprite.frames[i], nullptr) << i;
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        ASSERT_EQ(sprite.frames[i]->GetSurfaceDesc(&d), DD_OK);
        EXPECT_EQ(d.dwWidth, 12u) << "width + width_pad";
        EXPECT_EQ(d.dwHeight, 6u);
        EXPECT_EQ(d.ddsCaps.dwCaps & (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY),
                  DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
        EXPECT_EQ(d.ddckCKSrcBlt.dwColorSpaceLowValue, 5u) << "the key is the low 16 bits";
        EXPECT_EQ(d.ddckCKSrcBlt.dwColorSpaceHighValue, 5u);
    }
}

TEST_F(Sprites, CreateForgetsOldEntriesWithoutGivingThemBack)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    LPDIRECTDRAWSURFACE7 other = surface_create(4, 4, 0, 0);
    ASSERT_NE(other, nullptr);
    sprite.frames[10] = other;  // as a clone of another record would hold it
    ASSERT_EQ(sprite_create(&sprite, 0, 0, 8, 8, 1, 0x12, 0, 0, 8), 1);
    EXPECT_EQ(sprite.frames[10], nullptr);
    EXPECT_EQ(references(other), 1u) << "the surface was not released";
    other->Release();
}

TEST_F(Sprites, CreateFailuresKeepTheSurfacesMadeSoFar)
{
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 8, 8, 2, 0x12, 0, 0, 8), 0) << "no display: no surfaces";
    EXPECT_EQ(sprite.frames[0], nullptr);

    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    testing_fault("IDirectDraw7::CreateSurface", 3, DDERR_OUTOFMEMORY);
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 8, 8, 5, 0x12, 0, 0, 8), 0);
    EXPECT_NE(sprite.frames[0], nullptr);
    EXPECT_NE(sprite.frames[1], nullptr);
    EXPECT_EQ(sprite.frames[2], nullptr);
    EXPECT_EQ(sprite.frame_count, 5);
    EXPECT_EQ(sprite_destroy(&sprite), 1);  // LeakSanitizer checks the two were given back

    testing_faults_clear();
    testing_fault("IDirectDrawSurface7::SetColorKey", 0, DDERR_GENERIC);
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 8, 8, 2, 0x12, 0, 0, 8), 1) << "the key's result is ignored";
}

TEST_F(Sprites, CreateRefusesFrameCountsTheRecordCannotHold)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 8, 8, SPRITE_MAX_FRAMES + 1, 0x12, 0, 0, 8), 0);
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 8, 8, -1, 0x12, 0, 0, 8), 0);
    EXPECT_EQ(sprite.state, 0) << "the record is untouched";
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 0, 8, 1, 0x12, 0, 0, 8), 0) << "no surface is zero pixels wide";
    EXPECT_EQ(sprite_create(&sprite, 0, 0, 8, 8, SPRITE_MAX_FRAMES, 0x12, 0, 0, 8), 1);
    EXPECT_NE(sprite.frames[SPRITE_MAX_FRAMES - 1], nullptr);
}

// ---- frame loads ----

TEST_F(Sprites, CellModeCountsOnePixelBordersAndPixelModeTakesTheCorner)
{
    start(8, 8, 8, 2);
    Sheet sheet(100, 30, 8, pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 3, 1, 0), 1);
    EXPECT_TRUE(sprite.attr & SPRITE_ATTR_LOADED);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 1, 92, 22, 1), 1) << "the block touching both far edges";
    const Picture cell = grab(sprite.frames[0]), corner = grab(sprite.frames[1]);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(cell.at(x, y), static_cast<uint32_t>(pattern(28 + x, 10 + y))) << x << "," << y;
            ASSERT_EQ(corner.at(x, y), static_cast<uint32_t>(pattern(92 + x, 22 + y))) << x << "," << y;
        }
}

TEST_F(Sprites, FrameLoadsLeaveThePadColumnsAlone)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    sprite.width_pad = 3;
    ASSERT_EQ(sprite_create(&sprite, 0, 0, 5, 4, 1, 0x12, 0, 0, 8), 1);
    Sheet sheet(20, 20, 8, pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 2, 3, 1), 1);
    const Picture p = grab(sprite.frames[0]);
    ASSERT_EQ(p.width, 8);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(p.at(4, y), static_cast<uint32_t>(pattern(6, 3 + y)));
        for (int x = 5; x < 8; ++x)
            EXPECT_EQ(p.at(x, y), 0u) << x << "," << y;
    }
}

TEST_F(Sprites, FrameLoadsRefuseWhatDoesNotFitAndCopyNothing)
{
    start(8, 8, 8, 2);
    Sheet sheet(100, 30, 8, pattern), wide(100, 30, 16, pattern);
    const Picture before = grab(sprite.frames[0]);
    struct Case {
        const char* what;
        const BitmapFile* bitmap;
        int frame, cx, cy, mode;
    } cases[] = {
        {"frame -1", &sheet.file, -1, 0, 0, 0},
        {"frame = frame_count", &sheet.file, 2, 0, 0, 0},
        {"frame 64", &sheet.file, 64, 0, 0, 0},
        {"cell past the right edge", &sheet.file, 0, 11, 0, 0},
        {"cell past the bottom", &sheet.file, 0, 0, 3, 0},
        {"negative cell", &sheet.file, 0, -1, 0, 0},
        {"corner one past the right", &sheet.file, 0, 93, 0, 1},
        {"corner one past the bottom", &sheet.file, 0, 0, 23, 1},
        {"negative corner", &sheet.file, 0, 0, -1, 1},
        {"far corner", &sheet.file, 0, 2147483647, 2147483647, 1},
        {"16-bit bitmap", &wide.file, 0, 0, 0, 1},
        {"no bitmap", nullptr, 0, 0, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sprite_load_frame(&sprite, c.bitmap, c.frame, c.cx, c.cy, c.mode), 0) << c.what;
    BitmapFile unloaded = sheet.file;
    unloaded.pixels = nullptr;
    EXPECT_EQ(sprite_load_frame(&sprite, &unloaded, 0, 0, 0, 1), 0) << "no pixels";
    EXPECT_EQ(sprite_load_frame16(&sprite, &sheet.file, 0, 0, 0, 1), 0) << "8-bit bitmap for the 16-bit load";
    EXPECT_EQ(sprite_load_frame16(&sprite, &wide.file, 0, 0, 0, 1), 0) << "16-bit block into an 8-bit surface";
    sprite.width = 9;  // wider than the surfaces made
    EXPECT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 0) << "block larger than the surface";
    sprite.width = 8;
    EXPECT_FALSE(sprite.attr & SPRITE_ATTR_LOADED);
    EXPECT_EQ(grab(sprite.frames[0]).px, before.px);
    EXPECT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 1) << "nothing was left locked";
}

TEST_F(Sprites, AFailedLockCopiesNothingAndReportsIt)
{
    start(8, 8, 8, 1);
    Sheet sheet(20, 20, 8, pattern);
    const Picture before = grab(sprite.frames[0]);
    testing_fault("IDirectDrawSurface7::Lock", 1, DDERR_SURFACELOST);
    EXPECT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 0), 0);
    EXPECT_FALSE(sprite.attr & SPRITE_ATTR_LOADED);
    EXPECT_EQ(grab(sprite.frames[0]).px, before.px);

    LPDIRECTDRAWSURFACE7 plain = surface_create(8, 8, 0, 0);
    testing_fault("IDirectDrawSurface7::Lock", 1, DDERR_SURFACELOST);
    EXPECT_EQ(surface_load_cell(&sheet.file, plain, 0, 0), 0);
    EXPECT_EQ(surface_load_cell(&sheet.file, plain, 0, 0), 1) << "the next lock works";
    plain->Release();
}

TEST_F(Sprites, SixteenBitFramesCopyTwoBytesAPixel)
{
    start(16, 6, 5, 1);
    Sheet sheet(30, 20, 16, [](int x, int y) { return 0x1000 + x * 64 + y; });
    ASSERT_EQ(sprite_load_frame16(&sprite, &sheet.file, 0, 1, 2, 0), 1);  // cell (1, 2) starts at (8, 13)
    const Picture p = grab(sprite.frames[0]);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(p.at(x, y), static_cast<uint32_t>(0x1000 + (8 + x) * 64 + 13 + y)) << x << "," << y;
    EXPECT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 0) << "16-bit bitmap for the 8-bit load";
}

TEST_F(Sprites, SurfaceLoadCellTakesTheCellSizeFromTheSurface)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    LPDIRECTDRAWSURFACE7 plain = surface_create(8, 8, 0, 0);
    Sheet sheet(100, 30, 8, pattern);
    ASSERT_EQ(surface_load_cell(&sheet.file, plain, 3, 1), 1);
    const Picture p = grab(plain);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(p.at(x, y), static_cast<uint32_t>(pattern(28 + x, 10 + y)));
    EXPECT_EQ(surface_load_cell(&sheet.file, plain, 11, 0), 0) << "past the right edge";
    EXPECT_EQ(surface_load_cell(&sheet.file, plain, 0, -1), 0);
    EXPECT_EQ(surface_load_cell(nullptr, plain, 0, 0), 0);
    EXPECT_EQ(surface_load_cell(&sheet.file, nullptr, 0, 0), 0);
    EXPECT_EQ(grab(plain).px, p.px);
    plain->Release();
}

TEST_F(Sprites, SurfaceLoadCellRefusesSixteenBitSurfaces)
{
    ASSERT_EQ(display_init(640, 480, 16, 0), 1);
    LPDIRECTDRAWSURFACE7 plain = surface_create(8, 8, 0, 0);
    Sheet sheet(100, 30, 8, pattern);
    EXPECT_EQ(surface_load_cell(&sheet.file, plain, 0, 0), 0) << "an 8-bit cell fills half a 16-bit row";
    plain->Release();
}

// ---- animation ----

// frame after each of `calls` sprite_animate calls.
std::vector<int> frames_seen(Sprite* s, int calls)
{
    std::vector<int> out;
    for (int i = 0; i < calls; ++i) {
        EXPECT_EQ(sprite_animate(s), 1);
        out.push_back(s->frame);
    }
    return out;
}

TEST_F(Sprites, SingleFrameHoldsFrameZeroAndNoBitsChangeNothing)
{
    sprite.attr = SPRITE_ATTR_SINGLE_FRAME | SPRITE_ATTR_MULTI_FRAME;
    sprite.frame_count = 4;
    sprite.frame = 3;
    EXPECT_EQ(frames_seen(&sprite, 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(sprite.anim_tick, 0);

    sprite.attr = SPRITE_ATTR_VISIBLE;
    sprite.frame = 2;
    EXPECT_EQ(frames_seen(&sprite, 2), (std::vector<int>{2, 2}));
    EXPECT_EQ(sprite.anim_tick, 0);
}

TEST_F(Sprites, MultiFrameStepsByTheDelayAndWrapsToZero)
{
    sprite.attr = SPRITE_ATTR_MULTI_FRAME | SPRITE_ATTR_MULTI_ANIM;  // the first bit set decides
    sprite.frame_count = 4;
    for (int delay : {0, 1}) {
        sprite.frame = 0;
        sprite_set_anim_delay(&sprite, delay);
        EXPECT_EQ(frames_seen(&sprite, 5), (std::vector<int>{1, 2, 3, 0, 1})) << "delay " << delay;
    }
    sprite.frame = 0;
    sprite.anim_tick = 0;
    sprite_set_anim_delay(&sprite, 3);
    EXPECT_EQ(frames_seen(&sprite, 12), (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0}));
}

TEST_F(Sprites, LoopingSequenceReachesItsFirstEntryOnlyThroughTheWrap)
{
    const int32_t low[] = {0, 1, 2, 3, 4, 5, 6, 7}, high[] = {8, 9, 10, 11, 12, 13, 14, 15};
    ASSERT_EQ(sprite_load_animation(&sprite, 0, 8, low), 1);
    ASSERT_EQ(sprite_load_animation(&sprite, 1, 8, high), 1);
    sprite.attr = SPRITE_ATTR_MULTI_ANIM;
    sprite.frame = 3;
    sprite.anim_tick = 0;
    sprite_set_anim_delay(&sprite, 1);
    sprite.anim_pos = 5;
    ASSERT_EQ(sprite_set_animation(&sprite, 1), 1);
    EXPECT_EQ(sprite.anim_pos, 0);
    EXPECT_EQ(sprite.frame, 3) << "the old frame stays until the next step";
    EXPECT_EQ(frames_seen(&sprite, 10), (std::vector<int>{9, 10, 11, 12, 13, 14, 15, 8, 9, 10}));

    sprite_set_anim_delay(&sprite, 3);
    sprite_set_animation(&sprite, 0);
    EXPECT_EQ(frames_seen(&sprite, 6), (std::vector<int>{10, 10, 1, 1, 1, 2}));
}

TEST_F(Sprites, OneShotSequenceStopsOnItsLastEntry)
{
    const int32_t steps[] = {2, 4, 6};
    ASSERT_EQ(sprite_load_animation(&sprite, 3, 3, steps), 1);
    sprite.attr = SPRITE_ATTR_MULTI_ANIM | SPRITE_ATTR_ANIM_ONE_SHOT;
    sprite_set_animation(&sprite, 3);
    sprite_set_anim_delay(&sprite, 3);
    EXPECT_EQ(frames_seen(&sprite, 6), (std::vector<int>{0, 0, 4, 4, 4, 6}));
    EXPECT_EQ(sprite.anim_state, 0) << "still running on its last entry";
    EXPECT_EQ(frames_seen(&sprite, 3), (std::vector<int>{6, 6, 6}));
    EXPECT_EQ(sprite.anim_state, 1);
    EXPECT_EQ(sprite.anim_pos, 2);
    sprite.anim_state = 0;  // as the game does when it reuses a record
    for (int delay : {0, 1}) {
        sprite_set_anim_delay(&sprite, delay);
        EXPECT_EQ(frames_seen(&sprite, 2), (std::vector<int>{6, 6}));
        EXPECT_EQ(sprite.anim_state, 1) << "the finished sequence keeps reporting its end";
    }
}

TEST_F(Sprites, SequenceLoadsCopyTheCallersArrayAndRefuseBadArguments)
{
    int32_t steps[] = {5, 6};
    ASSERT_EQ(sprite_load_animation(&sprite, 15, 2, steps), 1);
    steps[0] = 9;
    ASSERT_NE(sprite.anims[15], nullptr);
    EXPECT_EQ(sprite.anims[15][0], 5);
    EXPECT_EQ(sprite.anims[15][1], 6);
    EXPECT_EQ(sprite.anims[15][2], -1);
    EXPECT_EQ(sprite_load_animation(&sprite, 16, 2, steps), 0);
    EXPECT_EQ(sprite_load_animation(&sprite, -1, 2, steps), 0);
    EXPECT_EQ(sprite_load_animation(&sprite, 0, 0, steps), 0) << "an empty sequence has no frame to show";
    EXPECT_EQ(sprite_load_animation(&sprite, 0, -5, steps), 0);
    EXPECT_EQ(sprite_load_animation(&sprite, 0, 2, nullptr), 0);
    EXPECT_EQ(sprite.anims[0], nullptr);
}

TEST_F(Sprites, MissingOrEmptySequencesAnimateNothing)
{
    sprite.attr = SPRITE_ATTR_MULTI_ANIM;
    sprite.frame = 4;
    EXPECT_EQ(sprite_animate(&sprite), 0) << "no sequence in slot 0";
    sprite.anim = 16;
    EXPECT_EQ(sprite_animate(&sprite), 0) << "no slot 16";
    const int32_t ends_at_once[] = {-1, 3};
    ASSERT_EQ(sprite_load_animation(&sprite, 2, 2, ends_at_once), 1);
    sprite.anim = 2;
    EXPECT_EQ(sprite_animate(&sprite), 0);
    EXPECT_EQ(sprite.frame, 4);
    EXPECT_EQ(sprite.anim_tick, 0);
}

// ---- draw ----

TEST_F(Sprites, KeyedDrawLeavesTheDestinationUnderKeyPixels)
{
    start(8, 8, 8, 1);
    Sheet sheet(8, 8, 8, keyed_pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 1);
    sprite.pos_x = 10.7f;
    sprite.pos_y = 20.2f;
    ASSERT_EQ(sprite_draw(&sprite, back_surface), 1);
    const Picture p = grab(back_surface);
    int drawn = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool inside = x >= 10 && x < 18 && y >= 20 && y < 28;
            const int source = inside ? keyed_pattern(x - 10, y - 20) : 0;
            const uint32_t want = source ? static_cast<uint32_t>(source) : BACKGROUND;
            ASSERT_EQ(p.at(x, y), want) << x << "," << y;
            drawn += source != 0;
        }
    EXPECT_EQ(drawn, 64 - 21) << "every third diagonal is key";
}

TEST_F(Sprites, NegativeFractionDrawsTheFrameOnePixelNarrower)
{
    start(8, 8, 8, 1);
    Sheet sheet(8, 8, 8, pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 1);
    sprite.pos_x = -0.5f;
    sprite.pos_y = 30.0f;
    ASSERT_EQ(sprite_draw(&sprite, back_surface), 1);
    const Picture p = grab(back_surface);
    // The rectangle 0 .. 7 (exclusive) takes the 8 columns shrunk to 7, nearest pixel.
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(p.at(x, 30 + y), static_cast<uint32_t>(pattern(x * 8 / 7, y))) << x << "," << y;
        EXPECT_EQ(p.at(7, 30 + y), static_cast<uint32_t>(BACKGROUND));
    }
}

TEST_F(Sprites, HiddenSpritesAreNotDrawnAndBadFramesAreRefused)
{
    start(8, 8, 8, 2, 0x02);
    Sheet sheet(8, 8, 8, pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 1);
    const Picture before = grab(back_surface);
    EXPECT_EQ(sprite_draw(&sprite, back_surface), 1) << "not visible: nothing to do";
    EXPECT_EQ(sprite_draw(&sprite, nullptr), 1);
    EXPECT_EQ(sprite_draw_scaled(&sprite, 20, 20, back_surface), 1);
    EXPECT_EQ(grab(back_surface).px, before.px);

    ASSERT_EQ(sprite_show(&sprite), 1);
    EXPECT_TRUE(sprite.attr & SPRITE_ATTR_VISIBLE);
    for (int frame : {-1, 2, 64, 1000000}) {
        sprite.frame = frame;
        EXPECT_EQ(sprite_draw(&sprite, back_surface), 0) << "frame " << frame;
    }
    sprite.frame = 0;
    EXPECT_EQ(sprite_draw(&sprite, nullptr), 0);
    EXPECT_EQ(grab(back_surface).px, before.px);
    ASSERT_EQ(sprite_hide(&sprite), 1);
    EXPECT_FALSE(sprite.attr & SPRITE_ATTR_VISIBLE);
}

TEST_F(Sprites, AFailingBlitReportsZeroAndLeavesTheRecord)
{
    start(8, 8, 8, 1);
    sprite.pos_x = 5.5f;
    ASSERT_NE(back_lock(), nullptr);
    const Sprite before = sprite;
    EXPECT_EQ(sprite_draw(&sprite, back_surface), 0) << "the destination is locked";
    EXPECT_EQ(std::memcmp(&before, &sprite, sizeof sprite), 0);
    back_unlock();
    EXPECT_EQ(sprite_draw_scaled(&sprite, -3, 8, back_surface), 0) << "an inverted rectangle";
}

TEST_F(Sprites, StretchedSpriteHalfOffScreenShowsThePartOnScreen)
{
    start(8, 42, 36, 1);
    Sheet sheet(42, 36, 8, keyed_pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 1);
    sprite_set_position(&sprite, 300, 200);
    ASSERT_EQ(sprite_draw_scaled(&sprite, 74, 58, back_surface), 1);
    const Picture whole = grab(back_surface);
    for (int j = 0; j < 58; ++j)
        for (int i = 0; i < 74; ++i) {
            const int source = keyed_pattern(i * 42 / 74, j * 36 / 58);
            ASSERT_EQ(whole.at(300 + i, 200 + j), source ? static_cast<uint32_t>(source) : BACKGROUND) << i << "," << j;
        }

    surface_fill(back_surface, BACKGROUND, nullptr);
    sprite_set_position(&sprite, -30, -20);
    ASSERT_EQ(sprite_draw_scaled(&sprite, 74, 58, back_surface), 1);
    const Picture cut = grab(back_surface);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool shown = x < 74 - 30 && y < 58 - 20;
            ASSERT_EQ(cut.at(x, y), shown ? whole.at(x + 330, y + 220) : BACKGROUND) << x << "," << y;
        }

    surface_fill(back_surface, BACKGROUND, nullptr);
    sprite_set_position(&sprite, 630, 470);
    ASSERT_EQ(sprite_draw_scaled(&sprite, 74, 58, back_surface), 1);
    const Picture corner = grab(back_surface);
    for (int y = 470; y < 480; ++y)
        for (int x = 630; x < 640; ++x)
            ASSERT_EQ(corner.at(x, y), whole.at(x - 330, y - 270)) << x << "," << y;
}

TEST_F(Sprites, WhollyOffScreenDrawsNothingAndSucceeds)
{
    start(8, 8, 8, 1);
    Sheet sheet(8, 8, 8, pattern);
    ASSERT_EQ(sprite_load_frame(&sprite, &sheet.file, 0, 0, 0, 1), 1);
    const Picture before = grab(back_surface);
    for (float x : {-8.0f, 640.0f, -3.0e9f, 3.0e9f}) {
        sprite.pos_x = x;
        EXPECT_EQ(sprite_draw(&sprite, back_surface), 1) << x;
        EXPECT_EQ(sprite_draw_scaled(&sprite, x == -8.0f ? 8 : 100, 100, back_surface), 1) << x;
    }
    EXPECT_EQ(grab(back_surface).px, before.px);
}

TEST_F(Sprites, SixteenBitTwinsDrawKeyedAndStretched)
{
    start(16, 4, 4, 1, 0x12, 0x12345);
    Sheet sheet(4, 4, 16, [](int x, int y) { return x == y ? 0x2345 : 0x4000 + x * 16 + y; });
    ASSERT_EQ(sprite_load_frame16(&sprite, &sheet.file, 0, 0, 0, 1), 1);
    sprite_set_position(&sprite, 100, 50);
    ASSERT_EQ(sprite_draw16(&sprite, back_surface), 1);
    sprite_set_position(&sprite, 200, 50);
    ASSERT_EQ(sprite_draw_scaled16(&sprite, 8, 8, back_surface), 1);
    const Picture p = grab(back_surface);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(p.at(100 + x, 50 + y), x == y ? BACKGROUND : 0x4000u + x * 16 + y) << x << "," << y;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(p.at(200 + x, 50 + y), x / 2 == y / 2 ? BACKGROUND : 0x4000u + x / 2 * 16 + y / 2)
                << x << "," << y;
}

// ---- move ----

TEST_F(Sprites, WrapAroundComesBackOnTheOtherSide)
{
    sprite.attr = SPRITE_ATTR_WRAPAROUND | SPRITE_ATTR_BOUNCE;  // wrap is tested first
    sprite.width = 80;
    sprite.height = 32;
    struct Case {
        float from, to;
    };
    const Case across[] = {{639.5f, -80.0f}, {-80.5f, 639.0f}, {639.0f, 639.0f}, {-80.0f, -80.0f}};
    const Case down[] = {{479.5f, -32.0f}, {-32.5f, 479.0f}, {479.0f, 479.0f}, {-32.0f, -32.0f}};
    for (const Case& c : across) {
        sprite.pos_x = c.from - 2.0f, sprite.vel_x = 2.0f, sprite.pos_y = 100, sprite.vel_y = 0;
        ASSERT_EQ(sprite_move(&sprite), 1);
        EXPECT_EQ(sprite.pos_x, c.to) << c.from;
        EXPECT_EQ(sprite.vel_x, 2.0f) << "wrap-around does not bounce";
    }
    for (const Case& c : down) {
        sprite.pos_y = c.from + 1.0f, sprite.vel_y = -1.0f, sprite.pos_x = 100, sprite.vel_x = 0;
        ASSERT_EQ(sprite_move(&sprite), 1);
        EXPECT_EQ(sprite.pos_y, c.to) << c.from;
    }
    clip_min_x = 10, clip_max_x = 100;
    sprite.pos_x = 100.5f, sprite.vel_x = 0;
    sprite_move(&sprite);
    EXPECT_EQ(sprite.pos_x, -70.0f) << "clip_min_x - width";
}

TEST_F(Sprites, BounceTurnsTheVelocityAndLeavesThePosition)
{
    sprite.attr = SPRITE_ATTR_BOUNCE;
    sprite.width = 80;
    sprite.height = 32;
    sprite.pos_x = 558.5f, sprite.vel_x = 1.0f;  // reaches 559.5, past 639 - 80
    sprite.pos_y = 446.0f, sprite.vel_y = 1.0f;  // reaches 447 = 479 - 32 exactly
    sprite_move(&sprite);
    EXPECT_EQ(sprite.pos_x, 559.5f);
    EXPECT_EQ(sprite.vel_x, -1.0f);
    EXPECT_EQ(sprite.pos_y, 447.0f);
    EXPECT_EQ(sprite.vel_y, 1.0f) << "the edge itself is inside";
    sprite_move(&sprite);
    EXPECT_EQ(sprite.pos_x, 558.5f);
    EXPECT_EQ(sprite.vel_x, -1.0f);
    EXPECT_EQ(sprite.vel_y, -1.0f);

    sprite.pos_x = 0.5f, sprite.vel_x = -1.0f, sprite.pos_y = 10, sprite.vel_y = 0;
    sprite_move(&sprite);
    EXPECT_EQ(sprite.pos_x, -0.5f);
    EXPECT_EQ(sprite.vel_x, 1.0f);

    sprite.attr = 0;
    sprite.pos_x = 700;
    ASSERT_EQ(sprite_set_velocity(&sprite, 5, 0), 1);
    sprite_move(&sprite);
    EXPECT_EQ(sprite.pos_x, 705.0f) << "neither bit: the sprite just moves";
    EXPECT_EQ(sprite.vel_x, 5.0f);
}

// ---- copies and destruction ----

TEST_F(Sprites, ClonesShareAndNeverGiveBackTheirSourcesPictures)
{
    start(8, 8, 8, 2, 0x14);
    const int32_t steps[] = {0, 1};
    ASSERT_EQ(sprite_load_animation(&sprite, 0, 2, steps), 1);
    Sprite copies[3] = {};
    for (Sprite& c : copies) {
        ASSERT_EQ(sprite_copy(&sprite, &c), 1);
        EXPECT_TRUE(c.attr & SPRITE_ATTR_CLONE);
        EXPECT_EQ(c.frames[1], sprite.frames[1]);
        EXPECT_EQ(c.anims[0], sprite.anims[0]);
    }
    EXPECT_FALSE(sprite.attr & SPRITE_ATTR_CLONE);
    const ULONG held = references(sprite.frames[0]);

    copies[0].pos_x = 50;
    EXPECT_EQ(sprite_draw(&copies[0], back_surface), 1);
    EXPECT_EQ(sprite_animate(&copies[0]), 1);
    EXPECT_EQ(copies[0].frame, 1);
    EXPECT_EQ(sprite.frame, 0) << "a clone animates on its own";

    for (Sprite& c : copies) {
        ASSERT_EQ(sprite_destroy(&c), 1);
        EXPECT_EQ(c.frames[0], nullptr);
        EXPECT_EQ(c.anims[0], nullptr);
    }
    EXPECT_EQ(references(sprite.frames[0]), held) << "clones release nothing";
    EXPECT_EQ(sprite.anims[0][1], 1) << "and free nothing";
    EXPECT_EQ(sprite_draw(&sprite, back_surface), 1);
    // TearDown destroys the source: LeakSanitizer sees every surface and sequence given back once.
}

TEST_F(Sprites, DestroyGivesBackOnceAndASecondDestroyIsHarmless)
{
    start(8, 8, 8, 3);
    const int32_t steps[] = {2};
    ASSERT_EQ(sprite_load_animation(&sprite, 4, 1, steps), 1);
    ASSERT_EQ(sprite_destroy(&sprite), 1);
    for (LPDIRECTDRAWSURFACE7 f : sprite.frames)
        EXPECT_EQ(f, nullptr);
    EXPECT_EQ(sprite.anims[4], nullptr);
    EXPECT_EQ(sprite_destroy(&sprite), 1) << "nothing is released twice";
    ASSERT_EQ(sprite_create(&sprite, 0, 0, 8, 8, 1, 0x12, 0, 0, 8), 1) << "a destroyed record is made again";
}

TEST_F(Sprites, CopyRefusesTheSameRecordAndNullPointers)
{
    sprite.pos_x = 4;
    Sprite other{};
    EXPECT_EQ(sprite_copy(&sprite, &sprite), 0);
    EXPECT_FALSE(sprite.attr & SPRITE_ATTR_CLONE);
    EXPECT_EQ(sprite_copy(nullptr, &other), 0);
    EXPECT_EQ(sprite_copy(&sprite, nullptr), 0);
    EXPECT_EQ(other.pos_x, 0.0f);
}

TEST_F(Sprites, EveryOperationRefusesANullSprite)
{
    Sheet sheet(8, 8, 8, pattern);
    const int32_t steps[] = {0};
    EXPECT_EQ(sprite_create(nullptr, 0, 0, 8, 8, 1, 0x12, 0, 0, 8), 0);
    EXPECT_EQ(sprite_destroy(nullptr), 0);
    EXPECT_EQ(sprite_load_frame(nullptr, &sheet.file, 0, 0, 0, 0), 0);
    EXPECT_EQ(sprite_load_frame16(nullptr, &sheet.file, 0, 0, 0, 0), 0);
    EXPECT_EQ(sprite_load_animation(nullptr, 0, 1, steps), 0);
    EXPECT_EQ(sprite_draw(nullptr, nullptr), 0);
    EXPECT_EQ(sprite_draw_scaled(nullptr, 1, 1, nullptr), 0);
    EXPECT_EQ(sprite_draw16(nullptr, nullptr), 0);
    EXPECT_EQ(sprite_draw_scaled16(nullptr, 1, 1, nullptr), 0);
    EXPECT_EQ(sprite_animate(nullptr), 0);
    EXPECT_EQ(sprite_move(nullptr), 0);
    EXPECT_EQ(sprite_set_position(nullptr, 1, 1), 0);
    EXPECT_EQ(sprite_set_velocity(nullptr, 1, 1), 0);
    EXPECT_EQ(sprite_set_anim_delay(nullptr, 1), 0);
    EXPECT_EQ(sprite_set_animation(nullptr, 1), 0);
    EXPECT_EQ(sprite_hide(nullptr), 0);
    EXPECT_EQ(sprite_show(nullptr), 0);
}

}  // namespace
