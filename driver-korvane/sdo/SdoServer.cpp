#include "sdo/SdoServer.h"

#include <algorithm>

namespace korvane::sdo {

namespace {
// A segmented download longer than this is refused rather than buffered without end.
constexpr size_t kMaxDownload = 4096;
} // namespace

SdoServer::SdoServer(ObjectDictionary& dictionary, uint8_t node, Send send)
    : dictionary_(dictionary), node_(node), send_(std::move(send))
{
}

void SdoServer::handle(const CanFrame& request)
{
    if (request.id != requestId(node_))
        return;
    if (request.length != 8) {
        abort(UnknownCommand);
        return;
    }
    switch (commandOf(request)) {
    case InitiateDownloadRequest: initiateDownload(request); break;
    case DownloadSegmentRequest: downloadSegment(request); break;
    case InitiateUploadRequest: initiateUpload(request); break;
    case UploadSegmentRequest: uploadSegment(request); break;
    case AbortTransfer: state_ = State::Idle; break;
    case BlockUploadRequest:
        if (blockOffered_) {
            blockUpload(request);
            break;
        }
        [[fallthrough]];
    default:
        index_ = indexOf(request);
        subIndex_ = subIndexOf(request);
        abort(UnknownCommand);
    }
}

void SdoServer::abort(uint32_t code)
{
    state_ = State::Idle;
    reply(abortFrame(responseId(node_), index_, subIndex_, code));
}

void SdoServer::initiateDownload(const CanFrame& request)
{
    // A new initiate ends whatever transfer was still open.
    state_ = State::Idle;
    index_ = indexOf(request);
    subIndex_ = subIndexOf(request);
    const uint8_t specifier = request.data[0];
    const bool expedited = specifier & command::kExpedited;
    const bool sized = specifier & command::kSizeIndicated;
    if (expedited) {
        const size_t size = sized ? 4 - ((specifier >> 2) & 0x03) : 4;
        const Bytes value(request.data.begin() + 4, request.data.begin() + 4 + size);
        if (const uint32_t code = dictionary_.write(index_, subIndex_, value))
            abort(code);
        else
            reply(frame(responseId(node_), command::kInitiateDownloadAnswer, index_, subIndex_));
        return;
    }
    sizeKnown_ = sized;
    size_ = sized ? word(request) : 0;
    if (sizeKnown_ && size_ > kMaxDownload) {
        abort(LengthTooHigh);
        return;
    }
    buffer_.clear();
    toggle_ = 0;
    state_ = State::Downloading;
    reply(frame(responseId(node_), command::kInitiateDownloadAnswer, index_, subIndex_));
}

void SdoServer::downloadSegment(const CanFrame& request)
{
    if (state_ != State::Downloading) {
        abort(UnknownCommand);
        return;
    }
    const uint8_t specifier = request.data[0];
    const uint8_t toggle = (specifier & command::kToggle) ? 1 : 0;
    if (toggle != toggle_) {
        abort(ToggleNotAlternated);
        return;
    }
    const size_t count = 7 - ((specifier >> 1) & 0x07);
    buffer_.insert(buffer_.end(), request.data.begin() + 1, request.data.begin() + 1 + count);
    if (buffer_.size() > (sizeKnown_ ? size_ : kMaxDownload)) {
        abort(LengthTooHigh);
        return;
    }
    toggle_ ^= 1;
    CanFrame answer;
    answer.id = responseId(node_);
    answer.length = 8;
    answer.data[0] = uint8_t(command::kDownloadSegmentAnswer | (toggle ? command::kToggle : 0));
    if (!(specifier & command::kLastSegment)) {
        reply(answer);
        return;
    }
    state_ = State::Idle;
    if (sizeKnown_ && buffer_.size() != size_)
        abort(LengthMismatch);
    else if (const uint32_t code = dictionary_.write(index_, subIndex_, buffer_))
        abort(code);
    else
        reply(answer);
}

void SdoServer::initiateUpload(const CanFrame& request)
{
    state_ = State::Idle;
    index_ = indexOf(request);
    subIndex_ = subIndexOf(request);
    Bytes value;
    if (const uint32_t code = dictionary_.read(index_, subIndex_, value)) {
        abort(code);
        return;
    }
    startUpload(std::move(value));
}

void SdoServer::startUpload(Bytes value)
{
    if (!value.empty() && value.size() <= 4) {
        CanFrame answer = frame(responseId(node_), command::expedited(InitiateUploadAnswer, value.size()), index_, subIndex_);
        std::copy(value.begin(), value.end(), answer.data.begin() + 4);
        reply(answer);
        return;
    }
    // Segmented, also for an empty value: expedited cannot say "no bytes".
    buffer_ = std::move(value);
    position_ = 0;
    toggle_ = 0;
    state_ = State::Uploading;
    CanFrame answer = frame(responseId(node_), command::kInitiateUploadSized, index_, subIndex_);
    setWord(answer, uint32_t(buffer_.size()));
    reply(answer);
}

void SdoServer::uploadSegment(const CanFrame& request)
{
    if (state_ != State::Uploading) {
        abort(UnknownCommand);
        return;
    }
    const uint8_t toggle = (request.data[0] & command::kToggle) ? 1 : 0;
    if (toggle != toggle_) {
        abort(ToggleNotAlternated);
        return;
    }
    const size_t count = std::min<size_t>(7, buffer_.size() - position_);
    const bool last = position_ + count == buffer_.size();
    CanFrame answer;
    answer.id = responseId(node_);
    answer.length = 8;
    answer.data[0] = command::segment(UploadSegmentAnswer, toggle, count, last);
    std::copy_n(buffer_.begin() + position_, count, answer.data.begin() + 1);
    position_ += count;
    toggle_ ^= 1;
    if (last)
        state_ = State::Idle;
    reply(answer);
}

void SdoServer::blockUpload(const CanFrame& request)
{
    switch (request.data[0] & 0x03) {
    case 0: initiateBlockUpload(request); return;
    case 3: // start
        if (state_ != State::BlockStarting)
            break;
        state_ = State::BlockUploading;
        sendBlock();
        return;
    case 2: // a block received
        if (state_ != State::BlockUploading)
            break;
        acknowledgeBlock(request);
        return;
    case 1: // end confirmed
        if (state_ != State::BlockEnding)
            break;
        state_ = State::Idle;
        return;
    }
    abort(UnknownCommand);
}

void SdoServer::initiateBlockUpload(const CanFrame& request)
{
    state_ = State::Idle;
    index_ = indexOf(request);
    subIndex_ = subIndexOf(request);
    const uint8_t blockSize = request.data[4];
    const uint8_t switchThreshold = request.data[5];
    if (blockSize < 1 || blockSize > 127) {
        abort(InvalidBlockSize);
        return;
    }
    Bytes value;
    if (const uint32_t code = dictionary_.read(index_, subIndex_, value)) {
        abort(code);
        return;
    }
    if (value.size() <= switchThreshold) {
        startUpload(std::move(value));
        return;
    }
    buffer_ = std::move(value);
    blockSize_ = blockSize;
    position_ = 0;
    state_ = State::BlockStarting;
    CanFrame answer = frame(responseId(node_), command::kBlockUploadAnswer, index_, subIndex_);
    setWord(answer, uint32_t(buffer_.size()));
    reply(answer);
}

void SdoServer::sendBlock()
{
    blockStart_ = position_;
    sequence_ = 0;
    lastSent_ = false;
    while (sequence_ < blockSize_ && !lastSent_) {
        const size_t count = std::min<size_t>(7, buffer_.size() - position_);
        lastSent_ = position_ + count == buffer_.size();
        CanFrame segment;
        segment.id = responseId(node_);
        segment.length = 8;
        segment.data[0] = uint8_t(++sequence_ | (lastSent_ ? command::kBlockLastSegment : 0));
        std::copy_n(buffer_.begin() + position_, count, segment.data.begin() + 1);
        position_ += count;
        reply(segment);
    }
}

void SdoServer::acknowledgeBlock(const CanFrame& request)
{
    const uint8_t acknowledged = request.data[1];
    const uint8_t nextBlockSize = request.data[2];
    if (acknowledged > sequence_) {
        abort(InvalidSequence);
        return;
    }
    if (nextBlockSize < 1 || nextBlockSize > 127) {
        abort(InvalidBlockSize);
        return;
    }
    blockSize_ = nextBlockSize;
    if (lastSent_ && acknowledged == sequence_) {
        const size_t inLast = buffer_.empty() ? 0 : (buffer_.size() - 1) % 7 + 1;
        CanFrame end;
        end.id = responseId(node_);
        end.length = 8;
        end.data[0] = uint8_t(command::kBlockUploadEndAnswer | (7 - inLast) << 2);
        const uint16_t crc = blockCrc(buffer_);
        end.data[1] = uint8_t(crc);
        end.data[2] = uint8_t(crc >> 8);
        state_ = State::BlockEnding;
        reply(end);
        return;
    }
    // Resend from the first segment the client did not get in order.
    position_ = std::min(buffer_.size(), blockStart_ + size_t(acknowledged) * 7);
    sendBlock();
}

} // namespace korvane::sdo
