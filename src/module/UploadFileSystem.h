// File-system steps shared by the two kinds of upload file (POSIX).
#pragma once

#include <cstddef>
#include <string>

#include <sys/types.h>

namespace uploadfs {

// Writes all bytes at the descriptor's position (offset < 0) or at offset; false with errno set.
bool WriteAll(int descriptor, const char* bytes, std::size_t count, off_t offset = -1);

// The folder that holds name, and the hidden name ".<file name><suffix>" beside it.
std::string FolderOf(const std::string& name);
std::string HiddenSibling(const std::string& name, const std::string& suffix);

// Syncs the folder that holds name, so a rename or removal in it survives a crash.
bool SyncFolderOf(const std::string& name);

// Whether the descriptor is a regular file.
bool IsRegularDescriptor(int descriptor);

}  // namespace uploadfs
