// machine.cpp -- the machine under the stand-in, and what the system frees when a process ends.
#include "audio_internal.h"
#include "host_reports.h"
#include "internal.h"

Machine machine;

void host_process_ended()
{
    windows_process_end();
    ddraw_process_end();
    files_process_end();
    mixer_process_end();
    com_process_end();
}
