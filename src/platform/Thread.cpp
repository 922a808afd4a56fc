#include "platform/Thread.h"

#include <QCoreApplication>
#include <QThread>
#include <QtGlobal>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {

namespace detail {

struct WorkerState {
    std::atomic<bool> started{false};
    std::atomic<bool> terminated{false};
    // Guarded by the hand-over queue's mutex.
    bool finished = false;
    bool cancelled = false; // the owner is going: no further hand-overs
    std::exception_ptr error; // what ended Execute, until WaitFor hands it on
    int runningSteps = 0;
    // Guards Thread::worker_.
    std::mutex joinMutex;
};

} // namespace detail

namespace {

using detail::WorkerState;

// Thrown out of Synchronize when the worker's owner has gone, to unwind Execute.
struct Cancelled {};

struct HandOver {
    enum class Status { Pending, Running, Done, Dropped };
    std::function<void()> step;
    std::shared_ptr<WorkerState> owner;
    Status status = Status::Pending;
    std::exception_ptr error;
};

// The steps handed to the user-interface thread by all workers, oldest first.
struct HandOverQueue {
    std::mutex mutex;
    std::condition_variable changed; // a step was queued or ended, or a worker finished
    std::deque<std::shared_ptr<HandOver>> pending;
};

HandOverQueue& Queue()
{
    // Never destroyed: a worker may still be unwinding while statics are torn down.
    static auto* queue = new HandOverQueue;
    return *queue;
}

thread_local const WorkerState* currentWorker = nullptr;

bool IsUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

// Runs the oldest pending step, if any. Called on the user-interface thread with the queue's
// mutex held; releases it while the step runs, so the step may itself wait for workers.
bool RunNextHandOver(std::unique_lock<std::mutex>& lock)
{
    HandOverQueue& queue = Queue();
    if (queue.pending.empty())
        return false;
    std::shared_ptr<HandOver> handOver = std::move(queue.pending.front());
    queue.pending.pop_front();
    handOver->status = HandOver::Status::Running;
    ++handOver->owner->runningSteps;
    lock.unlock();
    try {
        handOver->step();
    } catch (...) {
        handOver->error = std::current_exception();
    }
    handOver->step = nullptr; // what the step captured goes on this thread
    lock.lock();
    --handOver->owner->runningSteps;
    handOver->status = HandOver::Status::Done;
    queue.changed.notify_all();
    return true;
}

void RunHandOvers()
{
    std::unique_lock lock(Queue().mutex);
    while (RunNextHandOver(lock)) {
    }
}

} // namespace

Thread::Thread()
    : state_(std::make_shared<WorkerState>())
{
}

Thread::~Thread()
{
    Stop();
}

void Thread::Start()
{
    std::lock_guard guard(state_->joinMutex);
    if (state_->started.exchange(true))
        return;
    worker_ = std::thread([this, state = state_] {
        currentWorker = state.get();
#if defined(__linux__)
        // Workers pace thousands of passes with short sleeps; the default 50 µs of timer slack on
        // each would add up to half a percent of a read-out.
        prctl(PR_SET_TIMERSLACK, 1UL);
#endif
        std::exception_ptr error = RunExecute(this);
        // From here on the Thread object may be gone: only the shared state is touched.
        std::lock_guard lock(Queue().mutex);
        state->error = std::move(error);
        state->finished = true;
        Queue().changed.notify_all();
    });
}

std::exception_ptr Thread::RunExecute(Thread* self)
{
    try {
        self->Execute();
    } catch (const Cancelled&) {
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

void Thread::Terminate()
{
    state_->terminated = true;
}

bool Thread::Terminated() const
{
    return state_->terminated;
}

bool Thread::Started() const
{
    return state_->started;
}

bool Thread::Finished() const
{
    std::lock_guard lock(Queue().mutex);
    return state_->finished;
}

void Thread::Synchronize(std::function<void()> step)
{
    if (IsUiThread()) {
        step();
        return;
    }
    // A local reference: the step may destroy this object (see Stop).
    const std::shared_ptr<WorkerState> state = state_;
    HandOverQueue& queue = Queue();
    auto handOver = std::make_shared<HandOver>();
    handOver->step = std::move(step);
    handOver->owner = state;
    std::unique_lock lock(queue.mutex);
    if (state->cancelled)
        throw Cancelled{};
    queue.pending.push_back(handOver);
    queue.changed.notify_all(); // wakes a WaitFor on the user-interface thread
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &RunHandOvers, Qt::QueuedConnection);
    queue.changed.wait(lock, [&] {
        return handOver->status == HandOver::Status::Done || handOver->status == HandOver::Status::Dropped;
    });
    if (handOver->status == HandOver::Status::Dropped || state->cancelled)
        throw Cancelled{};
    if (handOver->error)
        std::rethrow_exception(handOver->error);
}

void Thread::WaitFor()
{
    if (!Started() || currentWorker == state_.get())
        return; // nothing to wait for, or a worker waiting for itself
    if (IsUiThread()) {
        std::unique_lock lock(Queue().mutex);
        while (!state_->finished) {
            if (state_->runningSteps > 0) {
                // Called from inside one of this worker's own steps: the worker waits for that
                // step, so waiting here would never end.
                qWarning("Thread::WaitFor called from the worker's own hand-over; not waiting");
                return;
            }
            if (!RunNextHandOver(lock))
                Queue().changed.wait(lock);
        }
    }
    Join();
    std::exception_ptr error;
    {
        std::lock_guard lock(Queue().mutex);
        error = std::exchange(state_->error, nullptr);
    }
    if (error)
        std::rethrow_exception(error);
}

void Thread::Join()
{
    std::lock_guard guard(state_->joinMutex);
    if (worker_.joinable())
        worker_.join();
}

void Thread::Stop()
{
    if (!Started())
        return;
    Terminate();
    HandOverQueue& queue = Queue();
    std::vector<std::shared_ptr<HandOver>> dropped; // released after the lock: steps may own anything
    bool ownStepRunning = false;
    {
        std::lock_guard lock(queue.mutex);
        state_->cancelled = true;
        for (auto it = queue.pending.begin(); it != queue.pending.end();) {
            if ((*it)->owner == state_) {
                (*it)->status = HandOver::Status::Dropped;
                dropped.push_back(std::move(*it));
                it = queue.pending.erase(it);
            } else {
                ++it;
            }
        }
        queue.changed.notify_all();
        ownStepRunning = state_->runningSteps > 0;
    }
    // Stopped from inside one of its own steps (the worker waits for that step to return) or
    // from Execute itself: joining would never end. The worker unwinds on its own instead.
    if ((ownStepRunning && IsUiThread()) || currentWorker == state_.get()) {
        std::lock_guard guard(state_->joinMutex);
        if (worker_.joinable())
            worker_.detach();
        return;
    }
    Join();
}

} // namespace platform
