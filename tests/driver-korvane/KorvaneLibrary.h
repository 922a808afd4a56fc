// libKorvane.so loaded the way the tool loads it: by bare name, every entry point looked up.
#pragma once

#include "contract/KorvaneApi.h"
#include "platform/Library.h"

#include <gtest/gtest.h>

struct KorvaneLibrary {
#define KORVANE_SLOT(name, ret, params) Korvane_##name##_fn name = nullptr;
    KORVANE_ENTRY_POINTS(KORVANE_SLOT)
#undef KORVANE_SLOT
    void* handle = nullptr;
    int missing = 0;

    KorvaneLibrary()
    {
        // Never closed: like the tool, the library stays loaded until the process ends.
        handle = platform::OpenLibrary("Korvane");
        if (!handle) {
            ADD_FAILURE() << "libKorvane.so not found";
            return;
        }
#define KORVANE_LOOKUP(entry, ret, params) \
        entry = reinterpret_cast<Korvane_##entry##_fn>(platform::LibrarySymbol(handle, #entry)); \
        missing += entry ? 0 : 1;
        KORVANE_ENTRY_POINTS(KORVANE_LOOKUP)
#undef KORVANE_LOOKUP
    }
};

inline const KorvaneLibrary& library()
{
    static const KorvaneLibrary library;
    return library;
}
