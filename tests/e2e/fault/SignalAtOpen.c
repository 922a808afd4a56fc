/* A fault layer for whole-process tests, loaded into the tool with LD_PRELOAD: the first time the
 * tool creates or opens for writing a file whose name ends in $KORVANE_SIGNAL_AT_OPEN, the process
 * gets the signal $KORVANE_SIGNAL (a number), as a kill or a scheduler's stop would come at that
 * very moment. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

static int fired;

static void SignalWhenNamed(const char* path, int flags)
{
    const char* suffix = getenv("KORVANE_SIGNAL_AT_OPEN");
    const char* number = getenv("KORVANE_SIGNAL");
    if (fired || !suffix || !number || !(flags & (O_CREAT | O_WRONLY)))
        return;
    const size_t length = strlen(path), tail = strlen(suffix);
    if (length < tail || strcmp(path + length - tail, suffix) != 0)
        return;
    fired = 1;
    raise(atoi(number));
}

typedef int (*Open)(const char*, int, ...);

static int Forward(const char* symbol, const char* path, int flags, mode_t mode)
{
    SignalWhenNamed(path, flags);
    const Open next = (Open)dlsym(RTLD_NEXT, symbol);
    return next(path, flags, mode);
}

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return Forward("open", path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return Forward("open64", path, flags, mode);
}
