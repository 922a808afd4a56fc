#include "platform/Library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <vector>
#endif

namespace platform {

namespace {

thread_local std::string lastLibraryError;

#if !defined(_WIN32)
std::string LoaderMessage()
{
    const char* message = ::dlerror();
    return message ? message : "the loader gave no reason";
}
#endif

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

#if !defined(_WIN32)
// The main program's library search path (LD_LIBRARY_PATH, RUNPATH with $ORIGIN expanded, system
// folders). dlopen normally searches it by itself, but a sanitizer's dlopen interceptor makes the
// runtime, not the program, the caller, so the program's RUNPATH would be missed.
std::vector<std::string> ProgramSearchPath()
{
    std::vector<std::string> folders;
    void* program = ::dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size;
    if (program == nullptr || ::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0)
        return folders;
    std::vector<unsigned char> storage(size.dls_size);
    auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
    ::dlinfo(program, RTLD_DI_SERINFOSIZE, info);
    if (::dlinfo(program, RTLD_DI_SERINFO, info) != 0)
        return folders;
    for (unsigned int i = 0; i < info->dls_cnt; ++i)
        folders.emplace_back(info->dls_serpath[i].dls_name);
    return folders;
}
#endif

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
    LibraryHandle library = reinterpret_cast<LibraryHandle>(::LoadLibraryA(fileName.c_str()));
    if (library == nullptr)
        lastLibraryError = fileName + ": error " + std::to_string(::GetLastError());
    return library;
#else
    if (LibraryHandle library = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL))
        return library;
    lastLibraryError = LoaderMessage();
    if (HasDirectory(fileName))
        return nullptr;
    for (const std::string& folder : ProgramSearchPath()) {
        const std::string path = folder + '/' + fileName;
        if (LibraryHandle library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return library;
        // A file that is there but does not load says more than one that is missing elsewhere.
        if (::access(path.c_str(), F_OK) == 0)
            lastLibraryError = LoaderMessage();
    }
    return nullptr;
#endif
}

std::string LibraryError()
{
    return lastLibraryError;
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
