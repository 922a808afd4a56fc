#include "soak/Check.h"

#include "support/ModuleFiles.h"
#include "common/UploadBytes.h"
#include "simulator/SimulatedModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace soak {

namespace {

qsizetype commonPrefix(const QByteArray& a, const QByteArray& b)
{
    const auto end = std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin());
    return end.first - a.begin();
}

std::optional<QByteArray> fileInWork(const testsupport::Sandbox& sandbox, const QString& name)
{
    // A device such as /dev/full or a FIFO holds nothing to check.
    if (QDir::isAbsolutePath(name) || !QFileInfo(sandbox.work() + u'/' + name).isFile())
        return std::nullopt;
    return testsupport::readFile(sandbox.work() + u'/' + name);
}

QByteArray storedConfiguration(const Scenario& run)
{
    return bench::textStreamBytes(
        run.module.configuration.value_or(korvane::module::SimulatedModule::configurationRecord(run.module)));
}

// The invariant, for killed and finished runs alike.
void checkNothingLost(const Scenario& run, const testsupport::Sandbox& sandbox, const RunResult& result,
                      Verdict& verdict, bench::StoredPrefix& stored)
{
    const QByteArray& memory = run.module.memory;
    const QByteArray before = run.memoryFileBefore.value_or(QByteArray());
    QByteArray after = fileInWork(sandbox, run.memoryFile).value_or(QByteArray());
    verdict.bytesChecked = memory.size() + before.size();
    // Another program's line must be kept whole, before or after the upload, never inside it.
    if (result.foreignAppended) {
        const qsizetype line = qsizetype(sizeof kForeignLine) - 1;
        const qsizetype at = after.indexOf(kForeignLine, before.size());
        if (at < 0) {
            verdict.bytesLost += line;
            verdict.problems << QStringLiteral("another program's line is gone from the memory file");
        } else {
            after.remove(at, line);
        }
    }

    if (!after.startsWith(before)) {
        const qsizetype kept = commonPrefix(before, after);
        verdict.bytesLost += before.size() - kept;
        verdict.problems << QStringLiteral("the memory file lost %1 bytes of its earlier contents").arg(before.size() - kept);
    }
    stored = after.startsWith(before) ? bench::storedPrefix(memory, after.mid(before.size())) : bench::StoredPrefix{};

    const auto module = testsupport::readModule(sandbox);
    if (!module) {
        verdict.bytesLost += memory.size();
        verdict.problems << QStringLiteral("the module state cannot be read any more");
    } else if (module->memory == memory) {
        return;
    } else if (module->memory.isEmpty()) {
        if (stored.bytes < memory.size()) {
            verdict.bytesLost += memory.size() - stored.bytes;
            verdict.problems << QStringLiteral("the module was emptied with only %1 of its %2 bytes in the file")
                                    .arg(stored.bytes)
                                    .arg(memory.size());
        }
    } else {
        verdict.bytesLost += memory.size();
        verdict.problems << QStringLiteral("the module holds %1 bytes that are not its memory").arg(module->memory.size());
    }
}

void checkResultLine(const Expectation& expected, const RunResult& result, Verdict& verdict)
{
    const QByteArray line = expected.step == Step::Success
                                ? QByteArray::number(expected.count) + " Bytes Uploaded\n"
                                : QByteArray("Upload Failed! (step: ") + stepName(expected.step) + ")\n";
    if (result.standardOutput != line)
        verdict.problems << QStringLiteral("standard output was \"%1\", expected \"%2\"")
                                .arg(QString::fromLatin1(result.standardOutput.trimmed()),
                                     QString::fromLatin1(line.trimmed()));
    const int code = expected.step == Step::Success ? int(std::min<uint32_t>(expected.count, 254))
                     : expected.step == Step::Connect ? 0
                                                      : -1;
    if (result.exitCode == 255 || (code >= 0 && result.exitCode != code))
        verdict.problems << QStringLiteral("exit code %1, expected %2")
                                .arg(result.exitCode)
                                .arg(code >= 0 ? QString::number(code) : QStringLiteral("0 to 254"));
}

void checkOutcome(const Scenario& run, const testsupport::Sandbox& sandbox, const RunResult& result,
                  const bench::StoredPrefix& stored, Verdict& verdict)
{
    const Expectation expected = run.expectation();
    checkResultLine(expected, result, verdict);

    const auto module = testsupport::readModule(sandbox);
    const bool emptied = module && module->memory.isEmpty() && !run.module.memory.isEmpty();
    if (!run.module.memory.isEmpty() && emptied != expected.moduleEmptied)
        verdict.problems << (expected.moduleEmptied ? QStringLiteral("the module was not emptied")
                                                    : QStringLiteral("the module was emptied"));

    if (expected.storedBytes && (stored.bytes != *expected.storedBytes || !stored.exact))
        verdict.problems << QStringLiteral("the memory file gained %1 module bytes%2, expected exactly %3")
                                .arg(stored.bytes)
                                .arg(stored.exact ? QString() : QStringLiteral(" and other bytes"))
                                .arg(*expected.storedBytes);

    if (run.configurationFile == run.memoryFile)
        return;
    const auto configuration = fileInWork(sandbox, run.configurationFile);
    if (expected.configurationWritten && configuration != storedConfiguration(run))
        verdict.problems << QStringLiteral("the configuration file does not hold the record");
    if (!expected.configurationWritten && configuration != run.configurationFileBefore)
        verdict.problems << QStringLiteral("the configuration file changed though no record was uploaded");
}

} // namespace

Verdict check(const Scenario& run, const testsupport::Sandbox& sandbox, const RunResult& result)
{
    Verdict verdict;
    bench::StoredPrefix stored;
    checkNothingLost(run, sandbox, result, verdict, stored);
    if (result.hung)
        verdict.problems << QStringLiteral("did not end in time");
    else if (!result.killed && !result.exited)
        verdict.problems << QStringLiteral("ended by signal %1").arg(result.signal);

    if (result.killed) {
        // The memory file holds the earlier contents and then the whole upload or nothing of it.
        const qsizetype size = run.module.memory.size();
        if (stored.bytes != 0 && !(stored.bytes == size && stored.exact))
            verdict.problems << QStringLiteral("the memory file holds a cut-off upload (%1 of %2 bytes)").arg(stored.bytes).arg(size);
        // A cancelled upload cleans up after itself; a killed one leaves its hidden stage file.
        if (run.cancel && QFile::exists(sandbox.work() + QStringLiteral("/.") + run.memoryFile + QStringLiteral(".upload")))
            verdict.problems << QStringLiteral("the cancelled upload left its stage file");
        // A killed configuration upload leaves the earlier file or the whole new one, nothing between.
        const auto configuration = fileInWork(sandbox, run.configurationFile);
        if (configuration != run.configurationFileBefore && configuration != storedConfiguration(run))
            verdict.problems << QStringLiteral("the configuration file holds a part of the record");
    } else if (!result.hung) {
        checkOutcome(run, sandbox, result, stored, verdict);
    }
    return verdict;
}

} // namespace soak
