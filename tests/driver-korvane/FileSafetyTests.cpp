// The library's own files: only regular files of sane size are read, and a change that cannot be
// written completely is refused with the old file kept.
#include "KorvaneLibrary.h"
#include "config/InterfaceConfig.h"
#include "simulator/StateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace korvane;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Writes until the file system has no block left.
void fill(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const std::array<char, 512> chunk{};
    while (::write(fd, chunk.data(), chunk.size()) > 0) {
    }
    EXPECT_EQ(errno, ENOSPC);
    ::close(fd);
}

} // namespace

TEST(LibraryFiles, OnlyRegularFilesOfSaneSizeAreRead)
{
    const QString folder = QDir::currentPath() + "/kinds";
    QDir().mkpath(folder + "/folder");
    const QByteArray base = QFile::encodeName(folder);
    ASSERT_EQ(::mkfifo(base + "/fifo", 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", base + "/zero"), 0);
    ASSERT_EQ(::symlink(base + "/loop-b", base + "/loop-a"), 0);
    ASSERT_EQ(::symlink(base + "/loop-a", base + "/loop-b"), 0);
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, base + "/socket", sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // Sparse files just above each limit: 64 KiB for interface.ini, 256 MiB for the state.
    put(folder + "/big", "");
    const std::pair<const char*, const char*> kinds[] = {
        {"folder", "is a folder"}, {"fifo", "is a FIFO"}, {"zero", "is a device"},
        {"socket", "cannot open"}, {"loop-a", "a symlink loop"}, {"big", "is larger than"},
    };
    const auto started = std::chrono::steady_clock::now();
    for (const auto& [name, reason] : kinds) {
        const QString path = folder + '/' + name;
        config::InterfaceConfig config;
        QString error;
        ASSERT_EQ(::truncate(base + "/big", 64 * 1024 + 1), 0);
        EXPECT_FALSE(config::readConfigFile(path, config, error)) << name;
        EXPECT_TRUE(error.contains(path) && error.contains(reason)) << error.toStdString();
        ASSERT_EQ(::truncate(base + "/big", 256LL * 1024 * 1024 + 1), 0);
        OpenFailure failure;
        EXPECT_FALSE(module::loadStateFile(path, true, QDateTime::currentDateTime(), failure)) << name;
        EXPECT_TRUE(failure.message.contains(path) && failure.message.contains(reason)) << failure.message.toStdString();
        if (std::strcmp(name, "big") != 0) {
            EXPECT_FALSE(config::writeConfigFile(path, config::InterfaceConfig{}, error)) << name;
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)); // nothing blocked or read forever
    ::close(server);
}

TEST(LibraryFiles, OnAFullDiskChangesAreRefusedAndNothingIsLost)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a tiny tmpfs needs root (CI runs as root)";
    const char* registry = "\\Software\\Velmora\\Full Disk\\";
    const QString ini = config::configFileFor(QString::fromLatin1(registry));
    const QString folder = QFileInfo(ini).absolutePath();
    QDir().mkpath(folder);
    const QByteArray mountPoint = QFile::encodeName(folder);
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mountPoint};

    put(ini, "[interface]\ntransport=simulated\nmodule_state=module-state.json\n");
    put(folder + "/module-state.json", R"({"memory": "20 logged records\n"})");
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    ASSERT_EQ(library().ReadConfiguration(registry, block.data()), 1);
    uint32_t handle = 0;
    ASSERT_EQ(library().OpenInterface(&handle, block.data()), 1);
    const QByteArray iniBefore = contents(ini), stateBefore = contents(folder + "/module-state.json");

    fill(folder + "/filler");
    testing::internal::CaptureStderr();
    const uint8_t time[] = {'1', '0', ':', '0', '0', ':', '0', '0'};
    EXPECT_EQ(library().Parameter_Set_USIGN8(handle, 12, 9), 0);                  // a setting
    EXPECT_EQ(library().Parameter_Set_USIGN32(handle, 13, 0x44332211), 0);        // the erase
    EXPECT_EQ(library().Parameter_Set_ARRAY(handle, 6, sizeof time, time), 0);    // the time
    block[8] = 42;
    EXPECT_EQ(library().SaveConfiguration(registry, block.data()), 0);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("No space left on device"), std::string::npos) << messages;
    EXPECT_EQ(contents(ini), iniBefore);
    EXPECT_EQ(contents(folder + "/module-state.json"), stateBefore);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 3); // no temporary left behind

    // With room again the same changes go through.
    QFile::remove(folder + "/filler");
    EXPECT_EQ(library().Parameter_Set_USIGN32(handle, 13, 0x44332211), 1);
    EXPECT_EQ(library().SaveConfiguration(registry, block.data()), 1);
    EXPECT_NE(contents(folder + "/module-state.json"), stateBefore);
    library().CloseCard(handle);
}

// What a killed replacement left is taken away by the next run, but only where it is provably
// such a leftover: ours by name and owner, and held by no replacement still running. A
// replaced file keeps its owner, also when root replaces it.
TEST(LibraryFiles, ReplacementsKeepTheOwnerAndLeaveNoneButForeignTemporaries)
{
    const QString folder = QDir::currentPath() + "/leftovers";
    QDir().mkpath(folder);
    const QString state = folder + "/module-state.json";
    put(state, R"({"memory": "kept"})");
    const QString stale = folder + "/.module-state.json.replacing-1x2y", held = folder + "/.module-state.json.replacing-9",
                  ownName = folder + "/.module-state.json.backup", sibling = folder + "/.other.json.replacing-1";
    for (const QString& name : {stale, held, ownName, sibling})
        put(name, "{}");
    const int writer = ::open(QFile::encodeName(held).constData(), O_RDWR);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(writer, F_OFD_SETLK, &whole), 0);

    OpenFailure failure;
    const auto loaded = module::loadStateFile(state, false, QDateTime::currentDateTime(), failure);
    ASSERT_TRUE(loaded) << failure.message.toStdString();
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(held) && QFile::exists(ownName) && QFile::exists(sibling));
    ::close(writer);

    if (::geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to make";
    const QString foreign = folder + "/.module-state.json.replacing-2";
    put(foreign, "{}");
    const QString ini = folder + "/interface.ini";
    put(ini, "[interface]\ntransport=simulated\n");
    for (const QString& name : {state, ini, foreign})
        ASSERT_EQ(::chown(QFile::encodeName(name).constData(), 65534, 65534), 0);
    QString error;
    ASSERT_TRUE(module::saveStateFile(state, *loaded, error)) << error.toStdString();
    ASSERT_TRUE(config::writeConfigFile(ini, config::InterfaceConfig{}, error)) << error.toStdString();
    for (const QString& name : {state, ini}) {
        const QFileInfo replaced(name);
        EXPECT_EQ(replaced.ownerId(), 65534u) << name.toStdString();
        EXPECT_EQ(replaced.groupId(), 65534u) << name.toStdString();
    }
    EXPECT_TRUE(QFile::exists(foreign)); // another user's file, whatever its name
    EXPECT_FALSE(QFile::exists(held));   // its writer ended without renaming it
}
