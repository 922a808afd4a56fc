// A worker thread that paces work done on the user-interface thread: Execute runs on the worker,
// and each Synchronize hands one step to the user-interface thread and blocks until it has run
// there. Steps of all workers run one at a time, in the order they were handed over.
//
// Steps reach the user-interface thread as queued events, so they also run inside modal boxes and
// nested event loops. WaitFor on the user-interface thread runs handed-over steps (of any worker)
// but processes no other event, in particular no user input.
//
// A QCoreApplication must exist while workers hand over steps.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace platform {

namespace detail {
struct WorkerState;
}

class Thread {
public:
    Thread(); // not started
    // Terminates, drops this worker's steps that have not started yet (its blocked Synchronize
    // then unwinds Execute) and joins. Subclasses whose Execute reads their own members call
    // Stop() in their destructor, so Execute has ended before those members go.
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void Start(); // at most once; later calls do nothing
    void Terminate();
    bool Terminated() const;
    bool Started() const;
    bool Finished() const; // Execute has returned
    // Blocks until Execute has returned (at once when never started). On the user-interface
    // thread it runs handed-over steps meanwhile; on any other thread it simply joins. Called
    // from the worker itself or from one of its own steps it returns at once, as waiting there
    // could never end. An exception that ended Execute (one thrown by a handed-over step among
    // them) is rethrown here, once, so the owner learns of it.
    void WaitFor();

protected:
    virtual void Execute() = 0;
    // Called by Execute: runs step on the user-interface thread and returns once it has run there.
    // An exception thrown by the step is rethrown here. On the user-interface thread itself the
    // step runs directly.
    void Synchronize(std::function<void()> step);
    // Terminate, then wait as the destructor does; safe to call more than once.
    void Stop();

private:
    static std::exception_ptr RunExecute(Thread* self);
    void Join();

    std::shared_ptr<detail::WorkerState> state_; // shared with the running worker
    std::thread worker_;
};

} // namespace platform
