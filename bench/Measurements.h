// The measurements of one benchmark run. Each adds its rows (figure, reference, ratio) to the
// table, or a note saying why it could not measure.
#pragma once

#include "common/ResultTable.h"
#include "support/Sandbox.h"

namespace bench {

struct BenchRun {
    ResultTable& table;
    const testsupport::Sandbox& sandbox; // this process's own folders already point into it
    QString binaryFolder;   // where korvane and the reference programs were built
    QString libraryFolder;  // where the preloaded show probe was built
};

void measureReadout(BenchRun& run);
void measureTimedReadout(BenchRun& run);
void measureUiStall(BenchRun& run);
void measureSdoLatency(BenchRun& run);
void measureStartup(BenchRun& run);
void measureIdleCpu(BenchRun& run);
void measureDrawing(BenchRun& run);
void measureReadBack(BenchRun& run);
void measureStateFileMemory(BenchRun& run);
void measureViewer(BenchRun& run);
void measureScan(BenchRun& run);

} // namespace bench
