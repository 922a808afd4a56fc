// An open interface: an SDO client over the channel of some transport, reaching the module's
// parameters. During a memory read-out the next block is read ahead (ReadAhead.h): after a read of
// parameter 14 that delivered data, the next read of 14 starts at once while the tool writes the
// block and sleeps, and the tool's next read of 14 takes it. Every other call, and the end of the
// interface, first waits for it and drops it; nothing is ever sent twice.
#pragma once

#include "api/ReadAhead.h"
#include "canbus/CanChannel.h"
#include "config/InterfaceConfig.h"
#include "sdo/SdoClient.h"

#include <memory>
#include <optional>

namespace korvane::api {

class Interface {
public:
    Interface(std::unique_ptr<CanChannel> channel, const config::InterfaceConfig& config, uint8_t blockSize);

    // Each answers true when the module delivered or took the value, else false with the reason,
    // e.g. "parameter 14: no answer from node-ID 5 within 500 ms". `size` is 1, 2 or 4 bytes.
    bool getUnsigned(uint32_t number, size_t size, uint32_t& value, QString& reason);
    bool setUnsigned(uint32_t number, size_t size, uint32_t value, QString& reason);
    bool getArray(uint32_t number, uint8_t& count, uint8_t* buffer, QString& reason);
    bool setArray(uint32_t number, uint8_t count, const uint8_t* bytes, QString& reason);

    // CiA 301 objects of the module: a u32 (0x1000, 0x1018:n) or a visible string of at most 255
    // bytes; the reason names the object, e.g. "object 0x1018:04: ...".
    bool getObjectU32(uint16_t index, uint8_t subIndex, uint32_t& value, QString& reason);
    bool getObjectText(uint16_t index, uint8_t& count, uint8_t* buffer, QString& reason);

private:
    Upload upload(uint16_t index);
    // Waits for the block read ahead, if one is under way, and drops it.
    void settle() { ahead_.take(false); }

    // An unsigned value of `size` bytes; `what` names it in the reason ("parameter 12").
    bool readUnsigned(const QString& what, uint16_t index, uint8_t subIndex, size_t size, uint32_t& value, QString& reason);
    static void copyOut(const sdo::Bytes& bytes, uint8_t& count, uint8_t* buffer);
    // False, with the reason, for a transfer that failed.
    bool done(const QString& what, const sdo::Result& result, QString& reason);
    static bool failed(const QString& what, const QString& why, QString& reason);

    std::unique_ptr<CanChannel> channel_;
    sdo::SdoClient client_;
    ReadAhead ahead_; // reads with the two above, so it ends first
};

// Opens the configured transport; nullptr, with the reason, when it cannot be opened.
std::unique_ptr<Interface> openInterface(const config::InterfaceConfig& config, OpenFailure& failure);

} // namespace korvane::api
