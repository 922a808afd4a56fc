#include "platform/OffUiThread.h"

#include "platform/Thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <utility>

namespace platform {

namespace {

// Runs the work, then ends the user-interface thread's loop from that thread.
class Worker final : public Thread {
public:
    Worker(std::function<void()> work, QEventLoop& loop)
        : work_(std::move(work))
        , loop_(loop)
    {
    }
    ~Worker() override { Stop(); }

protected:
    void Execute() override
    {
        std::exception_ptr error;
        try {
            work_();
        } catch (...) {
            error = std::current_exception();
        }
        Synchronize([this] { loop_.quit(); });
        if (error)
            std::rethrow_exception(error); // WaitFor hands it on
    }

private:
    std::function<void()> work_;
    QEventLoop& loop_;
};

} // namespace

void RunOffUiThread(std::function<void()> work)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        work();
        return;
    }
    QEventLoop loop;
    Worker worker(std::move(work), loop);
    worker.Start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Also when something else ended the loop early: WaitFor runs the last step and joins.
    worker.WaitFor();
}

} // namespace platform
