// Settings profiles from the window and from unattended runs: saving the module's settings into a
// profile, opening one onto the Settings page, and storing one before an unattended upload.
// Reasons (FailureReason) stay English: standard error gives them to scripts in every locale.
#include "app/TForm_Korvane.h"

#include "driver/DriverBinding.h"
#include "module/SettingsCompareView.h"
#include "module/SettingsExchange.h"
#include "module/SettingsProfile.h"
#include "module/UploadFile.h"
#include "platform/MessageBox.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QTabWidget>

#include <cstring>

namespace {

QString FileFilter()
{
    return TForm_Korvane::tr("Device configuration files (*.dcf);;All files (*)");
}

}  // namespace

bool TForm_Korvane::SaveSettingsProfile(const QString& fileName)
{
    driver::ModuleSettings settings;
    if (!Driver || !settingsexchange::Read(*Driver, settings)) {
        FailureReason = QStringLiteral("the settings cannot be read from the module: %1").arg(DriverReason());
        return false;
    }
    const QByteArray text = settingsprofile::Write(settings, Identity, fileName, QDateTime::currentDateTime());
    auto file = UploadFile::OpenForRewrite(QFile::encodeName(fileName).toStdString());
    const bool written = file && file->Write(reinterpret_cast<const uint8_t*>(text.constData()), size_t(text.size()))
                         && file->Close();
    if (!written)
        FailureReason = QStringLiteral("%1 cannot be written: %2")
                            .arg(fileName, QString::fromLocal8Bit(std::strerror(file ? file->Error() : errno)));
    return written;
}

void TForm_Korvane::SaveSettingsAsClick()
{
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save Settings As"), QString(), FileFilter());
    if (fileName.isEmpty())
        return;
    if (SaveSettingsProfile(fileName))
        SetOperationText(tr("Operation: Settings Saved"));
    else
        platform::MessageBox(tr("Settings cannot be saved!"), tr("Error"), platform::MessageBoxButtons::OK, FailureReason);
}

// A profile of another product may hold values that mean something else there.
bool TForm_Korvane::ProfileFitsTheModule(const settingsprofile::Profile& profile, bool ask)
{
    if (!profile.productCode || !Identity.productCode || *profile.productCode == *Identity.productCode)
        return true;
    const QString mismatch = QStringLiteral("the profile is for product code %1, the module has %2")
                                 .arg(HexWord(*profile.productCode), HexWord(*Identity.productCode));
    if (!ask) {
        FailureReason = mismatch;
        return false;
    }
    return platform::MessageBox(tr("The settings profile is for another product.\r\n\r\nOpen it anyway?"), tr("Warning"),
                                platform::MessageBoxButtons::YesNo, mismatch)
           == platform::MessageBoxResult::Yes;
}

bool TForm_Korvane::OpenSettingsProfile(const QString& fileName)
{
    QString fault;
    const std::optional<settingsprofile::Profile> profile = settingsprofile::Read(fileName, fault);
    if (!profile) {
        platform::MessageBox(tr("The settings profile cannot be read!"), tr("Error"), platform::MessageBoxButtons::OK, fault);
        return false;
    }
    driver::ModuleSettings module;
    if (!Driver || !settingsexchange::Read(*Driver, module)) {
        platform::MessageBox(tr("Settings cannot be read!"), tr("Error"), platform::MessageBoxButtons::OK, DriverReason());
        return false;
    }
    if (!ProfileFitsTheModule(*profile, true))
        return false;
    // The page shows the profile over the module's values; the copy keeps the module's, so that
    // the page differs from it and is stored by "Download Settings" or asked about on leaving.
    ModuleSettings = profile->Over(module);
    SettingsToControls();
    ModuleSettings = module;
    ControlsToSettings();
    SettingsChanged = true;
    PageControl1->setCurrentWidget(TabSheet_Settings);
    if (!Form_SettingsCompare)
        Form_SettingsCompare = new SettingsCompareView(this);
    Form_SettingsCompare->ShowComparison(fileName, module, profile->Over(module));
    return true;
}

void TForm_Korvane::OpenSettingsClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open Settings"), QString(), FileFilter());
    if (!fileName.isEmpty())
        OpenSettingsProfile(fileName);
}

bool TForm_Korvane::ApplySettingsProfile()
{
    QString fault;
    const std::optional<settingsprofile::Profile> profile = settingsprofile::Read(SettingsProfileFile, fault);
    if (!profile) {
        FailureReason = fault;
        return false;
    }
    driver::ModuleSettings module;
    if (!Driver || !settingsexchange::Read(*Driver, module)) {
        FailureReason = QStringLiteral("the settings cannot be read from the module: %1").arg(DriverReason());
        return false;
    }
    if (!ProfileFitsTheModule(*profile, false))
        return false;
    const driver::ModuleSettings wanted = profile->Over(module);
    const auto [stored, deviceModeTaken] = settingsexchange::Store(*Driver, wanted);
    QString unkept;
    if (!stored)
        unkept = QStringLiteral("the settings cannot be stored: %1").arg(DriverReason());
    else if (!deviceModeTaken && wanted.DeviceMode != module.DeviceMode)
        unkept = QStringLiteral("the module did not accept the device mode: %1").arg(DriverReason());
    else
        unkept = settingsexchange::Unkept(*Driver, wanted, deviceModeTaken);
    ModuleSettings = wanted;
    if (stored && deviceModeTaken)
        ModuleDeviceMode = wanted.DeviceMode;
    SetDefaultFileNames();
    FailureReason = unkept;
    return unkept.isEmpty();
}
