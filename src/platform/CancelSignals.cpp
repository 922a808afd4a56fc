#include "platform/CancelSignals.h"

#include <csignal>

namespace platform {

namespace {

volatile std::sig_atomic_t noted = 0;
constexpr int Signals[] = {SIGINT, SIGTERM};
struct sigaction previous[2];

void Note(int signal)
{
    noted = signal;
}

} // namespace

CancelSignals::CancelSignals()
{
    noted = 0;
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i)
        sigaction(Signals[i], &action, &previous[i]);
}

CancelSignals::~CancelSignals()
{
    for (int i = 0; i < 2; ++i)
        sigaction(Signals[i], &previous[i], nullptr);
    if (noted != 0)
        std::raise(noted);
}

bool CancelSignals::Raised()
{
    return noted != 0;
}

} // namespace platform
