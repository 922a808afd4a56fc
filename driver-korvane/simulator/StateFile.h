// The simulated module's state file: read at every OpenInterface, written back after every change.
#pragma once

#include "canbus/OpenFailure.h"
#include "simulator/ModuleState.h"

#include <QString>

namespace korvane::module {

// $XDG_DATA_HOME (else ~/.local/share)/Velmora/CANopen Quillfen App/module-state.json
QString defaultStateFile();

// Reads the state at `path`. A missing file is created from the demo module when `createFromDemo`
// is set; a file that cannot be read or parsed is left as it is.
std::optional<ModuleState> loadStateFile(const QString& path, bool createFromDemo, const QDateTime& now,
                                         OpenFailure& failure);

// Replaces the file completely or not at all, so neither a reader nor a full disk ever leaves half of it.
bool saveStateFile(const QString& path, const ModuleState& state, QString& error);

} // namespace korvane::module
