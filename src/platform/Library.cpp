#include "platform/Library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace platform {

namespace {

bool HasDirectory(std::string_view name)
{
#if defined(_WIN32)
    return name.find_first_of("/\\:") != std::string_view::npos;
#else
    return name.find('/') != std::string_view::npos;
#endif
}

bool HasLibrarySuffix(std::string_view name)
{
#if defined(_WIN32)
    return name.size() > 4 && (name.ends_with(".dll") || name.ends_with(".DLL"));
#else
    return name.ends_with(".so") || name.find(".so.") != std::string_view::npos;
#endif
}

} // namespace

std::string LibraryFileName(std::string_view name)
{
    if (name.empty() || HasDirectory(name) || HasLibrarySuffix(name))
        return std::string(name);
#if defined(_WIN32)
    return std::string(name) + ".dll";
#else
    return "lib" + std::string(name) + ".so";
#endif
}

LibraryHandle OpenLibrary(std::string_view name)
{
    const std::string fileName = LibraryFileName(name);
    if (fileName.empty())
        return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<LibraryHandle>(::LoadLibraryA(fileName.c_str()));
#else
    return ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void* LibrarySymbol(LibraryHandle library, const char* symbol)
{
    if (library == nullptr || symbol == nullptr)
        return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), symbol));
#else
    return ::dlsym(library, symbol);
#endif
}

} // namespace platform
