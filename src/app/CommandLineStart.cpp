#include "app/CommandLineStart.h"

#include "app/CommandLine.h"
#include "app/FileNameEdit.h"
#include "app/TForm_Korvane.h"
#include "app/TThread_Auto.h"
#include "platform/Services.h"

#include <QCoreApplication>

namespace {

CommandLineOptions keptOptions;

// Ends the message loop as soon as it runs, without closing the main window: exit(), not quit(),
// which would first close every window.
void QuitWhenTheLoopRuns()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
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
    form.SettingsProfileFile = options.SettingsFile.value_or(QString());
    form.NodeOption = options.Node;
    form.SilentMode = options.Silent;
    form.EraseRequested = options.Erase;
    form.ConfigRequested = options.Config;
}

}  // namespace

void StartFromCommandLine(TForm_Korvane& form, const CommandLineOptions& options)
{
    form.AutoMode = false;
    form.SilentMode = false;
    ApplyOptions(form, options);

    if (form.SilentMode) {
        form.setWindowState(Qt::WindowMinimized);
        form.setVisible(false);
    } else {
        form.setVisible(true);
    }
    if (form.AutoWorker && !form.AutoWorker->Started())
        form.AutoWorker->Start();
}

void TForm_Korvane::FormCreate()
{
    StartFromCommandLine(*this, keptOptions);
}

void KeepCommandLine(const CommandLineOptions& options)
{
    keptOptions = options;
}
