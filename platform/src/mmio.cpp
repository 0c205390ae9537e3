// mmio.cpp -- the multimedia RIFF reader: buffered reads and chunk descents that never look past
// the end of the file, nor past the end of the parent chunk, whatever sizes the file claims.
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "internal.h"

// ---- records ----

struct MmioFile {
    HMMIO__ handle;     // what the HMMIO points at
    std::FILE* stream;
    uint64_t size;      // bytes in the file
    uint64_t position;  // where the next read starts; may lie past the end after an ascent
};

// ---- globals ----
static std::vector<MmioFile*> open_files;

// ---- helpers ----

static MmioFile* file_of(HMMIO handle)
{
    for (MmioFile* f : open_files)
        if (&f->handle == handle)
            return f;
    return nullptr;
}

static uint32_t little_endian32(const uint8_t* p)
{
    return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Reads exactly `bytes` at `at`, all of which must lie inside the file.
static bool read_at(MmioFile* f, uint64_t at, void* out, size_t bytes)
{
    if (at > f->size || bytes > f->size - at)
        return false;
    if (std::fseek(f->stream, static_cast<long>(at), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, bytes, f->stream) == bytes;
}

struct ChunkHeader {
    FOURCC id;
    uint32_t size;
    FOURCC type;  // RIFF and LIST only
    uint64_t data_offset;
    uint64_t end;  // data_offset + size, not counting the pad byte
};

static bool is_container(FOURCC id) { return id == FOURCC_RIFF || id == FOURCC_LIST; }

// The header of the chunk at `at`, which must fit before `limit`.
static bool header_at(MmioFile* f, uint64_t at, uint64_t limit, ChunkHeader* out)
{
    uint8_t raw[12];
    if (at > limit || limit - at < 8 || !read_at(f, at, raw, 8))
        return false;
    out->id = little_endian32(raw);
    out->size = little_endian32(raw + 4);
    out->type = 0;
    out->data_offset = at + 8;
    out->end = out->data_offset + out->size;
    if (is_container(out->id)) {
        if (limit - at < 12 || !read_at(f, at + 8, raw + 8, 4))
            return false;
        out->type = little_endian32(raw + 8);
    }
    return true;
}

static bool header_matches(const ChunkHeader& h, const MMCKINFO& wanted, UINT flags)
{
    if (flags & MMIO_FINDRIFF)
        return h.id == FOURCC_RIFF && h.type == wanted.fccType;
    if (flags & MMIO_FINDLIST)
        return h.id == FOURCC_LIST && h.type == wanted.fccType;
    if (flags & MMIO_FINDCHUNK)
        return h.id == wanted.ckid;
    return true;
}

// ---- opening and closing ----

// The stream an open reads: a file by its name, or (with no name) the caller's bytes that `info`
// points at with the memory reader FOURCC_MEM; null, with the reason in *error, when there is none.
static std::FILE* open_stream(LPSTR file_name, LPMMIOINFO info, UINT* error)
{
    if (file_name) {
        std::FILE* stream = std::fopen(file_name, "rb");
        *error = stream ? MMSYSERR_NOERROR : MMIOERR_FILENOTFOUND;
        return stream;
    }
    if (!info || info->fccIOProc != FOURCC_MEM || !info->pchBuffer || info->cchBuffer <= 0) {
        *error = MMIOERR_CANNOTOPEN;  // the stand-in reads files and memory; it parses no names
        return nullptr;
    }
    std::FILE* stream = fmemopen(info->pchBuffer, static_cast<size_t>(info->cchBuffer), "rb");
    *error = stream ? MMSYSERR_NOERROR : MMIOERR_OUTOFMEMORY;
    return stream;
}

HMMIO WINAPI mmioOpenA(LPSTR file_name, LPMMIOINFO info, DWORD flags)
{
    UINT error = MMSYSERR_NOERROR;
    MmioFile* f = nullptr;
    std::FILE* stream = nullptr;
    if (FAILED(fault_check("mmioOpenA")))
        error = MMIOERR_CANNOTOPEN;
    else if ((flags & ~(MMIO_ALLOCBUF | MMIO_SHAREMODE)) != MMIO_READ)
        error = MMIOERR_CANNOTOPEN;  // the stand-in only reads
    else
        stream = open_stream(file_name, info, &error);
    if (!stream) {
        // error says why
    } else if (std::fseek(stream, 0, SEEK_END) != 0 || std::ftell(stream) < 0 || !(f = new (std::nothrow) MmioFile)) {
        std::fclose(stream);
        error = MMIOERR_CANNOTREAD;
    } else {
        f->stream = stream;
        f->size = static_cast<uint64_t>(std::ftell(stream));
        f->position = 0;
        open_files.push_back(f);
    }
    if (info)
        info->wErrorRet = error;
    return f ? &f->handle : nullptr;
}

MMRESULT WINAPI mmioClose(HMMIO handle, UINT)
{
    MmioFile* f = file_of(handle);
    if (!f)
        return MMSYSERR_INVALHANDLE;
    std::erase(open_files, f);
    std::fclose(f->stream);
    delete f;
    return MMSYSERR_NOERROR;
}

// ---- reading ----

LONG WINAPI mmioRead(HMMIO handle, HPSTR buffer, LONG bytes)
{
    MmioFile* f = file_of(handle);
    if (!f || !buffer || bytes < 0 || FAILED(fault_check("mmioRead")))
        return -1;
    if (f->position >= f->size)
        return 0;
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(bytes), f->size - f->position));
    if (std::fseek(f->stream, static_cast<long>(f->position), SEEK_SET) != 0)
        return -1;
    const size_t got = std::fread(buffer, 1, wanted, f->stream);
    f->position += got;
    return static_cast<LONG>(got);
}

