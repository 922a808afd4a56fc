// A program run as a child process with a given environment and folder, its output captured in
// files, and what the kernel counted for it when it ended (wall time, peak memory).
#pragma once

#include <sys/types.h>

#include <csignal>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct ChildSpec {
    std::string program;
    std::vector<std::string> arguments; // without the program name
    std::vector<std::string> environment;
    std::string workingFolder;
    std::string stdoutPath = "/dev/null";
    std::string stderrPath = "/dev/null";
    // Largest file the child may write. SIGXFSZ is ignored in the child, so a write beyond the
    // limit fails with EFBIG, the way a full disk makes writes fail.
    std::optional<uint64_t> fileSizeLimit;
};

class ChildProcess {
public:
    explicit ChildProcess(const ChildSpec& spec); // starts the child; throws when it cannot
    ~ChildProcess();                              // kills and reaps a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool poll(); // true once the child has ended; never blocks
    void wait();
    // Waits up to `limit`; a child still running then is killed. True when it ended by itself.
    bool waitAtMost(std::chrono::milliseconds limit);
    // SIGKILL unless another signal is given; the child still has to be reaped by poll() or wait()
    void kill(int signal = SIGKILL);

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

    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point endedAt_;
    bool ended_ = false;
    bool exited_ = false;
    int exitCode_ = -1;
    int signal_ = 0;
    long peakRssKiB_ = 0;
    double cpuSeconds_ = 0;
};

} // namespace bench
