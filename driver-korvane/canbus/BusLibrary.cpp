#include "canbus/BusLibrary.h"

#include <QFileInfo>

#include <dlfcn.h>

#include <cerrno>
#include <mutex>

namespace korvane::bus {

namespace {

constexpr char kLibrary[] = "libKorvaneBus.so";

struct Loaded {
    void* library = nullptr;
    QString error;
};

// Beside the object holding this code: libKorvane.so in lib/, or a program in bin/ that links the
// driver core, with the library in ../lib. A path of our own, not the search path: a sanitizer's
// dlopen interceptor would search with the runtime's path instead of this object's.
Loaded load()
{
    Dl_info self{};
    if (dladdr(reinterpret_cast<const void*>(&lists), &self) == 0 || !self.dli_fname)
        return {nullptr, QStringLiteral("the driver library's own location is unknown")};
    const QString folder = QFileInfo(QString::fromLocal8Bit(self.dli_fname)).absolutePath();
    QString error;
    for (const QString& candidate : {folder, folder + QStringLiteral("/../lib")}) {
        void* library = dlopen(QString(candidate + u'/' + QLatin1String(kLibrary)).toLocal8Bit().constData(),
                               RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            error = QString::fromLocal8Bit(dlerror());
            continue;
        }
        using Version = uint32_t (*)();
        const auto version = reinterpret_cast<Version>(dlsym(library, "KorvaneBusAbiVersion"));
        if (version && version() == kAbiVersion)
            return {library, {}};
        error = version ? QStringLiteral("%1 has interface version %2, this library needs %3")
                              .arg(candidate + u'/' + QLatin1String(kLibrary))
                              .arg(version())
                              .arg(kAbiVersion)
                        : QStringLiteral("%1 has no interface version").arg(candidate + u'/' + QLatin1String(kLibrary));
        dlclose(library);
    }
    return {nullptr, error};
}

const Loaded& loaded()
{
    static std::once_flag once;
    static Loaded library;
    std::call_once(once, [] { library = load(); });
    return library;
}

} // namespace

std::unique_ptr<CanChannel> makeChannel(const char* entry, const ChannelSettings& settings, OpenFailure& failure)
{
    const Loaded& bus = loaded();
    if (!bus.library) {
        failure = {QStringLiteral("the real-bus transports could not be loaded: ") + bus.error, ENOENT};
        return nullptr;
    }
    const auto factory = reinterpret_cast<Factory>(dlsym(bus.library, entry));
    if (!factory) {
        failure = {QStringLiteral("%1 has no channel %2").arg(QLatin1String(kLibrary), QLatin1String(entry)), ENOENT};
        return nullptr;
    }
    return std::unique_ptr<CanChannel>(factory(settings));
}

Lists* lists()
{
    const Loaded& bus = loaded();
    using Entry = Lists* (*)();
    const auto entry = bus.library ? reinterpret_cast<Entry>(dlsym(bus.library, "KorvaneBusLists")) : nullptr;
    return entry ? entry() : nullptr;
}

} // namespace korvane::bus
