// How an SDO transfer ended: done, or aborted by the module, by us, or by the transport under us,
// with the abort code where there is one. A module may abort with any code, 0 included; that is
// still the module's abort, never a lost adapter.
#pragma once

#include <cstdint>

namespace korvane::sdo {

struct Result {
    enum class EndedBy : uint8_t { Nobody, Module, Us, Transport };

    EndedBy by = EndedBy::Nobody;
    uint32_t code = 0; // the abort code sent (Us) or received (Module); 0 otherwise

    static constexpr Result done() { return {}; }
    static constexpr Result module(uint32_t code) { return {EndedBy::Module, code}; }
    static constexpr Result us(uint32_t code) { return {EndedBy::Us, code}; }
    static constexpr Result transport() { return {EndedBy::Transport, 0}; }

    constexpr bool ok() const { return by == EndedBy::Nobody; }
    friend constexpr bool operator==(const Result&, const Result&) = default;
};

} // namespace korvane::sdo
