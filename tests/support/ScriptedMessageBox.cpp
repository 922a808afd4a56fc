#include "support/ScriptedMessageBox.h"

namespace platform {

ScriptedMessageBox::ScriptedMessageBox()
    : installed_(*this)
{
}

MessageBoxResult ScriptedMessageBox::Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                                          const QString& reason)
{
    calls_.push_back({text, caption, buttons});
    reasons_.push_back(reason);
    if (whileOpen_)
        whileOpen_();
    if (!answers_.empty()) {
        const MessageBoxResult answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (buttons == MessageBoxButtons::OK)
        return MessageBoxResult::Ok;
    return defaultAnswer_.value_or(SafeAnswer(buttons));
}

void ScriptedMessageBox::Answer(MessageBoxResult answer)
{
    answers_.push_back(answer);
}

void ScriptedMessageBox::SetDefaultAnswer(MessageBoxResult answer)
{
    defaultAnswer_ = answer;
}

void ScriptedMessageBox::WhileOpen(std::function<void()> callback)
{
    whileOpen_ = std::move(callback);
}

} // namespace platform
