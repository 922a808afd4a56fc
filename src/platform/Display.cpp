#include "platform/Display.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <string_view>

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace platform {

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

#if defined(__linux__)
// Connects to the X server as the toolkit would (address, authorisation, set-up). The connection
// stays open for the life of the process: a server that resets when its last client leaves (as a
// plain xvfb-run does) would otherwise reset between this probe and the toolkit's own connection,
// and refuse that one. Through libxcb loaded at run time: the toolkit's X platform needs it anyway.
void* probeConnection = nullptr; // held, and so reachable, to the end

bool XDisplayOpens(const std::string& name)
{
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr)
        return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect) {
        ::dlclose(xcb);
        return false;
    }
    // xcb_connect never answers null: a failed connection is an object in an error state.
    void* connection = connect(name.c_str(), nullptr);
    if (hasError(connection) != 0) {
        disconnect(connection);
        ::dlclose(xcb);
        return false;
    }
    probeConnection = connection;
    return true;
}
#endif

} // namespace

DisplayChoice ChooseDisplay()
{
#if defined(__linux__)
    const std::string requested = Environment("QT_QPA_PLATFORM");
    const std::string x = Environment("DISPLAY");
    const std::string wayland = Environment("WAYLAND_DISPLAY");
    if (requested == "offscreen" || requested == "minimal")
        return {requested, "the platform \"" + requested + "\" shows no windows"};
    if (!requested.empty() && requested != "xcb")
        return {requested + ";offscreen", "the platform \"" + requested + "\" could not be started"};
    if (!x.empty() && XDisplayOpens(x))
        return {};
    if (requested.empty() && !wayland.empty())
        return {"wayland;offscreen", "cannot open the display \"" + (x.empty() ? wayland : x) + "\""};
    if (x.empty())
        return {"offscreen", "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"};
    return {"offscreen", "cannot open the display \"" + x + "\""};
#else
    return {};
#endif
}

bool HasDisplay()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace platform
