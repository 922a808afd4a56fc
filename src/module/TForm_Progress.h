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
    // Modal to parent, the main window, so no other operation starts while an upload runs.
    explicit TForm_Progress(QWidget* parent = nullptr);

    // The bar stops at its top while the count goes on rising.
    void ShowProgress(std::uint32_t percentage, std::uint32_t bytesUploaded);

    // Cancel, Escape or the close button: the read-out stops after the current block.
    void reject() override;
    bool CancelRequested() const { return cancelRequested_; }

    QLabel* StaticText1;
    QLabel* StaticText_Status;
    QProgressBar* AdvProgress1;
    QLabel* StaticText3;
    QLabel* StaticText_BytesRead;
    QPushButton* Button1;

public slots:
    void Button1Click();

private:
    bool cancelRequested_ = false;
};
