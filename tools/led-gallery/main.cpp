// led-gallery [--screenshot FILE]: shows the widget library's LEDs; with --screenshot it saves
// a picture of the window and ends instead of waiting for the user.
#include "LedGallery.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows every LED type, layout and state."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to <file> and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    LedGallery gallery;
    gallery.show();
    gallery.ShowHover();
    if (!parser.isSet(screenshot))
        return app.exec();

    int result = 0;
    QTimer::singleShot(200, [&] {
        const QString file = parser.value(screenshot);
        if (!gallery.grab().save(file)) {
            std::fprintf(stderr, "led-gallery: cannot save %s\n", qPrintable(file));
            result = 1;
        }
        app.quit();
    });
    app.exec();
    return result;
}
