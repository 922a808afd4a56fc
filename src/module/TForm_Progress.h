// The progress dialog of a memory upload: what is being done, the percentage and the byte count.
#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

class TForm_Progress : public QDialog
{
    Q_OBJECT

public:
    explicit TForm_Progress(QWidget* parent = nullptr);

    // Shows a read-out's progress at once, even while the user-interface thread processes no
    // events: the bar stops at its top while the count goes on rising.
    void ShowProgress(std::uint32_t percentage, std::uint32_t bytesUploaded);

    QLabel* StaticText1;
    QLabel* StaticText_Status;
    QProgressBar* AdvProgress1;
    QLabel* StaticText3;
    QLabel* StaticText_BytesRead;
    QPushButton* Button1;

public slots:
    // Cancel only hides the dialog; the read-out runs to its end.
    void Button1Click();
};
