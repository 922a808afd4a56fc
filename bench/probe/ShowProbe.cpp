// Preloaded into a Qt Widgets program for the start-up benchmark: at the first paint of a main
// window it writes the moment, in nanoseconds of the monotonic clock, into the file named by
// KORVANE_SHOW_PROBE and ends the program at once.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMainWindow>

#include <chrono>
#include <unistd.h>

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (!widget || !qobject_cast<const QMainWindow*>(widget->window()))
            return false;
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        QFile stamp(qEnvironmentVariable("KORVANE_SHOW_PROBE"));
        const bool written = stamp.open(QIODevice::WriteOnly)
                             && stamp.write(QByteArray::number(qint64(std::chrono::nanoseconds(now).count()))) > 0;
        stamp.close();
        _exit(written ? 0 : 3);
    }
};

void install()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
