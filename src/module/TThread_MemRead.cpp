#include "module/TThread_MemRead.h"

#include "platform/Services.h"

#include <chrono>
#include <utility>

TThread_MemRead::TThread_MemRead(std::function<bool()> readBlock) : readBlock_(std::move(readBlock)) {}

TThread_MemRead::~TThread_MemRead()
{
    Stop();
}

void TThread_MemRead::Execute()
{
    while (!Terminated()) {
        // The pause is counted from the end of the pass on the user-interface thread, so the
        // worker's own wake-up after the hand-over is part of it, not added to it.
        std::chrono::steady_clock::time_point passEnded;
        Synchronize([this, &passEnded] {
            if (!readBlock_())
                Terminate();
            passEnded = std::chrono::steady_clock::now();
        });
        platform::SleepAfter(passEnded, 10);
    }
}
