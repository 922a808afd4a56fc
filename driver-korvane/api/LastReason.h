// Why the calling thread's last failed entry point failed, as GetErrorString answers it.
#pragma once

#include <QString>

#include <cstdint>

namespace korvane::api {

// Keeps `reason` for this thread and answers 0, the entry points' failure, so failing paths can
// end in `return fail(...)`.
int32_t fail(const QString& reason);

// Writes the reason as UTF-8, cut at 255 bytes on a character boundary, and a terminating zero
// into `text` (at least 256 bytes); answers its length, 0 when this thread has none.
int32_t copyLastReason(char* text);

} // namespace korvane::api
