#include "app/TForm_Korvane.h"
#include "module/UploadFile.h"

#include "app/FileNameEdit.h"
#include "app/Wording.h"
#include "driver/DriverBinding.h"
#include "platform/FileName.h"
#include "platform/LastError.h"
#include "platform/MessageBox.h"

#include <sys/stat.h>

using platform::MessageBoxButtons;

namespace {

// reason: why, below the text in the box; an unattended run says it on standard error, the text
// first where the reason does not stand alone.
void ReportError(TForm_Korvane& form, const Wording& text, const QString& reason, bool standsAlone = true)
{
    form.FailureReason = standsAlone && !reason.isEmpty() ? reason : platform::WithReason(text.English(), reason);
    if (!form.AutoMode)
        platform::MessageBox(text.Shown(), TForm_Korvane::tr("Error"), MessageBoxButtons::OK, reason);
}

// The configuration file names the existing memory file (e.g. "/fm" and "/fc" given the same
// name): rewriting it would drop uploaded memory that the module may no longer hold.
bool IsMemoryFile(const TForm_Korvane& form, const QString& name)
{
    struct stat configuration {}, memory {};
    return ::stat(platform::FileNameBytes(name).constData(), &configuration) == 0
           && ::stat(platform::FileNameBytes(form.AdvFileNameEdit_FileName->text()).constData(), &memory) == 0
           && configuration.st_dev == memory.st_dev && configuration.st_ino == memory.st_ino;
}

}  // namespace

bool TForm_Korvane::UploadConfiguration()
{
    if (!Driver)
        return false;
    SetOperationText(tr("Operation: Uploading ConfigFile"));
    if (!Connected)
        return false;

    const QString name = AdvFileNameEdit_Config->text();
    if (IsMemoryFile(*this, name)) {
        ReportError(*this,
                    Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Cannot write the configuration into the memory file %1"))
                        .arg(name),
                    {});
        return false;
    }
    auto file = UploadFile::OpenForRewrite(platform::FileNameBytes(name).toStdString());
    if (!file) {
        ReportError(*this, Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Cannot open file %1")).arg(name),
                    platform::FileErrorText(QStringLiteral("cannot open the configuration file"), name));
        return false;
    }

    // The earlier file is replaced only by a record that was read and written completely.
    BytesUploaded = 0;
    uint8_t count = 0;
    driver::ParameterBuffer record{};
    if (!Driver->Parameter_Get_ARRAY(driver::ModuleParameter::ConfigurationData, count, record)) {
        ReportError(*this, Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Cannot read the configuration!")), DriverReason(),
                    false);
        return false;
    }
    if (!file->Write(record.data(), count) || !file->Close()) {
        ReportError(*this, Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Cannot write file %1")).arg(name),
                    platform::FileErrorText(QStringLiteral("cannot write the configuration file"), name));
        return false;
    }
    BytesUploaded = count;

    if (!AutoMode)
        platform::MessageBox(tr("%1 Bytes Uploaded").arg(BytesUploaded), tr("Success"),
                             MessageBoxButtons::OK);
    return true;
}