// ---- chunks ----

MMRESULT WINAPI mmioDescend(HMMIO handle, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags)
{
    MmioFile* f = file_of(handle);
    if (!f)
        return MMSYSERR_INVALHANDLE;
    if (!chunk)
        return MMSYSERR_INVALPARAM;
    if (const HRESULT hr = fault_check("mmioDescend"); FAILED(hr))
        return static_cast<MMRESULT>(hr);
    // Everything searched lies inside the parent's data, and inside the file.
    uint64_t limit = f->size;
    if (parent)
        limit = std::min<uint64_t>(limit, uint64_t{parent->dwDataOffset} + parent->cksize);
    uint64_t at = f->position;
    ChunkHeader h;
    for (;;) {
        if (!header_at(f, at, limit, &h))
            return MMIOERR_CHUNKNOTFOUND;
        if (header_matches(h, *chunk, flags))
            break;
        at = h.end + (h.size & 1);  // the next sibling, after the pad byte
    }
    if (h.data_offset > 0xFFFFFFFFu)
        return MMIOERR_CHUNKNOTFOUND;  // past what a 32-bit offset can name
    chunk->ckid = h.id;
    chunk->cksize = h.size;
    chunk->fccType = h.type;
    chunk->dwDataOffset = static_cast<DWORD>(h.data_offset);
    chunk->dwFlags = 0;
    f->position = h.data_offset + (is_container(h.id) ? 4 : 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT)
{
    MmioFile* f = file_of(handle);
    if (!f)
        return MMSYSERR_INVALHANDLE;
    if (!chunk)
        return MMSYSERR_INVALPARAM;
    if (const HRESULT hr = fault_check("mmioAscend"); FAILED(hr))
        return static_cast<MMRESULT>(hr);
    const uint64_t end = uint64_t{chunk->dwDataOffset} + chunk->cksize;
    if (end > f->size)
        return MMIOERR_CANNOTSEEK;  // the chunk claims more than the file holds
    // The pad byte after an odd-sized chunk; a file that ends without it ends there.
    f->position = std::min(end + (chunk->cksize & 1), f->size);
    return MMSYSERR_NOERROR;
}
