#include "platform/CancelSignals.h"

#include <csignal>

#include <pthread.h>

namespace platform {

namespace {

volatile std::sig_atomic_t noted = 0;
constexpr int Signals[] = {SIGINT, SIGTERM, SIGPIPE};
constexpr int CancelSignalCount = 2;  // SIGPIPE is only ignored
struct sigaction previous[3];
int depth = 0;
pthread_t guardThread;

void Note(int signal)
{
    noted = signal;
    // No SA_RESTART: the guard's thread, blocked in a write, gets EINTR and stops there.
    if (!pthread_equal(pthread_self(), guardThread))
        pthread_kill(guardThread, signal);
}

} // namespace

CancelSignals::CancelSignals()
{
    if (depth++ > 0)
        return;
    noted = 0;
    guardThread = pthread_self();
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) {
        action.sa_handler = i < CancelSignalCount ? Note : SIG_IGN;
        sigaction(Signals[i], &action, &previous[i]);
    }
}

CancelSignals::~CancelSignals()
{
    if (--depth > 0)
        return;
    for (int i = 0; i < 3; ++i)
        sigaction(Signals[i], &previous[i], nullptr);
}

bool CancelSignals::Raised()
{
    return noted != 0;
}

const char* CancelSignals::RaisedName()
{
    switch (noted) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "";
    }
}

void CancelSignals::EndProcessIfRaised()
{
    if (depth > 0 || noted == 0)
        return;
    const int signal = noted;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace platform
