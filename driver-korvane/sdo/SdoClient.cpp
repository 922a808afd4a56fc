#include "sdo/SdoClient.h"

#include <algorithm>

namespace korvane::sdo {

namespace {
// Objects up to this size come back as a normal upload even when a block upload is asked for:
// for a few bytes the block protocol costs more frames than it saves.
constexpr uint8_t kProtocolSwitchThreshold = 32;
} // namespace

SdoClient::SdoClient(CanChannel& channel, uint8_t node, std::chrono::milliseconds timeout)
    : channel_(channel), node_(node), timeout_(timeout)
{
}

void SdoClient::begin(uint16_t index, uint8_t subIndex)
{
    index_ = index;
    subIndex_ = subIndex;
    CanFrame stale;
    while (channel_.receive(stale, std::chrono::milliseconds(0)) == ReceiveStatus::Received) {
    }
}

uint32_t SdoClient::fail(uint32_t code)
{
    channel_.send(abortFrame(requestId(node_), index_, subIndex_, code));
    return code;
}

bool SdoClient::echoes(const CanFrame& answer) const
{
    return indexOf(answer) == index_ && subIndexOf(answer) == subIndex_;
}

uint32_t SdoClient::exchange(const CanFrame& request, CanFrame& answer)
{
    if (!channel_.send(request))
        return GeneralError;
    return await(answer);
}

uint32_t SdoClient::await(CanFrame& answer, Expect expect)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        switch (channel_.receive(answer, std::max(left, std::chrono::milliseconds(0)))) {
        case ReceiveStatus::Failed: return GeneralError; // the adapter is gone: nobody to tell
        case ReceiveStatus::TimedOut: return fail(ProtocolTimedOut);
        case ReceiveStatus::Received: break;
        }
        if (answer.id != responseId(node_))
            continue; // another node's traffic
        if (answer.length != 8)
            return fail(UnknownCommand);
        // A block segment's first byte is its sequence number; only 0x80 (number 0) is an abort there.
        const bool abort = expect == Expect::Answer ? commandOf(answer) == AbortTransfer : answer.data[0] == 0x80;
        if (abort)
            return word(answer) ? word(answer) : GeneralError;
        return 0;
    }
}

uint32_t SdoClient::upload(uint16_t index, uint8_t subIndex, Bytes& value, size_t maxSize, Upload mode)
{
    begin(index, subIndex);
    value.clear();
    if (mode == Upload::BlockIfOffered && blockSize_ && !blockRefused_) {
        const uint32_t code = blockUpload(value, maxSize);
        if (code != UnknownCommand || !blockRefused_)
            return code;
        begin(index, subIndex);
    }
    return normalUpload(value, maxSize);
}

uint32_t SdoClient::normalUpload(Bytes& value, size_t maxSize)
{
    CanFrame answer;
    if (const uint32_t code = exchange(frame(requestId(node_), 0x40, index_, subIndex_), answer))
        return code;
    return continueUpload(answer, value, maxSize);
}

uint32_t SdoClient::continueUpload(const CanFrame& initiate, Bytes& value, size_t maxSize)
{
    if (commandOf(initiate) != InitiateUploadAnswer || !echoes(initiate))
        return fail(UnknownCommand);
    const uint8_t command = initiate.data[0];
    if (!(command & 0x02))
        return segmentedUpload(initiate, value, maxSize);
    const size_t size = (command & 0x01) ? 4 - ((command >> 2) & 0x03) : 4;
    if (size > maxSize)
        return LengthTooHigh; // the transfer is already complete on the server
    value.assign(initiate.data.begin() + 4, initiate.data.begin() + 4 + size);
    return 0;
}

uint32_t SdoClient::segmentedUpload(const CanFrame& initiate, Bytes& value, size_t maxSize)
{
    const bool sized = initiate.data[0] & 0x01;
    const size_t announced = word(initiate);
    if (sized && announced > maxSize)
        return fail(LengthTooHigh);
    for (uint8_t toggle = 0;; toggle ^= 1) {
        CanFrame answer;
        if (const uint32_t code = exchange(frame(requestId(node_), uint8_t(0x60 | toggle << 4)), answer))
            return code;
        const uint8_t command = answer.data[0];
        if (commandOf(answer) != UploadSegmentAnswer)
            return fail(UnknownCommand);
        if (((command >> 4) & 1) != toggle)
            return fail(ToggleNotAlternated);
        const size_t count = 7 - ((command >> 1) & 0x07);
        if (value.size() + count > (sized ? announced : maxSize))
            return fail(LengthTooHigh);
        value.insert(value.end(), answer.data.begin() + 1, answer.data.begin() + 1 + count);
        if (command & 0x01)
            return sized && value.size() != announced ? uint32_t(LengthMismatch) : 0u;
    }
}

