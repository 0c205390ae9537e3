// objbase.h -- the stand-in's COM entry points: start-up, object creation, shut-down.
#pragma once
#include <windows.h>

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)

HRESULT WINAPI CoInitialize(LPVOID reserved);  // S_FALSE when COM was already started
void WINAPI CoUninitialize(void);
// The object of a registered class, through interface iid; REGDB_E_CLASSNOTREG for any other class.
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
