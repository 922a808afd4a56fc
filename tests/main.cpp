// Test entry point: one QApplication on the offscreen platform, and a private sandbox so that no
// test reads or writes the user's configuration, data or working folder.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The C locale, whatever the developer's own: the texts under test are the English ones.
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 2;
    const QByteArray root = sandbox.path().toLocal8Bit();
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_STATE_HOME", root + "/state");
    qputenv("HOME", root);
    qputenv("XDG_RUNTIME_DIR", root);
    QDir().mkpath(sandbox.path() + "/work");
    QDir::setCurrent(sandbox.path() + "/work");

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
