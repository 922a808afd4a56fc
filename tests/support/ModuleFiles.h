// The simulated module of a sandbox: its state file, and the interface.ini that points the driver
// library at it.
#pragma once

#include "support/Sandbox.h"
#include "config/InterfaceConfig.h"
#include "simulator/ModuleState.h"

#include <optional>

namespace testsupport {

// A module as the library creates it from "{}": default settings, empty memory, no faults.
korvane::module::ModuleState blankModule();

QString statePath(const Sandbox& sandbox);

// Writes the state file and an interface.ini with `config`, its state path set to the sandbox's.
void installModule(const Sandbox& sandbox, const korvane::module::ModuleState& state,
                   korvane::config::InterfaceConfig config = {});

// What the state file holds now; nothing when it cannot be read or parsed.
std::optional<korvane::module::ModuleState> readModule(const Sandbox& sandbox);

// Whole-file helpers; writing replaces the file.
void writeFile(const QString& path, const QByteArray& bytes);
std::optional<QByteArray> readFile(const QString& path);

} // namespace testsupport
