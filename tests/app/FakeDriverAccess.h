// The recording fake driver library of the binding's tests, loaded by the main window under test.
// Needs tests/driver/fake on the include path and korvane_fake_full built.
#pragma once

#include "FakeDriver.h"
#include "platform/Library.h"

#include <stdexcept>
#include <string>
#include <vector>

inline constexpr const char* FakeDriverLibrary = "korvane_fake_full";

// The fake's state, reset to its defaults: every call answers 1.
inline FakeDriverState& ResetFakeDriver()
{
    void* symbol = platform::LibrarySymbol(platform::OpenLibrary(FakeDriverLibrary), FAKE_DRIVER_STATE_SYMBOL);
    if (symbol == nullptr)
        throw std::runtime_error("fake driver not found");
    auto& state = *static_cast<FakeDriverState*>(reinterpret_cast<void* (*)()>(symbol)());
    state = FakeDriverState{};
    return state;
}

// "name(number)" for each parameter call, "name" for the others: the order of the exchanges.
inline std::vector<std::string> CallNames(const FakeDriverState& state)
{
    std::vector<std::string> names;
    for (const FakeCall& call : state.calls) {
        if (call.name.rfind("Parameter_", 0) == 0)
            names.push_back(call.name + "(" + std::to_string(call.args.at(1)) + ")");
        else
            names.push_back(call.name);
    }
    return names;
}
