// The reference for the tool's start-up figures: a bare Qt Widgets window as any small Qt program
// shows one, a tab widget with two pages, a button, an edit and a status bar. With the argument
// "exit" it ends as soon as its message loop runs, as the tool does.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    auto* pages = new QTabWidget;
    auto* first = new QWidget;
    new QPushButton(QStringLiteral("Button"), first);
    new QLineEdit(QStringLiteral("Edit"), pages->widget(pages->addTab(new QWidget, QStringLiteral("Second"))));
    pages->insertTab(0, first, QStringLiteral("First"));
    pages->setCurrentIndex(0);
    window.setCentralWidget(pages);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.show();
    if (application.arguments().contains(QStringLiteral("exit")))
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    return application.exec();
}
