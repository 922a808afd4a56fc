// The bytes a memory or configuration upload leaves in its file for given module bytes: the file
// is a text stream, so every line feed is stored as carriage return plus line feed.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <random>

namespace bench {

QByteArray textStreamBytes(const QByteArray& moduleBytes);

// How many leading bytes of `moduleBytes` `fileBytes` holds whole, stored as a text stream and in
// order; a line feed whose carriage return alone made it into the file does not count.
// `exact` tells whether fileBytes is exactly those stored bytes and nothing else.
struct StoredPrefix {
    qsizetype bytes = 0;
    bool exact = false;
};
StoredPrefix storedPrefix(const QByteArray& moduleBytes, const QByteArray& fileBytes);

// Module data with more line feeds and carriage returns than chance would give, since those are
// the bytes a text stream treats specially.
QByteArray moduleData(qsizetype size, std::mt19937& random);

} // namespace bench
