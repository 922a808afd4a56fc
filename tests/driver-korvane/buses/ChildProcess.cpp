#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments, const QString& folder,
                           const QStringList& hidden)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe";
        return;
    }
    std::vector<std::string> texts{program.toStdString()};
    for (const QString& argument : arguments)
        texts.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** variable = environ; *variable; ++variable) {
        const QString name = QString::fromLocal8Bit(*variable).section(u'=', 0, 0);
        if (!hidden.contains(name))
            envp.push_back(*variable);
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    const std::string where = folder.toStdString();
    if (!where.empty())
        ::posix_spawn_file_actions_addchdir_np(&actions, where.c_str());
    const int error = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    output_ = pipe[0];
    if (error != 0) {
        pid_ = -1;
        ADD_FAILURE() << "cannot start " << program.toStdString() << ": " << std::strerror(error);
    }
}

ChildProcess::~ChildProcess()
{
    if (started() && wait(0) == -1 && !reaped_) {
        signal(SIGTERM);
        if (wait(5000) == -1 && !reaped_) {
            signal(SIGKILL);
            wait(5000);
        }
    }
    if (output_ >= 0)
        ::close(output_);
}

QByteArray ChildProcess::readSome(int timeoutMs)
{
    pollfd fd{output_, POLLIN, 0};
    QByteArray got;
    if (output_ >= 0 && ::poll(&fd, 1, timeoutMs) > 0) {
        char buffer[4096];
        const ssize_t count = ::read(output_, buffer, sizeof buffer);
        if (count > 0)
            got = QByteArray(buffer, qsizetype(count));
    }
    got.prepend(pending_);
    pending_.clear();
    return got;
}

QByteArray ChildProcess::readLine(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray text = pending_;
    pending_.clear();
    while (!text.contains('\n') && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{output_, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0)
            continue;
        char buffer[512];
        const ssize_t count = ::read(output_, buffer, sizeof buffer);
        if (count <= 0)
            break;
        text += QByteArray(buffer, qsizetype(count));
    }
    const qsizetype end = text.indexOf('\n');
    if (end < 0) {
        pending_ = text;
        return {};
    }
    pending_ = text.mid(end + 1);
    return text.left(end);
}

void ChildProcess::signal(int number)
{
    if (started() && !reaped_)
        ::kill(pid_, number);
}

int ChildProcess::wait(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (started() && !reaped_) {
        if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
            reaped_ = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return reaped_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

QByteArray ChildProcess::finish()
{
    signal(SIGTERM);
    QByteArray all = pending_;
    pending_.clear();
    char buffer[4096];
    pollfd fd{output_, POLLIN, 0};
    while (::poll(&fd, 1, 5000) > 0) {
        const ssize_t count = ::read(output_, buffer, sizeof buffer);
        if (count <= 0)
            break;
        all += QByteArray(buffer, qsizetype(count));
    }
    wait(5000);
    return all;
}
