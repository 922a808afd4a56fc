// What the fake driver libraries record and answer. Both the fakes and the tests include this;
// the tests reach the library's instance through FakeDriver_State().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FakeCall {
    std::string name;
    std::vector<uint64_t> args; // integer arguments as received, pointers as addresses
    std::string text;           // a path argument
    std::vector<uint8_t> bytes; // the block or array contents at the moment of the call
};

struct FakeDriverState {
    std::vector<FakeCall> calls;
    int32_t result = 1;                 // what every entry point answers
    uint32_t lastErrorOnFailure = 0;    // left by an OpenInterface that answers 0
    uint32_t handleToOpen = 0x00C0FFEE; // written by OpenInterface
    uint8_t u8Value = 0;
    uint32_t u32Value = 0;
    std::vector<uint8_t> arrayValue;
};

// Exported by every fake library; answers its FakeDriverState.
#define FAKE_DRIVER_STATE_SYMBOL "FakeDriver_State"
