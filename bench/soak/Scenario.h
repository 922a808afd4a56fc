// One run of the soak: what the module holds, which faults it has, the files as they are before
// the run, the options the tool is started with, and what the run must end in.
#pragma once

#include "simulator/ModuleState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace soak {

enum class Fault {
    OpenFails,             // the interface does not open
    WrongMode,             // the interface is not in the needed mode
    SettingsReadFails,     // one settings parameter cannot be read
    MemoryReadFails,       // every read of parameter 14 fails
    FailAfterBlocks,       // reads of parameter 14 fail after K blocks
    ReadoutStartRefused,   // writing parameter 15 fails
    ReadoutLengthFails,    // reading parameter 19 fails
    WrongReadoutLength,    // parameter 19 announces another length
    ConfigurationReadFails,// reading parameter 17 fails
    EraseRefused,          // writing parameter 13 fails
    BlankStatusFails,      // reading parameter 16 fails
    MemoryFolderMissing,   // the memory file's folder does not exist
    DiskFull,              // writes to the memory file fail after some bytes
    DeviceFull,            // the memory file is /dev/full
    SameFileForBoth,       // "/fm" and "/fc" name the same file
    PlantedStage,          // a stage file that no upload of this file left, in the way
    FifoWithoutReader,     // the memory file is a FIFO that nothing reads
    ForeignAppend,         // another program appends a line to the memory file during the run
};
inline constexpr int kFaultKinds = int(Fault::ForeignAppend) + 1;
// What another program appends, and the stage file planted beside the memory file.
inline constexpr char kForeignLine[] = "another program's line\r\n";
inline constexpr char kPlantedStage[] = "korvane upload A 00000000000000000000\n";
const char* faultName(Fault fault);

// The step an automatic run must fail in; Success when it must succeed.
enum class Step { Success, Connect, Memory, Configuration, Erase };
const char* stepName(Step step);

struct Expectation {
    Step step = Step::Success;
    uint32_t count = 0;              // the byte count of a successful run
    bool moduleEmptied = false;
    // How many module bytes the memory file gains, stored as a text stream; nothing: any whole
    // prefix of the memory may be there (a write failed or the tool was killed).
    std::optional<qsizetype> storedBytes;
    bool configurationWritten = false; // the configuration file must then hold the record
};

struct Scenario {
    int number = 0;
    korvane::module::ModuleState module;
    std::vector<Fault> faults;
    bool erase = false;
    bool configuration = false;
    QString memoryFile;                  // as given to "/fm", relative to the work folder or absolute
    QString configurationFile;           // as given to "/fc"
    std::optional<QByteArray> memoryFileBefore;
    std::optional<QByteArray> configurationFileBefore;
    std::optional<uint64_t> fileSizeLimit;
    std::optional<std::chrono::milliseconds> killAfter; // a killed run: only the invariant holds
    bool cancel = false; // killAfter sends SIGTERM, which cancels an upload, instead of SIGKILL
    std::optional<std::chrono::milliseconds> appendAfter; // when kForeignLine is appended

    bool has(Fault fault) const;

    QStringList arguments() const;
    QString describe() const;
    Expectation expectation() const;
};

// A random automatic run with zero, one or two faults.
Scenario automaticRun(int number, std::mt19937& random);
// A fault-free run with erase, killed (or, with cancel, sent SIGTERM) at a random moment, mostly
// during the read-out.
Scenario killedRun(int number, std::mt19937& random, std::chrono::milliseconds startUp, bool cancel = false);

} // namespace soak
