// bitmap.cpp -- .BMP files into BitmapFile records: known headers only, the 8-bit palette, rows
// turned top-down without padding, 24-bit pixels packed to the display's 16-bit format. A bad file
// is a result (0), never a crash: every size is checked against the file before anything is
// allocated, and nothing larger than the picture itself (and one row) is ever allocated. Every
// refusal says why through display_reason().
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "display.h"
#include "display_failure.h"

// ---- constants ----
static constexpr WORD BMP_SIGNATURE = 0x4D42;  // "BM"
static constexpr size_t FILE_HEADER_BYTES = 14;
// The info header sizes that begin with the 40-byte layout: the plain header, the two with colour
// masks, and the version 4 and 5 headers that current tools write.
static constexpr DWORD KNOWN_HEADER_SIZES[] = {40, 52, 56, 108, 124};
static constexpr size_t LARGEST_HEADER_BYTES = 124;
static constexpr size_t PLAIN_HEADER_BYTES = 40;
static constexpr size_t MASK_BYTES = 12;  // red, green and blue masks of a 16-bit BI_BITFIELDS file
// A 16-bit BI_RGB pixel: 5 bits each of red, green and blue, the top bit unused.
static constexpr DWORD RGB555_MASKS[3] = {0x7C00, 0x03E0, 0x001F};

// ---- records ----

// Private to this file: the unnamed namespace keeps the names out of the rest of the program.
namespace {

// Where a file's bytes come from: an open file or a buffer in memory. Reads past the end fail.
struct ByteSource {
    HFILE file;           // HFILE_ERROR when reading from memory
    const uint8_t* data;  // memory only
    size_t size;          // bytes the source holds
    size_t position;      // never beyond size
};

// One colour of a 16-bit file's pixel: where its bits lie, and each of its values widened to 8 bits.
struct Channel {
    int shift;           // of the mask's lowest bit
    int width;           // bits, 1 to 14
    uint8_t level[256];  // by the channel's top 8 bits (all of them when it has fewer)
};

// What the headers say, checked against each other and against the source.
struct Layout {
    int width, height;
    bool top_down;
    int bits;             // 8, 16 or 24 in the file
    Channel red, green, blue;  // 16-bit files only
    int colours;          // 8-bit palette entries the file holds
    size_t row_bytes;     // pixel bytes of one file row, without its padding
    size_t stride;        // file row with padding to 4 bytes
    size_t pixel_offset;  // where the first stored row begins
    size_t out_row_bytes; // a row of the record's buffer
};

}  // namespace

// ---- helpers: reading ----

// `part` names what the bytes are, for the reason when the source ends first.
static bool source_read(ByteSource* s, void* out, size_t n, const char* part)
{
    if (n > s->size - s->position)
        return display_fail("the file ends inside its %s", part);
    if (s->file == HFILE_ERROR) {
        if (n)
            std::memcpy(out, s->data + s->position, n);
    } else if (_lread(s->file, out, static_cast<UINT>(n)) != n) {
        return display_fail("a read of the file failed");
    }
    s->position += n;
    return true;
}

static bool source_seek(ByteSource* s, size_t offset)
{
    if (offset > s->size)
        return display_fail("the file ends inside its pixels");
    if (offset == s->position)
        return true;
    if (s->file != HFILE_ERROR && _llseek(s->file, static_cast<LONG>(offset), FILE_BEGIN) != static_cast<LONG>(offset))
        return display_fail("a read of the file failed");
    s->position = offset;
    return true;
}

static WORD le16(const uint8_t* p) { return static_cast<WORD>(p[0] | p[1] << 8); }