uint32_t SdoClient::blockUpload(Bytes& value, size_t maxSize)
{
    CanFrame request = frame(requestId(node_), 0xA4, index_, subIndex_); // initiate, CRC supported
    request.data[4] = blockSize_;
    request.data[5] = kProtocolSwitchThreshold;
    CanFrame answer;
    const uint32_t code = exchange(request, answer);
    if (code == UnknownCommand)
        blockRefused_ = true; // the server has no block transfer; don't ask again
    if (code)
        return code;
    if (commandOf(answer) == InitiateUploadAnswer)
        return continueUpload(answer, value, maxSize); // the server switched to a normal upload
    if (commandOf(answer) != BlockUploadAnswer || (answer.data[0] & 0x01) != 0 || !echoes(answer))
        return fail(UnknownCommand);
    return receiveBlocks(answer, value, maxSize);
}

uint32_t SdoClient::receiveBlocks(const CanFrame& initiate, Bytes& value, size_t maxSize)
{
    const bool crc = initiate.data[0] & 0x04;
    const bool sized = initiate.data[0] & 0x02;
    const size_t announced = word(initiate);
    if (sized && announced > maxSize)
        return fail(LengthTooHigh);
    if (!channel_.send(frame(requestId(node_), 0xA3)))
        return GeneralError;
    for (bool last = false; !last;) {
        uint8_t sequence = 0;
        while (sequence < blockSize_ && !last) {
            CanFrame segment;
            if (const uint32_t code = await(segment, Expect::BlockSegment))
                return code;
            if ((segment.data[0] & 0x7F) != sequence + 1)
                return fail(InvalidSequence);
            if (value.size() > maxSize)
                return fail(LengthTooHigh);
            ++sequence;
            last = segment.data[0] & 0x80;
            // The last segment may end in padding, cut off once the end frame tells how much.
            value.insert(value.end(), segment.data.begin() + 1, segment.data.end());
        }
        CanFrame ack = frame(requestId(node_), 0xA2);
        ack.data[1] = sequence;
        ack.data[2] = blockSize_;
        if (!channel_.send(ack))
            return GeneralError;
    }
    CanFrame end;
    if (const uint32_t code = await(end))
        return code;
    if (commandOf(end) != BlockUploadAnswer || (end.data[0] & 0x03) != 1)
        return fail(UnknownCommand);
    value.resize(value.size() - ((end.data[0] >> 2) & 0x07));
    if (value.size() > maxSize)
        return fail(LengthTooHigh);
    if (sized && value.size() != announced)
        return fail(LengthMismatch);
    if (crc && blockCrc(value) != uint16_t(end.data[1] | end.data[2] << 8))
        return fail(CrcError);
    return channel_.send(frame(requestId(node_), 0xA1)) ? 0u : uint32_t(GeneralError);
}

uint32_t SdoClient::download(uint16_t index, uint8_t subIndex, const Bytes& value)
{
    begin(index, subIndex);
    const bool expedited = !value.empty() && value.size() <= 4;
    CanFrame request = frame(requestId(node_), expedited ? uint8_t(0x23 | (4 - value.size()) << 2) : 0x21, index,
                             subIndex);
    if (expedited)
        std::copy(value.begin(), value.end(), request.data.begin() + 4);
    else
        setWord(request, uint32_t(value.size()));
    CanFrame answer;
    if (const uint32_t code = exchange(request, answer))
        return code;
    if (commandOf(answer) != InitiateDownloadAnswer || !echoes(answer))
        return fail(UnknownCommand);
    return expedited ? 0 : segmentedDownload(value);
}

uint32_t SdoClient::segmentedDownload(const Bytes& value)
{
    size_t position = 0;
    // At least one segment: an empty value ends with one empty last segment.
    for (uint8_t toggle = 0;; toggle ^= 1) {
        const size_t count = std::min<size_t>(7, value.size() - position);
        const bool last = position + count == value.size();
        CanFrame request = frame(requestId(node_), uint8_t(toggle << 4 | (7 - count) << 1 | (last ? 1 : 0)));
        std::copy_n(value.begin() + position, count, request.data.begin() + 1);
        position += count;
        CanFrame answer;
        if (const uint32_t code = exchange(request, answer))
            return code;
        if (commandOf(answer) != DownloadSegmentAnswer)
            return fail(UnknownCommand);
        if (((answer.data[0] >> 4) & 1) != toggle)
            return fail(ToggleNotAlternated);
        if (last)
            return 0;
    }
}

} // namespace korvane::sdo
