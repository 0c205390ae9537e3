// palette_file.cpp -- the text palette file: 256 lines of "red green blue flags" in decimal.
#include <cctype>
#include <cstdio>

#include "display.h"
#include "display_failure.h"

static constexpr int PALETTE_SIZE = 256;

// Reads one decimal integer as "%d" does (white space, optional sign, digits); false at the end of
// the file or on text that is not a number, which then stays unread. Wraps instead of overflowing,
// so a huge number cannot misbehave; only its low 8 bits are kept anyway.
static bool read_decimal(FILE* f, unsigned* value)
{
    int c;
    do
        c = std::getc(f);
    while (c != EOF && std::isspace(c));
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::getc(f);
    }
    if (c == EOF || !std::isdigit(c)) {
        if (c != EOF)
            std::ungetc(c, f);
        return false;
    }
    unsigned v = 0;
    for (; c != EOF && std::isdigit(c); c = std::getc(f))
        v = v * 10u + static_cast<unsigned>(c - '0');
    if (c != EOF)
        std::ungetc(c, f);
    *value = negative ? 0u - v : v;
    return true;
}

int palette_file_load(const char* filename, PALETTEENTRY palette[256])
{
    if (!filename || !palette)
        return display_fail("a null file name or palette");
    FILE* f = std::fopen(filename, "r");
    if (!f)
        return display_fail("the file cannot be opened");
    // A failed read stores what it read of that entry; every later read fails at the same place.
    bool reading = true;
    for (int i = 0; i < PALETTE_SIZE && reading; ++i) {
        BYTE* fields[4] = {&palette[i].peRed, &palette[i].peGreen, &palette[i].peBlue, &palette[i].peFlags};
        for (BYTE* field : fields) {
            unsigned v;
            if (!read_decimal(f, &v)) {
                reading = false;
                break;
            }
            *field = static_cast<BYTE>(v & 0xFF);
        }
    }
    std::fclose(f);
    return display_succeed();
}

int palette_file_save(const char* filename, const PALETTEENTRY palette[256])
{
    if (!filename || !palette)
        return display_fail("a null file name or palette");
    FILE* f = std::fopen(filename, "w");
    if (!f)
        return display_fail("the file cannot be created");
    for (int i = 0; i < PALETTE_SIZE; ++i)
        std::fprintf(f, "\n%d %d %d %d", palette[i].peRed, palette[i].peGreen, palette[i].peBlue, palette[i].peFlags);
    // A write that did not reach the disk is a failed save, not a success.
    const bool written = !std::ferror(f);
    return (std::fclose(f) == 0 && written) ? display_succeed() : display_fail("the file was not written whole");
}
