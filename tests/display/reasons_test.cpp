// reasons_test.cpp -- display_reason(): each reason the display layer's loaders and inits give. Not
// here: "no memory for ..." (no allocation can be made to fail) and "the picture is larger than
// this program can hold" (a guard that sides capped at 16384 never reach, even on the 32-bit build).
#include "bmp_file.h"
#include "display.h"
#include "fixtures.h"
#include "reason_rows.h"

namespace {

// A 2 × 2 8-bit file, changed as the row says, loaded from memory.
std::function<int()> bmp(void (*change)(BmpLayout&))
{
    return [change] {
        BmpLayout s;
        change(s);
        const std::vector<uint8_t> bytes = bmp_bytes(s);
        BitmapFile file{};
        const int loaded = bitmap_load_memory(&file, bytes.data(), bytes.size());
        bitmap_unload(&file);
        return loaded;
    };
}

void masks16(BmpLayout& s)  // 16 bits, with colour masks after a 40-byte header
{
    s.bits = 16;
    s.compression = BI_BITFIELDS;
    s.masks = {0xF0F0, 0xF00, 0xF};  // red has a gap
}

// image_load8 (bpp 8) or image_load16 into a 4 × 4 image of image_bpp bits (0: not made) from a
// bitmap of source_bpp bits (0: no pixels) and the given side, at pixel corner (1, 1).
std::function<int()> image(int bpp, int image_bpp, int source_bpp, int side = 8)
{
    return [=] {
        BitmapImage image{};
        if (image_bpp)
            image_create(&image, 0, 0, 4, 4, image_bpp);
        uint8_t pixels[64] = {};
        BitmapFile source{};
        source.pixels = source_bpp ? pixels : nullptr;
        source.info_header.biWidth = source.info_header.biHeight = side;
        source.info_header.biBitCount = static_cast<WORD>(source_bpp);
        const int loaded = (bpp == 8 ? image_load8 : image_load16)(&image, &source, 1, 1, 1);
        image_destroy(&image);
        return loaded;
    };
}

// display_init, full screen (or windowed) at 640 × 480 × 8, with `operation`'s `nth` call failing.
std::function<int()> init(const char* operation, int nth = 1, int windowed_mode = 0)
{
    return [=] {
        testing_fault(operation, nth, E_FAIL);
        return display_init(640, 480, 8, windowed_mode);
    };
}

BitmapFile file;

// clang-format off: one row per reason reads better than one field per line
const ReasonRow ROWS[] = {
    {bmp([](BmpLayout& s) { s.keep = 0; }), "the file is empty"},
    {bmp([](BmpLayout& s) { s.keep = 30; }), "the file ends inside its headers"},
    {bmp([](BmpLayout& s) { s.signature = "MB"; }), "not a BMP file: it does not begin with \"BM\""},
    {bmp([](BmpLayout& s) { s.header_size = 12; s.off_bits = 1078; s.keep = 2000; }),
     "a 12-byte info header is not read (only 40, 52, 56, 108 and 124)"},
    {bmp([](BmpLayout& s) { s.bits = 4; }), "4-bit bitmaps are not read (only 8, 16 and 24 bits)"},
    {bmp([](BmpLayout& s) { s.compression = BI_BITFIELDS; }),
     "colour masks go with 16-bit bitmaps only, not 8-bit ones"},
    {bmp([](BmpLayout& s) { s.compression = 1; }), "compressed bitmaps are not read (compression 1)"},
    {bmp([](BmpLayout& s) { s.width = 0; }), "a picture of 0 x 2 is not read (each side 1 to 16384)"},
    {bmp([](BmpLayout& s) { s.clr_used = 257; }), "a palette of 257 colours is more than 256"},
    {bmp([](BmpLayout& s) { s.keep = 60; }), "the file ends inside its palette"},
    {bmp([](BmpLayout& s) { s.off_bits = 14 + 40 + 100; }), "the pixels begin inside the headers or the palette"},
    {bmp([](BmpLayout& s) { s.off_bits = 1 << 30; }), "the pixels begin past the end of the file"},
    {bmp([](BmpLayout& s) { s.keep = 14 + 40 + 1024 + 5; }), "the file ends inside its pixels"},
    {bmp(masks16), "the colour masks are not three separate runs of bits within 16"},
    {bmp([](BmpLayout& s) { masks16(s); s.keep = 60; }), "the file ends inside its colour masks"},
    {[] { return bitmap_load_memory(&file, nullptr, 10); }, "a null record or data"},
    {[] { return bitmap_load(&file, nullptr); }, "a null record or file name"},
    {[] { return bitmap_load(&file, "missing.bmp"); }, "the file cannot be opened"},
    {[] { bmp_write("a.bmp", BmpLayout{}); testing_fault("_lread", 1, E_FAIL); return bitmap_load(&file, "a.bmp"); },
     "a read of the file failed"},
    {[] { return image_create(nullptr, 0, 0, 4, 4, 8); }, "a null image record"},
    {[] { BitmapImage i{}; return image_create(&i, 0, 0, 4, 4, 24); }, "images have 8 or 16 bits a pixel, not 24"},
    {[] { BitmapImage i{}; return image_create(&i, 0, 0, 0, 5, 8); }, "an image of 0 x 5 has no pixels"},
    {[] { BitmapImage i{}; return image_create(&i, 0, 0, 65536, 32768, 8); },
     "an image of 65536 x 32768 is larger than num_bytes can count"},
    {image(8, 0, 8), "the image is not made: image_create comes first"},
    {image(16, 8, 16), "image_load16 fills 16-bit images, not 8-bit ones"},
    {image(8, 8, 0), "the bitmap holds no picture"},
    {image(8, 8, 16), "a 16- or 24-bit picture has no palette for an 8-bit image"},
    {image(16, 16, 8), "pictures of 8 bits cannot fill 16-bit images"},
    {image(8, 8, 8, 4), "the 4 x 4 block at (1, 1) lies outside the 4 x 4 picture"},
    {[] { return palette_file_load("p.pal", nullptr); }, "a null file name or palette"},
    {[] { return palette_file_load("missing.pal", shadow_palette); }, "the file cannot be opened"},
    {[] { return palette_file_save("none/p.pal", shadow_palette); }, "the file cannot be created"},
    {[] { return palette_file_save("/dev/full", shadow_palette); }, "the file was not written whole"},
    {init("DirectDrawCreateEx"), "DirectDraw cannot start (error 0x80004005)"},
    {init("IDirectDraw7::SetCooperativeLevel"), "the window cannot take the display (error 0x80004005)"},
    {[] { main_window = nullptr; return display_init(640, 480, 8, 0); }, "there is no window: main_window is null"},
    {init("IDirectDraw7::SetDisplayMode"),
     "the display mode 640 x 480 with 8 bits a pixel is refused (error 0x80004005)"},
    {init("IDirectDraw7::CreateSurface"), "the primary surface cannot be made (error 0x80004005)"},
    {init("IDirectDrawSurface7::GetAttachedSurface"), "the back buffer cannot be found (error 0x80004005)"},
    {init("IDirectDraw7::CreatePalette"), "the 8-bit palette cannot be made or set on the primary surface"},
    {init("IDirectDraw7::CreateClipper", 2, 1), "the window's clipper cannot be made or set on the primary surface"},
    {[] { bitmap_load(&file, "missing.bmp"); return display_init(640, 480, 8, 0); }, ""},  // a success empties it
};
// clang-format on

class DisplayReasons : public testing::TestWithParam<ReasonRow> {
protected:
    void SetUp() override { make_test_window(); }
    void TearDown() override
    {
        bitmap_unload(&file);
        display_shutdown();
    }
    ScratchFolder folder;
};

}  // namespace

REASON_TABLE(DisplayReasons, ROWS, display_reason);
