// The reference for the tool's start-up figures: the least a Qt Widgets program does to show a
// main window. With the argument "exit" it ends as soon as its message loop runs, as the tool does.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.show();
    if (application.arguments().contains(QStringLiteral("exit")))
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    return application.exec();
}
