#include "api/BusTransports.h"

#include <QFileInfo>

#include <dlfcn.h>

#include <mutex>

namespace korvane::api {

namespace {

constexpr char kLibrary[] = "libKorvaneBus.so";

struct Loaded {
    BusTransports* transports = nullptr;
    QString error;
};

// Beside the object holding this code: libKorvane.so in lib/, or a program in bin/ that links the
// driver core, with the library in ../lib. A path of our own, not the search path: a sanitizer's
// dlopen interceptor would search with the runtime's path instead of this object's.
Loaded load()
{
    Dl_info self{};
    if (dladdr(reinterpret_cast<const void*>(&busTransports), &self) == 0 || !self.dli_fname)
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
        using Entry = decltype(&KorvaneBusTransports);
        if (const auto entry = reinterpret_cast<Entry>(dlsym(library, "KorvaneBusTransports")))
            return {entry(), {}};
        error = QStringLiteral("%1 has no entry point").arg(QLatin1String(kLibrary));
    }
    return {nullptr, error};
}

} // namespace

BusTransports* busTransports(QString& error)
{
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [] { loaded = load(); });
    error = loaded.error;
    return loaded.transports;
}

} // namespace korvane::api
