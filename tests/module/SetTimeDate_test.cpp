// The "Set Time/Date" dialog: its fields, the proposal from the PC clock, the module poll, the
// write of time then date, and a fresh dialog for every opening from the Settings page.
#include "app/FakeDriverAccess.h"
#include "app/MainWindowFixture.h"

#include "driver/DriverBinding.h"
#include "module/SetTimeDate.h"
#include "support/SimulatedModule.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

using testsupport::SimulatedModule;

const QByteArray FixedClock = R"({"clock": {"time": "12:00:00", "date": "03/05/2026"}})";

class SetTimeDate : public MainWindowFixture {
protected:
    // A dialog holding the binding of a connected window.
    TForm_SetTimeDate& ConnectedDialog(const char* library = "Korvane")
    {
        TForm_Korvane& w = CreateWindow(library);
        EXPECT_TRUE(w.ConnectModule());
        boxes.ClearCalls();
        dialog = std::make_unique<TForm_SetTimeDate>();
        dialog->Driver = w.Driver.get();
        return *dialog;
    }

    // Ends the connection before its module goes, e.g. between the cases of one test.
    void Close()
    {
        dialog.reset();
        window.reset();
    }

    std::unique_ptr<TForm_SetTimeDate> dialog;
};

TEST_F(SetTimeDate, FieldsMasksAndTimer)
{
    TForm_SetTimeDate d;
    EXPECT_EQ(d.windowTitle(), "Set Time/Date");
    EXPECT_EQ(d.size(), QSize(304, 192));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_TRUE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(d.StaticText1->text(), "Module Time/Date:");
    EXPECT_EQ(d.StaticText2->text(), "New Time/Date:");
    EXPECT_EQ(d.AdvEdit_Time->text(), "00:00:00");
    EXPECT_EQ(d.AdvEdit_Date->text(), "00/00/0000");
    EXPECT_FALSE(d.AdvEdit_Time->isEnabled());
    EXPECT_FALSE(d.AdvEdit_Date->isEnabled());
    // The module's clock looks disabled: silver in the classic scheme, the button face in any.
    EXPECT_NE(d.AdvEdit_Time->palette().color(QPalette::Disabled, QPalette::Base),
              d.AdvEdit_Time->palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(d.AdvMaskEdit_Time->text(), "00:00:00");
    EXPECT_EQ(d.AdvMaskEdit_Time->maxLength(), 8);
    EXPECT_EQ(d.AdvMaskEdit_Date->text(), "00/00/0000");
    EXPECT_EQ(d.AdvMaskEdit_Date->maxLength(), 10);
    EXPECT_EQ(AsShown(d.Button_SetTimeDate->text()), "Set Time/Date");
    EXPECT_EQ(AsShown(d.Button_Ok->text()), "Ok");
    EXPECT_EQ(AsShown(d.Button_SyncWithPc->text()), "Sync with PC");
    EXPECT_TRUE(d.Timer1->isActive());
    EXPECT_EQ(d.Timer1->interval(), 1000);
    EXPECT_EQ(d.Driver, nullptr);
}

TEST_F(SetTimeDate, MasksTakeDigitsOnlyAndShowEmptyPositionsAsSpaces)
{
    TForm_SetTimeDate d;
    d.AdvMaskEdit_Time->clear();
    EXPECT_EQ(d.AdvMaskEdit_Time->displayText(), "  :  :  ");
    d.AdvMaskEdit_Time->setText("ab:cd:ef");
    EXPECT_EQ(d.AdvMaskEdit_Time->displayText(), "  :  :  ");
    d.AdvMaskEdit_Date->setText("12/31/2027");
    EXPECT_EQ(d.AdvMaskEdit_Date->displayText(), "12/31/2027");
    // Required digits make the field incomplete while empty; the optional ones do not.
    d.AdvMaskEdit_Time->setText(" 9:30:00");
    EXPECT_TRUE(d.AdvMaskEdit_Time->hasAcceptableInput());
    d.AdvMaskEdit_Time->setText("09:3 :00");
    EXPECT_FALSE(d.AdvMaskEdit_Time->hasAcceptableInput());
    d.AdvMaskEdit_Date->setText("  /  /2027");
    EXPECT_TRUE(d.AdvMaskEdit_Date->hasAcceptableInput());
    d.AdvMaskEdit_Date->setText("12/31/202 ");
    EXPECT_FALSE(d.AdvMaskEdit_Date->hasAcceptableInput());
}

TEST_F(SetTimeDate, TheFirstShowingProposesThePcClockAndARestoreKeepsWhatWasTyped)
{
    TForm_SetTimeDate d;
    d.show();
    EXPECT_EQ(d.AdvMaskEdit_Time->text(), "09:41:07");
    EXPECT_EQ(d.AdvMaskEdit_Date->text(), "03/05/2026");
    d.AdvMaskEdit_Time->setText("11:12:13");
    // Minimised and restored: shown again.
    d.hide();
    services.PinNow(QDateTime(QDate(2027, 12, 31), QTime(23, 5, 9)));
    d.show();
    EXPECT_EQ(d.AdvMaskEdit_Time->text(), "11:12:13");
    EXPECT_EQ(d.AdvMaskEdit_Date->text(), "03/05/2026");
}

TEST_F(SetTimeDate, WithoutBindingTheTimerAndButtonDoNothing)
{
    TForm_SetTimeDate d;
    d.Timer1Timer();
    d.Button_SetTimeDateClick();
    EXPECT_EQ(d.AdvEdit_Time->text(), "00:00:00");
    EXPECT_TRUE(Shown().empty());
}

TEST_F(SetTimeDate, PollShowsTheModuleClock)
{
    SimulatedModule module(FixedClock);
    TForm_SetTimeDate& d = ConnectedDialog();
    QMetaObject::invokeMethod(d.Timer1, "timeout");
    EXPECT_TRUE(d.AdvEdit_Time->text().startsWith("12:00:0")) << d.AdvEdit_Time->text().toStdString();
    EXPECT_EQ(d.AdvEdit_Date->text(), "03/05/2026");
}

TEST_F(SetTimeDate, FailedTimeReadStillReadsTheDateAndSaysNothing)
{
    SimulatedModule module(R"({"clock": {"time": "12:00:00", "date": "03/05/2026"}, "faults": {"read": [6]}})");
    TForm_SetTimeDate& d = ConnectedDialog();
    d.Timer1Timer();
    EXPECT_EQ(d.AdvEdit_Time->text(), "00:00:00");
    EXPECT_EQ(d.AdvEdit_Date->text(), "03/05/2026");
    EXPECT_TRUE(Shown().empty());
}

TEST_F(SetTimeDate, PolledTextIsShownInFullWithItsLength)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_SetTimeDate& d = ConnectedDialog(FakeDriverLibrary);
    fake.arrayValue = {'1', ':', '2', 0, 'x'};
    d.Timer1Timer();
    EXPECT_EQ(d.AdvEdit_Time->text(), QString::fromLatin1("1:2\0x", 5));
    EXPECT_EQ(d.AdvEdit_Date->text(), QString::fromLatin1("1:2\0x", 5));
}

