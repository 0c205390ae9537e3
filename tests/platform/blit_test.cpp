// blit_test.cpp -- Blt between surfaces: colour keys, stretching, clipping, and the refusals,
// checked pixel for pixel against a plain per-pixel model of the same blit.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include <ddraw.h>

#include "testing.h"

namespace {

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> px;
    uint8_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
};

class Blit : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }
    void TearDown() override
    {
        for (auto* s : made)
            s->Release();
        dd->Release();
    }
    LPDIRECTDRAWSURFACE7 surface(int w, int h, int key = -1)
    {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = w;
        d.dwHeight = h;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        LPDIRECTDRAWSURFACE7 s = nullptr;
        EXPECT_EQ(dd->CreateSurface(&d, &s, nullptr), DD_OK);
        if (key >= 0) {
            DDCOLORKEY k = {static_cast<DWORD>(key), static_cast<DWORD>(key)};
            s->SetColorKey(DDCKEY_SRCBLT, &k);
        }
        made.push_back(s);
        return s;
    }
    static void put(LPDIRECTDRAWSURFACE7 s, Pixels& p)
    {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
        for (int y = 0; y < p.height; ++y)
            std::memcpy(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch, &p.at(0, y), p.width);
        s->Unlock(nullptr);
    }
    static Pixels get(LPDIRECTDRAWSURFACE7 s)
    {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        Pixels p;
        EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
        p.width = d.dwWidth;
        p.height = d.dwHeight;
        p.px.resize(p.width * p.height);
        for (int y = 0; y < p.height; ++y)
            std::memcpy(&p.at(0, y), static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch, p.width);
        s->Unlock(nullptr);
        return p;
    }
    // A sprite-like picture: a disc of varied colours on the key colour 0, with holes.
    static Pixels disc(int w, int h)
    {
        Pixels p{w, h, std::vector<uint8_t>(w * h)};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int dx = 2 * x - w + 1, dy = 2 * y - h + 1;
                const bool inside = dx * dx * h * h + dy * dy * w * w < w * w * h * h;
                p.at(x, y) = inside && (x * 7 + y * 3) % 11 ? static_cast<uint8_t>(1 + (x * 5 + y * 13) % 250) : 0;
            }
        return p;
    }
    // The model: every destination pixel of the whole rectangle that lands inside `clip` reads
    // source pixel (sl + (x - dl) * sw / dw, st + (y - dt) * sh / dh), skipped when it is the key.
    static void model(Pixels& dest, const Pixels& src, RECT d, RECT s, RECT clip, int key)
    {
        const int dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
        for (int y = d.top; y < d.bottom; ++y)
            for (int x = d.left; x < d.right; ++x) {
                if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)
                    continue;
                const uint8_t p = src.px[(s.top + (y - d.top) * sh / dh) * src.width + s.left + (x - d.left) * sw / dw];
                if (key < 0 || p != key)
                    dest.at(x, y) = p;
            }
    }
    LPDIRECTDRAWCLIPPER clip_to(LPDIRECTDRAWSURFACE7 s, RECT r)
    {
        LPDIRECTDRAWCLIPPER c = nullptr;
        EXPECT_EQ(dd->CreateClipper(0, &c, nullptr), DD_OK);
        std::vector<uint8_t> storage(sizeof(RGNDATAHEADER) + sizeof(RECT));
        auto* region = reinterpret_cast<LPRGNDATA>(storage.data());
        region->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, sizeof(RECT), r};
        std::memcpy(region->Buffer, &r, sizeof r);
        EXPECT_EQ(c->SetClipList(region, 0), DD_OK);
        EXPECT_EQ(s->SetClipper(c), DD_OK);
        c->Release();  // the surface holds its own reference
        return c;
    }
    LPDIRECTDRAW7 dd = nullptr;
    std::vector<LPDIRECTDRAWSURFACE7> made;
};

}  // namespace

