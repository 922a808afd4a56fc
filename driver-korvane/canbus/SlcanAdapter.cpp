#include "canbus/SlcanAdapter.h"

#include "canbus/Slcan.h"

namespace korvane::slcan {

Adapter::Adapter(ToPc toPc, ToBus toBus, Acknowledge acknowledge)
    : toPc_(std::move(toPc)), toBus_(std::move(toBus)), acknowledge_(acknowledge)
{
}

void Adapter::fromPc(const QByteArray& bytes)
{
    pending_ += bytes;
    qsizetype start = 0;
    qsizetype end;
    while ((end = pending_.indexOf(kDone, start)) >= 0) {
        if (end - start > kMaxLine)
            toPc_(QByteArray(1, kRefused));
        else
            command(pending_.mid(start, end - start));
        start = end + 1;
    }
    keepUnfinishedLine(pending_, start);
}

void Adapter::fromBus(const CanFrame& frame)
{
    if (onTheBus())
        toPc_(encode(frame));
}

void Adapter::command(const QByteArray& line)
{
    const QByteArray done(1, kDone);
    const QByteArray refused(1, kRefused);
    const char kind = line.isEmpty() ? '\0' : line[0];
    switch (kind) {
    case 'C':
        open_ = false;
        toPc_(done);
        return;
    case 'S':
        // The rate can change only while the channel is closed.
        if (open_) {
            toPc_(refused);
            return;
        }
        rateSet_ = line.size() == 2 && line[1] >= '0' && line[1] <= '8';
        selectedRate_ = commandBitrate(line);
        toPc_(rateSet_ ? done : refused);
        return;
    case 'O':
        open_ = rateSet_ && !refuseOpen_;
        toPc_(open_ ? done : refused);
        return;
    case 'V': toPc_("V1013" + done); return;
    case 'N': toPc_("NSIM1" + done); return;
    case 'F': toPc_(open_ ? "F00" + done : refused); return;
    case 't':
        if (const auto frame = decode(line); frame && open_) {
            if (congested_ && (lastRefused_ = !lastRefused_))
                break;
            toPc_(acknowledge_ == Acknowledge::Lawicel ? "z" + done : done);
            if (onTheBus())
                toBus_(*frame);
            return;
        }
        break;
    default: break;
    }
    toPc_(refused);
}

} // namespace korvane::slcan
