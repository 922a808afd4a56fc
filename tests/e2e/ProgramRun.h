// Whole-process runs of the built program as a script starts it, without a display, in a folder
// of the test's own; and the module data those runs upload.
#pragma once

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QByteArray LogRecords(int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i)
        records += "03/05/2026 08:" + QByteArray::number(10 + i % 50) + ":00,181,8,20 03 00 00 00 00 10 27\n";
    return records;
}

inline QByteArray AsTextFile(QByteArray bytes)
{
    return bytes.replace("\n", "\r\n");
}

inline const QByteArray Record = "Korvane configuration\nNodeId=5\nBaud=250000\n";

inline QJsonObject State(const QByteArray& memory, const QJsonObject& faults = {})
{
    QJsonObject state{{"memory_hex", QString::fromLatin1(memory.toHex())},
                      {"configuration", QString::fromLatin1(Record)}};
    if (!faults.isEmpty())
        state.insert("faults", faults);
    return state;
}

class ProgramRunTest : public ::testing::Test
{
protected:
    // Runs the program in the test's folder with no display and no platform chosen; `extra`
    // adds to its environment.
    Outcome Start(const QStringList& arguments, const QProcessEnvironment& extra = {})
    {
        return Run(QStringLiteral(KORVANE_EXECUTABLE), arguments, extra);
    }

    // The same for another program, e.g. a script that starts the tool.
    Outcome Run(const QString& program, const QStringList& arguments, const QProcessEnvironment& extra = {})
    {
        QProcess process;
        Launch(process, arguments, extra, program);
        return Finish(process);
    }

    // Starts the program without waiting for it, e.g. to act on it while it runs; Finish waits.
    void Launch(QProcess& process, const QStringList& arguments, const QProcessEnvironment& extra = {},
                const QString& program = QStringLiteral(KORVANE_EXECUTABLE))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        for (const QString& name : unset)
            environment.remove(name);
        environment.insert(extra);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
    }

    // exitCode is -1 for a process that a signal ended.
    static Outcome Finish(QProcess& process)
    {
        // Generous: a run that hangs fails here instead of holding up the suite for ever.
        EXPECT_TRUE(process.waitForFinished(120000)) << "the program did not end by itself";
        Outcome run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    // The environment that makes the program load the recording fake driver library, which logs
    // its calls into the file Calls() reads; extra: more variables for the fake.
    QProcessEnvironment WithFakeDriver(QProcessEnvironment extra = {}) const
    {
        extra.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(FAKE_DRIVER_FOLDER));
        extra.insert(QStringLiteral("KORVANE_FAKE_LOG"), Path("driver-calls.log"));
        return extra;
    }

    // The driver calls of the runs so far, one name per call.
    QStringList Calls() const
    {
        QFile log(Path("driver-calls.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                             : QStringList();
    }

    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QByteArray Contents(const QString& name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList Files() const { return QDir(dir.path()).entryList({"*.csv", "*.CSV"}, QDir::Files); }

    QTemporaryDir dir;
    QStringList unset;  // variables that the runs do not get, beside the display's
};
