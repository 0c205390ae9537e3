// blit_test.cpp -- Blt between surfaces: colour keys, stretching, clipping, and the refusals; the
// fast copies checked pixel for pixel against the plain per-pixel copy of the same blit.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <ddraw.h>

#include "ddraw_internal.h"
#include "test_random.h"
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
    // An off-screen surface, 8-bit or 16-bit (5.6.5), with a source key when key >= 0.
    LPDIRECTDRAWSURFACE7 surface(int w, int h, int key = -1, int bpp = 8)
    {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (bpp == 16 ? DDSD_PIXELFORMAT : 0);
        d.dwWidth = w;
        d.dwHeight = h;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        d.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        d.ddpfPixelFormat.dwFlags = DDPF_RGB;
        d.ddpfPixelFormat.dwRGBBitCount = 16;
        d.ddpfPixelFormat.dwRBitMask = 0xF800;
        d.ddpfPixelFormat.dwGBitMask = 0x07E0;
        d.ddpfPixelFormat.dwBBitMask = 0x001F;
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
        p.width = d.dwWidth * (d.ddpfPixelFormat.dwRGBBitCount == 8 ? 1 : 2);  // bytes a row
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
    // The same blit onto two copies of `background`, by Blt and by the plain copy: the results and
    // the pixels must agree. `clip` null: no clipper.
    void expect_as_plain(LPDIRECTDRAWSURFACE7 src, const Pixels& background, int bpp, const RECT* clip, RECT d,
                         const RECT* s, DWORD flags, const std::string& what)
    {
        const int w = background.width / (bpp / 8), h = background.height;
        LPDIRECTDRAWSURFACE7 fast = surface(w, h, -1, bpp), plain = surface(w, h, -1, bpp);
        Pixels start = background;
        put(fast, start);
        put(plain, start);
        if (clip) {
            clip_to(fast, *clip);
            clip_to(plain, *clip);
        }
        RECT d1 = d, d2 = d, s1 = s ? *s : RECT{}, s2 = s1;
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.ddckSrcColorkey = {1, 3};  // a key range, for DDBLT_KEYSRCOVERRIDE
        ASSERT_EQ(fast->Blt(&d1, src, s ? &s1 : nullptr, flags, &fx),
                  blt_reference(plain, &d2, src, s ? &s2 : nullptr, flags, &fx))
            << what;
        ASSERT_EQ(get(fast).px, get(plain).px) << what;
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
    Pixels before{100, 80, std::vector<uint8_t>(100 * 80, 0xCC)};
    put(dst, before);
    RECT d = {10, 20, 47, 49};
    ASSERT_EQ(dst->Blt(&d, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    Pixels after = get(dst);
    EXPECT_EQ(after.at(10, 20), 0xCC) << "a key corner";
    EXPECT_EQ(after.at(28, 34), sprite.at(18, 14)) << "the centre";
    expect_as_plain(src, before, 8, nullptr, d, nullptr, DDBLT_KEYSRC, "one keyed copy");
}

// Narrow sprites (one masked move per row) cut at every edge, stretched sprites half off the
// screen, and unkeyed copies and stretches, each against the plain copy.
TEST_F(Blit, ChosenBlitsMatchThePlainCopy)
{
    Pixels narrow = disc(8, 8), wide = disc(42, 36);
    narrow.at(0, 3) = 7;  // opaque pixels on the row ends, where a whole-row move could go wrong
    narrow.at(7, 4) = 9;
    LPDIRECTDRAWSURFACE7 narrow_src = surface(8, 8, 0), wide_src = surface(42, 36, 0);
    put(narrow_src, narrow);
    put(wide_src, wide);
    const Pixels small{40, 30, std::vector<uint8_t>(40 * 30, 0xCC)}, screen{640, 480, std::vector<uint8_t>(640 * 480)};
    const RECT small_clip = {0, 0, 40, 30}, screen_clip = {0, 0, 640, 480};
    for (RECT d :
         {RECT{-3, -2, 5, 6}, RECT{35, 25, 43, 33}, RECT{32, 10, 40, 18}, RECT{10, 26, 18, 34}, RECT{0, 0, 8, 8}})
        expect_as_plain(narrow_src, small, 8, &small_clip, d, nullptr, DDBLT_KEYSRC,
                        "narrow at " + std::to_string(d.left));
    const RECT cases[][2] = {
        {{-30, 400, 44, 458}, {0, 0, 42, 36}},  // 74 × 58, half off the left and bottom edges
        {{600, -20, 674, 38}, {0, 0, 42, 36}},  // off the right and top
        {{100, 100, 121, 118}, {0, 0, 42, 36}},  // shrunk to half
        {{50, 60, 130, 90}, {5, 3, 40, 30}},  // a part of the source, stretched unevenly
    };
    for (const auto& c : cases)
        for (DWORD flags : {DWORD{DDBLT_KEYSRC}, DWORD{0}})
            expect_as_plain(wide_src, screen, 8, &screen_clip, c[0], &c[1], flags, "to " + std::to_string(c[0].left));
    expect_as_plain(wide_src, small, 8, nullptr, {3, 4, 45, 40}, nullptr, 0, "unkeyed, same size");
}

// Sprites of every width from one pixel up (the narrow ones take the masked rows), whole or in
// part, copied or stretched anywhere over a clipped destination, keyed by the source's key, by a
// key range or not at all, at both depths.
TEST_F(Blit, RandomBlitsMatchThePlainCopyAtBothDepths)
{
    TestRandom r;
    for (int bpp : {8, 16}) {
        for (int i = 0; i < 400; ++i) {
            const int w = i % 2 ? r.range(1, 64 / bpp) : r.range(1, 40), h = r.range(1, 20);
            const int bytes = bpp / 8;
            Pixels sprite{w * bytes, h, std::vector<uint8_t>(static_cast<size_t>(w * bytes * h))};
            for (size_t k = 0; k < sprite.px.size(); k += bytes) {
                const int value = r.next() % 3 ? r.range(0, 5) : r.range(0, 0xFFFF);  // keys 0 and 1 .. 3 often
                for (int b = 0; b < bytes; ++b)
                    sprite.px[k + b] = static_cast<uint8_t>(value >> (8 * b));
            }
            LPDIRECTDRAWSURFACE7 src = surface(w, h, 0, bpp);
            put(src, sprite);
            RECT part = {r.range(0, w - 1), r.range(0, h - 1), 0, 0};
            part.right = r.range(part.left + 1, w), part.bottom = r.range(part.top + 1, h);
            const bool whole = r.next() % 4, same = r.next() % 4;
            const RECT s = whole ? RECT{0, 0, w, h} : part;
            const int dw = same ? s.right - s.left : r.range(1, 80), dh = same ? s.bottom - s.top : r.range(1, 60);
            const int x = r.range(-dw, 64), y = r.range(-dh, 48);
            const RECT clip = {r.range(0, 20), r.range(0, 15), r.range(30, 64), r.range(25, 48)};
            const DWORD flags[] = {DDBLT_KEYSRC, DDBLT_KEYSRCOVERRIDE, 0};
            const Pixels background{64 * bytes, 48, std::vector<uint8_t>(64 * bytes * 48, 0xCC)};
            expect_as_plain(src, background, bpp, r.next() % 4 ? &clip : nullptr, {x, y, x + dw, y + dh}, &s,
                            flags[r.next() % 3], std::to_string(bpp) + "-bit case " + std::to_string(i));
            if (HasFatalFailure())
                return;
        }
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
