// While one is alive, an interrupt or terminate signal (Ctrl+C, a scheduler's stop) does not end
// the process at once: it is noted, so a long operation can stop at its next safe point and leave
// its files as they were. When the guard goes, a noted signal ends the process as it would have.
#pragma once

namespace platform {

class CancelSignals {
public:
    CancelSignals();
    ~CancelSignals();
    CancelSignals(const CancelSignals&) = delete;
    CancelSignals& operator=(const CancelSignals&) = delete;

    // A signal came since the guard was set up.
    static bool Raised();
};

} // namespace platform
