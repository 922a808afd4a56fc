// The module's memory is by far the largest value of a state file. Held by QJsonDocument it would
// be there several times over (the digits as UTF-16 among them), so it goes straight between the
// file's bytes and the memory, and a state file costs little more than its own size.
#pragma once

#include <QByteArray>

#include <optional>

namespace korvane::module {

// Takes the top-level "memory_hex" text out of `json`, leaving "" in its place, and answers the
// bytes it held. Nothing is taken (and the JSON parser reads it, with its reasons) when there is
// no such text or it is not plain pairs of hexadecimal digits.
std::optional<QByteArray> takeMemoryHex(QByteArray& json);

// `json` as serialized with an empty top-level "memory_hex": the same with `memory` in it.
QByteArray putMemoryHex(const QByteArray& json, const QByteArray& memory);

} // namespace korvane::module
