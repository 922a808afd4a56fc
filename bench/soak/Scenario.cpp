#include "soak/Scenario.h"

#include "support/ModuleFiles.h"
#include "common/UploadBytes.h"
#include "simulator/ModuleParameters.h"
#include "simulator/SimulatedModule.h"

#include <algorithm>

namespace soak {

using korvane::module::ModuleFaults;

namespace {

constexpr qsizetype kBlock = 255;

qsizetype blocksOf(qsizetype bytes) { return (bytes + kBlock - 1) / kBlock; }

template <typename T>
T between(std::mt19937& random, T low, T high)
{
    return std::uniform_int_distribution<T>(low, high)(random);
}

bool chance(std::mt19937& random, double probability) { return std::bernoulli_distribution(probability)(random); }

// Sizes around the block boundaries, where off-by-one faults live, and some longer memories.
qsizetype memorySize(std::mt19937& random)
{
    switch (between(random, 0, 9)) {
    case 0: return 0;
    case 1: case 2: case 3: return between<qsizetype>(random, 1, 3 * kBlock);
    case 4: case 5: case 6: return between<qsizetype>(random, 1, 20) * kBlock + between<qsizetype>(random, -1, 1);
    default: return between<qsizetype>(random, 1, 8000);
    }
}

// The run still uses its two usual file names, so a fault may change them.
bool plainFiles(const Scenario& run)
{
    return run.memoryFile == QLatin1String("memory.csv") && run.configurationFile == QLatin1String("config.csv");
}

bool has(const std::vector<Fault>& faults, Fault fault)
{
    return std::find(faults.begin(), faults.end(), fault) != faults.end();
}

// The memory file may become another one: no stage has been planted beside memory.csv.
bool memoryFileFree(const Scenario& run) { return plainFiles(run) && !has(run.faults, Fault::PlantedStage); }

std::optional<QByteArray> earlierFile(std::mt19937& random, qsizetype smallest)
{
    if (smallest == 0 && chance(random, 0.5))
        return std::nullopt;
    return bench::moduleData(between<qsizetype>(random, std::max<qsizetype>(smallest, 1), smallest + 3000), random);
}

// Sets up the module, files and limits a fault needs. Answers false when the fault does not fit
// the run drawn so far (e.g. a full disk with nothing to write).
bool inject(Scenario& run, Fault fault, std::mt19937& random)
{
    ModuleFaults& faults = run.module.faults;
    const qsizetype stored = bench::textStreamBytes(run.module.memory).size();
    switch (fault) {
    case Fault::OpenFails:
    case Fault::WrongMode:
        if (faults.open != ModuleFaults::Open::None)
            return false;
        faults.open = fault == Fault::OpenFails ? ModuleFaults::Open::Fail : ModuleFaults::Open::WrongMode;
        return true;
    case Fault::SettingsReadFails:
        faults.read.insert(korvane::module::kSettings[size_t(between(random, 0, 9))].number);
        return true;
    case Fault::MemoryReadFails: faults.read.insert(korvane::module::MemoryData); return true;
    case Fault::FailAfterBlocks:
        faults.memoryFailAfterBlocks = uint32_t(between<qsizetype>(random, 0, blocksOf(run.module.memory.size()) + 1));
        return true;
    case Fault::ReadoutStartRefused: faults.write.insert(korvane::module::ReadoutStart); return true;
    case Fault::ReadoutLengthFails: faults.read.insert(korvane::module::ReadoutLength); return true;
    case Fault::WrongReadoutLength: faults.readoutLength = between<uint32_t>(random, 0, 20000); return true;
    case Fault::ConfigurationReadFails: faults.read.insert(korvane::module::ConfigurationData); return true;
    case Fault::EraseRefused: faults.write.insert(korvane::module::EraseCommand); return true;
    case Fault::BlankStatusFails: faults.read.insert(korvane::module::BlankStatus); return true;
    case Fault::MemoryFolderMissing:
        if (!memoryFileFree(run))
            return false;
        run.memoryFile = QStringLiteral("missing-folder/memory.csv");
        run.memoryFileBefore.reset();
        return true;
    case Fault::DiskFull:
        if (stored == 0 || run.memoryFile != QLatin1String("memory.csv"))
            return false;
        // The limit holds for every file the tool writes; the earlier contents keep it above the
        // few hundred bytes that standard output and error need.
        run.memoryFileBefore = earlierFile(random, 512);
        run.fileSizeLimit = uint64_t(run.memoryFileBefore->size() + between<qsizetype>(random, 0, stored - 1));
        return true;
    case Fault::DeviceFull:
        if (stored == 0 || !memoryFileFree(run))
            return false;
        run.memoryFile = QStringLiteral("/dev/full");
        run.memoryFileBefore.reset();
        return true;
    case Fault::SameFileForBoth:
        if (!plainFiles(run))
            return false;
        run.configurationFile = run.memoryFile;
        run.configurationFileBefore.reset();
        return true;
    case Fault::PlantedStage:
        // Against earlier contents, which it does not match.
        if (!plainFiles(run) || has(run.faults, Fault::ForeignAppend))
            return false;
        run.memoryFileBefore = earlierFile(random, 1);
        return true;
    case Fault::FifoWithoutReader:
        if (!memoryFileFree(run))
            return false;
        run.memoryFile = QStringLiteral("memory.fifo");
        run.memoryFileBefore.reset();
        return true;
    case Fault::ForeignAppend:
        if (run.memoryFile != QLatin1String("memory.csv") || has(run.faults, Fault::PlantedStage))
            return false;
        run.appendAfter = std::chrono::milliseconds(between<qsizetype>(random, 0, blocksOf(run.module.memory.size()) * 11 + 300));
        return true;
    }
    return false;
}

QByteArray configurationRecord(const korvane::module::ModuleState& module)
{
    return module.configuration.value_or(korvane::module::SimulatedModule::configurationRecord(module));
}

} // namespace

const char* faultName(Fault fault)
{
    static const char* const names[kFaultKinds] = {
        "interface does not open", "interface in wrong mode", "settings read fails", "memory read fails",
        "memory fails after K blocks", "read-out start refused", "read-out length fails", "wrong read-out length",
        "configuration read fails", "erase refused", "blank status fails", "memory folder missing",
        "disk full", "memory file is /dev/full", "same file for /fm and /fc", "planted stage file",
        "memory file is a FIFO without reader", "another program appends to the memory file",
    };
    return names[int(fault)];
}

const char* stepName(Step step)
{
    static const char* const names[] = {"success", "connect", "memory", "configuration", "erase"};
    return names[int(step)];
}

bool Scenario::has(Fault fault) const
{
    return soak::has(faults, fault);
}

QStringList Scenario::arguments() const
{
    QStringList list{QStringLiteral("/auto"), QStringLiteral("/silent")};
    if (erase)
        list << QStringLiteral("/erase");
    if (configuration)
        list << QStringLiteral("/config");
    list << QStringLiteral("/fm") << memoryFile << QStringLiteral("/fc") << configurationFile;
    return list;
}

QString Scenario::describe() const
{
    QStringList faultNames;
    for (Fault fault : faults) {
        faultNames << QString::fromLatin1(faultName(fault));
        if (fault == Fault::FailAfterBlocks)
            faultNames.back() += QStringLiteral(" (K=%1)").arg(*module.faults.memoryFailAfterBlocks);
        if (fault == Fault::DiskFull)
            faultNames.back() += QStringLiteral(" (files up to %1 bytes)").arg(*fileSizeLimit);
    }
    QString text = QStringLiteral("run %1: %2 bytes in the module, memory file %3 bytes before; %4")
                       .arg(number)
                       .arg(module.memory.size())
                       .arg(memoryFileBefore ? memoryFileBefore->size() : 0)
                       .arg(arguments().join(u' '));
    if (!faultNames.isEmpty())
        text += QStringLiteral("; faults: ") + faultNames.join(QStringLiteral(", "));
    if (killAfter)
        text += QStringLiteral("; %1 after %2 ms").arg(cancel ? QStringLiteral("SIGTERM") : QStringLiteral("killed")).arg(killAfter->count());
    return text;
}

Expectation Scenario::expectation() const
{
    Expectation expected;
    const auto failsIn = [&](Step step, std::optional<qsizetype> stored) {
        expected.step = step;
        expected.storedBytes = stored;
        return expected;
    };
    const qsizetype size = module.memory.size();
    if (module.faults.open != ModuleFaults::Open::None)
        return failsIn(Step::Connect, 0);
    if (has(Fault::MemoryFolderMissing) || has(Fault::MemoryReadFails)
        || has(Fault::ReadoutStartRefused) || has(Fault::PlantedStage)
        || has(Fault::FifoWithoutReader))
        return failsIn(Step::Memory, 0);
    // A failed memory step leaves the file as it was. The read-out takes one read per block and
    // a last one that comes back empty.
    if (has(Fault::DiskFull) || has(Fault::DeviceFull))
        return failsIn(Step::Memory, 0);
    if (const auto k = module.faults.memoryFailAfterBlocks; k && qsizetype(*k) <= blocksOf(size))
        return failsIn(Step::Memory, 0);
    expected.storedBytes = size;
    expected.count = uint32_t(size);
    if (configuration) {
        // A record written over the memory file would take the uploaded memory with it.
        if (has(Fault::ConfigurationReadFails) || has(Fault::SameFileForBoth))
            return failsIn(Step::Configuration, size);
        expected.count = uint32_t(configurationRecord(module).size());
        expected.configurationWritten = true;
    }
    // A read-out of another length than announced is kept but never erased.
    const auto announced = module.faults.readoutLength;
    const bool lengthKnown = !has(Fault::ReadoutLengthFails);
    if (erase && expected.count != 0) {
        if (has(Fault::EraseRefused) || (lengthKnown && announced && *announced != 0 && *announced != size))
            return failsIn(Step::Erase, size);
        expected.moduleEmptied = true;
    }
    return expected;
}

Scenario automaticRun(int number, std::mt19937& random)
{
    Scenario run;
    run.number = number;
    run.module = testsupport::blankModule();
    run.module.memory = bench::moduleData(memorySize(random), random);
    run.erase = chance(random, 0.7);
    run.configuration = chance(random, 0.4);
    run.memoryFile = QStringLiteral("memory.csv");
    run.configurationFile = QStringLiteral("config.csv");
    run.memoryFileBefore = earlierFile(random, 0);
    if (chance(random, 0.3))
        run.configurationFileBefore = QByteArray("an earlier configuration\r\n");
    const int wanted = between(random, 0, 9) < 2 ? 0 : between(random, 1, 2);
    while (int(run.faults.size()) < wanted) {
        const auto fault = Fault(between(random, 0, kFaultKinds - 1));
        if (!has(run.faults, fault) && inject(run, fault, random))
            run.faults.push_back(fault);
    }
    return run;
}

Scenario killedRun(int number, std::mt19937& random, std::chrono::milliseconds startUp, bool cancel)
{
    Scenario run;
    run.number = number;
    run.cancel = cancel;
    run.module = testsupport::blankModule();
    run.module.memory = bench::moduleData(between<qsizetype>(random, 20'000, 60'000), random);
    run.erase = true;
    run.configuration = chance(random, 0.3);
    run.memoryFile = QStringLiteral("memory.csv");
    run.configurationFile = QStringLiteral("config.csv");
    run.memoryFileBefore = earlierFile(random, 0);
    if (chance(random, 0.5))
        run.configurationFileBefore = QByteArray("an earlier configuration\r\n");
    // Mostly while blocks are being read and written; otherwise anywhere from the start to a while
    // after the 5 s wait of the erase.
    const auto readOut = std::chrono::milliseconds(blocksOf(run.module.memory.size()) * 11);
    const auto longest = startUp + readOut + std::chrono::milliseconds(5500);
    run.killAfter = std::chrono::milliseconds(chance(random, 0.7)
                                                  ? between<int64_t>(random, startUp.count(), (startUp + readOut).count())
                                                  : between<int64_t>(random, 0, longest.count()));
    return run;
}

} // namespace soak
