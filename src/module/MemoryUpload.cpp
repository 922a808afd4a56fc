#include "app/TForm_Korvane.h"
#include "module/EraseCommand.h"
#include "module/TForm_Progress.h"
#include "module/TThread_MemRead.h"
#include "module/UploadTransaction.h"

#include "app/FileNameEdit.h"
#include "app/Wording.h"
#include "contract/StandardError.h"
#include "driver/DriverBinding.h"
#include "platform/CancelSignals.h"
#include "platform/MessageBox.h"
#include "platform/OffUiThread.h"
#include "platform/WaitCursor.h"
#include "platform/FileName.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

using platform::MessageBoxButtons;
using platform::MessageBoxResult;

void UploadTransactionDeleter::operator()(UploadTransaction* upload) const
{
    delete upload;
}

void MemReadWorkerDeleter::operator()(TThread_MemRead* worker) const
{
    delete worker;
}

namespace {

// The progress dialog of one upload: shown until the upload ends, also when an error escapes.
class ProgressDialog
{
public:
    ProgressDialog(TForm_Progress*& reference, QWidget* owner) : reference_(reference)
    {
        reference_ = new TForm_Progress(owner);
    }
    ~ProgressDialog()
    {
        delete reference_;
        reference_ = nullptr;
    }
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Shows the dialog and lets the window system put it on the screen before the first block.
    void Show()
    {
        reference_->StaticText_Status->setText(TForm_Progress::tr("Uploading Memory"));
        reference_->show();
        const QDeadlineTimer deadline(1000);
        while (!reference_->windowHandle()->isExposed() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        reference_->repaint();
    }

    bool CancelRequested() const { return reference_->CancelRequested(); }

private:
    TForm_Progress*& reference_;
};

uint32_t Percentage(uint32_t bytes, uint32_t total)
{
    // Wide enough that a large memory does not wrap the product.
    return total == 0 ? 0 : static_cast<uint32_t>(uint64_t{bytes} * 100 / total);
}

bool OpenMemoryFile(TForm_Korvane& form)
{
    const QString name = form.AdvFileNameEdit_FileName->text();
    const driver::ModuleSettings& settings = form.ModuleSettings;
    UploadRecordEntry record;
    // The node the upload came from, which a NodeId stored since (taking effect at the module's
    // next start) or a settings read that failed must not change.
    const uint32_t node = form.Driver ? form.Driver->NodeId() : 0;
    record.nodeId = node >= 1 && node <= 127 ? int(node) : settings.NodeId;
    record.deviceMode = settings.DeviceMode;
    // Settings that could not be read are unknown, not the window's old copy.
    if (form.SettingsRead)
        record.format = {settings.MemoryMode, settings.Delimiter, settings.FixedLength,
                         settings.TimeFormat, settings.DateFormat, settings.AutoTimeStamp};
    record.clockOffsetSeconds = form.ModuleClockOffset;
    record.serialNumber = form.Identity.serialNumber;
    record.vendorId = form.Identity.vendorId;
    record.productCode = form.Identity.productCode;
    record.revision = form.Identity.revision;
    UploadTransaction::Begun begun = UploadTransaction::Begin(platform::FileNameBytes(name).toStdString(), record);
    if (!begun.upload) {
        form.FailureReason = QStringLiteral("cannot open the memory file \"%1\": %2").arg(name, begun.reason);
        if (!form.AutoMode) {
            contract::ReportLine(platform::FileNameBytes("Cannot open file " + name + ": " + begun.reason).toStdString());
            platform::MessageBox(TForm_Korvane::tr("Cannot open file %1").arg(name), TForm_Korvane::tr("Error"),
                                 MessageBoxButtons::OK, begun.reason);
        }
        return false;
    }
    form.OutputFile.reset(begun.upload.release());
    return true;
}

// The configuration record at the head of the upload; an unreadable record is left out.
void WriteConfigurationHead(TForm_Korvane& form)
{
    uint8_t count = 0;
    driver::ParameterBuffer record{};
    if (form.Driver->Parameter_Get_ARRAY(driver::ModuleParameter::ConfigurationData, count, record))
        form.OutputFile->Write(record.data(), count);
    form.OutputFile->NoteConfigurationHead();
}

// The transaction's own problems are reasons, said in English like the driver's.
Wording FileFault(const UploadTransaction& file)
{
    if (!file.Problem().isEmpty())
        return Wording::Same(file.Problem());
    const int error = file.Error();
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        return Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "the disk is full"));
    return Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "the file cannot be written (%1)"))
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

