// Paces a memory read-out: hands one read step at a time to the user-interface thread, waits
// until it has run, sleeps until 10 ms after the step's end, and ends after the step that answers false. It touches neither
// the module nor the file nor any control itself.
#pragma once

#include "platform/Thread.h"

#include <functional>

class TThread_MemRead : public platform::Thread
{
public:
    // readBlock runs on the user-interface thread (ReadMemoryBlock of the main window).
    explicit TThread_MemRead(std::function<bool()> readBlock);
    ~TThread_MemRead() override;

protected:
    void Execute() override;

private:
    std::function<bool()> readBlock_;
};
