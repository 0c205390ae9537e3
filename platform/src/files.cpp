// files.cpp -- the old Win32 file services (OpenFile, _lread, _llseek, _lclose) over POSIX files:
// read-only, regular files only, at most FILES_MAX open at once.
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "internal.h"

// ---- constants ----
// More than any loader keeps open at once; a program that leaks handles runs out here, as it would
// run out of handles on the real system, rather than out of descriptors for the whole process.
static constexpr int FILES_MAX = 64;
// Share-mode bits are accepted and ignored: nothing else opens these files.
static constexpr UINT SHARE_BITS = 0x70;

// ---- globals ----
static int descriptors[FILES_MAX];  // -1: free slot
static bool table_ready = false;

// ---- helpers ----

static void table_prepare()
{
    if (table_ready)
        return;
    for (int& d : descriptors)
        d = -1;
    table_ready = true;
}

// The descriptor behind a handle, or -1 for a handle this module did not hand out.
static int descriptor_of(HFILE file)
{
    table_prepare();
    const int slot = file - 1;
    if (slot < 0 || slot >= FILES_MAX)
        return -1;
    return descriptors[slot];
}

static HFILE open_failed(LPOFSTRUCT info, WORD code)
{
    if (info)
        info->nErrCode = code;
    return HFILE_ERROR;
}

// ---- file services ----

HFILE WINAPI OpenFile(LPCSTR file_name, LPOFSTRUCT info, UINT style)
{
    table_prepare();
    if (info) {
        std::memset(info, 0, sizeof *info);
        info->cBytes = sizeof *info;
    }
    if (FAILED(fault_check("OpenFile")))
        return open_failed(info, ERROR_ACCESS_DENIED);
    if (!file_name || (style & ~SHARE_BITS) != OF_READ)
        return open_failed(info, ERROR_ACCESS_DENIED);
    if (info) {
        std::strncpy(info->szPathName, file_name, OFS_MAXPATHNAME - 1);
        info->szPathName[OFS_MAXPATHNAME - 1] = '\0';
    }
    int slot = 0;
    while (slot < FILES_MAX && descriptors[slot] != -1)
        ++slot;
    if (slot == FILES_MAX)
        return open_failed(info, ERROR_TOO_MANY_OPEN_FILES);

    const int d = open(file_name, O_RDONLY | O_CLOEXEC);
    if (d < 0)
        return open_failed(info, errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    // A folder opens for reading on POSIX but is not a file here.
    struct stat st;
    if (fstat(d, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(d);
        return open_failed(info, ERROR_ACCESS_DENIED);
    }
    descriptors[slot] = d;
    return slot + 1;
}

UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT bytes)
{
    const UINT failed = static_cast<UINT>(HFILE_ERROR);
    if (FAILED(fault_check("_lread")))
        return failed;
    const int d = descriptor_of(file);
    if (d < 0 || (!buffer && bytes > 0))
        return failed;
    auto* out = static_cast<uint8_t*>(buffer);
    UINT done = 0;
    while (done < bytes) {
        const ssize_t got = read(d, out + done, bytes - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed;
        if (got == 0)
            break;  // end of file: a short count, as the real call gives
        done += static_cast<UINT>(got);
    }
    return done;
}

LONG WINAPI _llseek(HFILE file, LONG offset, int origin)
{
    if (FAILED(fault_check("_llseek")))
        return HFILE_ERROR;
    const int d = descriptor_of(file);
    if (d < 0)
        return HFILE_ERROR;
    int whence;
    switch (origin) {
    case FILE_BEGIN:
        whence = SEEK_SET;
        break;
    case FILE_CURRENT:
        whence = SEEK_CUR;
        break;
    case FILE_END:
        whence = SEEK_END;
        break;
    default:
        return HFILE_ERROR;
    }
    const off_t at = lseek(d, offset, whence);
    // A position the 32-bit result cannot carry is an error, never a wrapped value.
    if (at < 0 || at > LONG_MAX)
        return HFILE_ERROR;
    return static_cast<LONG>(at);
}

HFILE WINAPI _lclose(HFILE file)
{
    if (FAILED(fault_check("_lclose")))
        return HFILE_ERROR;
    const int d = descriptor_of(file);
    if (d < 0)
        return HFILE_ERROR;
    close(d);
    descriptors[file - 1] = -1;
    return 0;
}

// ---- the process's end, and its count of open files ----

void files_process_end()
{
    table_prepare();
    for (int& d : descriptors) {
        if (d != -1)
            close(d);
        d = -1;
    }
}

int files_open_count()
{
    table_prepare();
    int count = 0;
    for (int d : descriptors)
        count += d != -1;
    return count;
}
