#include "sdo/SdoClient.h"

#include "sdo/StandardObjects.h"

#include <algorithm>

namespace korvane::sdo {

namespace {
// Objects up to this size come back as a normal upload even when a block upload is asked for:
// for a few bytes the block protocol costs more frames than it saves.
constexpr uint8_t kProtocolSwitchThreshold = 32;

// "0x06020000 object does not exist"; a code of no list stands as its number.
QString coded(uint32_t code)
{
    const char* text = abortText(code);
    return QString::asprintf("0x%08X", unsigned(code)) + (text ? QStringLiteral(" ") + QLatin1String(text) : QString());
}
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
    while (channel_.receive(stale, std::chrono::milliseconds(0)) == ReceiveStatus::Received)
        hear(stale);
}

void SdoClient::hear(const CanFrame& frame)
{
    busHeard_ = true;
    const uint32_t base = frame.id & ~0x7Fu;
    const uint32_t node = frame.id & 0x7Fu;
    if ((base == responseId(0) || base == heartbeatId(0)) && node != 0 && node != node_)
        heard_.set(node);
}

Result SdoClient::fail(uint32_t code)
{
    channel_.send(abortFrame(requestId(node_), index_, subIndex_, code));
    return Result::us(code);
}

Result SdoClient::send(const CanFrame& request)
{
    return channel_.send(request) ? Result::done() : Result::transport();
}

bool SdoClient::echoes(const CanFrame& answer) const
{
    return indexOf(answer) == index_ && subIndexOf(answer) == subIndex_;
}

Result SdoClient::exchange(const CanFrame& request, CanFrame& answer)
{
    if (const Result sent = send(request); !sent.ok())
        return sent;
    return await(answer);
}

Result SdoClient::await(CanFrame& answer, Expect expect)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        switch (channel_.receive(answer, std::max(left, std::chrono::milliseconds(0)))) {
        case ReceiveStatus::Failed: return Result::transport(); // the adapter is gone: nobody to tell
        case ReceiveStatus::TimedOut:
            // A controller that is bus-off sends nothing, our abort included.
            return channel_.busState() == CanChannel::BusState::Off ? Result::transport() : fail(ProtocolTimedOut);
        case ReceiveStatus::Received: break;
        }
        hear(answer);
        if (answer.id != responseId(node_))
            continue; // another node's traffic
        if (answer.length != 8)
            return fail(UnknownCommand);
        // A block segment's first byte is its sequence number; only 0x80 (number 0) is an abort there.
        const bool abort = expect == Expect::Answer ? commandOf(answer) == AbortTransfer : answer.data[0] == command::kAbort;
        return abort ? Result::module(word(answer)) : Result::done();
    }
}

Result SdoClient::upload(uint16_t index, uint8_t subIndex, Bytes& value, size_t maxSize, Upload mode)
{
    begin(index, subIndex);
    value.clear();
    if (mode == Upload::BlockIfOffered && blockSize_ && !blockRefused_) {
        const Result result = blockUpload(value, maxSize);
        if (!blockRefused_ || result != Result::module(UnknownCommand))
            return result;
        begin(index, subIndex);
    }
    return normalUpload(value, maxSize);
}

Result SdoClient::normalUpload(Bytes& value, size_t maxSize)
{
    CanFrame answer;
    if (const Result asked = exchange(frame(requestId(node_), command::kInitiateUpload, index_, subIndex_), answer); !asked.ok())
        return asked;
    return continueUpload(answer, value, maxSize);
}

Result SdoClient::continueUpload(const CanFrame& initiate, Bytes& value, size_t maxSize)
{
    if (commandOf(initiate) != InitiateUploadAnswer || !echoes(initiate))
        return fail(UnknownCommand);
    const uint8_t specifier = initiate.data[0];
    if (!(specifier & command::kExpedited))
        return segmentedUpload(initiate, value, maxSize);
    const size_t size = (specifier & command::kSizeIndicated) ? 4 - ((specifier >> 2) & 0x03) : 4;
    if (size > maxSize)
        return Result::us(LengthTooHigh); // the transfer is already complete on the server
    value.assign(initiate.data.begin() + 4, initiate.data.begin() + 4 + size);
    return Result::done();
}

