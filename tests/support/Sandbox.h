// A private folder tree for one run of the tool: its configuration, data, home and working folder
// all point into it, so benchmarks and soak runs never touch the user's files.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace testsupport {

class Sandbox {
public:
    // Creates root/config, root/data and root/work; root itself may exist already.
    explicit Sandbox(QString root);

    QString root() const { return root_; }
    QString configHome() const { return root_ + QStringLiteral("/config"); }
    QString dataHome() const { return root_ + QStringLiteral("/data"); }
    QString work() const { return root_ + QStringLiteral("/work"); }

    // The environment of a child process run inside the sandbox: the current environment with the
    // folders replaced and without a display, so the tool runs headless.
    std::vector<std::string> childEnvironment() const;

    // Points this process's folders into the sandbox (for measurements run in-process).
    void enter() const;

private:
    QString root_;
};

// A fresh folder under the system's temporary folder; short, because the simulated module's
// state path must fit the interface configuration block.
QString makeTemporaryRoot(const char* prefix);

} // namespace testsupport
