// A main window under test: message boxes answered from a script and recorded, waits that return
// at once, and the PC clock pinned to 5 March 2026, 09:41:07.
#pragma once

#include "app/StateFolder.h"
#include "app/TForm_Korvane.h"
#include "support/ScriptedMessageBox.h"
#include "support/FakeServices.h"

#include <QFile>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A library name that no folder holds, for runs without a driver.
inline constexpr const char* AbsentDriverLibrary = "KorvaneAbsentForTests";

// A caption as the user reads it: its accelerator's '&' is not shown.
inline QString AsShown(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

inline const QDateTime PinnedNow(QDate(2026, 3, 5), QTime(9, 41, 7));

class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() { services.PinNow(PinnedNow); }
    // Closing a window remembers its position; the next test starts from the designed one.
    ~MainWindowFixture() override
    {
        window.reset();
        QFile::remove(StateFolder() + QStringLiteral("/FORM.INI"));
    }

    TForm_Korvane& CreateWindow(const char* library)
    {
        window = std::make_unique<TForm_Korvane>(library);
        return *window;
    }

    using Box = platform::ScriptedMessageBox::Call;
    static Box Ok(const char* text, const char* caption)
    {
        return {QString::fromLatin1(text), QString::fromLatin1(caption), platform::MessageBoxButtons::OK};
    }
    std::vector<Box> Shown() const { return boxes.Calls(); }

    platform::ScriptedMessageBox boxes;
    platform::FakeServices services;
    std::unique_ptr<TForm_Korvane> window;
};