Result SdoClient::segmentedUpload(const CanFrame& initiate, Bytes& value, size_t maxSize)
{
    const bool sized = initiate.data[0] & command::kSizeIndicated;
    const size_t announced = word(initiate);
    if (sized && announced > maxSize)
        return fail(LengthTooHigh);
    for (uint8_t toggle = 0;; toggle ^= 1) {
        CanFrame answer;
        const uint8_t request = uint8_t(command::kUploadSegment | (toggle ? command::kToggle : 0));
        if (const Result asked = exchange(frame(requestId(node_), request), answer); !asked.ok())
            return asked;
        const uint8_t specifier = answer.data[0];
        if (commandOf(answer) != UploadSegmentAnswer)
            return fail(UnknownCommand);
        if (bool(specifier & command::kToggle) != bool(toggle))
            return fail(ToggleNotAlternated);
        const size_t count = 7 - ((specifier >> 1) & 0x07);
        if (value.size() + count > (sized ? announced : maxSize))
            return fail(LengthTooHigh);
        value.insert(value.end(), answer.data.begin() + 1, answer.data.begin() + 1 + count);
        if (specifier & command::kLastSegment)
            return sized && value.size() != announced ? Result::us(LengthMismatch) : Result::done();
    }
}

Result SdoClient::blockUpload(Bytes& value, size_t maxSize)
{
    CanFrame request = frame(requestId(node_), command::kBlockUploadInitiate, index_, subIndex_);
    request.data[4] = blockSize_;
    request.data[5] = kProtocolSwitchThreshold;
    CanFrame answer;
    const Result asked = exchange(request, answer);
    if (asked == Result::module(UnknownCommand))
        blockRefused_ = true; // the server has no block transfer; don't ask again
    if (!asked.ok())
        return asked;
    if (commandOf(answer) == InitiateUploadAnswer)
        return continueUpload(answer, value, maxSize); // the server switched to a normal upload
    if (commandOf(answer) != BlockUploadAnswer || (answer.data[0] & 0x01) != 0 || !echoes(answer)) // ss 0: the initiate answer
        return fail(UnknownCommand);
    return receiveBlocks(answer, value, maxSize);
}

Result SdoClient::receiveBlocks(const CanFrame& initiate, Bytes& value, size_t maxSize)
{
    const bool crc = initiate.data[0] & command::kBlockCrc;
    const bool sized = initiate.data[0] & command::kBlockSizeIndicated;
    const size_t announced = word(initiate);
    if (sized && announced > maxSize)
        return fail(LengthTooHigh);
    if (const Result started = send(frame(requestId(node_), command::kBlockUploadStart)); !started.ok())
        return started;
    for (bool last = false; !last;) {
        uint8_t sequence = 0;
        while (sequence < blockSize_ && !last) {
            CanFrame segment;
            if (const Result received = await(segment, Expect::BlockSegment); !received.ok())
                return received;
            if ((segment.data[0] & ~command::kBlockLastSegment) != sequence + 1)
                return fail(InvalidSequence);
            if (value.size() > maxSize)
                return fail(LengthTooHigh);
            ++sequence;
            last = segment.data[0] & command::kBlockLastSegment;
            // The last segment may end in padding, cut off once the end frame tells how much.
            value.insert(value.end(), segment.data.begin() + 1, segment.data.end());
        }
        CanFrame ack = frame(requestId(node_), command::kBlockUploadAcknowledge);
        ack.data[1] = sequence;
        ack.data[2] = blockSize_;
        if (const Result sent = send(ack); !sent.ok())
            return sent;
    }
    CanFrame end;
    if (const Result ended = await(end); !ended.ok())
        return ended;
    if (commandOf(end) != BlockUploadAnswer || (end.data[0] & 0x03) != 1)
        return fail(UnknownCommand);
    value.resize(value.size() - ((end.data[0] >> 2) & 0x07));
    if (value.size() > maxSize)
        return fail(LengthTooHigh);
    if (sized && value.size() != announced)
        return fail(LengthMismatch);
    if (crc && blockCrc(value) != uint16_t(end.data[1] | end.data[2] << 8))
        return fail(CrcError);
    return send(frame(requestId(node_), command::kBlockUploadEnd));
}

