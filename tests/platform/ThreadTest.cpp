#include "platform/Thread.h"
#include "platform/OffUiThread.h"

#include "support/ScriptedMessageBox.h"
#include "support/FakeServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A worker whose Execute is given by the test.
class TestThread : public platform::Thread {
public:
    explicit TestThread(std::function<void(TestThread&)> body)
        : body_(std::move(body))
    {
    }
    ~TestThread() override { Stop(); }
    using Thread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(TestThread&)> body_;
};

bool OnUiThread()
{
    return QThread::currentThread() == qApp->thread();
}

// A log written from both threads.
class Log {
public:
    void Add(std::string entry)
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> Entries() const
    {
        std::lock_guard lock(mutex_);
        return entries_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

// Counts the key presses it receives.
class InputRecorder : public QObject {
public:
    int keyPresses = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++keyPresses;
        return QObject::event(event);
    }
};

// Closes a modal box left open by a failing test, so a fault cannot hang the run.
void CloseModalBoxesLater(QObject* context)
{
    QTimer::singleShot(20000, context, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

TEST(Thread, StepsRunOnTheUiThreadInOrderAndWaitForEndsWithExecute)
{
    std::vector<int> steps;
    bool allOnUiThread = true;
    std::atomic<bool> executeOnWorker{false};
    TestThread worker([&](TestThread& self) {
        executeOnWorker = !OnUiThread();
        for (int i = 0; i < 5; ++i) {
            self.Synchronize([&, i] {
                allOnUiThread = allOnUiThread && OnUiThread();
                steps.push_back(i);
            });
        }
    });
    EXPECT_FALSE(worker.Started());
    worker.Start();
    worker.WaitFor();
    EXPECT_TRUE(worker.Finished());
    EXPECT_TRUE(executeOnWorker);
    EXPECT_TRUE(allOnUiThread);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(Thread, PacingLoopEndsWhenAStepMarksItTerminated)
{
    platform::FakeServices services;
    int blocks = 0;
    TestThread worker([&](TestThread& self) {
        while (!self.Terminated()) {
            self.Synchronize([&] {
                if (++blocks == 3)
                    self.Terminate();
            });
            platform::Sleep(10);
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(blocks, 3);
    EXPECT_TRUE(worker.Terminated());
    EXPECT_EQ(services.Sleeps(), (std::vector<uint32_t>{10, 10, 10}));
}

TEST(Thread, WaitForProcessesNoUserInputNorOtherEvents)
{
    InputRecorder recorder;
    bool timerFired = false;
    QTimer::singleShot(0, &recorder, [&] { timerFired = true; });
    QCoreApplication::postEvent(&recorder, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));

    std::vector<int> seenDuringSteps;
    TestThread worker([&](TestThread& self) {
        for (int i = 0; i < 3; ++i)
            self.Synchronize([&] { seenDuringSteps.push_back(recorder.keyPresses + (timerFired ? 100 : 0)); });
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(seenDuringSteps, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(recorder.keyPresses, 0);
    EXPECT_FALSE(timerFired);

    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.keyPresses, 1) << "the input is delivered once the event loop runs again";
    EXPECT_TRUE(timerFired);
}

TEST(Thread, NestedWorkerRunsWhileTheOuterWorkerWaitsInItsHandOver)
{
    Log log;
    TestThread outer([&](TestThread& self) {
        self.Synchronize([&] {
            log.Add("outer step 1");
            TestThread inner([&](TestThread& innerSelf) {
                for (int i = 1; i <= 3; ++i)
                    innerSelf.Synchronize([&, i] { log.Add("inner step " + std::to_string(i)); });
            });
            inner.Start();
            inner.WaitFor();
            log.Add("outer step 1 done");
        });
        log.Add("outer worker resumes");
        self.Synchronize([&] { log.Add("outer step 2"); });
    });
    outer.Start();
    outer.WaitFor();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"outer step 1", "inner step 1", "inner step 2", "inner step 3",
                                                       "outer step 1 done", "outer worker resumes", "outer step 2"}));
}

TEST(Thread, HandOversRunWhileAModalMessageBoxIsOpen)
{
    QObject failsafe;
    CloseModalBoxesLater(&failsafe);
    std::vector<QString> boxesSeen;
    TestThread worker([&](TestThread& self) {
        for (int i = 0; i < 2; ++i) {
            self.Synchronize([&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                boxesSeen.push_back(box ? box->windowTitle() + "|" + box->text() : QString());
            });
        }
        self.Synchronize([] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->icon() == QMessageBox::NoIcon && box->isModal())
                box->button(QMessageBox::Yes)->click();
        });
    });
    worker.Start();
    platform::QtMessageBoxService boxes;
    const platform::MessageBoxResult answer =
        boxes.Show("Clear Module Memory", "Question", platform::MessageBoxButtons::YesNo, {});
    worker.WaitFor();
    EXPECT_EQ(boxesSeen, (std::vector<QString>{"Question|Clear Module Memory", "Question|Clear Module Memory"}));
    EXPECT_EQ(answer, platform::MessageBoxResult::Yes);
}

TEST(Thread, ScriptedBoxLetsHandOversRunWhileOpen)
{
    platform::ScriptedMessageBox boxes;
    QEventLoop boxLoop;
    bool boxOpen = false;
    int stepsInBox = 0;
    TestThread worker([&](TestThread& self) {
        self.Synchronize([&] {
            stepsInBox += boxOpen ? 1 : 0;
            boxLoop.quit();
        });
    });
    // Stands in for the nested loop of a real modal box.
    boxes.WhileOpen([&] {
        boxOpen = true;
        QTimer::singleShot(20000, &boxLoop, &QEventLoop::quit);
        boxLoop.exec();
        boxOpen = false;
    });
    worker.Start();
    platform::MessageBox("5 Bytes Uploaded", "Success", platform::MessageBoxButtons::OK);
    worker.WaitFor();
    EXPECT_EQ(stepsInBox, 1);
}

TEST(Thread, TerminateFromTheUiThreadEndsAnEndlessLoop)
{
    platform::FakeServices services;
    int passes = 0;
    TestThread worker([&](TestThread& self) {
        while (!self.Terminated()) {
            self.Synchronize([&] {
                if (++passes == 2)
                    self.Terminate();
            });
            platform::Sleep(10);
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(passes, 2);
    EXPECT_TRUE(worker.Finished());
}

TEST(Thread, ExceptionOfAStepIsRethrownInTheWorker)
{
    std::string caught;
    TestThread worker([&](TestThread& self) {
        try {
            self.Synchronize([] { throw std::runtime_error("step failed"); });
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(caught, "step failed");
}

TEST(Thread, ExceptionLeavingExecuteEndsTheWorkerAndReachesTheOwnerOnce)
{
    TestThread worker([](TestThread& self) { self.Synchronize([] { throw std::runtime_error("step failed"); }); });
    worker.Start();
    EXPECT_THROW(worker.WaitFor(), std::runtime_error);
    EXPECT_TRUE(worker.Finished());
    EXPECT_NO_THROW(worker.WaitFor());
}

TEST(Thread, SynchronizeOnTheUiThreadRunsTheStepDirectly)
{
    TestThread notStarted([](TestThread&) {});
    bool ran = false;
    notStarted.Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(Thread, WaitForWithoutStartReturnsAndStartRunsExecuteOnce)
{
    std::atomic<int> runs{0};
    TestThread worker([&](TestThread&) { ++runs; });
    worker.WaitFor();
    EXPECT_FALSE(worker.Finished());
    worker.Start();
    worker.Start();
    worker.WaitFor();
    worker.WaitFor();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(worker.Finished());
}

TEST(Thread, WaitForFromItsOwnStepOrExecuteReturnsInsteadOfHanging)
{
    bool finishedSeenInStep = true;
    TestThread worker([&](TestThread& self) {
        self.WaitFor();
        self.Synchronize([&] {
            self.WaitFor();
            finishedSeenInStep = self.Finished();
        });
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_FALSE(finishedSeenInStep);
    EXPECT_TRUE(worker.Finished());
}

TEST(Thread, WaitForFromAnotherThreadJoins)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> ended{false};
    TestThread worker([&](TestThread&) {
        released.wait();
        ended = true;
    });
    worker.Start();
    std::thread waiter([&] { worker.WaitFor(); });
    release.set_value();
    waiter.join();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(worker.Finished());
}

TEST(Thread, DestroyingABlockedWorkerDropsItsStepAndReturns)
{
    bool stepRan = false;
    std::atomic<bool> afterStep{false};
    std::promise<void> aboutToHandOver;
    auto worker = std::make_unique<TestThread>([&](TestThread& self) {
        aboutToHandOver.set_value();
        self.Synchronize([&] { stepRan = true; });
        afterStep = true;
    });
    worker->Start();
    aboutToHandOver.get_future().wait();
    worker.reset(); // must neither hang nor run the step
    QCoreApplication::processEvents();
    EXPECT_FALSE(stepRan);
    EXPECT_FALSE(afterStep);
}

TEST(Thread, DestroyingAWorkerFromItsOwnStepDoesNotHang)
{
    auto unwound = std::make_shared<std::promise<void>>();
    auto afterStep = std::make_shared<std::atomic<bool>>(false);
    std::future<void> unwoundFuture = unwound->get_future();
    std::unique_ptr<TestThread> worker;
    worker = std::make_unique<TestThread>([&worker, unwound, afterStep](TestThread& self) {
        // Signals from the worker's stack once Execute unwinds.
        struct Signal {
            std::shared_ptr<std::promise<void>> promise;
            ~Signal() { promise->set_value(); }
        } signal{unwound};
        auto after = afterStep;
        self.Synchronize([&worker] { worker.reset(); });
        *after = true;
    });
    worker->Start();
    while (worker)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_EQ(unwoundFuture.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_FALSE(*afterStep) << "Execute does not go on after its owner has gone";
}

TEST(RunOffUiThread, WorkRunsOnAWorkerWhileTheUiThreadRunsItsTimersAndItsErrorReachesTheCaller)
{
    std::atomic<bool> ticked{false};
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticked = true; });
    ticker.start();
    bool workOnUiThread = true;
    platform::RunOffUiThread([&] {
        workOnUiThread = OnUiThread();
        while (!ticked) // never ends if the user-interface thread waited without its timers
            QThread::yieldCurrentThread();
    });
    EXPECT_FALSE(workOnUiThread);
    EXPECT_THROW(platform::RunOffUiThread([] { throw std::runtime_error("disk gone"); }), std::runtime_error);
}

} // namespace
