// Reads a module state file and writes it back, as the simulated module does when it starts and
// when a change is stored; the benchmark takes this process's peak memory.
#include "simulator/StateFile.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s STATE\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    korvane::OpenFailure failure;
    const auto state = korvane::module::loadStateFile(path, false, QDateTime::currentDateTime(), failure);
    QString error;
    if (!state || !korvane::module::saveStateFile(path, *state, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(state ? error : failure.message));
        return 1;
    }
    return 0;
}
