// Between the window's copy of the settings and the Settings page's controls.
#include "app/TForm_Korvane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>

namespace {
const int DelimitedMemoryMode = 1;

// Stores value into field when the two differ as whole integers.
void Take(uint8_t& field, int value, bool& changed)
{
    if (value == int(field))
        return;
    field = uint8_t(value);
    changed = true;
}

// A list with no selection (after a failed read) has no value to take: the copy keeps its own.
void TakeSelection(uint8_t& field, const QComboBox* list, bool& changed)
{
    if (list->currentIndex() >= 0)
        Take(field, list->currentIndex(), changed);
}

// Selects position in list, or nothing when the list has no such position.
void Select(QComboBox* list, int position)
{
    list->setCurrentIndex(position < list->count() ? position : -1);
}

void ApplyMemoryModeRule(TForm_Korvane& window, int memoryMode)
{
    const bool delimited = memoryMode == DelimitedMemoryMode;
    window.AdvSpinEdit_Delimiter->setEnabled(delimited);
    window.AdvSpinEdit_FixedLength->setEnabled(!delimited);
}
} // namespace

void TForm_Korvane::ControlsToSettings()
{
    driver::ModuleSettings& s = ModuleSettings;
    bool& changed = SettingsChanged;
    Take(s.NodeId, AdvSpinEdit_NodeId->value(), changed);

    // With no rate selected there is no rate to take: the copy keeps its own.
    const int ratePosition = AdvComboBox_Baud->currentIndex();
    if (ratePosition >= 0 && std::size_t(ratePosition) < driver::BitRates.size()) {
        const uint32_t rate = driver::BitRates[std::size_t(ratePosition)].value;
        if (rate != s.Baud) {
            s.Baud = rate;
            changed = true;
        }
    }

    const uint8_t stamp =
        CheckBox_AutoTimeStamp->isChecked() ? uint8_t(AdvComboBox_AutoStampFormat->currentIndex() + 1) : 0;
    Take(s.AutoTimeStamp, stamp, changed);
    TakeSelection(s.DateFormat, AdvComboBox_DateFormat, changed);
    TakeSelection(s.TimeFormat, AdvComboBox_TimeFormat, changed);
    TakeSelection(s.MemoryMode, AdvComboBox_MemoryMode, changed);
    Take(s.FixedLength, AdvSpinEdit_FixedLength->value(), changed);
    Take(s.Delimiter, AdvSpinEdit_Delimiter->value(), changed);
    Take(s.DeviceMode, RadioButton_MemModule->isChecked() ? 0 : 1, changed);
    Take(s.OverwriteMode, CheckBox_OverwriteMode->isChecked() ? 1 : 0, changed);
}

void TForm_Korvane::SettingsToControls()
{
    const driver::ModuleSettings& s = ModuleSettings;
    AdvSpinEdit_NodeId->setValue(s.NodeId);
    if (const std::optional<int> position = driver::BitRatePosition(s.Baud))
        AdvComboBox_Baud->setCurrentIndex(*position);
    if (s.AutoTimeStamp != 0) {
        CheckBox_AutoTimeStamp->setChecked(true);
        Select(AdvComboBox_AutoStampFormat, s.AutoTimeStamp - 1);
    } else {
        CheckBox_AutoTimeStamp->setChecked(false);
    }
    Select(AdvComboBox_DateFormat, s.DateFormat);
    Select(AdvComboBox_TimeFormat, s.TimeFormat);
    Select(AdvComboBox_MemoryMode, s.MemoryMode);
    AdvSpinEdit_FixedLength->setValue(s.FixedLength);
    AdvSpinEdit_Delimiter->setValue(s.Delimiter);
    ApplyMemoryModeRule(*this, s.MemoryMode);
    CheckBox_OverwriteMode->setChecked(s.OverwriteMode != 0);
    if (s.DeviceMode == 0)
        RadioButton_MemModule->setChecked(true);
    else
        RadioButton_Logger->setChecked(true);
    CheckBox_AutoTimeStampClick();
}

void TForm_Korvane::CheckBox_AutoTimeStampClick()
{
    AdvComboBox_AutoStampFormat->setEnabled(CheckBox_AutoTimeStamp->isChecked());
}

void TForm_Korvane::AdvComboBox_MemoryModeChange()
{
    ApplyMemoryModeRule(*this, AdvComboBox_MemoryMode->currentIndex());
}
