// fontconfig_web.cpp -- fontconfig's font match in the web build: every pattern matches the one
// font the page's data bundles, the font fontconfig chooses for "sans-serif:bold" on Debian (DejaVu
// Sans Bold, package fonts-dejavu-core), at the path it has there.
#include <fontconfig/fontconfig.h>

#include <cstring>

// The bundled font (the web build's CMake packs it at this path).
static FcChar8 BUNDLED_FONT[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct _FcConfig {};
struct _FcPattern {
    bool matched;
};

static FcConfig config;

FcConfig* FcInitLoadConfigAndFonts(void) { return &config; }
void FcConfigDestroy(FcConfig*) {}
FcPattern* FcNameParse(const FcChar8*) { return new FcPattern{false}; }
FcBool FcConfigSubstitute(FcConfig*, FcPattern*, FcMatchKind) { return 1; }
void FcDefaultSubstitute(FcPattern*) {}

FcPattern* FcFontMatch(FcConfig*, FcPattern*, FcResult* result)
{
    *result = FcResultMatch;
    return new FcPattern{true};
}

FcResult FcPatternGetString(const FcPattern* pattern, const char* object, int n, FcChar8** value)
{
    if (!pattern || !pattern->matched || n != 0 || std::strcmp(object, FC_FILE) != 0)
        return FcResultNoMatch;
    *value = BUNDLED_FONT;
    return FcResultMatch;
}

FcResult FcPatternGetInteger(const FcPattern* pattern, const char* object, int n, int* value)
{
    if (!pattern || !pattern->matched || n != 0)
        return FcResultNoMatch;
    if (std::strcmp(object, FC_INDEX) == 0)
        *value = 0;
    else if (std::strcmp(object, FC_WEIGHT) == 0)
        *value = FC_WEIGHT_BOLD;
    else
        return FcResultNoMatch;
    return FcResultMatch;
}

void FcPatternDestroy(FcPattern* pattern) { delete pattern; }
