// Help > About: the product, its name and its version.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Lines about the connected module below the version, the box growing to hold them; none
    // leaves the box as it is.
    void ShowDetails(const QString& details);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Quillfen;
    QLabel* Version;
    QLabel* Label2;
    QLabel* Details;
    QPushButton* OKButton;
};

// The 160 x 47 picture the box shows: a module on its bus line with a clock face.
QImage ProgramIconImage();

// The box shown next; empty after a showing until the next one creates it.
extern TAboutBox* AboutBox;
