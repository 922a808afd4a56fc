#include "widgets/VrAccessible.h"

#include "widgets/VrCheckLed.h"
#include "widgets/VrLeds.h"

#include <QAccessibleWidget>
#include <QCoreApplication>

namespace {

// A caption as read aloud: an accelerator's '&' is not said, "&&" is one '&'.
QString Spoken(QString caption)
{
    caption.replace(QLatin1String("&&"), QString(QChar(0)));
    caption.remove(QLatin1Char('&'));
    return caption.replace(QChar(0), QLatin1Char('&'));
}

QString OnOff(bool on)
{
    return on ? QCoreApplication::translate("TVrAccessible", "on") : QCoreApplication::translate("TVrAccessible", "off");
}

// An LED shows a state and takes no input: a read-only indicator that is lit or not.
class LedAccessible : public QAccessibleWidget {
public:
    explicit LedAccessible(TVrCustomLed* led) : QAccessibleWidget(led, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override
    {
        const auto* led = static_cast<const TVrCustomLed*>(widget());
        if (kind == QAccessible::Name && led->accessibleName().isEmpty())
            return Spoken(led->Caption());
        if (kind == QAccessible::Value)
            return OnOff(led->Active());
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.checkable = true;
        state.checked = static_cast<const TVrCustomLed*>(widget())->Active();
        return state;
    }
};

// A check LED is a check box: the user toggles it with the mouse, Space or its accelerator.
class CheckLedAccessible : public QAccessibleWidget {
public:
    explicit CheckLedAccessible(TVrCheckLed* check) : QAccessibleWidget(check, QAccessible::CheckBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && check()->accessibleName().isEmpty())
            return Spoken(check()->Caption());
        if (kind == QAccessible::Value)
            return OnOff(check()->Checked());
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = check()->Checked();
        return state;
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << toggleAction(); }

    void doAction(const QString& action) override
    {
        if (action == toggleAction())
            check()->SetChecked(!check()->Checked());
        else
            QAccessibleWidget::doAction(action);
    }

private:
    TVrCheckLed* check() const { return static_cast<TVrCheckLed*>(widget()); }
};

QAccessibleInterface* VrAccessibleFactory(const QString&, QObject* object)
{
    if (auto* led = qobject_cast<TVrCustomLed*>(object))
        return new LedAccessible(led);
    if (auto* check = qobject_cast<TVrCheckLed*>(object))
        return new CheckLedAccessible(check);
    return nullptr;
}

} // namespace

void InstallVrAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(VrAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void NotifyVrStateChange(QWidget* control)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}
