// headless_check.cpp -- an example's process entry under CTest: the headless host on the virtual
// clock, keyboard, mouse and a game controller played by script, the window closed after a fixed
// number of presented frames as a person would close it, then a look at what the example showed
// and played. Exit 0 only when the example ended by itself with code 0 and every check held.
// With --picture, the frame presented AT-th is the example's picture: it must match the PNG FILE
// pixel for pixel (a stale picture fails), or with --write it is written there.
// usage: example_NAME_check FRAMES MIN_COLOURS [sound] [--picture AT FILE [--write]]
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "frame_convert.h"
#include "testing.h"

// ---- constants ----
constexpr int AUDIO_FRAMES_PER_PRESENT = 735;  // a sixtieth of a second at 44100 frames per second
constexpr int AUDIBLE_PEAK = 1000;            // of 32767: well above rounding noise, far below a whisper
// The font the pictures' text is drawn in, so that they come out the same on every machine that has
// it (fonts-dejavu-core, a package `make deps` installs); without it the pictures are not compared.
constexpr const char* PICTURE_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// ---- the picture ----

// A frame as the eye sees it: red, green, blue a pixel, rows top-down, as the hosts convert it.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

static Picture picture_of(const HostFrame& frame)
{
    uint32_t lut[256] = {};
    if (frame.bpp == 8)
        frame_palette_to_xrgb(frame.palette, lut);
    std::vector<uint32_t> xrgb(static_cast<size_t>(frame.width) * frame.height);
    frame_to_xrgb(frame, lut, xrgb.data(), frame.width * 4);
    Picture p{frame.width, frame.height, {}};
    p.rgb.reserve(xrgb.size() * 3);
    for (uint32_t v : xrgb)
        p.rgb.insert(p.rgb.end(), {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    return p;
}

// Through libpng's simplified interface: an 8-bit RGB picture, written whole (with a colour map
// when it shows at most 256 colours, as an 8-bit display does, which keeps the file small) or read
// whole.
static bool picture_write(const Picture& p, const char* path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(p.width);
    image.height = static_cast<png_uint_32>(p.height);
    std::map<uint32_t, uint8_t> index;
    std::vector<uint8_t> colormap, indices;
    for (size_t i = 0; i < p.rgb.size() && index.size() <= 256; i += 3) {
        const uint32_t colour = uint32_t{p.rgb[i]} << 16 | uint32_t{p.rgb[i + 1]} << 8 | p.rgb[i + 2];
        auto [at, added] = index.try_emplace(colour, static_cast<uint8_t>(index.size()));
        if (added)
            colormap.insert(colormap.end(), {p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]});
        indices.push_back(at->second);
    }
    if (index.size() > 256) {
        image.format = PNG_FORMAT_RGB;
        return png_image_write_to_file(&image, path, 0, p.rgb.data(), 0, nullptr) != 0;
    }
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(index.size());
    return png_image_write_to_file(&image, path, 0, indices.data(), 0, colormap.data()) != 0;
}

static bool picture_read(Picture* p, const char* path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path))
        return false;
    image.format = PNG_FORMAT_RGB;
    p->width = static_cast<int>(image.width);
    p->height = static_cast<int>(image.height);
    p->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, p->rgb.data(), 0, nullptr) != 0;
}

// Pixels that differ between two pictures of one size; -1 when the sizes differ.
static long pixels_differing(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size())
        return -1;
    long differ = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        differ += std::memcmp(&a.rgb[i], &b.rgb[i], 3) != 0;
    return differ;
}

// ---- the host ----

// The test hooks' host that also watches: each presented picture is hashed and its colours counted,
// the mixer is pulled as an audio device would pull it, and input moves as if a person played.
class CheckHost final : public TestingHost {
public:
    CheckHost(int frames, int pad, int picture_at) : frames_(frames), pad_(pad), picture_at_(picture_at) {}

    void present(const HostFrame& frame) override
    {
        TestingHost::present(frame);
        if (presents == picture_at_)
            picture = picture_of(frame);
        look();
        listen();
        play(presents);
        if (presents == frames_)
            host_post_message(WM_CLOSE);
    }

