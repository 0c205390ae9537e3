// codepage.cpp -- text between the ANSI code page and wide characters. The stand-in's ANSI code
// page is UTF-8, as Linux file names are; malformed bytes become U+FFFD unless the caller asks
// for an error.
#include <windows.h>

#include <string>

#include "internal.h"

// ---- constants ----
static constexpr char32_t REPLACEMENT = 0xFFFD;

// ---- helpers ----

// Decodes one UTF-8 sequence at text[0 .. left), rejecting overlong forms and surrogates; false
// (with *used 1) for malformed bytes.
static bool decode_utf8(const unsigned char* text, int left, char32_t* out, int* used)
{
    const unsigned char lead = text[0];
    int extra;
    char32_t value;
    if (lead < 0x80) {
        *out = lead;
        *used = 1;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
    } else {
        *used = 1;
        return false;
    }
    *used = 1;
    if (left <= extra)
        return false;
    for (int i = 1; i <= extra; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (text[i] & 0x3F);
    }
    static constexpr char32_t SMALLEST[] = {0, 0x80, 0x800, 0x10000};
    if (value < SMALLEST[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    *out = value;
    *used = extra + 1;
    return true;
}

static void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// ---- operations ----

int WINAPI MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int text_bytes, LPWSTR wide,
                               int wide_chars)
{
    if (code_page != CP_ACP && code_page != CP_UTF8)
        return 0;
    if (!text || text_bytes == 0 || text_bytes < -1 || wide_chars < 0 || (wide_chars > 0 && !wide))
        return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    // -1: the text runs to its NUL, which is converted too.
    const int total = text_bytes == -1 ? static_cast<int>(std::char_traits<char>::length(text)) + 1 : text_bytes;
    int written = 0;
    for (int at = 0; at < total;) {
        char32_t c;
        int used;
        if (!decode_utf8(bytes + at, total - at, &c, &used)) {
            if (flags & MB_ERR_INVALID_CHARS)
                return 0;
            c = REPLACEMENT;
        }
        at += used;
        if (wide_chars > 0) {
            if (written == wide_chars)
                return 0;  // the buffer is too small
            wide[written] = static_cast<WCHAR>(c);
        }
        ++written;
    }
    return written;
}

std::string utf8_from_wide(const WCHAR* wide, size_t max_chars)
{
    std::string out;
    for (size_t i = 0; i < max_chars && wide[i] != 0; ++i) {
        const auto c = static_cast<char32_t>(wide[i]);
        append_utf8(out, (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) ? REPLACEMENT : c);
    }
    return out;
}
