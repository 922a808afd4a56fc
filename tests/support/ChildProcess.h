// A program run as a child process with a given environment and folder, its standard output in a
// file or read through a pipe, and what the kernel counted for it when it ended (wall time, peak
// memory, processor time). Started with fork and execve rather than QProcess: after QProcess has
// started a child, ThreadSanitizer no longer sees the starting thread's locks and reports races
// that are none.
#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <csignal>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// This process's environment without the variables named.
std::vector<std::string> environmentWithout(const std::vector<std::string>& names);

struct ChildSpec {
    std::string program; // a path: not searched for
    std::vector<std::string> arguments; // without the program name
    std::vector<std::string> environment; // the child's whole environment
    std::string workingFolder; // empty: this process's
    // Standard output into this file; empty: into a pipe, read with readLine, readSome and finish.
    std::string stdoutPath = "/dev/null";
    std::string stderrPath = "/dev/null"; // empty: this process's
    // Largest file the child may write. SIGXFSZ is ignored in the child, so a write beyond the
    // limit fails with EFBIG, the way a full disk makes writes fail.
    std::optional<uint64_t> fileSizeLimit;
};

class ChildProcess {
public:
    explicit ChildProcess(const ChildSpec& spec); // starts the child; throws when it cannot
    ~ChildProcess(); // a child still running gets SIGTERM, and SIGKILL if it has not ended in 5 s
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool poll(); // true once the child has ended; never blocks
    void wait();
    // Waits up to `limit`; true when the child has ended. A child still running is left alone.
    bool waitFor(std::chrono::milliseconds limit);
    // Waits up to `limit`; a child still running then is killed. True when it ended by itself.
    bool waitAtMost(std::chrono::milliseconds limit);
    // SIGKILL unless another signal is given; the child still has to be reaped by poll() or wait()
    void kill(int signal = SIGKILL);

    // The next line of standard output, without its line end; empty when none came within `limit`.
    QByteArray readLine(std::chrono::milliseconds limit);
    // What arrived within `limit`, together with what was read but not given yet.
    QByteArray readSome(std::chrono::milliseconds limit);
    // Signals the child to end (SIGTERM) and gives all it wrote that was not given yet.
    QByteArray finish();

    bool ended() const { return ended_; }
    bool exited() const { return exited_; } // ended by exit(), not by a signal
    int exitCode() const { return exitCode_; }
    int signal() const { return signal_; }
    std::chrono::steady_clock::time_point startedAt() const { return started_; }
    std::chrono::steady_clock::duration elapsed() const; // until the end, or until now
    long peakRssKiB() const { return peakRssKiB_; }
    double cpuSeconds() const { return cpuSeconds_; }

private:
    bool reap(int options);
    // Waits up to `limit` for output and appends what came to `text`; false once the output has
    // ended (or there is no pipe), true otherwise, also when nothing came in time.
    bool readMore(QByteArray& text, std::chrono::milliseconds limit);

    pid_t pid_ = -1;
    int output_ = -1; // the pipe's reading end, when standard output goes into one
    QByteArray pending_; // read but not given yet
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point endedAt_;
    bool ended_ = false;
    bool exited_ = false;
    int exitCode_ = -1;
    int signal_ = 0;
    long peakRssKiB_ = 0;
    double cpuSeconds_ = 0;
};

} // namespace testsupport
