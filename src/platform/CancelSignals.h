// While one is alive, an interrupt or terminate signal (Ctrl+C, a scheduler's stop) does not end
// the process at once: it is noted, so a long operation can stop at its next safe point, leave its
// files as they were and say what it did. Whoever set up the outermost guard ends the process by
// the noted signal afterwards (EndProcessIfRaised), as the signal would have.
//
// A noted signal also interrupts a system call that blocks the thread which set up the guard (a
// write into a full pipe), wherever it was delivered. While a guard is alive a write into a pipe
// whose reader went away fails with EPIPE instead of ending the process.
#pragma once

namespace platform {

class CancelSignals {
public:
    CancelSignals();  // nested guards share the outermost one
    ~CancelSignals();
    CancelSignals(const CancelSignals&) = delete;
    CancelSignals& operator=(const CancelSignals&) = delete;

    // A signal came since the outermost guard was set up (also after the guards are gone).
    static bool Raised();
    // "SIGINT" or "SIGTERM"; empty when none came.
    static const char* RaisedName();
    // With no guard alive: ends the process by the noted signal, if one came.
    static void EndProcessIfRaised();
};

} // namespace platform
