// com.cpp -- COM start-up and object creation: the classes the stand-in serves are DirectMusic's
// performance, loader and segment; anything else is not registered.
#include <objbase.h>

#include <new>

#include "dmusic_internal.h"
#include "internal.h"

// ---- globals ----
static int initialized = 0;  // CoInitialize calls not yet matched by CoUninitialize

// ---- helpers ----

static IUnknown* make_object(REFCLSID clsid)
{
    if (clsid == CLSID_DirectMusicPerformance)
        return static_cast<IDirectMusicPerformance*>(new (std::nothrow) Performance);
    if (clsid == CLSID_DirectMusicLoader)
        return new (std::nothrow) Loader;
    if (clsid == CLSID_DirectMusicSegment)
        return new (std::nothrow) Segment({});
    return nullptr;
}

static bool registered(REFCLSID clsid)
{
    return clsid == CLSID_DirectMusicPerformance || clsid == CLSID_DirectMusicLoader ||
           clsid == CLSID_DirectMusicSegment;
}

// ---- operations ----

HRESULT WINAPI CoInitialize(LPVOID reserved)
{
    if (const HRESULT hr = fault_check("CoInitialize"); FAILED(hr))
        return hr;
    if (reserved)
        return E_INVALIDARG;
    return initialized++ == 0 ? S_OK : S_FALSE;  // S_FALSE: already started on this thread
}

void WINAPI CoUninitialize(void)
{
    if (initialized > 0)
        --initialized;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (const HRESULT hr = fault_check("CoCreateInstance"); FAILED(hr))
        return hr;
    if (initialized == 0)
        return CO_E_NOTINITIALIZED;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER) || !registered(clsid))
        return REGDB_E_CLASSNOTREG;
    IUnknown* made = make_object(clsid);
    if (!made)
        return E_OUTOFMEMORY;
    const HRESULT hr = made->QueryInterface(iid, object);
    made->Release();
    return hr;
}

void com_process_end() { initialized = 0; }
