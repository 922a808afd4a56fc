/* A fault layer for whole-process tests, loaded into the tool with LD_PRELOAD:
 * - the first time the tool creates or opens for writing a file whose name ends in
 *   $KORVANE_SIGNAL_AT_OPEN, or removes one whose name ends in $KORVANE_SIGNAL_AT_UNLINK, the process
 *   gets the signal $KORVANE_SIGNAL (a number), as a kill or a scheduler's stop would come at that
 *   very moment;
 * - the first time the tool writes to (or syncs, with $KORVANE_APPEND_AT=fsync) a file whose name
 *   ends in $KORVANE_APPEND_TO, another process first appends $KORVANE_APPEND to that file, as a
 *   program writing the same file would. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

static int fired, appended;

static int EndsWith(const char* path, const char* suffix)
{
    const size_t length = strlen(path), tail = strlen(suffix);
    return length >= tail && strcmp(path + length - tail, suffix) == 0;
}

static void SignalWhenNamed(const char* variable, const char* path)
{
    const char* suffix = getenv(variable);
    const char* number = getenv("KORVANE_SIGNAL");
    if (fired || !suffix || !number || !EndsWith(path, suffix))
        return;
    fired = 1;
    raise(atoi(number));
}

static void AppendWhenNamed(int fd, const char* moment)
{
    const char* suffix = getenv("KORVANE_APPEND_TO");
    const char* at = getenv("KORVANE_APPEND_AT");
    const char* bytes = getenv("KORVANE_APPEND");
    if (appended || !suffix || !bytes || strcmp(at ? at : "write", moment) != 0)
        return;
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return;
    path[length] = '\0';
    if (!EndsWith(path, suffix))
        return;
    appended = 1;
    const pid_t other = fork();
    if (other == 0) {
        const int file = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
        _exit(file >= 0 && write(file, bytes, strlen(bytes)) == (ssize_t)strlen(bytes) ? 0 : 1);
    }
    int status = 0;
    if (other < 0 || waitpid(other, &status, 0) != other || status != 0)
        perror("SignalAtOpen: the other program's append");
}

typedef int (*Open)(const char*, int, ...);

static int Forward(const char* symbol, const char* path, int flags, mode_t mode)
{
    if (flags & (O_CREAT | O_WRONLY))
        SignalWhenNamed("KORVANE_SIGNAL_AT_OPEN", path);
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

int unlink(const char* path)
{
    SignalWhenNamed("KORVANE_SIGNAL_AT_UNLINK", path);
    int (*next)(const char*) = (int (*)(const char*))dlsym(RTLD_NEXT, "unlink");
    return next(path);
}

ssize_t write(int fd, const void* bytes, size_t count)
{
    AppendWhenNamed(fd, "write");
    ssize_t (*next)(int, const void*, size_t) = (ssize_t (*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    return next(fd, bytes, count);
}

ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset)
{
    AppendWhenNamed(fd, "write");
    ssize_t (*next)(int, const void*, size_t, off_t) =
        (ssize_t (*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    return next(fd, bytes, count, offset);
}

ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset)
{
    AppendWhenNamed(fd, "write");
    ssize_t (*next)(int, const void*, size_t, off_t) =
        (ssize_t (*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite64");
    return next(fd, bytes, count, offset);
}

int fsync(int fd)
{
    AppendWhenNamed(fd, "fsync");
    int (*next)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    return next(fd);
}
