// An interface on a real bus: a CAN adapter through a Qt Serial Bus plugin, or a serial-line
// CAN adapter, with the module somewhere on that bus.
#pragma once

#include "api/Interface.h"
#include "canbus/CanChannel.h"

namespace korvane::api {

class BusInterface : public Interface {
public:
    static std::unique_ptr<Interface> open(const config::InterfaceConfig& config, OpenFailure& failure);

    BusInterface(std::unique_ptr<CanChannel> channel, const config::InterfaceConfig& config, uint8_t blockSize);

protected:
    sdo::SdoClient& client() override { return client_; }

private:
    std::unique_ptr<CanChannel> channel_;
    sdo::SdoClient client_;
};

} // namespace korvane::api
