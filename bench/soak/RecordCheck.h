// The soak's check of the upload record a run leaves beside its memory file: "korvane --verify"
// must find every recorded upload intact.
#pragma once

#include "support/Sandbox.h"
#include "soak/Check.h"
#include "soak/Scenario.h"

#include <string>

namespace soak {

void checkUploadRecord(const Scenario& run, const testsupport::Sandbox& sandbox, const std::string& tool, bool killed,
                       bool foreignAppended, Verdict& verdict);

} // namespace soak
