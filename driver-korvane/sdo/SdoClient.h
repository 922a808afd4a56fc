// The client side of the SDO protocol: reads and writes whole objects of one node, one transfer
// at a time. Every failure is an abort code, whether the server sent it or the client detected it.
#pragma once

#include "canbus/CanChannel.h"
#include "sdo/SdoProtocol.h"

namespace korvane::sdo {

class SdoClient {
public:
    // `timeout` applies to each expected answer, not to the whole transfer.
    SdoClient(CanChannel& channel, uint8_t node, std::chrono::milliseconds timeout);

    // Both answer 0 on success, else the abort code. An upload longer than `maxSize` is aborted.
    uint32_t upload(uint16_t index, uint8_t subIndex, Bytes& value, size_t maxSize);
    uint32_t download(uint16_t index, uint8_t subIndex, const Bytes& value);

private:
    uint32_t segmentedUpload(const CanFrame& initiate, Bytes& value, size_t maxSize);
    uint32_t segmentedDownload(const Bytes& value);
    // Sends `request` and waits for this node's next answer; a server abort comes back as its code.
    uint32_t exchange(const CanFrame& request, CanFrame& answer);
    // Ends the transfer on the server too, and answers `code`.
    uint32_t fail(uint32_t code);
    bool echoes(const CanFrame& answer) const;
    void dropStaleFrames();

    CanChannel& channel_;
    uint8_t node_;
    std::chrono::milliseconds timeout_;
    uint16_t index_ = 0;
    uint8_t subIndex_ = 0;
};

} // namespace korvane::sdo
