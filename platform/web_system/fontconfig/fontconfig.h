// fontconfig/fontconfig.h (web build) -- the part of fontconfig's interface that the stand-in's text
// calls (platform/src/gdi_text.cpp) to find a bold sans-serif. A page has no font configuration:
// the web build answers every match with the one font the page bundles (fontconfig_web.cpp).
#pragma once

typedef unsigned char FcChar8;
typedef struct _FcConfig FcConfig;
typedef struct _FcPattern FcPattern;
typedef enum _FcResult { FcResultMatch, FcResultNoMatch, FcResultTypeMismatch, FcResultNoId, FcResultOutOfMemory } FcResult;
typedef enum _FcMatchKind { FcMatchPattern, FcMatchFont, FcMatchScan } FcMatchKind;
typedef int FcBool;

#define FC_FILE "file"
#define FC_INDEX "index"
#define FC_WEIGHT "weight"
#define FC_WEIGHT_REGULAR 80
#define FC_WEIGHT_BOLD 200

FcConfig* FcInitLoadConfigAndFonts(void);
void FcConfigDestroy(FcConfig* config);
FcPattern* FcNameParse(const FcChar8* name);
FcBool FcConfigSubstitute(FcConfig* config, FcPattern* pattern, FcMatchKind kind);
void FcDefaultSubstitute(FcPattern* pattern);
FcPattern* FcFontMatch(FcConfig* config, FcPattern* pattern, FcResult* result);
FcResult FcPatternGetString(const FcPattern* pattern, const char* object, int n, FcChar8** value);
FcResult FcPatternGetInteger(const FcPattern* pattern, const char* object, int n, int* value);
void FcPatternDestroy(FcPattern* pattern);
