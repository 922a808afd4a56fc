// The main window without a mouse: the menus by F10 and by their Alt letters, Ctrl+Q, Enter on
// the focused button, and the browse buttons in the Tab chain.
#include "FakeDriverAccess.h"
#include "MainWindowFixture.h"

#include "app/FileNameEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

class Keyboard : public MainWindowFixture {
protected:
    TForm_Korvane& ShowWindow()
    {
        TForm_Korvane& w = CreateWindow(FakeDriverLibrary);
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    FakeDriverState& fake = ResetFakeDriver();
};

bool Called(const FakeDriverState& state, const std::string& name)
{
    const std::vector<std::string> names = CallNames(state);
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(Keyboard, TheMenusOpenAndActFromTheKeyboard)
{
    TForm_Korvane& w = ShowWindow();

    QTest::keyClick(&w, Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), w.File1);
    QTest::keyClick(w.File1, Qt::Key_Escape);

    QTest::keyClick(&w, Qt::Key_I, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), w.Configuration1);
    EXPECT_FALSE(Called(fake, "HardwareConfigurationWindow"));
    QTest::keyClick(w.Configuration1, Qt::Key_C);
    EXPECT_TRUE(Called(fake, "HardwareConfigurationWindow"));

    QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), w.File1);
    QTest::keyClick(w.File1, Qt::Key_X);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(Called(fake, "CloseCard"));
}

TEST_F(Keyboard, CtrlQEndsTheWindow)
{
    TForm_Korvane& w = ShowWindow();
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Keyboard, EnterPressesTheFocusedButtonAndTabReachesTheBrowseButtons)
{
    TForm_Korvane& w = ShowWindow();
    w.Button_Connect->setFocus();
    QTest::keyClick(w.Button_Connect, Qt::Key_Return);
    ASSERT_TRUE(w.Connected);
    EXPECT_TRUE(Called(fake, "OpenInterface"));

    // Tab from the configuration field goes on to its browse button, and from there to the next control.
    w.AdvFileNameEdit_Config->Edit()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.AdvFileNameEdit_Config->BrowseButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.Button_UploadConfiguration);
}

} // namespace
