// dmusici.h -- the stand-in's DirectMusic: the performance, the loader and segments, reached through
// COM (objbase.h). Only what the library calls; names, parameters, values and GUIDs are the real
// ones (the real SDK spreads them over dmusici.h, dmusicc.h, dmerror.h and dmplugin.h).
#pragma once
#include <windows.h>
#include <objbase.h>
#include <dsound.h>

// ---- results (dmerror.h) ----
#define FACILITY_DIRECTMUSIC 0x878
#define DMUS_ERRBASE 0x1000
#define MAKE_DMHRESULTSUCCESS(code) MAKE_HRESULT(0, FACILITY_DIRECTMUSIC, (DMUS_ERRBASE + (code)))
#define MAKE_DMHRESULTERROR(code) MAKE_HRESULT(1, FACILITY_DIRECTMUSIC, (DMUS_ERRBASE + (code)))
#define DMUS_E_DRIVER_FAILED MAKE_DMHRESULTERROR(0x0101)
#define DMUS_E_SET_UNSUPPORTED MAKE_DMHRESULTERROR(0x0123)
#define DMUS_E_NOSYNTHSINK MAKE_DMHRESULTERROR(0x012E)
#define DMUS_E_ALREADYOPEN MAKE_DMHRESULTERROR(0x012F)
#define DMUS_E_UNSUPPORTED_STREAM MAKE_DMHRESULTERROR(0x0150)
#define DMUS_E_ALREADY_INITED MAKE_DMHRESULTERROR(0x0151)
#define DMUS_E_NOT_FOUND MAKE_DMHRESULTERROR(0x0161)
#define DMUS_E_NOT_INIT MAKE_DMHRESULTERROR(0x0162)
#define DMUS_E_LOADER_NOCLASSID MAKE_DMHRESULTERROR(0x0180)
#define DMUS_E_LOADER_BADPATH MAKE_DMHRESULTERROR(0x0181)
#define DMUS_E_LOADER_FAILEDOPEN MAKE_DMHRESULTERROR(0x0182)
#define DMUS_E_LOADER_FORMATNOTSUPPORTED MAKE_DMHRESULTERROR(0x0183)
#define DMUS_E_LOADER_NOFILENAME MAKE_DMHRESULTERROR(0x0186)
#define DMUS_E_INVALIDFILE MAKE_DMHRESULTERROR(0x0200)

// ---- times (dmplugin.h, dmdls.h) ----
typedef LONG MUSIC_TIME, *LPMUSIC_TIME;
typedef LONGLONG REFERENCE_TIME, *LPREFERENCE_TIME;

// ---- object descriptions ----
#define DMUS_MAX_NAME 0x40
#define DMUS_MAX_CATEGORY 0x40
#define DMUS_MAX_FILENAME 260

#define DMUS_OBJ_OBJECT 0x001
#define DMUS_OBJ_CLASS 0x002
#define DMUS_OBJ_NAME 0x004
#define DMUS_OBJ_CATEGORY 0x008
#define DMUS_OBJ_FILENAME 0x010
#define DMUS_OBJ_FULLPATH 0x020
#define DMUS_OBJ_URL 0x040
#define DMUS_OBJ_VERSION 0x080
#define DMUS_OBJ_DATE 0x100
#define DMUS_OBJ_LOADED 0x200
#define DMUS_OBJ_MEMORY 0x400
#define DMUS_OBJ_STREAM 0x800

#define DMUS_SEGF_SECONDARY 0x000080

struct IStream;

typedef struct _DMUS_VERSION {
    DWORD dwVersionMS;
    DWORD dwVersionLS;
} DMUS_VERSION, *LPDMUS_VERSION;

typedef struct _DMUS_OBJECTDESC {
    DWORD dwSize;
    DWORD dwValidData;
    GUID guidObject;
    GUID guidClass;
    FILETIME ftDate;
    DMUS_VERSION vVersion;
    WCHAR wszName[DMUS_MAX_NAME];
    WCHAR wszCategory[DMUS_MAX_CATEGORY];
    WCHAR wszFileName[DMUS_MAX_FILENAME];
    LONGLONG llMemLength;
    LPBYTE pbMemData;
    IStream* pStream;
} DMUS_OBJECTDESC, *LPDMUS_OBJECTDESC;

// ---- interfaces ----
struct IDirectMusic;
struct IDirectMusicPort;
struct IDirectMusicSegment;
struct IDirectMusicSegmentState;
struct IDirectMusicPerformance;
struct IDirectMusicLoader;
typedef IDirectMusic* LPDIRECTMUSIC;
typedef IDirectMusicPort* LPDIRECTMUSICPORT;
typedef IDirectMusicSegment* LPDIRECTMUSICSEGMENT;
typedef IDirectMusicSegmentState* LPDIRECTMUSICSEGMENTSTATE;
typedef IDirectMusicPerformance* LPDIRECTMUSICPERFORMANCE;
typedef IDirectMusicLoader* LPDIRECTMUSICLOADER;

struct IDirectMusicSegment : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetParam(REFGUID type, DWORD group_bits, DWORD index, MUSIC_TIME time,
                                               void* param) = 0;

protected:
    ~IDirectMusicSegment() = default;
};

// What PlaySegment hands back: one playing of a segment.
struct IDirectMusicSegmentState : IUnknown {
protected:
    ~IDirectMusicSegmentState() = default;
};

struct IDirectMusicPerformance : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Init(IDirectMusic** direct_music, LPDIRECTSOUND direct_sound, HWND window) = 0;
    virtual HRESULT STDMETHODCALLTYPE PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG start_time,
                                                  IDirectMusicSegmentState** segment_state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* segment_state,
                                           MUSIC_TIME time, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsPlaying(IDirectMusicSegment* segment,
                                                IDirectMusicSegmentState* segment_state) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPort(IDirectMusicPort* port) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseDown() = 0;

protected:
    ~IDirectMusicPerformance() = default;
};

struct IDirectMusicLoader : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetObject(LPDMUS_OBJECTDESC desc, REFIID iid, LPVOID* object) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSearchDirectory(REFGUID object_class, WCHAR* path, BOOL clear) = 0;

protected:
    ~IDirectMusicLoader() = default;
};

// ---- identifiers ----
extern const CLSID CLSID_DirectMusicLoader;
extern const CLSID CLSID_DirectMusicPerformance;
extern const CLSID CLSID_DirectMusicSegment;
extern const IID IID_IDirectMusicLoader;
extern const IID IID_IDirectMusicPerformance;
extern const IID IID_IDirectMusicSegment;
extern const IID IID_IDirectMusicSegmentState;
extern const GUID GUID_DirectMusicAllTypes;
extern const GUID GUID_Download;
extern const GUID GUID_StandardMIDIFile;
extern const GUID GUID_Unload;
