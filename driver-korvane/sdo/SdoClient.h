// The client side of the SDO protocol: reads and writes whole objects of one node, one transfer
// at a time. Every failure is an abort code, whether the server sent it or the client detected it.
// Nothing is ever repeated: reading a memory block or writing the erase command twice would not
// be the same as doing it once.
#pragma once

#include "canbus/CanChannel.h"
#include "sdo/SdoProtocol.h"

namespace korvane::sdo {

class SdoClient {
public:
    // `timeout` applies to each expected answer, not to the whole transfer.
    SdoClient(CanChannel& channel, uint8_t node, std::chrono::milliseconds timeout);

    // Segments per block of a block upload, 1-127; it must fit the adapter's receive buffer.
    // 0 turns block uploads off.
    void setBlockSize(uint8_t segments) { blockSize_ = segments; }

    enum class Upload { Normal, BlockIfOffered };

    // Both answer 0 on success, else the abort code. An upload longer than `maxSize` is aborted.
    // A block upload falls back to a normal one when the server does not offer it.
    uint32_t upload(uint16_t index, uint8_t subIndex, Bytes& value, size_t maxSize, Upload mode = Upload::Normal);
    uint32_t download(uint16_t index, uint8_t subIndex, const Bytes& value);

private:
    uint32_t normalUpload(Bytes& value, size_t maxSize);
    uint32_t blockUpload(Bytes& value, size_t maxSize);
    // Continues an upload after the server's initiate answer.
    uint32_t continueUpload(const CanFrame& initiate, Bytes& value, size_t maxSize);
    uint32_t segmentedUpload(const CanFrame& initiate, Bytes& value, size_t maxSize);
    uint32_t receiveBlocks(const CanFrame& initiate, Bytes& value, size_t maxSize);
    uint32_t segmentedDownload(const Bytes& value);
    // Sends `request` and waits for this node's next answer; a server abort comes back as its code.
    uint32_t exchange(const CanFrame& request, CanFrame& answer);
    enum class Expect { Answer, BlockSegment };
    uint32_t await(CanFrame& answer, Expect expect = Expect::Answer);
    // Ends the transfer on the server too, and answers `code`.
    uint32_t fail(uint32_t code);
    bool echoes(const CanFrame& answer) const;
    // Starts a transfer: remembers the object and drops answers left over from earlier ones.
    void begin(uint16_t index, uint8_t subIndex);

    CanChannel& channel_;
    uint8_t node_;
    std::chrono::milliseconds timeout_;
    uint8_t blockSize_ = 0;
    bool blockRefused_ = false; // the server answered a block upload with "unknown command"
    uint16_t index_ = 0;
    uint8_t subIndex_ = 0;
};

} // namespace korvane::sdo
