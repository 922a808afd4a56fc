// The application object. An exception that escapes an event handler is reported with the
// standard error report and ends the message loop; main() then ends with EscapedErrorExitCode.
#pragma once

#include <QApplication>

#include <exception>

class KorvaneApplication : public QApplication {
public:
    KorvaneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    bool ErrorEscaped() const { return errorEscaped_; }

    // The toolkit's standard error report: the error's text in a box captioned with the
    // application's name, and on standard error.
    static void ReportError(const std::exception& error);

private:
    bool errorEscaped_ = false;
};
