#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace testsupport {

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

bool redirect(const std::string& path, int target)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return fd >= 0 && dup2(fd, target) >= 0;
}

// In the forked child only async-signal-safe calls may run until execve. `pipeEnd` is the writing
// end of the output pipe, or -1.
[[noreturn]] void becomeChild(const ChildSpec& spec, int pipeEnd, char* const* argv, char* const* envp)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL); // no stray child when the harness itself is killed
    const bool outputSet = pipeEnd >= 0 ? dup2(pipeEnd, STDOUT_FILENO) >= 0 : redirect(spec.stdoutPath, STDOUT_FILENO);
    const bool errorsSet = spec.stderrPath.empty() || redirect(spec.stderrPath, STDERR_FILENO);
    if (!outputSet || !errorsSet || (!spec.workingFolder.empty() && chdir(spec.workingFolder.c_str()) != 0))
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

std::vector<std::string> environmentWithout(const std::vector<std::string>& names)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (std::find(names.begin(), names.end(), name) == names.end())
            environment.push_back(text);
    }
    return environment;
}

ChildProcess::ChildProcess(const ChildSpec& spec)
{
    std::vector<std::string> arguments{spec.program};
    arguments.insert(arguments.end(), spec.arguments.begin(), spec.arguments.end());
    std::vector<std::string> environment = spec.environment;
    const std::vector<char*> argv = pointers(arguments);
    const std::vector<char*> envp = pointers(environment);

    int pipe[2] = {-1, -1};
    if (spec.stdoutPath.empty() && pipe2(pipe, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for the output of " + spec.program);
    started_ = std::chrono::steady_clock::now();
    pid_ = fork();
    if (pid_ == 0)
        becomeChild(spec, pipe[1], argv.data(), envp.data());
    if (pipe[1] >= 0)
        close(pipe[1]);
    output_ = pipe[0];
    if (pid_ < 0) {
        if (output_ >= 0)
            close(output_);
        throw std::runtime_error("cannot start " + spec.program);
    }
}

ChildProcess::~ChildProcess()
{
    if (!ended_) {
        kill(SIGTERM);
        if (!waitFor(std::chrono::seconds(5))) {
            kill();
            wait();
        }
    }
    if (output_ >= 0)
        close(output_);
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

bool ChildProcess::waitFor(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!poll()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool ChildProcess::waitAtMost(std::chrono::milliseconds limit)
{
    if (waitFor(limit))
        return true;
    kill();
    wait();
    return false;
}

void ChildProcess::kill(int signal)
{
    if (!ended_)
        ::kill(pid_, signal);
}

bool ChildProcess::readMore(QByteArray& text, std::chrono::milliseconds limit)
{
    if (output_ < 0)
        return false;
    pollfd fd{output_, POLLIN, 0};
    if (::poll(&fd, 1, int(limit.count())) <= 0)
        return true; // nothing in time: not the end
    char buffer[4096];
    const ssize_t count = read(output_, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    text += QByteArray(buffer, qsizetype(count));
    return true;
}

QByteArray ChildProcess::readSome(std::chrono::milliseconds limit)
{
    QByteArray got = std::exchange(pending_, {});
    readMore(got, limit);
    return got;
}

QByteArray ChildProcess::readLine(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QByteArray text = std::exchange(pending_, {});
    while (!text.contains('\n') && std::chrono::steady_clock::now() < deadline)
        if (!readMore(text, std::chrono::milliseconds(50)))
            break;
    const qsizetype end = text.indexOf('\n');
    if (end < 0) {
        pending_ = text;
        return {};
    }
    pending_ = text.mid(end + 1);
    return text.left(end);
}

QByteArray ChildProcess::finish()
{
    kill(SIGTERM);
    QByteArray all = std::exchange(pending_, {});
    // Until the output ends, or 5 s pass without any.
    for (;;) {
        const qsizetype before = all.size();
        if (!readMore(all, std::chrono::seconds(5)) || all.size() == before)
            break;
    }
    waitFor(std::chrono::seconds(5));
    return all;
}

std::chrono::steady_clock::duration ChildProcess::elapsed() const
{
    return (ended_ ? endedAt_ : std::chrono::steady_clock::now()) - started_;
}

} // namespace testsupport
