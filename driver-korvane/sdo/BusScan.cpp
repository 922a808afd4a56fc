#include "sdo/BusScan.h"

#include "sdo/SdoClient.h"
#include "sdo/StandardObjects.h"

#include <bitset>
#include <map>

namespace korvane::sdo {

namespace {

using Clock = std::chrono::steady_clock;

CanFrame deviceTypeRequest(uint8_t node) { return frame(requestId(node), command::kInitiateUpload, object::DeviceType, 0); }

class Scan {
public:
    Scan(CanChannel& channel, const ScanSettings& settings) : channel_(channel), settings_(settings) {}

    bool run(QString& error)
    {
        if (!listen() || !ask())
            return failed(error);
        for (auto& [node, module] : found_)
            readIdentity(module);
        return true;
    }

    std::vector<FoundModule> modules() const
    {
        std::vector<FoundModule> list;
        for (const auto& [node, module] : found_)
            list.push_back(module);
        return list;
    }

private:
    bool failed(QString& error)
    {
        error = channel_.error().message;
        if (error.isEmpty())
            error = QStringLiteral("the adapter went away");
        return false;
    }

    bool listen()
    {
        const auto end = Clock::now() + settings_.listen;
        while (Clock::now() < end)
            if (!take(end))
                return false;
        return true;
    }

    // Requests leave at the bus's pace: the adapter is assumed to send one per frame gap, and
    // the scan stays at most `depth` frames ahead of it, so a queue that silently drops on
    // overflow never overflows. One that says it is full is waited for.
    bool ask()
    {
        const auto gap = std::chrono::duration_cast<Clock::duration>(std::max(settings_.frameGap, std::chrono::microseconds(1)));
        const auto ahead = gap * int64_t(settings_.depth > 0 ? settings_.depth - 1 : 0);
        auto busFree = Clock::now(); // when the adapter's queue runs empty, as far as the scan can tell
        for (int node = 1; node <= 127; ++node) {
            while (busFree - Clock::now() > ahead)
                if (!take(busFree - ahead))
                    return false;
            for (;;) {
                const OfferStatus status = channel_.offer(deviceTypeRequest(uint8_t(node)));
                if (status == OfferStatus::Sent)
                    break;
                if (status == OfferStatus::Failed)
                    return false;
                // Back-pressure: the queue drains at the bus's pace; answers may come meanwhile.
                if (!take(Clock::now() + std::chrono::milliseconds(1)))
                    return false;
            }
            busFree = std::max(busFree, Clock::now()) + gap;
            asked_.set(size_t(node));
            if (!take(Clock::now()))
                return false;
        }
        const auto end = Clock::now() + settings_.answerWindow;
        while (Clock::now() < end)
            if (!take(end))
                return false;
        return true;
    }

    // Waits until `until` for one frame and notes what it says; false when the adapter is gone.
    bool take(Clock::time_point until)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        CanFrame frame;
        const ReceiveStatus status = channel_.receive(frame, std::max(left, std::chrono::milliseconds(0)));
        if (status == ReceiveStatus::Failed)
            return false;
        if (status == ReceiveStatus::Received)
            note(frame);
        return true;
    }

    void note(const CanFrame& frame)
    {
        const uint8_t node = uint8_t(frame.id & 0x7F);
        if (node == 0)
            return;
        if (frame.id == heartbeatId(node)) {
            heard_.set(node);
            if (const auto known = found_.find(node); known != found_.end())
                known->second.heard = true;
            return;
        }
        if (frame.id != responseId(node) || frame.length != 8 || !asked_.test(node))
            return;
        if (indexOf(frame) != object::DeviceType || subIndexOf(frame) != 0)
            return;
        const uint8_t command = commandOf(frame);
        if (command != InitiateUploadAnswer && command != AbortTransfer)
            return;
        FoundModule& module = found_[node];
        module.node = node;
        module.heard = heard_.test(node);
        const bool expeditedWord = command == InitiateUploadAnswer && (frame.data[0] & command::kExpedited)
                                   && (!(frame.data[0] & command::kSizeIndicated) || ((frame.data[0] >> 2) & 3) == 0);
        if (expeditedWord)
            module.deviceType = word(frame);
    }

    void readIdentity(FoundModule& module)
    {
        SdoClient client(channel_, module.node, settings_.identityTimeout);
        const auto number = [&](uint8_t sub, std::optional<uint32_t>& field) {
            Bytes value;
            if (client.upload(object::Identity, sub, value, 4).ok() && value.size() == 4)
                field = uint32_t(value[0]) | uint32_t(value[1]) << 8 | uint32_t(value[2]) << 16 | uint32_t(value[3]) << 24;
        };
        number(VendorId, module.vendorId);
        number(ProductCode, module.productCode);
        number(Revision, module.revision);
        number(SerialNumber, module.serialNumber);
        Bytes name;
        if (client.upload(object::DeviceName, 0, name, 255).ok())
            module.deviceName = QString::fromUtf8(reinterpret_cast<const char*>(name.data()), qsizetype(name.size()));
    }

    CanChannel& channel_;
    const ScanSettings& settings_;
    std::bitset<128> asked_;
    std::bitset<128> heard_;
    std::map<uint8_t, FoundModule> found_;
};

} // namespace

std::optional<std::vector<FoundModule>> scanBus(CanChannel& channel, const ScanSettings& settings, QString& error)
{
    Scan scan(channel, settings);
    if (!scan.run(error))
        return std::nullopt;
    return scan.modules();
}

std::chrono::microseconds frameTime(uint32_t bitrate)
{
    return bitrate ? std::chrono::microseconds((135ull * 1000000 + bitrate - 1) / bitrate) : std::chrono::microseconds(0);
}

} // namespace korvane::sdo
