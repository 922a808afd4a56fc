#include "app/TForm_Korvane.h"
#include "module/EraseCommand.h"

#include "driver/DriverBinding.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/WaitCursor.h"

#include <QTimer>

using platform::MessageBoxButtons;
using platform::MessageBoxResult;

bool SendEraseCommand(driver::DriverBinding& driver)
{
    if (!driver.Parameter_Set_USIGN32(driver::ModuleParameter::EraseCommand, driver::EraseCommandValue))
        return false;
    platform::Sleep(driver::EraseWaitMs);
    return true;
}

void ReportErase(bool erased, const QString& reason)
{
    if (erased)
        platform::MessageBox(TForm_Korvane::tr("Module Memory Erased!"), TForm_Korvane::tr("Success"),
                             MessageBoxButtons::OK);
    else
        platform::MessageBox(TForm_Korvane::tr("Cannot Erase!"), TForm_Korvane::tr("Error"), MessageBoxButtons::OK, reason);
}

bool TForm_Korvane::EraseMemory()
{
    if (!Driver)
        return false;
    SetOperationText(tr("Operation: Erasing"));

    // A failed read of the blank status asks nothing: the erase goes on.
    uint8_t blank = 0;
    if (Driver->Parameter_Get_USIGN8(driver::ModuleParameter::BlankStatus, blank) && blank == 0 && !AutoMode) {
        const auto answer = platform::MessageBox(tr("Module is not Blank\r\n\r\nContinue Erase?"), tr("Caution"),
                                                 MessageBoxButtons::YesNo);
        if (answer != MessageBoxResult::Yes)
            return false;
    }

    // No clock poll may talk to the module while it erases.
    Timer_TimeDate->stop();
    bool erased = false;
    {
        platform::WaitCursor hourglass;
        erased = SendEraseCommand(*Driver);
    }
    const QString reason = DriverReason();
    if (!erased)
        FailureReason = platform::WithReason(QStringLiteral("the module refused the erase command"), reason);
    if (!AutoMode)
        ReportErase(erased, reason);
    Timer_TimeDate->start();
    // A refused erase is a failure, so the automatic sequence does not report success.
    return erased;
}
