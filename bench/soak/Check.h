// The soak's judgement of one run: the invariant (every byte the module held is still in the
// module or, in order, in the memory file; the module is emptied only after its whole memory is in
// the file) and, for runs that were not killed, the outcome the run had to end in.
#pragma once

#include "support/Sandbox.h"
#include "soak/Scenario.h"

namespace soak {

struct RunResult {
    bool killed = false;  // by the soak, on purpose
    bool hung = false;    // did not end in time and was killed
    bool exited = false;
    int exitCode = -1;
    int signal = 0;
    QByteArray standardOutput;
    bool foreignAppended = false;  // kForeignLine went into the memory file while the tool ran
};

struct Verdict {
    qsizetype bytesChecked = 0;
    qsizetype bytesLost = 0;
    QStringList problems; // outcome mismatches, with the loss if any
};

Verdict check(const Scenario& run, const testsupport::Sandbox& sandbox, const RunResult& result);

} // namespace soak
