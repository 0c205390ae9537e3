// dmusic_loader.cpp -- the loader: segments from standard MIDI files named relative to its search
// directory (or by full path). A file that does not parse is refused, never handed on; one that
// does becomes a segment holding its canonical copy, which the player reads as it was read. Each
// GetObject reads the file afresh: the stand-in keeps no cache of loaded objects.
#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "dmusic_internal.h"
#include "internal.h"

const CLSID CLSID_DirectMusicLoader = {0xd2ac2892, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const CLSID CLSID_DirectMusicSegment = {0xd2ac2882, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const IID IID_IDirectMusicLoader = {0x2ffaaca2, 0x5dca, 0x11d2, {0xaf, 0xa6, 0x00, 0xaa, 0x00, 0x24, 0xd8, 0xb6}};
const GUID GUID_DirectMusicAllTypes = {0xd2ac2893, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};

// ---- constants ----
// Far more than any piece of music needs; keeps a file's copy bounded.
static constexpr long MIDI_FILE_MAX = 8 * 1024 * 1024;

// ---- helpers ----

static bool wide_terminated(const WCHAR* text, size_t capacity)
{
    for (size_t i = 0; i < capacity; ++i)
        if (text[i] == 0)
            return true;
    return false;
}

// The whole file, or false when it cannot be read or is larger than MIDI_FILE_MAX.
static bool read_file(const std::string& path, std::vector<uint8_t>* out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && size <= MIDI_FILE_MAX && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(static_cast<size_t>(size));
        ok = std::fread(out->data(), 1, out->size(), f) == out->size();
    }
    std::fclose(f);
    return ok;
}

// ---- methods ----

HRESULT Loader::QueryInterface(REFIID iid, void** object)
{
    return query_interface<IDirectMusicLoader>(this, IID_IDirectMusicLoader, iid, object);
}

HRESULT Loader::SetSearchDirectory(REFGUID, WCHAR* path, BOOL)
{
    if (const HRESULT hr = fault_check("IDirectMusicLoader::SetSearchDirectory"); FAILED(hr))
        return hr;
    if (!path)
        return E_POINTER;
    if (!wide_terminated(path, DMUS_MAX_FILENAME))
        return DMUS_E_LOADER_BADPATH;
    const std::string directory = utf8_from_wide(path, DMUS_MAX_FILENAME);
    std::error_code error;
    if (directory.empty() || !std::filesystem::is_directory(directory, error))
        return DMUS_E_LOADER_BADPATH;
    // One directory serves every class of object.
    if (directory == search_directory)
        return S_FALSE;
    search_directory = directory;
    return S_OK;
}

HRESULT Loader::GetObject(LPDMUS_OBJECTDESC desc, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (const HRESULT hr = fault_check("IDirectMusicLoader::GetObject"); FAILED(hr))
        return hr;
    if (!desc)
        return E_POINTER;
    if (desc->dwSize != sizeof(DMUS_OBJECTDESC))
        return E_INVALIDARG;
    if (!(desc->dwValidData & DMUS_OBJ_CLASS))
        return DMUS_E_LOADER_NOCLASSID;
    if (desc->guidClass != CLSID_DirectMusicSegment)
        return DMUS_E_LOADER_FORMATNOTSUPPORTED;  // segments are the only objects it loads
    if (!(desc->dwValidData & DMUS_OBJ_FILENAME) || desc->wszFileName[0] == 0)
        return DMUS_E_LOADER_NOFILENAME;
    if (!wide_terminated(desc->wszFileName, DMUS_MAX_FILENAME))
        return E_INVALIDARG;

    const std::string name = utf8_from_wide(desc->wszFileName, DMUS_MAX_FILENAME);
    const bool relative = !(desc->dwValidData & DMUS_OBJ_FULLPATH) && !search_directory.empty();
    const std::string path = relative ? search_directory + "/" + name : name;
    std::vector<uint8_t> file;
    if (!read_file(path, &file))
        return DMUS_E_LOADER_FAILEDOPEN;
    std::vector<uint8_t> midi;
    if (!smf_canonical(file.data(), file.size(), &midi))
        return DMUS_E_INVALIDFILE;
    auto* segment = new (std::nothrow) Segment(std::move(midi));
    if (!segment)
        return E_OUTOFMEMORY;
    const HRESULT hr = segment->QueryInterface(iid, object);
    segment->Release();
    return hr;
}
