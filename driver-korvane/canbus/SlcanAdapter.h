// The adapter's side of the serial-line ASCII protocol: what a serial CAN adapter does with the
// commands and frames a PC sends it. The module simulator puts the module behind it on a serial
// line; tests use it as the peer of the library's serial transport.
#pragma once

#include "canbus/CanFrame.h"

#include <QByteArray>

#include <functional>
#include <optional>

namespace korvane::slcan {

class Adapter {
public:
    using ToPc = std::function<void(const QByteArray&)>;
    using ToBus = std::function<void(const CanFrame&)>;

    enum class Acknowledge { Lawicel, PlainCr }; // "z" CR after a sent frame, or CR alone

    Adapter(ToPc toPc, ToBus toBus, Acknowledge acknowledge = Acknowledge::Lawicel);

    // The adapter refuses to open its CAN channel, as one stuck in another mode would.
    void refuseOpen(bool refuse) { refuseOpen_ = refuse; }
    // The bus runs at `bitrate` (0: any): opened at another rate, the adapter hears nothing on
    // it and nothing it sends reaches it, as on a real bus.
    void setBusRate(uint32_t bitrate) { busRate_ = bitrate; }
    // Refuses every other frame, as an adapter whose transmit queue is full.
    void congest(bool congested) { congested_ = congested; }

    // Bytes from the PC.
    void fromPc(const QByteArray& bytes);
    // A frame seen on the bus reaches the PC while the channel is open.
    void fromBus(const CanFrame& frame);

    bool isOpen() const { return open_; }

private:
    void command(const QByteArray& line);
    bool onTheBus() const { return open_ && (busRate_ == 0 || selectedRate_ == busRate_); }

    ToPc toPc_;
    ToBus toBus_;
    Acknowledge acknowledge_;
    bool refuseOpen_ = false;
    bool rateSet_ = false;
    std::optional<uint32_t> selectedRate_;
    uint32_t busRate_ = 0;
    bool congested_ = false;
    bool lastRefused_ = false;
    bool open_ = false;
    QByteArray pending_;
};

} // namespace korvane::slcan
