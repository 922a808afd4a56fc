// The Settings page's user actions: read, store, and the question when the page is left with
// edits not stored.
#include "app/TForm_Korvane.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QTabWidget>

void TForm_Korvane::Button_UploadSettingsClick()
{
    if (!ReadSettings()) {
        platform::MessageBox(tr("Settings cannot be read!"), tr("Error"),
                             platform::MessageBoxButtons::OK, DriverReason());
        return;
    }
    platform::MessageBox(tr("Settings Read!"), tr("Ok"), platform::MessageBoxButtons::OK);
    SettingsToControls();
}

void TForm_Korvane::Button6Click()
{
    ControlsToSettings();
    StoreSettings();
}

void TForm_Korvane::TabSheet_SettingsExit()
{
    ControlsToSettings();
    if (!SettingsChanged)
        return;
    const platform::MessageBoxResult answer =
        platform::MessageBox(tr("Settings have changed!\r\n Do you want to save to device?"), tr("Warning"), platform::MessageBoxButtons::YesNoCancel);
    if (answer == platform::MessageBoxResult::Yes)
        StoreSettings();
}

// The page is left when the input focus moves from it to another control of this window, or
// when another page is turned to; either way the question comes once per leaving. Focus that goes
// to another window (a dialog, a message box) does not leave the page.
void TForm_Korvane::WatchSettingsPageExit()
{
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl1->widget(index) == TabSheet_Settings) {
            MakeSettingsPage();
            settingsPageEntered_ = true;
        }
        else
            SettingsPageLeft();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* previous, QWidget* now) {
        if (now && TabSheet_Settings->isAncestorOf(now))
            settingsPageEntered_ = true;
        else if (previous && TabSheet_Settings->isAncestorOf(previous) && now && now->window() == this)
            SettingsPageLeft();
    });
}

void TForm_Korvane::SettingsPageLeft()
{
    if (!settingsPageEntered_)
        return;
    settingsPageEntered_ = false;
    TabSheet_SettingsExit();
}
