// ddraw_clipper.cpp -- clippers: a list of rectangles, or the rectangle of the window they follow.
#include <cstring>
#include <new>

#include "ddraw_internal.h"
#include "internal.h"

HRESULT Clipper::SetClipList(LPRGNDATA region, DWORD)
{
    if (const HRESULT hr = fault_check("IDirectDrawClipper::SetClipList"); FAILED(hr))
        return hr;
    if (window)
        return DDERR_CLIPPERISUSINGHWND;
    if (!region) {
        clip_list.clear();
        return DD_OK;
    }
    const RGNDATAHEADER& h = region->rdh;
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES || h.nCount > CLIPPER_MAX_RECTS)
        return DDERR_INVALIDCLIPLIST;
    std::vector<RECT> list(h.nCount);
    std::memcpy(list.data(), region->Buffer, h.nCount * sizeof(RECT));
    for (const RECT& r : list)
        if (r.left > r.right || r.top > r.bottom)
            return DDERR_INVALIDCLIPLIST;
    clip_list = std::move(list);
    return DD_OK;
}

HRESULT Clipper::GetClipList(LPRECT, LPRGNDATA region, LPDWORD size)
{
    if (!size)
        return DDERR_INVALIDPARAMS;
    const std::vector<RECT> list = rectangles();
    if (list.empty() && !window)
        return DDERR_NOCLIPLIST;
    const DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + list.size() * sizeof(RECT));
    if (!region) {
        *size = needed;
        return DD_OK;
    }
    if (*size < needed)
        return DDERR_REGIONTOOSMALL;
    RGNDATAHEADER& h = region->rdh;
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = static_cast<DWORD>(list.size());
    h.nRgnSize = static_cast<DWORD>(list.size() * sizeof(RECT));
    h.rcBound = {0, 0, 0, 0};
    for (size_t i = 0; i < list.size(); ++i) {
        const RECT& r = list[i];
        if (i == 0)
            h.rcBound = r;
        h.rcBound.left = std::min(h.rcBound.left, r.left);
        h.rcBound.top = std::min(h.rcBound.top, r.top);
        h.rcBound.right = std::max(h.rcBound.right, r.right);
        h.rcBound.bottom = std::max(h.rcBound.bottom, r.bottom);
    }
    std::memcpy(region->Buffer, list.data(), list.size() * sizeof(RECT));
    return DD_OK;
}

HRESULT Clipper::SetHWnd(DWORD, HWND new_window)
{
    if (const HRESULT hr = fault_check("IDirectDrawClipper::SetHWnd"); FAILED(hr))
        return hr;
    if (new_window && !IsWindow(new_window))
        return DDERR_INVALIDPARAMS;
    window = new_window;
    return DD_OK;
}

std::vector<RECT> Clipper::rectangles() const
{
    if (!window)
        return clip_list;
    RECT r{};
    if (!GetWindowRect(window, &r))
        return {};
    return {r};
}
