// The "Set Time/Date" dialog: the module's running clock beside a proposal from the PC clock,
// which the user may edit and write to the module. Times and dates travel as the fields' text;
// only the module decides whether it takes them. Beside that, "Sync with PC" writes the PC clock
// itself in phase with the PC's seconds, and the dialog shows how far the module's clock is off.
#pragma once

#include "module/ClockSync.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace driver {
class DriverBinding;
}

class TForm_SetTimeDate : public QDialog {
    Q_OBJECT

public:
    explicit TForm_SetTimeDate(QWidget* parent = nullptr);

    void FormShow();
    void Timer1Timer();
    void Button_SetTimeDateClick();
    void Button_SyncWithPcClick();
    void Button_MeasureOffsetClick();

    // The main window's binding, handed over before each showing; without it the poll and the
    // write do nothing.
    driver::DriverBinding* Driver = nullptr;

    QLabel* StaticText1;
    QLineEdit* AdvEdit_Time;
    QLineEdit* AdvEdit_Date;
    QLabel* StaticText2;
    QLineEdit* AdvMaskEdit_Time;
    QLineEdit* AdvMaskEdit_Date;
    QPushButton* Button_SetTimeDate;
    QPushButton* Button_Ok;
    QTimer* Timer1;
    QPushButton* Button_SyncWithPc;
    QPushButton* Button_MeasureOffset;
    QLabel* StaticText_ClockOffset;

    // Seconds the module's clock ran ahead of the PC's at the last measurement in this dialog.
    std::optional<double> MeasuredOffset;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool WriteClockText(uint16_t number, const QLineEdit* field);
    void ShowWriteResult(clocksync::WriteResult result);

    bool proposalFilled_ = false; // by the first showing only
};

// The dialog shown next; empty after a showing until the next one creates it.
extern TForm_SetTimeDate* Form_SetTimeDate;