    Picture picture;  // the frame presented picture_at-th
    int most_colours = 0;
    std::set<uint64_t> pictures;  // hashes of the distinct pictures shown
    int peak = 0;                 // loudest sample the mixer gave

private:
    // Colours as the eye sees them: 8-bit indices through the frame's palette, 16-bit pixels as
    // they are. A picture is told from the others by its pixels and the colours they show.
    void look()
    {
        const int bytes = last_frame.bpp / 8;
        std::vector<bool> used(bytes == 2 ? 65536 : 256);
        uint64_t hash = 1469598103934665603ull;
        for (size_t i = 0; i + bytes <= last_frame.pixels.size(); i += bytes) {
            const uint32_t value = last_frame.pixels[i] | (bytes == 2 ? uint32_t{last_frame.pixels[i + 1]} << 8 : 0);
            used[value] = true;
            hash = (hash ^ value) * 1099511628211ull;
        }
        std::set<uint32_t> colours;
        for (uint32_t value = 0; value < used.size(); ++value) {
            if (!used[value])
                continue;
            uint32_t colour = value;
            if (bytes == 1) {
                const PALETTEENTRY& p = last_frame.palette[value];
                colour = uint32_t{p.peRed} << 16 | uint32_t{p.peGreen} << 8 | p.peBlue;
            }
            colours.insert(colour);
            hash = (hash ^ colour) * 1099511628211ull;
        }
        most_colours = std::max(most_colours, static_cast<int>(colours.size()));
        pictures.insert(hash);
    }

    void listen()
    {
        std::vector<int16_t> samples(AUDIO_FRAMES_PER_PRESENT * 2);
        host_audio_render(samples.data(), AUDIO_FRAMES_PER_PRESENT);
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
    }

    // Space and the right arrow held now and then, the mouse circling with its left button pressed
    // at times, the controller's stick circling the other way with its first button pressed at times.
    void play(int n)
    {
        testing_key(DIK_SPACE, n % 40 < 20);
        testing_key(DIK_RIGHT, n % 60 < 30);
        const float a = static_cast<float>(n) * 0.1f;
        testing_mouse_move(static_cast<int>(8 * std::cos(a)), static_cast<int>(8 * std::sin(a)));
        testing_mouse_button(0, n % 50 < 25);
        testing_controller_axis(pad_, HOST_AXIS_X, static_cast<int>(30000 * std::cos(-a)));
        testing_controller_axis(pad_, HOST_AXIS_Y, static_cast<int>(30000 * std::sin(-a)));
        testing_controller_button(pad_, 0, n % 30 < 15);
    }

    int frames_;
    int pad_;
    int picture_at_;
};

// ---- the program ----

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FRAMES MIN_COLOURS [sound] [--picture AT FILE [--write]]\n", argv[0]);
        return 2;
    }
    const int frames = std::atoi(argv[1]), min_colours = std::atoi(argv[2]);
    bool sound = false, write = false;
    int picture_at = 0;
    const char* picture_file = nullptr;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "sound") == 0)
            sound = true;
        else if (std::strcmp(argv[i], "--write") == 0)
            write = true;
        else if (std::strcmp(argv[i], "--picture") == 0 && i + 2 < argc)
            picture_at = std::atoi(argv[i + 1]), picture_file = argv[i + 2], i += 2;
    }

    testing_reset();
    std::FILE* font = std::fopen(PICTURE_FONT, "rb");
    const bool font_pinned = font != nullptr;
    if (font) {
        std::fclose(font);
        testing_font_file(PICTURE_FONT);
    }
    CheckHost check(frames, testing_controller_attach("Example pad"), picture_at);
    host_install(&check);
    static HINSTANCE__ instance;
    const int code = WinMain(&instance, nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    host_install(nullptr);

    int checks = 0, failures = 0;
    auto expect = [&](bool held, const char* what, long got) {
        std::printf("%s: %s (%ld)\n", held ? "ok" : "FAIL", what, got);
        ++checks;
        failures += !held;
    };
    expect(code == 0, "ended by itself with exit code 0", code);
    expect(check.presents >= frames, "ran until the window was closed: frames presented", check.presents);
    expect(check.most_colours >= min_colours, "enough colours in one picture", check.most_colours);
    expect(check.pictures.size() >= 4, "the picture changes: distinct pictures", static_cast<long>(check.pictures.size()));
    if (sound)
        expect(check.peak >= AUDIBLE_PEAK, "the mixer plays something: peak sample", check.peak);
    if (picture_file) {
        expect(check.picture.width > 0, "a frame was presented at the picture's moment", picture_at);
        Picture committed;
        if (write) {
            expect(picture_write(check.picture, picture_file), "the picture written", picture_at);
            std::printf("wrote %s\n", picture_file);
        } else if (!font_pinned) {
            std::printf("skipped: the picture is not compared without the font %s\n", PICTURE_FONT);
        } else if (!picture_read(&committed, picture_file)) {
            expect(false, "the picture is there to compare: make example-pictures writes it", 0);
        } else {
            const long differ = pixels_differing(check.picture, committed);
            expect(differ == 0, "the picture in the docs is this frame (else: make example-pictures): pixels differing",
                   differ);
        }
    }
    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures ? 1 : 0;
}
