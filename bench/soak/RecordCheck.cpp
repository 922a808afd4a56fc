#include "soak/RecordCheck.h"

#include "support/ChildProcess.h"
#include "support/ModuleFiles.h"

#include <QDir>
#include <QFile>

namespace soak {

void checkUploadRecord(const Scenario& run, const testsupport::Sandbox& sandbox, const std::string& tool, bool killed,
                       bool foreignAppended, Verdict& verdict)
{
    if (QDir::isAbsolutePath(run.memoryFile)) // a device gets no record
        return;
    const QString memoryFile = sandbox.work() + u'/' + run.memoryFile;
    // Each run starts in a folder of its own: a record can only be this run's.
    const Step step = run.expectation().step;
    const bool uploaded = step != Step::Connect && step != Step::Memory;
    const bool recorded = QFile::exists(memoryFile + QStringLiteral(".uploads"));
    if (!killed && recorded != uploaded)
        verdict.problems << (uploaded ? QStringLiteral("the memory upload succeeded but left no upload record")
                                      : QStringLiteral("the memory upload failed but left an upload record"));
    if (!recorded)
        return;
    testsupport::ChildSpec spec;
    spec.program = tool;
    spec.arguments = {"--verify", run.memoryFile.toStdString()};
    spec.environment = sandbox.childEnvironment();
    spec.workingFolder = sandbox.work().toStdString();
    const QString output = sandbox.root() + QStringLiteral("/verify-");
    spec.stdoutPath = (output + QStringLiteral("out")).toStdString();
    spec.stderrPath = (output + QStringLiteral("err")).toStdString();
    testsupport::ChildProcess verify(spec);
    const bool ended = verify.waitAtMost(std::chrono::seconds(30));
    const QByteArray report = testsupport::readFile(output + QStringLiteral("out")).value_or(QByteArray())
                              + testsupport::readFile(output + QStringLiteral("err")).value_or(QByteArray());
    // Another program's line is in no recorded upload, nor is an upload killed after it reached the
    // file but before its record line (its stage, still there, has the next upload take it back);
    // a recorded upload that differs is never right.
    const bool intact = ended && verify.exited()
                        && (verify.exitCode() == 0
                            || ((killed || foreignAppended) && verify.exitCode() == 1 && !report.contains("differs:")));
    if (!intact)
        verdict.problems << QStringLiteral("korvane --verify %1 ended with exit code %2: %3")
                                .arg(run.memoryFile)
                                .arg(verify.exitCode())
                                .arg(QString::fromLocal8Bit(report.trimmed().right(400)));
}

} // namespace soak
