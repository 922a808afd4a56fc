// The client side of the SDO protocol: reads and writes whole objects of one node, one transfer
// at a time. Every transfer answers who ended it (see SdoResult.h), and describe() says it in
// words. Nothing is ever repeated: reading a memory block or writing the erase command twice
// would not be the same as doing it once.
#pragma once

#include "canbus/CanChannel.h"
#include "sdo/SdoProtocol.h"
#include "sdo/SdoResult.h"

#include <QString>
#include <QStringList>

#include <bitset>

namespace korvane::sdo {

class SdoClient {
public:
    // `timeout` applies to each expected answer, not to the whole transfer.
    SdoClient(CanChannel& channel, uint8_t node, std::chrono::milliseconds timeout);

    // Segments per block of a block upload, 1-127; it must fit the adapter's receive buffer.
    // 0 turns block uploads off.
    void setBlockSize(uint8_t segments) { blockSize_ = segments; }

    enum class Upload { Normal, BlockIfOffered };

    // An upload longer than `maxSize` is aborted. A block upload falls back to a normal one when
    // the server does not offer it.
    Result upload(uint16_t index, uint8_t subIndex, Bytes& value, size_t maxSize, Upload mode = Upload::Normal);
    Result download(uint16_t index, uint8_t subIndex, const Bytes& value);

    // The reason of a failed transfer, e.g. "the module aborted the transfer: 0x06020000 object
    // does not exist" or "no answer from node-ID 5 within 500 ms; a module answers at node-ID 9".
    QString describe(const Result& result);

private:
    Result normalUpload(Bytes& value, size_t maxSize);
    Result blockUpload(Bytes& value, size_t maxSize);
    // Continues an upload after the server's initiate answer.
    Result continueUpload(const CanFrame& initiate, Bytes& value, size_t maxSize);
    Result segmentedUpload(const CanFrame& initiate, Bytes& value, size_t maxSize);
    Result receiveBlocks(const CanFrame& initiate, Bytes& value, size_t maxSize);
    Result segmentedDownload(const Bytes& value);
    // Sends `request` and waits for this node's next answer.
    Result exchange(const CanFrame& request, CanFrame& answer);
    Result send(const CanFrame& request);
    enum class Expect { Answer, BlockSegment };
    Result await(CanFrame& answer, Expect expect = Expect::Answer);
    // Ends the transfer on the server too.
    Result fail(uint32_t code);
    bool echoes(const CanFrame& answer) const;
    // Starts a transfer: remembers the object and drops answers left over from earlier ones.
    void begin(uint16_t index, uint8_t subIndex);
    // Notes every frame heard, and another node that was (an SDO answer, boot-up or heartbeat),
    // so that a timeout can name who does answer.
    void hear(const CanFrame& frame);
    // "; a module answers at node-ID 9", a word on the bit rate when nothing at all was heard, or
    // nothing.
    QString othersHeard() const;

    CanChannel& channel_;
    uint8_t node_;
    std::chrono::milliseconds timeout_;
    uint8_t blockSize_ = 0;
    bool blockRefused_ = false; // the server answered a block upload with "unknown command"
    uint16_t index_ = 0;
    uint8_t subIndex_ = 0;
    std::bitset<128> heard_;
    bool busHeard_ = false; // any frame since the interface opened
};

} // namespace korvane::sdo
