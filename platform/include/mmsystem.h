// mmsystem.h -- the stand-in's multimedia declarations: the buffered RIFF file reader (mmio), the
// wave format record and the system timer's resolution. Only what the library calls; names, parameters and values are the real ones.
#pragma once
#include <windows.h>

// ---- results ----
typedef UINT MMRESULT;
#define MMSYSERR_BASE 0
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR (MMSYSERR_BASE + 1)
#define MMSYSERR_INVALHANDLE (MMSYSERR_BASE + 5)
#define MMSYSERR_INVALPARAM (MMSYSERR_BASE + 11)

#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTCLOSE (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTWRITE (MMIOERR_BASE + 6)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CANNOTEXPAND (MMIOERR_BASE + 8)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_UNBUFFERED (MMIOERR_BASE + 10)
#define MMIOERR_PATHNOTFOUND (MMIOERR_BASE + 11)
#define MMIOERR_ACCESSDENIED (MMIOERR_BASE + 12)
#define MMIOERR_INVALIDFILE (MMIOERR_BASE + 16)

// ---- the system timer's resolution (timeBeginPeriod and timeEndPeriod come in pairs) ----
#define TIMERR_NOERROR 0
#define TIMERR_BASE 96
#define TIMERR_NOCANDO (TIMERR_BASE + 1)
MMRESULT WINAPI timeBeginPeriod(UINT period_ms);
MMRESULT WINAPI timeEndPeriod(UINT period_ms);

// ---- four-character codes ----
typedef DWORD FOURCC;
#define MAKEFOURCC(ch0, ch1, ch2, ch3)                                                              \
    ((DWORD)(BYTE)(ch0) | ((DWORD)(BYTE)(ch1) << 8) | ((DWORD)(BYTE)(ch2) << 16) | \
     ((DWORD)(BYTE)(ch3) << 24))
#define mmioFOURCC(ch0, ch1, ch2, ch3) MAKEFOURCC(ch0, ch1, ch2, ch3)
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_MEM mmioFOURCC('M', 'E', 'M', ' ')  // MMIOINFO::fccIOProc: read the bytes at pchBuffer

// ---- flags ----
#define MMIO_RWMODE 0x00000003
#define MMIO_SHAREMODE 0x00000070
#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_CREATE 0x00001000
#define MMIO_PARSE 0x00000100
#define MMIO_DELETE 0x00000200
#define MMIO_EXIST 0x00004000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_GETTEMP 0x00020000
#define MMIO_DIRTY 0x10000000
#define MMIO_COMPAT 0x00000000
#define MMIO_EXCLUSIVE 0x00000010
#define MMIO_DENYWRITE 0x00000020
#define MMIO_DENYREAD 0x00000030
#define MMIO_DENYNONE 0x00000040

#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040

#define MMIO_DEFAULTBUFFER 8192

// ---- records (byte-packed, as the real header packs them) ----
typedef char* HPSTR;
DECLARE_HANDLE(HMMIO);
DECLARE_HANDLE(HTASK);
typedef LRESULT(CALLBACK MMIOPROC)(LPSTR mmio_info, UINT message, LPARAM param1, LPARAM param2);
typedef MMIOPROC* LPMMIOPROC;

#pragma pack(push, 1)
typedef struct _MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    LPMMIOPROC pIOProc;
    UINT wErrorRet;
    HTASK htask;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
} MMIOINFO, *PMMIOINFO, *LPMMIOINFO;
typedef const MMIOINFO* LPCMMIOINFO;

typedef struct _MMCKINFO {
    FOURCC ckid;          // the chunk's identifier
    DWORD cksize;         // the size its header claims, without the pad byte
    FOURCC fccType;       // RIFF and LIST chunks: the form or list type
    DWORD dwDataOffset;   // file offset of the chunk's data (a RIFF or LIST chunk's data starts with its type)
    DWORD dwFlags;
} MMCKINFO, *PMMCKINFO, *LPMMCKINFO;
typedef const MMCKINFO* LPCMMCKINFO;

#define WAVE_FORMAT_PCM 1
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
#pragma pack(pop)

// ---- the RIFF reader ----
// Opens a file for buffered reading (MMIO_READ, with or without MMIO_ALLOCBUF); null when it cannot.
// With no name, reads memory instead: info's fccIOProc FOURCC_MEM, pchBuffer and cchBuffer bytes.
HMMIO WINAPI mmioOpenA(LPSTR file_name, LPMMIOINFO info, DWORD flags);
MMRESULT WINAPI mmioClose(HMMIO file, UINT flags);
// Bytes read from the current position (0 at the end of the file), or -1.
LONG WINAPI mmioRead(HMMIO file, HPSTR buffer, LONG bytes);
// Reads the chunk header at the current position, or searches from there for the chunk (or RIFF
// form, or LIST) named in chunk, within parent when one is given; leaves the position at its data.
MMRESULT WINAPI mmioDescend(HMMIO file, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags);
// Moves past the end of a chunk entered with mmioDescend, and past its pad byte when its size is odd.
MMRESULT WINAPI mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);
