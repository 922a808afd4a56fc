// The server side of the SDO protocol on one node: expedited and segmented transfers in both
// directions, aborting anything out of order. Block upload is offered when enabled.
#pragma once

#include "sdo/ObjectDictionary.h"

#include <functional>

namespace korvane::sdo {

class SdoServer {
public:
    using Send = std::function<void(const CanFrame&)>;

    SdoServer(ObjectDictionary& dictionary, uint8_t node, Send send);

    // Takes every frame seen on the bus; only requests to this node are answered.
    void handle(const CanFrame& frame);

private:
    enum class State { Idle, Uploading, Downloading };

    void initiateDownload(const CanFrame& request);
    void downloadSegment(const CanFrame& request);
    void initiateUpload(const CanFrame& request);
    void uploadSegment(const CanFrame& request);
    void abort(uint32_t code);
    void reply(const CanFrame& answer) { send_(answer); }

    ObjectDictionary& dictionary_;
    uint8_t node_;
    Send send_;

    State state_ = State::Idle;
    uint16_t index_ = 0;
    uint8_t subIndex_ = 0;
    uint8_t toggle_ = 0;
    Bytes buffer_;
    size_t position_ = 0;    // upload: bytes already sent
    bool sizeKnown_ = false; // download: the client stated the size
    size_t size_ = 0;
};

} // namespace korvane::sdo
