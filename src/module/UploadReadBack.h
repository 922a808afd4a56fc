// Reading an upload back from the disk: what the file holds must be what the module sent before
// anyone may erase the module.
#pragma once

#include <QByteArray>

#include <optional>

// SHA-256 of `length` bytes of the open file `fd` from `offset`. Empty when they cannot all be
// read (the file ends before, or a read fails).
std::optional<QByteArray> Sha256OfFileRange(int fd, qint64 offset, qint64 length);

// Whether the synced bytes of the open file `fd` from `offset` have the SHA-256 `sha256`. They
// are first dropped from the page cache where the system allows it, so they come from the disk.
bool ReadBackMatches(int fd, qint64 offset, qint64 length, const QByteArray& sha256);