Wording Incomplete(const UploadTransaction& file, const Wording& reason)
{
    if (file.WritesThrough() || file.LeftInFile())
        return Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Upload incomplete: %1. The module memory was not cleared."))
            .arg(reason);
    return Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Upload incomplete: %1. The file was left as it was and the module "
                                                      "memory was not cleared."))
        .arg(reason);
}

// Arms the module's read-out, lets the worker hand its blocks to ReadMemoryBlock until the
// read-out has ended, and puts the upload whole into the memory file. Answers what went wrong,
// or nothing when the file holds every byte the module handed out, synced to the disk; `reason`
// gets the driver's words for a block that could not be read.
std::optional<Wording> ReadOut(TForm_Korvane& form, ProgressDialog* progress, QString& reason)
{
    // The worker hands its steps to this thread as queued events: the loop below runs them
    // between the window events, so the windows repaint and the dialog takes Cancel. The modal
    // dialog keeps every other input away, and all driver calls stay on this thread.
    QEventLoop readOut;
    bool cancelled = false;
    form.MemReadWorker.reset(new TThread_MemRead([&] {
        bool more = false;
        // Also when the step throws: WaitFor then hands the error on.
        const auto endOfReadOut = qScopeGuard([&] {
            if (!more)
                readOut.quit();
        });
        cancelled = platform::CancelSignals::Raised() || (form.Form_Progress && form.Form_Progress->CancelRequested());
        more = !cancelled && form.ReadMemoryBlock();
        return more;
    }));

    form.BytesUploaded = 0;
    form.ReadoutComplete = false;
    form.Driver->Parameter_Set_USIGN8(driver::ModuleParameter::ReadoutStart, driver::ReadoutStartValue);
    // Without an announced length the bar stays at 0 while the count still rises.
    if (!form.Driver->Parameter_Get_USIGN32(driver::ModuleParameter::ReadoutLength, form.ReadoutTotal))
        form.ReadoutTotal = 0;

    if (progress)
        progress->Show();
    form.MemReadWorker->Start();
    readOut.exec();
    form.MemReadWorker->WaitFor();
    form.UploadFinished = true;

    UploadTransaction& file = *form.OutputFile;
    // A signal may also have cut a write short that was blocked in a pipe.
    if (cancelled || platform::CancelSignals::Raised())
        return Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "Upload cancelled: the module memory was not cleared."));
    if (file.Failed())
        return Incomplete(file, FileFault(file));
    if (!form.ReadoutComplete) {
        reason = form.DriverReason(); // the failed read was the last driver call
        return Incomplete(file, Wording(QT_TRANSLATE_NOOP("TForm_Korvane", "a memory block could not be read")));
    }
    // Appending, syncing, reading back and recording a large upload takes long: a worker does it
    // while the windows keep painting. Nothing on this thread touches the file meanwhile.
    bool closed = false;
    platform::RunOffUiThread([&] { closed = file.Close(); });
    if (!closed)
        return Incomplete(file, FileFault(file));
    return std::nullopt;
}

void OfferToClear(TForm_Korvane& form)
{
    if (!form.EraseRefusal.isEmpty()) {
        platform::MessageBox(TForm_Korvane::tr("The module memory was not cleared: %1.").arg(form.EraseRefusal),
                             TForm_Korvane::tr("Error"), MessageBoxButtons::OK);
        return;
    }
    const auto answer = platform::MessageBox(TForm_Korvane::tr("Clear Module Memory"), TForm_Korvane::tr("Question"),
                                             MessageBoxButtons::YesNo);
    if (answer == MessageBoxResult::Yes) {
        const bool erased = SendEraseCommand(*form.Driver);
        ReportErase(erased, form.DriverReason());
    }
}

