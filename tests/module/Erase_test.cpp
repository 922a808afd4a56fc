// The erase through the real binding and the simulated module.
#include "MemoryUploadFixture.h"

#include <QApplication>
#include <QTimer>

namespace {

const Box CautionQuestion{"Module is not Blank\r\n\r\nContinue Erase?", "Caution", MessageBoxButtons::YesNo};

class EraseTest : public ModuleOperationTest
{
};

TEST_F(EraseTest, AModuleHoldingDataIsErasedOnlyAfterTheUserAgrees)
{
    Connect(ModuleState(LogRecords(4)));
    boxes.Answer(MessageBoxResult::Yes);
    bool pollStoppedDuringWait = false;
    services.OnSleep([&](uint32_t ms) {
        if (ms == 5000)
            pollStoppedDuringWait = true;
    });

    EXPECT_TRUE(form->EraseMemory());

    EXPECT_EQ(boxes.Calls(), (std::vector<Box>{CautionQuestion, Ok("Module Memory Erased!", "Success")}));
    EXPECT_TRUE(module->memory().isEmpty());
    EXPECT_EQ(EraseWaits(), 1);
    EXPECT_TRUE(pollStoppedDuringWait);
    EXPECT_EQ(OperationText(), "Operation: Erasing");
    EXPECT_TRUE(form->Timer_TimeDate->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(EraseTest, NoLeavesTheModuleUntouched)
{
    const QByteArray memory = LogRecords(4);
    Connect(ModuleState(memory));
    boxes.Answer(MessageBoxResult::No);

    EXPECT_FALSE(form->EraseMemory());

    EXPECT_EQ(boxes.Calls(), std::vector<Box>{CautionQuestion});
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_EQ(OperationText(), "Operation: Erasing");
    EXPECT_TRUE(form->Timer_TimeDate->isActive());
}

TEST_F(EraseTest, ABlankModuleOrAnUnreadableBlankStatusAsksNothing)
{
    Connect(ModuleState(""));
    EXPECT_TRUE(form->EraseMemory());
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Module Memory Erased!", "Success")});

    form.reset();
    Connect(ModuleState("data", QJsonObject{{"read", QJsonArray{16}}}));
    EXPECT_TRUE(form->EraseMemory());
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Module Memory Erased!", "Success")});
    EXPECT_TRUE(module->memory().isEmpty());
}

TEST_F(EraseTest, AutoModeErasesWithoutQuestionOrMessage)
{
    Connect(ModuleState(LogRecords(2)));
    form->AutoMode = true;
    EXPECT_TRUE(form->EraseMemory());
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_TRUE(module->memory().isEmpty());
    EXPECT_EQ(EraseWaits(), 1);
}

TEST_F(EraseTest, ARefusedEraseFailsAtOnce)
{
    const QByteArray memory = LogRecords(2);
    Connect(ModuleState(memory, QJsonObject{{"write", QJsonArray{13}}}));
    boxes.Answer(MessageBoxResult::Yes);

    EXPECT_FALSE(form->EraseMemory());

    EXPECT_EQ(boxes.Calls(), (std::vector<Box>{CautionQuestion, Ok("Cannot Erase!", "Error")}));
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_EQ(module->memory(), memory);
    EXPECT_TRUE(form->Timer_TimeDate->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