TEST_F(SetTimeDate, WritingSetsTheModuleClock)
{
    SimulatedModule module(FixedClock);
    TForm_SetTimeDate& d = ConnectedDialog();
    d.AdvMaskEdit_Time->setText("07:08:09");
    d.AdvMaskEdit_Date->setText("11/12/2029");
    d.Button_SetTimeDate->click();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Ok!", "Ok")});
    const QDateTime clock = module.moduleClock();
    EXPECT_EQ(clock.date(), QDate(2029, 11, 12));
    EXPECT_LE(std::abs(clock.time().secsTo(QTime(7, 8, 9))), 2);
}

TEST_F(SetTimeDate, RefusedTimeSaysSoAndSendsNoDate)
{
    SimulatedModule module(FixedClock);
    TForm_SetTimeDate& d = ConnectedDialog();
    d.AdvMaskEdit_Time->setText("99:00:00");
    d.AdvMaskEdit_Date->setText("11/12/2029");
    d.Button_SetTimeDateClick();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Cannot Set Time!", "Error")});
    EXPECT_EQ(module.moduleClock().date(), QDate(2026, 3, 5));
}

TEST_F(SetTimeDate, RefusedDateSaysSoAfterTheTimeWasSet)
{
    SimulatedModule module(FixedClock);
    TForm_SetTimeDate& d = ConnectedDialog();
    d.AdvMaskEdit_Time->setText("18:30:00");
    d.AdvMaskEdit_Date->setText("13/01/2029");
    d.Button_SetTimeDateClick();
    EXPECT_EQ(Shown(), std::vector<Box>{Ok("Cannot Set Date!", "Error")});
    EXPECT_LE(std::abs(module.moduleClock().time().secsTo(QTime(18, 30, 0))), 2);
    EXPECT_EQ(module.moduleClock().date(), QDate(2026, 3, 5));
}

TEST_F(SetTimeDate, SendsTheTextAsTypedThenTheDate)
{
    FakeDriverState& fake = ResetFakeDriver();
    TForm_SetTimeDate& d = ConnectedDialog(FakeDriverLibrary);
    d.AdvMaskEdit_Time->setText(" 9:99:00");
    d.AdvMaskEdit_Date->setText("  /31/2027");
    fake.calls.clear();
    d.Button_SetTimeDateClick();
    ASSERT_EQ(CallNames(fake), (std::vector<std::string>{"Parameter_Set_ARRAY(6)", "Parameter_Set_ARRAY(7)"}));
    EXPECT_EQ(fake.calls[0].args.at(2), 8u);
    EXPECT_EQ(std::string(fake.calls[0].bytes.begin(), fake.calls[0].bytes.end()), " 9:99:00");
    EXPECT_EQ(fake.calls[1].args.at(2), 10u);
    EXPECT_EQ(std::string(fake.calls[1].bytes.begin(), fake.calls[1].bytes.end()), "  /31/2027");

    fake.calls.clear();
    fake.result = 0;
    d.Button_SetTimeDateClick();
    EXPECT_EQ(CallNames(fake), std::vector<std::string>{"Parameter_Set_ARRAY(6)"});
}