bool TransferMemory(TForm_Korvane& form)
{
    if (!form.Driver)
        return false;
    form.SetOperationText(TForm_Korvane::tr("Operation: Uploading Memory"));
    if (!form.Connected) {
        form.FailureReason = QStringLiteral("the module is not connected");
        return false;
    }
    form.UploadFinished = false;
    form.EraseRefusal.clear();
    // An interrupt or terminate signal cancels the read-out (and a write blocked in a pipe);
    // a commit under way completes.
    const platform::CancelSignals cancelSignals;
    // The file stays open, and so locked, until the upload ends; dropped unclosed, it is left
    // as it was.
    const auto release = qScopeGuard([&form] { form.OutputFile.reset(); });
    if (!OpenMemoryFile(form))
        return false;
    if (form.CheckBox_Append->isChecked())
        WriteConfigurationHead(form);

    std::optional<ProgressDialog> progress;
    if (!form.SilentMode)
        progress.emplace(form.Form_Progress, &form);
    // An upload that did not reach the module's empty block, or lost bytes on the way to the
    // disk, never leads to an erase.
    QString reason;
    const std::optional<Wording> problem = ReadOut(form, progress ? &*progress : nullptr, reason);
    if (problem) {
        form.OutputFile.reset();
        // Nothing of it is in the file: the run's count says so.
        form.BytesUploaded = 0;
        form.FailureReason = platform::WithReason(
            QStringLiteral("memory file \"%1\": %2").arg(form.AdvFileNameEdit_FileName->text(), problem->English()), reason);
        // A Cancel of the user's is no error, only the news that the module kept its data.
        const bool cancelled = progress && progress->CancelRequested();
        if (!form.AutoMode && !platform::CancelSignals::Raised())
            platform::MessageBox(problem->Shown(), cancelled ? TForm_Korvane::tr("Cancelled") : TForm_Korvane::tr("Error"),
                                 MessageBoxButtons::OK, reason);
        return false;
    }

    // The read-out is complete and its bytes are in the memory file, synced; what may empty the
    // module comes only after this point.
    const bool announcedOtherLength = form.ReadoutTotal != 0 && form.BytesUploaded != form.ReadoutTotal;
    form.EraseRefusal = announcedOtherLength ? QStringLiteral("the module announced %1 bytes but sent %2")
                                                   .arg(form.ReadoutTotal)
                                                   .arg(form.BytesUploaded)
                                             : form.OutputFile->EraseRefusal();
    if (form.AutoMode)
        return true;
    if (announcedOtherLength) {
        platform::MessageBox(TForm_Korvane::tr("The module announced %1 bytes but sent %2; its memory was not cleared.")
                                 .arg(form.ReadoutTotal)
                                 .arg(form.BytesUploaded),
                             TForm_Korvane::tr("Error"), MessageBoxButtons::OK);
        return true;
    }
    platform::MessageBox(TForm_Korvane::tr("%1 Bytes Uploaded").arg(form.BytesUploaded), TForm_Korvane::tr("Success"),
                         MessageBoxButtons::OK);
    if (form.BytesUploaded != 0)
        OfferToClear(form);
    return true;
}

}  // namespace

bool TForm_Korvane::UploadMemory()
{
    // The clock poll would talk to the module between the blocks.
    Timer_TimeDate->stop();
    bool result = false;
    {
        platform::WaitCursor hourglass;
        result = TransferMemory(*this);
    }
    Timer_TimeDate->start();
    // A signal that cancelled the upload ends the process now that the file is as it was; an
    // unattended run says so first.
    if (!AutoMode)
        platform::CancelSignals::EndProcessIfRaised();
    return result;
}

bool TForm_Korvane::ReadMemoryBlock()
{
    if (!Driver || !Connected || UploadFinished)
        return false;
    uint8_t count = 0;
    driver::ParameterBuffer block{};
    if (!Driver->Parameter_Get_ARRAY(driver::ModuleParameter::MemoryData, count, block))
        return false;
    if (count == 0) {
        ReadoutComplete = true;
        return false;
    }
    // A block that did not reach the file ends the read-out; the module keeps all its data.
    if (!OutputFile || !OutputFile->Write(block.data(), count))
        return false;
    BytesUploaded += count;
    if (Form_Progress)
        Form_Progress->ShowProgress(Percentage(BytesUploaded, ReadoutTotal), BytesUploaded);
    return true;
}
