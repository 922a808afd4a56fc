// Application-modal message boxes with a text, a caption and a button set, answering the button
// pressed; a box that reports a failure may say why below its text (the reason). All boxes go
// through one replaceable service so tests can script the answers.
#pragma once

#include <QString>

#include <memory>

class QMessageBox;

#if defined(_WIN32) && defined(MessageBox)
#undef MessageBox // <windows.h> maps it onto MessageBoxA/W
#endif

namespace platform {

enum class MessageBoxButtons { OK, YesNo, YesNoCancel };
enum class MessageBoxResult { Ok, Yes, No, Cancel };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageBoxResult Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                                  const QString& reason) = 0;
};

// Shows the box through the installed service; without one, through DisplayMessageBoxService().
// Call on the user-interface thread.
MessageBoxResult MessageBox(const QString& text, const QString& caption, MessageBoxButtons buttons,
                            const QString& reason = {});

// A text and, when there is one, its reason on one line: after a colon, or after a blank where
// the text ends its sentence.
QString WithReason(const QString& text, const QString& reason);

// The answer that loses nothing when nobody can be asked: Ok, No or Cancel.
MessageBoxResult SafeAnswer(MessageBoxButtons buttons);

// The box QtMessageBoxService shows: no icon, application-modal, centred over the active main
// window; a Yes/No question defaults to No, so pressing Enter never does the irreversible thing.
// The reason is the box's informative text.
std::unique_ptr<QMessageBox> CreateQtMessageBox(const QString& text, const QString& caption, MessageBoxButtons buttons,
                                                const QString& reason = {});

class QtMessageBoxService final : public MessageBoxService {
public:
    MessageBoxResult Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                          const QString& reason) override;
};

// For runs without a display: writes "Caption: text" (and ": reason" when there is one) as one
// line to standard error and answers SafeAnswer(buttons).
class HeadlessMessageBoxService final : public MessageBoxService {
public:
    MessageBoxResult Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                          const QString& reason) override;
};

// The Qt service when the application has a display, the headless one otherwise (no application,
// or the "offscreen"/"minimal" platform), so a box never waits for a user who cannot see it.
MessageBoxService& DisplayMessageBoxService();

// Installs a service (nullptr: back to DisplayMessageBoxService()). The application calls this at
// start-up when it wants a particular one.
void SetMessageBoxService(MessageBoxService* service);

class ScopedMessageBoxService {
public:
    explicit ScopedMessageBoxService(MessageBoxService& service);
    ~ScopedMessageBoxService();
    ScopedMessageBoxService(const ScopedMessageBoxService&) = delete;
    ScopedMessageBoxService& operator=(const ScopedMessageBoxService&) = delete;

private:
    MessageBoxService* previous_;
};

} // namespace platform