// Real time: the simulated module's seconds run on the real clock, so the PC clock runs as well.
TEST_F(SetTimeDate, SyncPutsTheModuleInPhaseAcrossMidnightAndOverASlowBus)
{
    const QDateTime beforeMidnight(QDate(2026, 12, 31), QTime(23, 59, 59, 500));
    const std::pair<const char*, QDateTime> cases[] = {
        {R"({"clock": {"offset_seconds": -3.2}})", beforeMidnight},
        {R"({"clock": {"offset_seconds": 7.7}, "faults": {"write_latency_ms": 50}})", QDateTime::currentDateTime()},
    };
    for (const auto& [state, pcStart] : cases) {
        SCOPED_TRACE(state);
        SimulatedModule module{QByteArray(state)};
        TForm_SetTimeDate& d = ConnectedDialog();
        services.RunClockFrom(pcStart);
        d.Button_SyncWithPc->click();
        EXPECT_EQ(Shown(), std::vector<Box>{Ok("Ok!", "Ok")});
        ASSERT_TRUE(d.MeasuredOffset);
        EXPECT_LT(std::abs(*d.MeasuredOffset), 0.1);
        EXPECT_TRUE(QRegularExpression("^Module clock: 0\\.0\\d s (ahead of|behind) the PC$").match(d.StaticText_ClockOffset->text()).hasMatch())
            << d.StaticText_ClockOffset->text().toStdString();
        // What the module keeps agrees to the day and the tenth of a second.
        EXPECT_LT(std::abs(services.Now().msecsTo(module.moduleClock())), 100);
        Close();
    }
}

TEST_F(SetTimeDate, SyncSaysWhatTheModuleRefusedAsSetTimeDateDoes)
{
    const std::pair<QByteArray, Box> cases[] = {{"[6]", Ok("Cannot Set Time!", "Error")},
                                                {"[7]", Ok("Cannot Set Date!", "Error")}};
    for (const auto& [refused, box] : cases) {
        SimulatedModule module(R"({"faults": {"write": )" + refused + "}}");
        TForm_SetTimeDate& d = ConnectedDialog();
        d.Button_SyncWithPcClick();
        EXPECT_EQ(Shown(), std::vector<Box>{box});
        EXPECT_FALSE(d.MeasuredOffset);
        EXPECT_EQ(d.StaticText_ClockOffset->text(), "");
        Close();
    }
}

// Records each dialog the Settings page's button opens and closes it with "Ok".
void CloseNextDialog(std::vector<QString>& marks, std::vector<QString>& proposals, std::vector<bool>& bound)
{
    QTimer::singleShot(0, [&] {
        auto* opened = qobject_cast<TForm_SetTimeDate*>(QApplication::activeModalWidget());
        ASSERT_NE(opened, nullptr);
        marks.push_back(opened->objectName());
        proposals.push_back(opened->AdvMaskEdit_Time->text());
        bound.push_back(opened->Driver != nullptr);
        opened->Button_Ok->click();
    });
}

TEST_F(SetTimeDate, SettingsButtonUsesTheStartUpDialogFirstThenFreshOnes)
{
    SimulatedModule module(FixedClock);
    TForm_Korvane& w = CreateWindow("Korvane");
    ASSERT_TRUE(w.ConnectModule());
    Form_SetTimeDate = new TForm_SetTimeDate;
    Form_SetTimeDate->setObjectName("created at start-up");

    std::vector<QString> marks;
    std::vector<QString> proposals;
    std::vector<bool> bound;
    CloseNextDialog(marks, proposals, bound);
    w.Button_SetTimeDate->click();
    EXPECT_EQ(Form_SetTimeDate, nullptr);
    services.PinNow(QDateTime(QDate(2026, 3, 5), QTime(9, 42, 30)));
    CloseNextDialog(marks, proposals, bound);
    w.Button_SetTimeDateClick();
    EXPECT_EQ(Form_SetTimeDate, nullptr);

    EXPECT_EQ(marks, (std::vector<QString>{"created at start-up", ""}));
    EXPECT_EQ(proposals, (std::vector<QString>{"09:41:07", "09:42:30"}));
    EXPECT_EQ(bound, (std::vector<bool>{true, true}));
}

} // namespace
