// Uploads checked against their record later, with "korvane --verify FILE".
#include "ProgramRun.h"

namespace {

using VerifiedUploadTest = ProgramRunTest;

TEST_F(VerifiedUploadTest, WithoutARecordOrAFileNameNothingCanBeVerified)
{
    QFile memory(Path("mem.csv"));
    ASSERT_TRUE(memory.open(QIODevice::WriteOnly));
    memory.write("data\r\n");
    memory.close();

    const Outcome missing = Start({"--verify", "mem.csv"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains("mem.csv.uploads does not exist")) << missing.err.constData();

    const Outcome unnamed = Start({"--verify"});
    EXPECT_EQ(unnamed.exitCode, 2);
    EXPECT_TRUE(unnamed.err.contains("usage")) << unnamed.err.constData();
}

}  // namespace
