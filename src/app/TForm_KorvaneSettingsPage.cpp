// The Settings page: its controls in their initial states, and their wiring, made on first use.
#include "app/TForm_Korvane.h"

#include "app/FormLayout.h"
#include "module/MemoryRecords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

namespace {
template <std::size_t N>
QComboBox* PlaceList(const std::array<std::string_view, N>& items, const QRect& area, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (std::string_view item : items)
        list->addItem(QString::fromLatin1(item.data(), qsizetype(item.size())));
    list->setCurrentIndex(-1);
    list->setGeometry(area);
    return list;
}

QSpinBox* PlaceSpin(int maximum, int value, const QRect& area, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(0, maximum);
    spin->setValue(value);
    spin->setGeometry(area);
    return spin;
}

std::array<std::string_view, driver::BitRates.size()> BitRateTexts()
{
    std::array<std::string_view, driver::BitRates.size()> texts;
    for (const driver::BitRate& rate : driver::BitRates)
        texts[std::size_t(rate.position)] = rate.text;
    return texts;
}

const int DefaultNodeId = 5;
const int MaximumNodeId = 127;
const int MaximumFixedLength = 128;
const int MaximumDelimiter = 255;
} // namespace

void TForm_Korvane::MakeSettingsPage()
{
    if (settingsPageMade_)
        return;
    settingsPageMade_ = true;
    QWidget* page = TabSheet_Settings;

    // Left column: addressing and record layout.
    AdvSpinEdit_NodeId = PlaceSpin(MaximumNodeId, DefaultNodeId, QRect(112, 16, 65, 21), page);
    PlaceLabelLeft(AdvSpinEdit_NodeId, tr("Node ID:"));
    AdvComboBox_Baud = PlaceList(BitRateTexts(), QRect(112, 44, 81, 21), page);
    AdvComboBox_Baud->setPlaceholderText(QStringLiteral("250k"));
    PlaceLabelLeft(AdvComboBox_Baud, tr("Baud:"));
    AdvComboBox_MemoryMode = PlaceList(driver::MemoryModes, QRect(112, 72, 81, 21), page);
    for (int i = 0; i < AdvComboBox_MemoryMode->count(); ++i)
        AdvComboBox_MemoryMode->setItemText(i, MemoryModeText(i));
    PlaceLabelLeft(AdvComboBox_MemoryMode, tr("Memory Mode:"));
    AdvSpinEdit_FixedLength = PlaceSpin(MaximumFixedLength, 0, QRect(112, 100, 65, 21), page);
    PlaceLabelLeft(AdvSpinEdit_FixedLength, tr("Fixed Length:"));
    AdvSpinEdit_Delimiter = PlaceSpin(MaximumDelimiter, 0, QRect(112, 128, 65, 21), page);
    AdvSpinEdit_Delimiter->setDisplayIntegerBase(16);
    PlaceLabelLeft(AdvSpinEdit_Delimiter, tr("Delimeter:"));
    CheckBox_OverwriteMode = new QCheckBox(tr("&Ring Buffer Mode"), page);
    CheckBox_OverwriteMode->setGeometry(24, 160, 153, 17);

    GroupBox3 = new QGroupBox(tr("Mode:"), page);
    GroupBox3->setGeometry(16, 188, 185, 65);
    RadioButton_MemModule = new QRadioButton(tr("&MemModule"), GroupBox3);
    RadioButton_MemModule->setGeometry(12, 18, 160, 17);
    RadioButton_MemModule->setChecked(true);
    RadioButton_Logger = new QRadioButton(tr("CAN Data/Fault &Logger"), GroupBox3);
    RadioButton_Logger->setGeometry(12, 40, 160, 17);

    // Right column: record stamps and the exchanges.
    AdvComboBox_TimeFormat = PlaceList(driver::TimeFormats, QRect(328, 16, 97, 21), page);
    PlaceLabelLeft(AdvComboBox_TimeFormat, tr("Time Format:"));
    AdvComboBox_DateFormat = PlaceList(driver::DateFormats, QRect(328, 44, 97, 21), page);
    PlaceLabelLeft(AdvComboBox_DateFormat, tr("Date Format:"));

    GroupBox2 = new QGroupBox(tr("Auto Time/Date Stamp:"), page);
    GroupBox2->setGeometry(240, 76, 289, 77);
    CheckBox_AutoTimeStamp = new QCheckBox(tr("E&nable"), GroupBox2);
    CheckBox_AutoTimeStamp->setGeometry(12, 20, 97, 17);
    AdvComboBox_AutoStampFormat = PlaceList(driver::StampFormats, QRect(60, 44, 161, 21), GroupBox2);
    AdvComboBox_AutoStampFormat->setEnabled(false);
    PlaceLabelLeft(AdvComboBox_AutoStampFormat, tr("Format:"));

    Button_SetTimeDate = new QPushButton(tr("Set &Time/Date"), page);
    Button_SetTimeDate->setGeometry(240, 172, 105, 25);
    Button_UploadSettings = new QPushButton(tr("&Upload Settings"), page);
    Button_UploadSettings->setGeometry(240, 228, 105, 25);
    Button6 = new QPushButton(tr("&Download Settings"), page);
    Button6->setGeometry(360, 228, 105, 25);

    // Enter presses the focused button, as on the Upload page.
    for (QPushButton* button : {Button_SetTimeDate.get(), Button_UploadSettings.get(), Button6.get()})
        button->setAutoDefault(true);
    connect(Button_UploadSettings, &QPushButton::clicked, this, &TForm_Korvane::Button_UploadSettingsClick);
    connect(Button6, &QPushButton::clicked, this, &TForm_Korvane::Button6Click);
    connect(Button_SetTimeDate, &QPushButton::clicked, this, &TForm_Korvane::Button_SetTimeDateClick);
    // The stamp-format rule holds on every change of the box, by the user or by the program.
    connect(CheckBox_AutoTimeStamp, &QCheckBox::toggled, this, &TForm_Korvane::CheckBox_AutoTimeStampClick);
    // Only the user's choice applies the memory-mode rule; the program applies it itself.
    connect(AdvComboBox_MemoryMode, &QComboBox::activated, this, &TForm_Korvane::AdvComboBox_MemoryModeChange);

    FitPages(FitToFont(page));
    // Made on a page already shown, the controls would stay hidden.
    if (page->isVisible())
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->show();
}
