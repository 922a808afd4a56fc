#include "module/SetTimeDate.h"

#include "app/FormLayout.h"
#include "app/TForm_Korvane.h"
#include "driver/DriverBinding.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

TForm_SetTimeDate* Form_SetTimeDate = nullptr;

namespace {
const QSize ClientSize(304, 192);
const int PollMs = 1000;

// Qt's mask characters for the design's "!90:00:00;1; " and "!99/99/0000;1; ": '0' a digit that
// may stay empty, '9' a digit that must be filled; an empty position reads as a space.
const char* const TimeMask = "09:99:99; ";
const char* const DateMask = "00/00/9999; ";

QLineEdit* PlaceModuleClock(const QString& label, const QString& text, const QRect& area, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setGeometry(area);
    field->setEnabled(false);
    SetDisabledColours(field, QPalette::Button);
    PlaceLabelLeft(field, label);
    return field;
}

QLineEdit* PlaceEntry(const QString& label, const char* mask, int maximumLength, const QString& text, const QRect& area, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setInputMask(QString::fromLatin1(mask));
    field->setMaxLength(maximumLength);
    field->setText(text);
    field->setGeometry(area);
    PlaceLabelLeft(field, label);
    return field;
}

void ShowModuleText(driver::DriverBinding& binding, uint16_t number, QLineEdit* field)
{
    uint8_t count = 0;
    driver::ParameterBuffer buffer{};
    if (binding.Parameter_Get_ARRAY(number, count, buffer) != 0)
        field->setText(QString::fromLatin1(reinterpret_cast<const char*>(buffer.data()), count));
}
} // namespace

TForm_SetTimeDate::TForm_SetTimeDate(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(tr("Set Time/Date"));
    UseDesignFont(this);

    StaticText1 = new QLabel(tr("Module Time/Date:"), this);
    StaticText1->move(16, 10);
    StaticText1->adjustSize();
    AdvEdit_Time = PlaceModuleClock(tr("Time:"), QStringLiteral("00:00:00"), QRect(56, 32, 73, 21), this);
    AdvEdit_Date = PlaceModuleClock(tr("Date:"), QStringLiteral("00/00/0000"), QRect(56, 60, 73, 21), this);
    StaticText2 = new QLabel(tr("New Time/Date:"), this);
    StaticText2->move(168, 10);
    StaticText2->adjustSize();
    AdvMaskEdit_Time = PlaceEntry(tr("Time:"), TimeMask, 8, QStringLiteral("00:00:00"), QRect(208, 32, 73, 21), this);
    AdvMaskEdit_Date = PlaceEntry(tr("Date:"), DateMask, 10, QStringLiteral("00/00/0000"), QRect(208, 60, 73, 21), this);

    Button_SetTimeDate = new QPushButton(tr("&Set Time/Date"), this);
    Button_SetTimeDate->setGeometry(40, 100, 89, 25);
    Button_Ok = new QPushButton(tr("&Ok"), this);
    Button_Ok->setGeometry(192, 100, 75, 25);
    connect(Button_SetTimeDate, &QPushButton::clicked, this, &TForm_SetTimeDate::Button_SetTimeDateClick);
    connect(Button_Ok, &QPushButton::clicked, this, &QDialog::accept);

    Button_SyncWithPc = new QPushButton(tr("S&ync with PC"), this);
    Button_SyncWithPc->setGeometry(40, 132, 89, 25);
    Button_MeasureOffset = new QPushButton(tr("&Measure"), this);
    Button_MeasureOffset->setGeometry(192, 132, 75, 25);
    StaticText_ClockOffset = new QLabel(this);
    StaticText_ClockOffset->setGeometry(16, 168, 272, 17);
    SetLaterTexts(StaticText_ClockOffset,
                  {tr("Module clock: offset not measured"), clocksync::DialogText(-10.0), clocksync::DialogText(10.0)});
    connect(Button_SyncWithPc, &QPushButton::clicked, this, &TForm_SetTimeDate::Button_SyncWithPcClick);
    connect(Button_MeasureOffset, &QPushButton::clicked, this, &TForm_SetTimeDate::Button_MeasureOffsetClick);
    FitWindowToFont(this, ClientSize);

    Timer1 = new QTimer(this);
    Timer1->setInterval(PollMs);
    connect(Timer1, &QTimer::timeout, this, &TForm_SetTimeDate::Timer1Timer);
    Timer1->start();
}

