// A program run beside the test, its standard output read through a pipe. Started with
// posix_spawn rather than QProcess: after QProcess starts a child, ThreadSanitizer no longer sees
// the test thread's locks and reports races that are none.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class ChildProcess {
public:
    // `hidden` environment variables are left out of the child's environment.
    ChildProcess(const QString& program, const QStringList& arguments, const QString& folder = {},
                 const QStringList& hidden = {});
    ~ChildProcess(); // SIGTERM, then SIGKILL if it does not end

    bool started() const { return pid_ > 0; }
    // The next line of standard output (without its line end); empty if none came in time.
    QByteArray readLine(int timeoutMs);
    // Waits up to `timeoutMs` for more output and gives everything that arrived.
    QByteArray readSome(int timeoutMs);
    void signal(int number);
    // The exit code once it ended, or -1 when it was killed by a signal or still runs after the wait.
    int wait(int timeoutMs);
    // Signals it to end and gives all it wrote after what was read so far.
    QByteArray finish();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    QByteArray pending_;
    int status_ = -1;
    bool reaped_ = false;
};