static DWORD le32(const uint8_t* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

// ---- helpers: headers ----

static bool read_file_header(ByteSource* s, BITMAPFILEHEADER* h)
{
    uint8_t raw[FILE_HEADER_BYTES];
    if (s->size == 0)
        return display_fail("the file is empty");
    if (!source_read(s, raw, sizeof raw, "headers"))
        return false;
    h->bfType = le16(raw);
    h->bfSize = le32(raw + 2);
    h->bfReserved1 = le16(raw + 6);
    h->bfReserved2 = le16(raw + 8);
    h->bfOffBits = le32(raw + 10);
    return h->bfType == BMP_SIGNATURE || display_fail("not a BMP file: it does not begin with \"BM\"");
}

// Reads the info header whole (any known size) and keeps its first 40 bytes; `masks` gets the red,
// green and blue masks that headers of 52 bytes and more hold, zeros for a 40-byte header.
static bool read_info_header(ByteSource* s, BITMAPINFOHEADER* h, DWORD masks[3])
{
    uint8_t raw[LARGEST_HEADER_BYTES];
    if (!source_read(s, raw, 4, "headers"))
        return false;
    const DWORD size = le32(raw);
    bool known = false;
    for (DWORD k : KNOWN_HEADER_SIZES)
        known = known || size == k;
    if (!known)
        return display_fail("a %lu-byte info header is not read (only 40, 52, 56, 108 and 124)",
                            static_cast<unsigned long>(size));
    if (!source_read(s, raw + 4, size - 4, "headers"))
        return false;
    h->biSize = size;
    h->biWidth = static_cast<LONG>(le32(raw + 4));
    h->biHeight = static_cast<LONG>(le32(raw + 8));
    h->biPlanes = le16(raw + 12);
    h->biBitCount = le16(raw + 14);
    h->biCompression = le32(raw + 16);
    h->biSizeImage = le32(raw + 20);
    h->biXPelsPerMeter = static_cast<LONG>(le32(raw + 24));
    h->biYPelsPerMeter = static_cast<LONG>(le32(raw + 28));
    h->biClrUsed = le32(raw + 32);
    h->biClrImportant = le32(raw + 36);
    for (int i = 0; i < 3; ++i)
        masks[i] = size > PLAIN_HEADER_BYTES ? le32(raw + PLAIN_HEADER_BYTES + 4 * i) : 0;
    return true;
}

// The three masks a 40-byte header leaves to the 12 bytes after it.
static bool read_masks(ByteSource* s, DWORD masks[3])
{
    uint8_t raw[MASK_BYTES];
    if (!source_read(s, raw, sizeof raw, "colour masks"))
        return false;
    for (int i = 0; i < 3; ++i)
        masks[i] = le32(raw + 4 * i);
    return true;
}

// Bit replication: the channel's bits repeated below themselves until 8 are filled, so that 0
// stays 0, all ones becomes 255 and the values between spread evenly. A channel wider than 8 bits
// keeps its top 8.
static uint8_t widen_to_8(unsigned value, int width)
{
    unsigned out = 0;
    int filled = 0;
    for (; filled < 8; filled += width)
        out = out << width | value;
    return static_cast<uint8_t>(out >> (filled - 8));
}

// A mask that is one run of set bits inside 16 bits becomes a channel; anything else is refused.
static bool plan_channel(DWORD mask, Channel* c)
{
    if (mask == 0 || mask > 0xFFFF)
        return false;
    c->shift = 0;
    while (!(mask >> c->shift & 1))
        ++c->shift;
    const DWORD run = mask >> c->shift;
    if (run & (run + 1))
        return false;  // a gap inside the mask
    c->width = 0;
    while (run >> c->width)
        ++c->width;
    const int kept = c->width < 8 ? c->width : 8;
    for (unsigned v = 0; v < 256; ++v)
        c->level[v] = widen_to_8(v & ((1u << kept) - 1), kept);
    return true;
}

// The red, green and blue channels of a 16-bit file; the alpha mask, if any, is not looked at.
static bool plan_channels(const DWORD masks[3], Layout* l)
{
    const bool apart = !(masks[0] & masks[1]) && !(masks[0] & masks[2]) && !(masks[1] & masks[2]);
    return (apart && plan_channel(masks[0], &l->red) && plan_channel(masks[1], &l->green) &&
            plan_channel(masks[2], &l->blue)) ||
           display_fail("the colour masks are not three separate runs of bits within 16");
}

// Checks the headers and works out where every row lies; false for anything not loadable.
// `mask_bytes`: the bytes of colour masks after a 40-byte header (0 or 12).
static bool plan_layout(const BITMAPFILEHEADER& fh, const BITMAPINFOHEADER& ih, size_t mask_bytes,
                        size_t source_size, Layout* l)
{
    if (ih.biBitCount != 8 && ih.biBitCount != 16 && ih.biBitCount != 24)
        return display_fail("%d-bit bitmaps are not read (only 8, 16 and 24 bits)", ih.biBitCount);
    // Colour masks describe 16-bit pixels only; no other depth takes compression of any kind.
    if (ih.biCompression == BI_BITFIELDS && ih.biBitCount != 16)
        return display_fail("colour masks go with 16-bit bitmaps only, not %d-bit ones", ih.biBitCount);
    if (ih.biCompression != BI_RGB && ih.biCompression != BI_BITFIELDS)
        return display_fail("compressed bitmaps are not read (compression %lu)",
                            static_cast<unsigned long>(ih.biCompression));
    // Negative heights mark top-down files; the most negative value has no positive twin.
    if (ih.biWidth <= 0 || ih.biWidth > BITMAP_MAX_SIDE || ih.biHeight == 0 ||
        ih.biHeight < -BITMAP_MAX_SIDE || ih.biHeight > BITMAP_MAX_SIDE)
        return display_fail("a picture of %ld x %ld is not read (each side 1 to 16384)", static_cast<long>(ih.biWidth),
                            static_cast<long>(ih.biHeight));
    l->width = static_cast<int>(ih.biWidth);
    l->top_down = ih.biHeight < 0;
    l->height = static_cast<int>(l->top_down ? -ih.biHeight : ih.biHeight);
    l->bits = ih.biBitCount;
    l->colours = 0;
    if (l->bits == 8) {
        if (ih.biClrUsed > 256)
            return display_fail("a palette of %lu colours is more than 256", static_cast<unsigned long>(ih.biClrUsed));
        l->colours = ih.biClrUsed == 0 ? 256 : static_cast<int>(ih.biClrUsed);
    }
    // Sides are capped at 16384, so these products stay far below 2^63; the total is still checked
    // against size_t, which is 32 bits on the 32-bit build.
    const uint64_t row_bytes = static_cast<uint64_t>(l->width) * (l->bits / 8);
    const uint64_t stride = (row_bytes + 3) & ~uint64_t{3};
    const uint64_t headers_end = FILE_HEADER_BYTES + ih.biSize + mask_bytes + 4u * static_cast<uint64_t>(l->colours);
    const uint64_t offset = fh.bfOffBits;
    if (headers_end > source_size)
        return display_fail("the file ends inside its %s", l->colours ? "palette" : "headers");
    if (offset < headers_end)
        return display_fail("the pixels begin inside the headers or the palette");
    // The last row needs its pixels, not its padding.
    const uint64_t data_end = offset + stride * (static_cast<uint64_t>(l->height) - 1) + row_bytes;
    if (data_end > source_size)
        return display_fail(offset >= source_size ? "the pixels begin past the end of the file"
                                                  : "the file ends inside its pixels");
    const uint64_t out_row = static_cast<uint64_t>(l->width) * (l->bits == 8 ? 1 : 2);
    if (out_row * static_cast<uint64_t>(l->height) > SIZE_MAX)
        return display_fail("the picture is larger than this program can hold");
    l->row_bytes = static_cast<size_t>(row_bytes);
    l->stride = static_cast<size_t>(stride);
    l->pixel_offset = static_cast<size_t>(offset);
    l->out_row_bytes = static_cast<size_t>(out_row);
    return true;
}

// The file's colours (blue, green, red, reserved) as red, green, blue, PC_NOCOLLAPSE; the entries
// the file lacks are black.
static bool read_palette(ByteSource* s, int colours, PALETTEENTRY palette[256])
{
    uint8_t raw[256 * 4];
    if (!source_read(s, raw, static_cast<size_t>(colours) * 4, "palette"))
        return false;
    for (int i = 0; i < 256; ++i) {
        const bool held = i < colours;
        palette[i].peRed = held ? raw[i * 4 + 2] : 0;
        palette[i].peGreen = held ? raw[i * 4 + 1] : 0;
        palette[i].peBlue = held ? raw[i * 4] : 0;
        palette[i].peFlags = PC_NOCOLLAPSE;
    }
    return true;
}

// ---- helpers: pixels ----

// The display's 16-bit packer: 5.5.5 on a 15-bit display, 5.6.5 on every other (and before any).
using Packer = uint16_t (*)(int red, int green, int blue);
static Packer packer() { return pixel_format == 15 ? rgb16_555 : rgb16_565; }

static void store16(uint8_t* out, uint16_t p)
{
    out[0] = static_cast<uint8_t>(p);
    out[1] = static_cast<uint8_t>(p >> 8);
}

// One row of 24-bit pixels (blue, green, red) packed into the display's 16-bit format.
static void pack_row24(const uint8_t* in, uint8_t* out, int width)
{
    const auto pack = packer();
    for (int x = 0; x < width; ++x)
        store16(out + 2 * x, pack(in[3 * x + 2], in[3 * x + 1], in[3 * x]));
}

// A channel's value in `pixel`, widened to 8 bits.
static int channel_level(const Channel& c, unsigned pixel)
{
    const unsigned value = pixel >> c.shift & ((1u << c.width) - 1);
    return c.level[c.width > 8 ? value >> (c.width - 8) : value];
}

// One row of the file's 16-bit pixels, each channel widened to 8 bits, then packed as 24-bit ones are.
static void pack_row16(const uint8_t* in, uint8_t* out, const Layout& l)
{
    const auto pack = packer();
    for (int x = 0; x < l.width; ++x) {
        const unsigned p = le16(in + 2 * x);
        store16(out + 2 * x, pack(channel_level(l.red, p), channel_level(l.green, p), channel_level(l.blue, p)));
    }
}

// Reads every stored row into its place in a new top-down buffer; null on a short read or no memory.
static uint8_t* read_pixels(ByteSource* s, const Layout& l)
{
    auto* pixels = static_cast<uint8_t*>(std::malloc(l.out_row_bytes * static_cast<size_t>(l.height)));
    // Packed pixels are read into a row of their own first; 8-bit rows go straight to their place.
    const bool packed = l.bits != 8;
    uint8_t* row = packed ? static_cast<uint8_t*>(std::malloc(l.row_bytes)) : nullptr;
    bool ok = (pixels && (!packed || row)) || display_fail("no memory for the pixels");
    for (int i = 0; ok && i < l.height; ++i) {
        const int y = l.top_down ? i : l.height - 1 - i;
        uint8_t* out = pixels + static_cast<size_t>(y) * l.out_row_bytes;
        ok = source_seek(s, l.pixel_offset + static_cast<size_t>(i) * l.stride) &&
             source_read(s, packed ? row : out, l.row_bytes, "pixels");
        if (ok && l.bits == 24)
            pack_row24(row, out, l.width);
        else if (ok && l.bits == 16)
            pack_row16(row, out, l);
    }
    std::free(row);
    if (!ok) {
        std::free(pixels);
        return nullptr;
    }
    return pixels;
}

// Loads into `bitmap` only when the whole file is good, so a failure leaves the record as it was.
static int load_from(BitmapFile* bitmap, ByteSource* s)
{
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    DWORD masks[3];
    PALETTEENTRY palette[256];
    Layout l;
    if (!read_file_header(s, &fh) || !read_info_header(s, &ih, masks))
        return 0;
    const bool bitfields = ih.biBitCount == 16 && ih.biCompression == BI_BITFIELDS;
    const size_t mask_bytes = bitfields && ih.biSize == PLAIN_HEADER_BYTES ? MASK_BYTES : 0;
    if ((mask_bytes && !read_masks(s, masks)) || !plan_layout(fh, ih, mask_bytes, s->size, &l))
        return 0;
    if (l.bits == 16 && !plan_channels(bitfields ? masks : RGB555_MASKS, &l))
        return 0;
    if (l.bits == 8 && !read_palette(s, l.colours, palette))
        return 0;
    uint8_t* pixels = read_pixels(s, l);
    if (!pixels)
        return 0;

    std::free(bitmap->pixels);
    bitmap->pixels = pixels;
    bitmap->file_header = fh;
    bitmap->info_header = ih;
    bitmap->info_header.biHeight = l.height;
    if (l.bits == 24)
        bitmap->info_header.biBitCount = 16;
    if (l.bits == 8)
        std::memcpy(bitmap->palette, palette, sizeof palette);
    return display_succeed();
}

// ---- bitmap files ----

int bitmap_load(BitmapFile* bitmap, const char* filename)
{
    if (!bitmap || !filename)
        return display_fail("a null record or file name");
    OFSTRUCT info;
    const HFILE file = OpenFile(filename, &info, OF_READ);
    if (file == HFILE_ERROR)
        return display_fail("the file cannot be opened");
    int result = 0;
    const LONG size = _llseek(file, 0, FILE_END);
    if (size != HFILE_ERROR && _llseek(file, 0, FILE_BEGIN) == 0) {
        ByteSource source = {file, nullptr, static_cast<size_t>(size), 0};
        result = load_from(bitmap, &source);
    } else {
        display_say("a read of the file failed");
    }
    _lclose(file);
    return result;
}

int bitmap_load_memory(BitmapFile* bitmap, const uint8_t* data, size_t size)
{
    if (!bitmap || (!data && size > 0))
        return display_fail("a null record or data");
    ByteSource source = {HFILE_ERROR, data, size, 0};
    return load_from(bitmap, &source);
}

int bitmap_flip_rows(uint8_t* buffer, int bytes_per_line, int height)
{
    if (!buffer || bytes_per_line <= 0 || height <= 0)
        return 0;
    // Swapping rows pairwise needs one row of work space, not a copy of the picture.
    auto* spare = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes_per_line)));
    if (!spare)
        return 0;
    const size_t line = static_cast<size_t>(bytes_per_line);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = buffer + static_cast<size_t>(top) * line;
        uint8_t* b = buffer + static_cast<size_t>(bottom) * line;
        std::memcpy(spare, a, line);
        std::memcpy(a, b, line);
        std::memcpy(b, spare, line);
    }
    std::free(spare);
    return 1;
}

int bitmap_unload(BitmapFile* bitmap)
{
    if (!bitmap)
        return 0;
    std::free(bitmap->pixels);
    bitmap->pixels = nullptr;
    return 1;
}
