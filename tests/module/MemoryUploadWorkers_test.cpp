// The two pacing workers: every step runs on the user-interface thread, one pass at a time, and
// the loop ends exactly when it should.
#include "app/TThread_Auto.h"
#include "module/TThread_MemRead.h"

#include "support/FakeServices.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>

namespace {

bool OnUserInterfaceThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

TEST(TThread_MemRead, ReadsUntilAStepAnswersFalseOnTheUserInterfaceThread)
{
    platform::FakeServices services;
    int steps = 0;
    bool allOnUiThread = true;
    TThread_MemRead worker([&] {
        allOnUiThread = allOnUiThread && OnUserInterfaceThread();
        return ++steps < 4;
    });
    EXPECT_FALSE(worker.Started());
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(steps, 4);
    EXPECT_TRUE(allOnUiThread);
    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(services.Sleeps(), (std::vector<uint32_t>{10, 10, 10, 10}));
}

TEST(TThread_MemRead, ANeverEndingReadOutStopsWhenTheWorkerGoes)
{
    platform::FakeServices services;
    int steps = 0;
    auto worker = std::make_unique<TThread_MemRead>([&] { return ++steps > 0; });
    worker->Start();
    // Let a few passes run, then drop the worker while it still wants to read.
    while (steps < 3)
        QCoreApplication::processEvents();
    worker.reset();
    const int stepsAtEnd = steps;
    QCoreApplication::processEvents();
    EXPECT_EQ(steps, stepsAtEnd);
}

TEST(TThread_Auto, RunsStepsUntilAStepTerminatesTheWorker)
{
    platform::FakeServices services;
    int steps = 0;
    std::unique_ptr<TThread_Auto> worker;
    worker = std::make_unique<TThread_Auto>([&] {
        EXPECT_TRUE(OnUserInterfaceThread());
        if (++steps == 5)
            worker->Terminate();
    });
    worker->Start();
    worker->WaitFor();
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(services.Sleeps().size(), 5u);
}

}  // namespace
