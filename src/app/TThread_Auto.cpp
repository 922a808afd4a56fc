#include "app/TThread_Auto.h"

#include "platform/Services.h"

#include <utility>

TThread_Auto::TThread_Auto(std::function<void()> step) : step_(std::move(step)) {}

TThread_Auto::~TThread_Auto()
{
    Stop();
}

void TThread_Auto::Execute()
{
    while (!Terminated()) {
        Synchronize(step_);
        platform::Sleep(10);
    }
}