Result SdoClient::download(uint16_t index, uint8_t subIndex, const Bytes& value)
{
    begin(index, subIndex);
    const bool expedited = !value.empty() && value.size() <= 4;
    CanFrame request = frame(requestId(node_),
                             expedited ? command::expedited(InitiateDownloadRequest, value.size())
                                       : command::kInitiateDownloadSized,
                             index, subIndex);
    if (expedited)
        std::copy(value.begin(), value.end(), request.data.begin() + 4);
    else
        setWord(request, uint32_t(value.size()));
    CanFrame answer;
    if (const Result asked = exchange(request, answer); !asked.ok())
        return asked;
    if (commandOf(answer) != InitiateDownloadAnswer || !echoes(answer))
        return fail(UnknownCommand);
    return expedited ? Result::done() : segmentedDownload(value);
}

Result SdoClient::segmentedDownload(const Bytes& value)
{
    size_t position = 0;
    // At least one segment: an empty value ends with one empty last segment.
    for (uint8_t toggle = 0;; toggle ^= 1) {
        const size_t count = std::min<size_t>(7, value.size() - position);
        const bool last = position + count == value.size();
        CanFrame request = frame(requestId(node_), command::segment(DownloadSegmentRequest, toggle, count, last));
        std::copy_n(value.begin() + position, count, request.data.begin() + 1);
        position += count;
        CanFrame answer;
        if (const Result asked = exchange(request, answer); !asked.ok())
            return asked;
        if (commandOf(answer) != DownloadSegmentAnswer)
            return fail(UnknownCommand);
        if (bool(answer.data[0] & command::kToggle) != bool(toggle))
            return fail(ToggleNotAlternated);
        if (last)
            return Result::done();
    }
}

QString SdoClient::othersHeard() const
{
    QStringList nodes;
    for (size_t node = 1; node < heard_.size(); ++node)
        if (heard_.test(node))
            nodes << QString::number(node);
    // A module at another bit rate is never heard; one at ours at least answers or beats.
    if (nodes.isEmpty())
        return busHeard_ ? QString() : QStringLiteral("; nothing was heard on the bus: the bit rate may be wrong, or no module is connected");
    return nodes.size() == 1 ? QStringLiteral("; a module answers at node-ID ") + nodes.front()
                             : QStringLiteral("; modules answer at node-IDs ") + nodes.join(QStringLiteral(", "));
}

QString SdoClient::describe(const Result& result)
{
    switch (result.by) {
    case Result::EndedBy::Nobody: return {};
    case Result::EndedBy::Module: return QStringLiteral("the module aborted the transfer: ") + coded(result.code);
    case Result::EndedBy::Us:
        if (result.code == ProtocolTimedOut)
            return QStringLiteral("no answer from node-ID %1 within %2 ms").arg(node_).arg(timeout_.count()) + othersHeard();
        return QStringLiteral("the transfer was aborted here: ") + coded(result.code);
    case Result::EndedBy::Transport:
        if (channel_.busState() == CanChannel::BusState::Off)
            return QStringLiteral("the bus is off");
        const QString why = channel_.error().message;
        return QStringLiteral("the adapter went away") + (why.isEmpty() ? QString() : QStringLiteral(": ") + why);
    }
    return {};
}

} // namespace korvane::sdo
