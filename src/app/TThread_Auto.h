// Drives the automatic sequence: hands one step at a time to the user-interface thread, waits
// until it has run, sleeps 10 ms. The step that ends the sequence terminates this worker itself.
#pragma once

#include "platform/Thread.h"

#include <functional>

class TThread_Auto : public platform::Thread
{
public:
    // step runs on the user-interface thread (AutoStep of the main window).
    explicit TThread_Auto(std::function<void()> step);
    ~TThread_Auto() override;

protected:
    void Execute() override;

private:
    std::function<void()> step_;
};
