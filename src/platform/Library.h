// Shared libraries: loaded once by name and never released, so entry points stay valid until the
// process ends.
#pragma once

#include <string>
#include <string_view>

namespace platform {

using LibraryHandle = void*;

// "Korvane" -> "libKorvane.so" on Linux, "Korvane.dll" on Windows. A name that already carries a
// directory or the platform's library suffix is returned unchanged.
std::string LibraryFileName(std::string_view name);

// Loads by LibraryFileName(name); a bare file name goes through the system's usual search
// (RUNPATH). Answers nullptr when the library cannot be loaded.
LibraryHandle OpenLibrary(std::string_view name);

// Why the last OpenLibrary on this thread answered nullptr: the loader's own message.
std::string LibraryError();

// The exported symbol's address, or nullptr when the library lacks it (or library is nullptr).
void* LibrarySymbol(LibraryHandle library, const char* symbol);

} // namespace platform
