#include "api/LastReason.h"

#include <cstring>
#include <string>

namespace korvane::api {

namespace {

thread_local std::string lastReason;

constexpr size_t kMaxReason = 255; // an 8-bit length, as Parameter_Get_ARRAY's

} // namespace

int32_t fail(const QString& reason)
{
    lastReason = reason.toStdString();
    if (lastReason.size() > kMaxReason) {
        size_t end = kMaxReason;
        while (end > 0 && (static_cast<unsigned char>(lastReason[end]) & 0xC0) == 0x80)
            --end; // never half a character
        lastReason.resize(end);
    }
    return 0;
}

int32_t copyLastReason(char* text)
{
    std::memcpy(text, lastReason.c_str(), lastReason.size() + 1);
    return int32_t(lastReason.size());
}

} // namespace korvane::api
