// The application object. The toolkit never sees the command line as typed: it gets the program
// name and the platform the tool chose, so none of its own options (-platform, -style, -reverse)
// can take a word of the user's or abort the process. An exception that escapes an event handler
// is reported with the standard error report and ends the message loop with EscapedErrorExitCode.
#pragma once

#include <QApplication>

#include <exception>
#include <string>
#include <vector>

// The argument list the toolkit keeps a reference to for the application's whole life.
struct ToolkitArguments
{
    ToolkitArguments(const char* program, const std::string& platform);

    std::vector<std::string> words;
    std::vector<char*> pointers;
    int count = 0;
};

class KorvaneApplication : private ToolkitArguments, public QApplication {
public:
    // platform: the toolkit's "-platform" value, empty for its own choice.
    KorvaneApplication(const char* program, const std::string& platform);

    bool notify(QObject* receiver, QEvent* event) override;

    // The toolkit's standard error report: the error's text in a box captioned with the
    // application's name, and on standard error. During an unattended run only standard error,
    // with the run's result line, as nobody may be there to close a box.
    static void ReportError(const std::exception& error);
};
