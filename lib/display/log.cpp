// log.cpp -- the diagnostic log: time-stamped, each message flushed at once; the game never opens it.
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "display.h"

static constexpr int LOG_MESSAGE_SIZE = 80;  // at most 79 characters and the terminator

static FILE* log_stream = nullptr;

// The ctime text of now ("Wed Jan 02 02:03:55 1980\n", day zero-padded, as the stamp has always
// read) and the milliseconds past its second.
static void now_text(char text[32], unsigned* milliseconds)
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    *milliseconds = static_cast<unsigned>(duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    const std::tm* local = std::localtime(&seconds);
    if (!local || !std::strftime(text, 32, "%a %b %d %H:%M:%S %Y\n", local))
        std::snprintf(text, 32, "Thu Jan 01 00:00:00 1970\n");
}

int log_open(const char* filename, FILE* stream)
{
    if (!stream && !filename)
        return 0;
    FILE* opened = stream ? stream : std::fopen(filename, "w");
    if (!opened)
        return 0;
    log_stream = opened;

    char when[32];
    unsigned ms;
    now_text(when, &ms);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%.19s.%u, %s", when, ms, when + 20);
    log_write("\nOpening Error Output File (%s) on %s\n", filename ? filename : "(null)", stamp);
    if (stream)
        return 1;

    // Reopened for appending, so every later message lands at the end even if others write too.
    std::fclose(log_stream);
    log_stream = std::fopen(filename, "a+");
    return log_stream ? 1 : 0;
}

int log_close()
{
    if (!log_stream)
        return 0;
    log_write("\nClosing Error Output File.");
    if (log_stream != stdout && log_stream != stderr)
        std::fclose(log_stream);
    log_stream = nullptr;
    return 1;
}

int log_write(const char* format, ...)
{
    if (!format || !log_stream)
        return 0;
    char message[LOG_MESSAGE_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);  // a longer message is cut
    va_end(args);
    std::fputs(message, log_stream);  // written as text, never used as a format again
    std::fflush(log_stream);
    return 1;
}
