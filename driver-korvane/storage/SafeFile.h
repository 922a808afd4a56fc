// The library's own files (interface.ini, the simulated module's state): read only when they are
// regular files of bounded size, replaced completely or not at all.
#pragma once

#include <QByteArray>
#include <QString>

namespace korvane::storage {

enum class ReadResult { Read, Missing, Refused };

// Reads `path` (a symlink to a regular file is fine) without ever blocking: a directory, FIFO,
// device, socket, symlink loop or a file above `maxBytes` is refused, with the reason in `error`.
ReadResult readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error);

// Writes a temporary file beside the target (through a symlink: beside its target), syncs it,
// renames it over the target and syncs the folder. On any failure the old file stays as it was.
// Refuses to replace anything but a regular file; keeps the old file's owner, group and
// permissions. Removes the temporaries that killed replacements of the same file left.
bool replaceFile(const QString& path, const QByteArray& bytes, QString& error);

// Removes what killed replacements of `path` left: the running user's temporaries that no
// replacement holds any more.
void removeLeftovers(const QString& path);

} // namespace korvane::storage
