// File-system steps shared by the upload files (POSIX).
#pragma once

#include <cstddef>
#include <string>

#include <sys/types.h>

namespace uploadfs {

// Writes all bytes at the descriptor's position (offset < 0) or at offset; false with errno set.
// A write blocked by a full pipe gives up (EINTR) when a cancel signal comes.
bool WriteAll(int descriptor, const char* bytes, std::size_t count, off_t offset = -1);

// Reads exactly count bytes from offset; false when the file ends before or a read fails.
bool ReadAll(int descriptor, char* bytes, std::size_t count, off_t offset);

// Whether `count` bytes of `a` from `fromA` equal those of `b` from `fromB`.
bool SameBytes(int a, off_t fromA, int b, off_t fromB, off_t count);

// The folder that holds name, the name without its folder, and the hidden name
// ".<file name><suffix>" beside it.
std::string FolderOf(const std::string& name);
std::string BaseName(const std::string& name);
std::string HiddenSibling(const std::string& name, const std::string& suffix);

// Syncs the folder that holds name, so a rename or removal in it survives a crash.
bool SyncFolderOf(const std::string& name);

// Whether the descriptor is a regular file.
bool IsRegularDescriptor(int descriptor);

// An open-file-description lock over the whole file (F_OFD_SETLK): F_WRLCK needs the file open for
// writing, F_RDLCK for reading. `wait`: blocks until it is granted. False with errno set.
bool LockWhole(int descriptor, short type, bool wait = false);

// Gives the file the owner and group of another; for root only, whose new files would otherwise
// be root's in a user's folder. Others' new files are theirs already.
bool GiveOwnerOf(int descriptor, uid_t owner, gid_t group);

}  // namespace uploadfs
