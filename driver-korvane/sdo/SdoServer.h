// The server side of the SDO protocol on one node: expedited and segmented transfers in both
// directions and block uploads, aborting anything out of order.
#pragma once

#include "sdo/ObjectDictionary.h"

#include <functional>

namespace korvane::sdo {

class SdoServer {
public:
    using Send = std::function<void(const CanFrame&)>;

    SdoServer(ObjectDictionary& dictionary, uint8_t node, Send send);

    // A server without block transfers answers a block upload with "unknown command".
    void offerBlockUpload(bool offered) { blockOffered_ = offered; }

    // Takes every frame seen on the bus; only requests to this node are answered.
    void handle(const CanFrame& frame);

private:
    enum class State { Idle, Uploading, Downloading, BlockStarting, BlockUploading, BlockEnding };

    void initiateDownload(const CanFrame& request);
    void downloadSegment(const CanFrame& request);
    void initiateUpload(const CanFrame& request);
    void uploadSegment(const CanFrame& request);
    void blockUpload(const CanFrame& request);
    void initiateBlockUpload(const CanFrame& request);
    void acknowledgeBlock(const CanFrame& request);
    void sendBlock();
    // Answers an upload request with expedited data or the start of a segmented transfer.
    void startUpload(Bytes value);
    void abort(uint32_t code);
    void reply(const CanFrame& answer) { send_(answer); }

    ObjectDictionary& dictionary_;
    uint8_t node_;
    Send send_;
    bool blockOffered_ = true;

    State state_ = State::Idle;
    uint16_t index_ = 0;
    uint8_t subIndex_ = 0;
    uint8_t toggle_ = 0;
    Bytes buffer_;
    size_t position_ = 0;    // upload: bytes already sent
    bool sizeKnown_ = false; // download: the client stated the size
    size_t size_ = 0;
    uint8_t blockSize_ = 0;  // block upload: segments per block
    uint8_t sequence_ = 0;   // segments sent in the current block
    size_t blockStart_ = 0;  // position of the current block's first byte
    bool lastSent_ = false;  // the current block holds the last segment
};

} // namespace korvane::sdo
