// File names are bytes. A name from the command line may be in no encoding at all (Latin-1 in a
// UTF-8 folder, any bytes in the C locale), and must reach the system exactly as typed; the
// toolkit's own conversion would replace every invalid byte with U+FFFD. Each byte that is not
// part of valid UTF-8 is kept as one lone surrogate (U+DC80 to U+DCFF), which no valid UTF-8
// ever decodes to, and turned back into that byte on the way out.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

QString FileNameFromBytes(QByteArrayView bytes);

// The bytes for the system; UTF-8 for any text that FileNameFromBytes did not make.
QByteArray FileNameBytes(const QString& name);

}  // namespace platform
