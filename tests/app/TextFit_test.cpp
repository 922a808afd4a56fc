// Every text of every window fits inside its control, with each sans-serif font a Linux desktop
// may have and at any scale (run a second time with QT_SCALE_FACTOR=2); nothing overlaps.
#include "MainWindowFixture.h"

#include "app/PanelStatusBar.h"
#include "app/TAboutBox.h"
#include "module/SetTimeDate.h"
#include "module/TForm_Progress.h"
#include "platform/MessageBox.h"
#include "widgets/VrLeds.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QStyleOption>
#include <QTabWidget>


namespace {

using ::testing::TestWithParam;

QString Shown(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Where a control draws its text, by the style's own measure.
QRect TextArea(const QWidget* w)
{
    const QStyle* style = w->style();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const auto element = button->inherits("QCheckBox")      ? QStyle::SE_CheckBoxContents
                             : button->inherits("QRadioButton") ? QStyle::SE_RadioButtonContents
                                                                : QStyle::SE_PushButtonContents;
        return style->subElementRect(element, &option, w);
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, w).adjusted(2, 0, -2, 0);
    }
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(w)) {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.frame = true;
        option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        return style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, w).adjusted(2, 0, -2, 0);
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, w);
        return style->subElementRect(QStyle::SE_LineEditContents, &option, w).adjusted(2, 0, -2, 0);
    }
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        const int indent = std::max(0, label->indent());
        return label->contentsRect().adjusted(indent, 0, -indent, 0);
    }
    return w->rect();
}

QStringList Texts(const QWidget* w)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return {button->text()};
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        QStringList items{combo->placeholderText()};
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    if (const auto* spin = qobject_cast<const QSpinBox*>(w))
        return {spin->prefix() + QString::number(spin->maximum(), spin->displayIntegerBase()).toUpper() + spin->suffix()};
    if (const auto* edit = qobject_cast<const QLineEdit*>(w); edit && !qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) &&
                                                              !qobject_cast<const QComboBox*>(w->parentWidget()))
        return {edit->text()};
    if (const auto* label = qobject_cast<const QLabel*>(w); label && label->pixmap().isNull())
        return {label->text()};
    return {};
}

// The parents whose children the program places itself (the rest are laid out by Qt).
bool PlacesItsChildren(const QWidget* w)
{
    return !w->layout() && (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QDialog*>(w) ||
                            qstrcmp(w->metaObject()->className(), "QWidget") == 0 ||
                            qstrcmp(w->metaObject()->className(), "QFrame") == 0);
}

void ExpectFits(QWidget* window, const char* name)
{
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets << window;
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) && w != window)
            continue;
        const QFontMetrics metrics = w->fontMetrics();
        const QRect area = TextArea(w);
        const auto* label = qobject_cast<const QLabel*>(w);
        for (const QString& text : Texts(w)) {
            const QRect needed = label && (label->wordWrap() || text.contains(QLatin1Char('\n')))
                                     ? metrics.boundingRect(area, int(label->alignment()) | Qt::TextWordWrap, Shown(text))
                                     : QRect(0, 0, metrics.horizontalAdvance(Shown(text)), metrics.height());
            EXPECT_LE(needed.width(), area.width()) << name << ": \"" << text.toStdString() << "\" in " << w->metaObject()->className();
            EXPECT_LE(needed.height(), area.height()) << name << ": \"" << text.toStdString() << "\" in " << w->metaObject()->className();
        }
        if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.text = group->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
            EXPECT_GE(title.width(), metrics.horizontalAdvance(group->title())) << name;
            EXPECT_TRUE(group->rect().contains(title)) << name << ": title \"" << group->title().toStdString() << "\"";
        }
        if (auto* led = qobject_cast<TVrLed*>(w)) {
            led->grab();
            EXPECT_GE(led->TextRect().Width(), metrics.horizontalAdvance(led->Caption())) << name << ": LED";
            EXPECT_TRUE(led->rect().contains(led->TextRect().ToQRect())) << name << ": LED caption";
        }
        if (!PlacesItsChildren(w))
            continue;
        const QList<QWidget*> children = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* a : children) {
            if (!a->isVisibleTo(window) || a->isWindow())
                continue;
            EXPECT_TRUE(w->rect().contains(a->geometry())) << name << ": " << a->metaObject()->className() << " leaves "
                                                           << w->metaObject()->className();
            for (const QWidget* b : children) {
                if (a >= b || !b->isVisibleTo(window) || b->isWindow())
                    continue;
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << name << ": " << Texts(a).value(0).toStdString() << " overlaps " << Texts(b).value(0).toStdString();
            }
        }
    }
}

class TextFit : public MainWindowFixture, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        family = QString::fromLatin1(GetParam());
        if (!QFontDatabase::hasFamily(family))
            GTEST_SKIP() << family.toStdString() << " is not installed (make deps installs it)";
        QFont::removeSubstitutions(QStringLiteral("MS Sans Serif"));
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), family);
    }
    void TearDown() override { QFont::removeSubstitutions(QStringLiteral("MS Sans Serif")); }

    QString family;
};

TEST_P(TextFit, EveryWindowShowsItsTextsWhole)
{
    TForm_Korvane& w = CreateWindow(AbsentDriverLibrary);
    ASSERT_EQ(QFontInfo(w.font()).family(), family);
    w.ShowSettingsTab(true);
    w.MakeSettingsPage(); // its controls are made on first use
    ExpectFits(w.TabSheet1, "Upload page");
    ExpectFits(w.TabSheet_Settings, "Settings page");
    ExpectFits(w.StatusBar1, "status bar");
    w.StatusBar1->setPanelText(0, QStringLiteral("Connection:Online"));
    ExpectFits(w.StatusBar1, "status bar online");
    EXPECT_GE(w.PageControl1->width(), w.TabSheet1->childrenRect().right());
    w.StaticText_ConnectionType->setText(QStringLiteral("Simulated"));
    ExpectFits(w.GroupBox1, "connection type");

    TForm_SetTimeDate dialog;
    ExpectFits(&dialog, "Set Time/Date");
    TForm_Progress progress;
    progress.StaticText_Status->setText(QStringLiteral("Uploading Memory"));
    progress.ShowProgress(100, 4294967295u);
    ExpectFits(&progress, "progress");
    TAboutBox about;
    ExpectFits(&about, "about box");

    w.show();
    struct Box {
        const char* text;
        const char* caption;
        platform::MessageBoxButtons buttons;
        const char* reason;
    };
    using enum platform::MessageBoxButtons;
    for (const Box& shown : std::initializer_list<Box>{
             {"Settings have changed!\r\n Do you want to save to device?", "Caution", YesNo, ""},
             {"Module is not Blank\r\n\r\nContinue Erase?", "Caution", YesNo, ""},
             {"Clear Module Memory", "Caution", YesNo, ""},
             {"Upload Failed!", "Error", OK,
              "memory file \"/home/technician/uploads/mem.csv\": Upload incomplete: a memory block could not be read. "
              "The file was left as it was and the module memory was not cleared. parameter 14: the module aborted "
              "the transfer: 0x06020000 object does not exist"},
             {"Cannot Open Interface", "Error", OK,
              "no CAN device can0 in plugin korvane-no-such-plugin: No such plugin: 'korvane-no-such-plugin'"}}) {
        const auto box = platform::CreateQtMessageBox(QString::fromLatin1(shown.text), QString::fromLatin1(shown.caption),
                                                      shown.buttons, QString::fromLatin1(shown.reason));
        box->show();
        ExpectFits(box.get(), shown.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, TextFit, ::testing::Values("DejaVu Sans", "Liberation Sans"));

} // namespace
