/* A write layer for whole-process tests, loaded into the tool with LD_PRELOAD: when the tool drops
 * an upload's synced bytes from the page cache to read them back, the first of those bytes is
 * changed on the disk, as a failing disk or another writer would change it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

int posix_fadvise(int fd, off_t offset, off_t length, int advice)
{
    typedef int (*Fadvise)(int, off_t, off_t, int);
    const Fadvise next = (Fadvise)dlsym(RTLD_NEXT, "posix_fadvise");
    char path[64];
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    const int writable = advice == POSIX_FADV_DONTNEED && length > 0 ? open(path, O_WRONLY | O_CLOEXEC) : -1;
    char byte = 0;
    if (writable >= 0 && pread(fd, &byte, 1, offset) == 1) {
        byte ^= 0x20;
        if (pwrite(writable, &byte, 1, offset) != 1 || fsync(writable) != 0)
            perror("ChangeBeforeReadBack");
    }
    if (writable >= 0)
        close(writable);
    return next(fd, offset, length, advice);
}
