#include "app/CommandLineStart.h"

#include "app/CommandLine.h"
#include "app/CommandLinePlatform.h"
#include "app/FileNameEdit.h"
#include "app/TForm_Korvane.h"
#include "app/TThread_Auto.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"

#include <QCoreApplication>

namespace {

// Ends the message loop as soon as it runs, without closing the main window.
void QuitWhenTheLoopRuns()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void ApplyOptions(TForm_Korvane& form, const CommandLineOptions& options)
{
    if (options.ConfigFile) {
        form.AdvFileNameEdit_Config->setText(*options.ConfigFile);
        form.ConfigFileGiven = true;
    }
    if (options.MemoryFile) {
        form.AdvFileNameEdit_FileName->setText(*options.MemoryFile);
        form.MemoryFileGiven = true;
    }
    if (options.Beep)
        platform::Beep(1000, 1000);
    if (options.Exit)
        QuitWhenTheLoopRuns();
    if (options.Auto) {
        form.AutoMode = true;
        form.AutoWorker.reset(new TThread_Auto([&form] { form.AutoStep(); }));
    }
    form.SilentMode = options.Silent;
    form.EraseRequested = options.Erase;
    form.ConfigRequested = options.Config;
}

}  // namespace

void StartFromCommandLine(TForm_Korvane& form, const QStringList& arguments)
{
    form.AutoMode = false;
    form.SilentMode = false;
    CommandLineOptions options;
    if (!arguments.isEmpty()) {
        options = ParseCommandLine(arguments);
        ApplyOptions(form, options);
    }

    if (form.SilentMode) {
        form.setWindowState(Qt::WindowMinimized);
        form.setVisible(false);
    } else {
        form.setVisible(true);
    }
    if (form.AutoWorker && !form.AutoWorker->Started())
        form.AutoWorker->Start();

    // A window that nobody can see would wait for ever.
    if (StartedWithoutDisplay() && !form.AutoWorker && !options.Exit) {
        platform::MessageBox(QStringLiteral("No display: start on a desktop for the window, or with /auto for an "
                                            "unattended upload."),
                             QStringLiteral("Error"), platform::MessageBoxButtons::OK);
        QuitWhenTheLoopRuns();
    }
}

void TForm_Korvane::FormCreate()
{
    StartFromCommandLine(*this, QCoreApplication::arguments().mid(1));
}