TEST_F(Blit, KeyedCopyLeavesKeyPixelsOfTheDestinationAlone)
{
    Pixels sprite = disc(37, 29);
    LPDIRECTDRAWSURFACE7 src = surface(37, 29, 0);
    put(src, sprite);
    LPDIRECTDRAWSURFACE7 dst = surface(100, 80);
    Pixels expect{100, 80, std::vector<uint8_t>(100 * 80, 0xCC)};
    put(dst, expect);
    RECT d = {10, 20, 47, 49};
    ASSERT_EQ(dst->Blt(&d, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    model(expect, sprite, d, {0, 0, 37, 29}, {0, 0, 100, 80}, 0);
    EXPECT_EQ(get(dst).px, expect.px);
}

TEST_F(Blit, NarrowSpritesCutAtEveryEdgeMatchTheModel)
{
    Pixels sprite = disc(8, 8);
    sprite.at(0, 3) = 7;  // opaque pixels on the row ends, where a whole-row move could go wrong
    sprite.at(7, 4) = 9;
    LPDIRECTDRAWSURFACE7 src = surface(8, 8, 0);
    put(src, sprite);
    LPDIRECTDRAWSURFACE7 dst = surface(40, 30);
    clip_to(dst, {0, 0, 40, 30});
    Pixels expect{40, 30, std::vector<uint8_t>(40 * 30, 0xCC)};
    put(dst, expect);
    const RECT places[] = {{-3, -2, 5, 6}, {35, 25, 43, 33}, {32, 10, 40, 18}, {10, 26, 18, 34}, {0, 0, 8, 8}};
    for (RECT d : places) {
        ASSERT_EQ(dst->Blt(&d, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
        model(expect, sprite, d, {0, 0, 8, 8}, {0, 0, 40, 30}, 0);
    }
    EXPECT_EQ(get(dst).px, expect.px);
}

TEST_F(Blit, StretchedAndClippedShowsExactlyThePartOfTheUnclippedOne)
{
    Pixels sprite = disc(42, 36);
    LPDIRECTDRAWSURFACE7 src = surface(42, 36, 0);
    put(src, sprite);
    const RECT cases[][2] = {
        {{-30, 400, 44, 458}, {0, 0, 42, 36}},  // 74 × 58, half off the left and bottom edges
        {{600, -20, 674, 38}, {0, 0, 42, 36}},  // off the right and top
        {{100, 100, 121, 118}, {0, 0, 42, 36}},  // shrunk to half
        {{50, 60, 130, 90}, {5, 3, 40, 30}},  // a part of the source, stretched unevenly
    };
    for (const auto& c : cases) {
        LPDIRECTDRAWSURFACE7 dst = surface(640, 480);
        clip_to(dst, {0, 0, 640, 480});
        Pixels expect{640, 480, std::vector<uint8_t>(640 * 480, 0)};
        RECT d = c[0], s = c[1];
        ASSERT_EQ(dst->Blt(&d, src, &s, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
        model(expect, sprite, d, s, {0, 0, 640, 480}, 0);
        EXPECT_EQ(get(dst).px, expect.px) << "to " << d.left << "," << d.top;
    }
}

// Rectangles whose sides span more than the int range (a sprite stretched from far off screen):
// the scale is still taken over the whole rectangles, in 64-bit arithmetic.
TEST_F(Blit, StretchWiderThanTheIntRangeStaysExact)
{
    Pixels sprite = disc(8, 8);
    LPDIRECTDRAWSURFACE7 src = surface(8, 8, 0);
    put(src, sprite);
    const RECT cases[] = {
        {-2000000000, 0, 147483648, 8},
        {INT_MIN, 0, INT_MAX, 16},
        {-5, INT_MIN, 40, INT_MAX},
    };
    for (const RECT& d : cases) {
        LPDIRECTDRAWSURFACE7 dst = surface(64, 16);
        clip_to(dst, {0, 0, 64, 16});
        RECT to = d;
        ASSERT_EQ(dst->Blt(&to, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
        const int64_t dw = int64_t{d.right} - d.left, dh = int64_t{d.bottom} - d.top;
        const Pixels got = get(dst);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x) {
                uint8_t want = 0;
                if (x >= d.left && x < d.right && y >= d.top && y < d.bottom)
                    want = sprite.px[(int64_t{y} - d.top) * 8 / dh * 8 + (int64_t{x} - d.left) * 8 / dw];
                ASSERT_EQ(got.px[y * 64 + x], want) << x << "," << y << " of " << d.left << "," << d.top;
            }
    }
}

TEST_F(Blit, UnkeyedCopyAndStretchCopyEveryPixel)
{
    Pixels sprite = disc(16, 16);
    LPDIRECTDRAWSURFACE7 src = surface(16, 16, 0);
    put(src, sprite);
    LPDIRECTDRAWSURFACE7 dst = surface(64, 64);
    Pixels expect{64, 64, std::vector<uint8_t>(64 * 64, 0)};
    RECT same = {3, 4, 19, 20}, big = {20, 20, 60, 52};
    ASSERT_EQ(dst->Blt(&same, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(dst->Blt(&big, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    model(expect, sprite, same, {0, 0, 16, 16}, {0, 0, 64, 64}, -1);
    model(expect, sprite, big, {0, 0, 16, 16}, {0, 0, 64, 64}, -1);
    EXPECT_EQ(get(dst).px, expect.px);
}

TEST_F(Blit, KeyRunsFollowChangesToTheSource)
{
    Pixels sprite = disc(8, 8);
    LPDIRECTDRAWSURFACE7 src = surface(8, 8, 0);
    put(src, sprite);
    LPDIRECTDRAWSURFACE7 dst = surface(8, 8);
    ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
    Pixels changed = sprite;
    changed.at(0, 0) = 99;  // a corner that was key
    changed.at(4, 4) = 0;  // a centre that was opaque
    put(src, changed);
    Pixels before = get(dst);
    ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
    Pixels after = get(dst);
    EXPECT_EQ(after.at(0, 0), 99);
    EXPECT_EQ(after.at(4, 4), before.at(4, 4)) << "the new key pixel is left out";
    DDCOLORKEY other = {99, 99};
    src->SetColorKey(DDCKEY_SRCBLT, &other);
    LPDIRECTDRAWSURFACE7 fresh = surface(8, 8);
    ASSERT_EQ(fresh->Blt(nullptr, src, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
    EXPECT_EQ(get(fresh).at(0, 0), 0) << "a new key takes effect";
    EXPECT_EQ(get(fresh).at(1, 3), changed.at(1, 3));
}

TEST_F(Blit, WhollyOffScreenWithAClipperDrawsNothingAndSucceeds)
{
    LPDIRECTDRAWSURFACE7 src = surface(8, 8, 0);
    Pixels sprite = disc(8, 8);
    put(src, sprite);
    LPDIRECTDRAWSURFACE7 dst = surface(64, 64);
    clip_to(dst, {0, 0, 64, 64});
    RECT away = {-50, 10, -42, 18};
    EXPECT_EQ(dst->Blt(&away, src, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
    Pixels after = get(dst);
    EXPECT_EQ(std::count(after.px.begin(), after.px.end(), 0), 64 * 64);
}

TEST_F(Blit, RefusalsWriteNothing)
{
    LPDIRECTDRAWSURFACE7 src = surface(8, 8, 0);
    Pixels sprite = disc(8, 8);
    put(src, sprite);
    LPDIRECTDRAWSURFACE7 dst = surface(64, 64);
    RECT outside = {60, 60, 68, 68}, inverted = {20, 20, 10, 28}, empty = {5, 5, 5, 13};
    EXPECT_EQ(dst->Blt(&outside, src, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT) << "no clipper";
    EXPECT_EQ(dst->Blt(&inverted, src, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt(&empty, src, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
    RECT bad_source = {0, 0, 9, 8};
    EXPECT_EQ(dst->Blt(nullptr, src, &bad_source, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);

    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    ASSERT_EQ(src->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC, nullptr), DDERR_SURFACEBUSY) << "locked source";
    src->Unlock(nullptr);
    HDC dc = nullptr;
    ASSERT_EQ(dst->GetDC(&dc), DD_OK);
    EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC, nullptr), DDERR_SURFACEBUSY) << "DC out";
    EXPECT_EQ(dst->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    dst->ReleaseDC(dc);
    Pixels after = get(dst);
    EXPECT_EQ(std::count(after.px.begin(), after.px.end(), 0), 64 * 64);
}