void TForm_SetTimeDate::showEvent(QShowEvent* event)
{
    // Shown again after a minimise, the dialog keeps what the user typed.
    if (!proposalFilled_)
        FormShow();
    proposalFilled_ = true;
    QDialog::showEvent(event);
}

void TForm_SetTimeDate::FormShow()
{
    const QDateTime now = platform::Now();
    const QTime time = now.time();
    const QDate date = now.date();
    AdvMaskEdit_Time->setText(QString::asprintf("%02d:%02d:%02d", time.hour(), time.minute(), time.second()));
    AdvMaskEdit_Date->setText(QString::asprintf("%02d/%02d/%04d", date.month(), date.day(), date.year()));
}

void TForm_SetTimeDate::Timer1Timer()
{
    if (!Driver)
        return;
    ShowModuleText(*Driver, driver::ModuleParameter::ModuleTime, AdvEdit_Time);
    ShowModuleText(*Driver, driver::ModuleParameter::ModuleDate, AdvEdit_Date);
}

// Sends the field's text as the user sees it, separators and empty positions (spaces) included.
bool TForm_SetTimeDate::WriteClockText(uint16_t number, const QLineEdit* field)
{
    return clocksync::WriteClockText(*Driver, number, field->displayText().toLatin1());
}

void TForm_SetTimeDate::ShowWriteResult(clocksync::WriteResult result)
{
    using platform::MessageBoxButtons;
    const QString reason = Driver ? QString::fromStdString(Driver->LastReason()) : QString();
    switch (result) {
    case clocksync::WriteResult::TimeRefused:
        platform::MessageBox(tr("Cannot Set Time!"), tr("Error"), MessageBoxButtons::OK, reason);
        break;
    case clocksync::WriteResult::DateRefused:
        platform::MessageBox(tr("Cannot Set Date!"), tr("Error"), MessageBoxButtons::OK, reason);
        break;
    case clocksync::WriteResult::Written:
        platform::MessageBox(tr("Ok!"), tr("Ok"), MessageBoxButtons::OK);
        break;
    }
}

void TForm_SetTimeDate::Button_SetTimeDateClick()
{
    if (!Driver)
        return;
    using clocksync::WriteResult;
    if (!WriteClockText(driver::ModuleParameter::ModuleTime, AdvMaskEdit_Time))
        ShowWriteResult(WriteResult::TimeRefused);
    else if (!WriteClockText(driver::ModuleParameter::ModuleDate, AdvMaskEdit_Date))
        ShowWriteResult(WriteResult::DateRefused);
    else
        ShowWriteResult(WriteResult::Written);
}

void TForm_SetTimeDate::Button_SyncWithPcClick()
{
    if (!Driver)
        return;
    const clocksync::WriteResult result = clocksync::SyncWithPc(*Driver);
    ShowWriteResult(result);
    // Measured after the message, so the window never waits for the write and the measurement at once.
    if (result == clocksync::WriteResult::Written)
        Button_MeasureOffsetClick();
}

void TForm_SetTimeDate::Button_MeasureOffsetClick()
{
    if (!Driver)
        return;
    MeasuredOffset = clocksync::MeasureOffset(*Driver);
    StaticText_ClockOffset->setText(MeasuredOffset ? clocksync::DialogText(*MeasuredOffset)
                                                   : tr("Module clock: offset not measured"));
}

void TForm_Korvane::Button_SetTimeDateClick()
{
    if (!Form_SetTimeDate)
        Form_SetTimeDate = new TForm_SetTimeDate;
    Form_SetTimeDate->Driver = Driver.get();
    Form_SetTimeDate->exec();
    if (Form_SetTimeDate->MeasuredOffset)
        ShowClockOffset(Form_SetTimeDate->MeasuredOffset);
    delete Form_SetTimeDate;
    Form_SetTimeDate = nullptr;
}
