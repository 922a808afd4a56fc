#include "support/ScriptedMessageBox.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

using platform::MessageBoxButtons;
using platform::MessageBoxResult;
using platform::ScriptedMessageBox;

TEST(ScriptedMessageBox, RecordsEveryBoxInOrderAndAnswersFromTheQueue)
{
    ScriptedMessageBox boxes;
    boxes.Answer(MessageBoxResult::Yes);
    boxes.Answer(MessageBoxResult::Cancel);
    EXPECT_EQ(platform::MessageBox("Erase Module Memory?", "Caution", MessageBoxButtons::YesNo), MessageBoxResult::Yes);
    EXPECT_EQ(platform::MessageBox("Save changes?", "Warning", MessageBoxButtons::YesNoCancel), MessageBoxResult::Cancel);
    EXPECT_EQ(platform::MessageBox("Cannot Erase!", "Error", MessageBoxButtons::OK), MessageBoxResult::Ok);
    EXPECT_EQ(boxes.Calls(), (std::vector<ScriptedMessageBox::Call>{
                                 {"Erase Module Memory?", "Caution", MessageBoxButtons::YesNo},
                                 {"Save changes?", "Warning", MessageBoxButtons::YesNoCancel},
                                 {"Cannot Erase!", "Error", MessageBoxButtons::OK},
                             }));
}

TEST(ScriptedMessageBox, EmptyQueueAnswersOkOrTheDefault)
{
    ScriptedMessageBox boxes;
    EXPECT_EQ(platform::MessageBox("a", "Ok", MessageBoxButtons::OK), MessageBoxResult::Ok);
    EXPECT_EQ(platform::MessageBox("b", "Question", MessageBoxButtons::YesNo), MessageBoxResult::No);
    EXPECT_EQ(platform::MessageBox("c", "Warning", MessageBoxButtons::YesNoCancel), MessageBoxResult::Cancel);
    boxes.SetDefaultAnswer(MessageBoxResult::Yes);
    EXPECT_EQ(platform::MessageBox("d", "Question", MessageBoxButtons::YesNo), MessageBoxResult::Yes);
    EXPECT_EQ(platform::MessageBox("e", "Success", MessageBoxButtons::OK), MessageBoxResult::Ok);
    EXPECT_EQ(boxes.Calls().size(), 5u);
}

TEST(ScriptedMessageBox, WhileOpenRunsOncePerBoxAfterItWasRecorded)
{
    ScriptedMessageBox boxes;
    std::vector<size_t> recordedWhenOpen;
    boxes.WhileOpen([&] { recordedWhenOpen.push_back(boxes.Calls().size()); });
    platform::MessageBox("one", "Ok", MessageBoxButtons::OK);
    platform::MessageBox("two", "Ok", MessageBoxButtons::OK);
    EXPECT_EQ(recordedWhenOpen, (std::vector<size_t>{1, 2}));
}

TEST(ScriptedMessageBox, GuardPutsThePreviousServiceBack)
{
    ScriptedMessageBox outer;
    {
        ScriptedMessageBox inner;
        platform::MessageBox("inner", "Ok", MessageBoxButtons::OK);
        EXPECT_EQ(inner.Calls().size(), 1u);
    }
    platform::MessageBox("outer", "Ok", MessageBoxButtons::OK);
    ASSERT_EQ(outer.Calls().size(), 1u);
    EXPECT_EQ(outer.Calls()[0].text, "outer");
}

// Runs body with standard error captured into the returned text.
template <typename Body>
std::string CaptureStandardError(Body body)
{
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(file.handle(), STDERR_FILENO);
    body();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    file.seek(0);
    return file.readAll().toStdString();
}

TEST(HeadlessMessageBox, WritesOneLineAndAnswersTheSafeButton)
{
    platform::HeadlessMessageBoxService headless;
    MessageBoxResult yesNo{};
    MessageBoxResult yesNoCancel{};
    MessageBoxResult ok{};
    const std::string output = CaptureStandardError([&] {
        yesNo = headless.Show("Erase Module Memory?", "Caution", MessageBoxButtons::YesNo, {});
        yesNoCancel = headless.Show("Settings changed.\nSave?", "Warning", MessageBoxButtons::YesNoCancel, {});
        ok = headless.Show("Cannot Erase!", "Error", MessageBoxButtons::OK, "parameter 13: the bus is off");
        headless.Show("Cannot Open Interface", "Error", MessageBoxButtons::OK, "the bus is off");
    });
    EXPECT_EQ(output, "Caution: Erase Module Memory?\nWarning: Settings changed. Save?\nError: Cannot Erase! parameter 13: the bus is off\n"
                      "Error: Cannot Open Interface: the bus is off\n");
    EXPECT_EQ(yesNo, MessageBoxResult::No);
    EXPECT_EQ(yesNoCancel, MessageBoxResult::Cancel);
    EXPECT_EQ(ok, MessageBoxResult::Ok);
}

TEST(HeadlessMessageBox, IsWhatBoxesUseWithoutADisplay)
{
    // Tests run on the offscreen platform, where a real box would wait for nobody.
    EXPECT_NE(dynamic_cast<platform::HeadlessMessageBoxService*>(&platform::DisplayMessageBoxService()), nullptr);
    const std::string output = CaptureStandardError(
        [] { EXPECT_EQ(platform::MessageBox("Cannot Open Interface", "Error", MessageBoxButtons::OK), MessageBoxResult::Ok); });
    EXPECT_EQ(output, "Error: Cannot Open Interface\n");
}

TEST(MessageBoxService, SetInstallsAndNullRestoresTheDefault)
{
    ScriptedMessageBox scripted;
    platform::HeadlessMessageBoxService headless;
    platform::SetMessageBoxService(&headless);
    CaptureStandardError([] { platform::MessageBox("x", "Error", MessageBoxButtons::OK); });
    EXPECT_TRUE(scripted.Calls().empty());
    platform::SetMessageBoxService(nullptr);
    const std::string output = CaptureStandardError([] { platform::MessageBox("y", "Error", MessageBoxButtons::OK); });
    EXPECT_EQ(output, "Error: y\n");
    EXPECT_TRUE(scripted.Calls().empty());
}

} // namespace
