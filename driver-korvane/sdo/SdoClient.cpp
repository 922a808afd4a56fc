#include "sdo/SdoClient.h"

#include <algorithm>

namespace korvane::sdo {

SdoClient::SdoClient(CanChannel& channel, uint8_t node, std::chrono::milliseconds timeout)
    : channel_(channel), node_(node), timeout_(timeout)
{
}

void SdoClient::dropStaleFrames()
{
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
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        switch (channel_.receive(answer, std::max(left, std::chrono::milliseconds(0)))) {
        case ReceiveStatus::Failed: return GeneralError;
        case ReceiveStatus::TimedOut: return fail(ProtocolTimedOut);
        case ReceiveStatus::Received: break;
        }
        if (answer.id != responseId(node_))
            continue; // another node's traffic
        if (answer.length != 8)
            return fail(UnknownCommand);
        if (commandOf(answer) == AbortTransfer)
            return word(answer) ? word(answer) : GeneralError;
        return 0;
    }
}

uint32_t SdoClient::upload(uint16_t index, uint8_t subIndex, Bytes& value, size_t maxSize)
{
    index_ = index;
    subIndex_ = subIndex;
    value.clear();
    dropStaleFrames();
    CanFrame answer;
    if (const uint32_t code = exchange(frame(requestId(node_), 0x40, index, subIndex), answer))
        return code;
    if (commandOf(answer) != InitiateUploadAnswer || !echoes(answer))
        return fail(UnknownCommand);
    const uint8_t command = answer.data[0];
    if (!(command & 0x02))
        return segmentedUpload(answer, value, maxSize);
    const size_t size = (command & 0x01) ? 4 - ((command >> 2) & 0x03) : 4;
    if (size > maxSize)
        return LengthTooHigh; // the transfer is already complete on the server
    value.assign(answer.data.begin() + 4, answer.data.begin() + 4 + size);
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

uint32_t SdoClient::download(uint16_t index, uint8_t subIndex, const Bytes& value)
{
    index_ = index;
    subIndex_ = subIndex;
    dropStaleFrames();
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
