#pragma once

#include "platform/MessageBox.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

// Test service, installed for its lifetime: records every box in order and answers from a
// scripted queue. With the queue empty an OK box answers Ok and any other box the default answer
// (SafeAnswer(buttons) unless SetDefaultAnswer was called).
class ScriptedMessageBox final : public MessageBoxService {
public:
    struct Call {
        QString text;
        QString caption;
        MessageBoxButtons buttons;
        bool operator==(const Call&) const = default;
    };

    ScriptedMessageBox();

    MessageBoxResult Show(const QString& text, const QString& caption, MessageBoxButtons buttons,
                          const QString& reason) override;

    void Answer(MessageBoxResult answer); // queues the answer to the next box
    void SetDefaultAnswer(MessageBoxResult answer);
    // Runs while each box is "open" (after it was recorded, before it answers), e.g. to let
    // timers and worker hand-overs run as they would under a real modal box.
    void WhileOpen(std::function<void()> callback);

    const std::vector<Call>& Calls() const { return calls_; }
    // The reason each box gave below its text (empty where it gave none), in the same order.
    const std::vector<QString>& Reasons() const { return reasons_; }
    void ClearCalls()
    {
        calls_.clear();
        reasons_.clear();
    }

private:
    std::vector<Call> calls_;
    std::vector<QString> reasons_;
    std::deque<MessageBoxResult> answers_;
    std::optional<MessageBoxResult> defaultAnswer_;
    std::function<void()> whileOpen_;
    ScopedMessageBoxService installed_;
};

} // namespace platform
