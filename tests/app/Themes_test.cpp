// The windows under a light and a dark palette: the clock fields and the file names keep at least
// 4.5:1 contrast against their background, and so does the connection LED's caption against the
// group box it is drawn on, and so does the status bar's clock warning, also when the desktop
// switches from one to the other.
#include "MainWindowFixture.h"

#include "app/FileNameEdit.h"
#include "app/PanelStatusBar.h"
#include "module/SetTimeDate.h"
#include "widgets/VrLeds.h"
#include "widgets/VrsysutilsTypes.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

double Luminance(QColor c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// WCAG contrast of two colours.
double Contrast(QColor a, QColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a field shows, enabled or not, against its background.
double Contrast(const QLineEdit* field)
{
    const QPalette::ColorGroup group = field->isEnabled() ? QPalette::Active : QPalette::Disabled;
    return Contrast(field->palette().color(group, QPalette::Text), field->palette().color(group, QPalette::Base));
}

// A dark scheme as desktops ship it: light text on dark grounds, disabled text dimmed.
QPalette DarkPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    for (QPalette::ColorRole text : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(text, QColor(0xee, 0xee, 0xee));
    for (QPalette::ColorRole text : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, text, QColor(0x7f, 0x7f, 0x7f));
    return dark;
}

class Themes : public MainWindowFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { QApplication::setPalette(GetParam() ? DarkPalette() : QApplication::style()->standardPalette()); }
    void TearDown() override { QApplication::setPalette(before_); }

private:
    QPalette before_ = QApplication::palette();
};

void ExpectReadable(const TForm_Korvane& w, const TForm_SetTimeDate& dialog, const char* when)
{
    for (const QLineEdit* field : {w.AdvEdit_Time, w.AdvEdit_Date, dialog.AdvEdit_Time, dialog.AdvEdit_Date,
                                   w.AdvFileNameEdit_Config->Edit(), w.AdvFileNameEdit_FileName->Edit()}) {
        EXPECT_GE(Contrast(field), 4.5) << field->text().toStdString() << " " << when;
        // The field's colours are the scheme's: its text stands out from the window around it too.
        EXPECT_GE(Contrast(field->palette().color(QPalette::Disabled, QPalette::Text), w.palette().color(QPalette::Window)),
                  4.5) << field->text().toStdString() << " " << when;
    }
    for (const TVrLed* led : {w.VrLed_Offline, w.VrLed_Online})
        EXPECT_GE(Contrast(QColor(ColorToRgb(led->FontColor())), w.GroupBox1->palette().color(QPalette::Window)), 4.5)
            << led->Caption().toStdString() << " " << when;
    const QPalette clock = w.StatusBar1->Panel(2)->palette();
    EXPECT_GE(Contrast(clock.color(QPalette::WindowText), clock.color(QPalette::Window)), 4.5) << "clock warning " << when;
}

TEST_P(Themes, ClocksFileNamesAndTheLedCaptionAreReadableAlsoAfterTheSchemeSwitches)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    TForm_SetTimeDate dialog;
    w.ShowClockOffset(5.0); // far enough ahead to be shown as a warning
    ExpectReadable(w, dialog, "at start");
    QApplication::setPalette(GetParam() ? QApplication::style()->standardPalette() : DarkPalette());
    QCoreApplication::sendPostedEvents(); // the palette reaches the widgets as events
    ExpectReadable(w, dialog, "after the switch");
}

INSTANTIATE_TEST_SUITE_P(Palettes, Themes, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Dark" : "Light"; });

} // namespace
