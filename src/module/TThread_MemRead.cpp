#include "module/TThread_MemRead.h"

#include "platform/Services.h"

#include <utility>

TThread_MemRead::TThread_MemRead(std::function<bool()> readBlock) : readBlock_(std::move(readBlock)) {}

TThread_MemRead::~TThread_MemRead()
{
    Stop();
}

void TThread_MemRead::Execute()
{
    while (!Terminated()) {
        Synchronize([this] {
            if (!readBlock_())
                Terminate();
        });
        platform::Sleep(10);
    }
}
