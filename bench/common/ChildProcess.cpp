#include "common/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

namespace bench {

namespace {

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> list;
    for (std::string& text : texts)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

double seconds(const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; }

// In the forked child only async-signal-safe calls may run until execve.
[[noreturn]] void becomeChild(const ChildSpec& spec, char* const* argv, char* const* envp)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL); // no stray child when the harness itself is killed
    const int out = open(spec.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(spec.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(spec.workingFolder.c_str()) != 0)
        _exit(126);
    if (spec.fileSizeLimit) {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, nullptr);
        const rlimit limit{rlim_t(*spec.fileSizeLimit), rlim_t(*spec.fileSizeLimit)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(126);
    }
    execve(spec.program.c_str(), argv, envp);
    _exit(127);
}

} // namespace

ChildProcess::ChildProcess(const ChildSpec& spec)
{
    std::vector<std::string> arguments{spec.program};
    arguments.insert(arguments.end(), spec.arguments.begin(), spec.arguments.end());
    std::vector<std::string> environment = spec.environment;
    const std::vector<char*> argv = pointers(arguments);
    const std::vector<char*> envp = pointers(environment);

    started_ = std::chrono::steady_clock::now();
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("cannot start " + spec.program);
    if (pid_ == 0)
        becomeChild(spec, argv.data(), envp.data());
}

ChildProcess::~ChildProcess()
{
    if (!ended_) {
        kill();
        wait();
    }
}

bool ChildProcess::reap(int options)
{
    if (ended_)
        return true;
    int status = 0;
    rusage usage{};
    pid_t result;
    do {
        result = wait4(pid_, &status, options, &usage);
    } while (result < 0 && errno == EINTR);
    if (result == 0)
        return false;
    if (result < 0)
        throw std::runtime_error("lost track of a child process");
    endedAt_ = std::chrono::steady_clock::now();
    ended_ = true;
    exited_ = WIFEXITED(status);
    exitCode_ = exited_ ? WEXITSTATUS(status) : -1;
    signal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    peakRssKiB_ = usage.ru_maxrss;
    cpuSeconds_ = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return true;
}

bool ChildProcess::poll() { return reap(WNOHANG); }

void ChildProcess::wait() { reap(0); }

bool ChildProcess::waitAtMost(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!poll()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill();
            wait();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void ChildProcess::kill(int signal)
{
    if (!ended_)
        ::kill(pid_, signal);
}

std::chrono::steady_clock::duration ChildProcess::elapsed() const
{
    return (ended_ ? endedAt_ : std::chrono::steady_clock::now()) - started_;
}

} // namespace bench
