// objbase.h -- the stand-in's COM entry points: start-up, object creation, shut-down.
#pragma once
#include <windows.h>

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC CLSCTX_INPROC_SERVER

HRESULT WINAPI CoInitialize(LPVOID reserved);
void WINAPI CoUninitialize(void);
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
