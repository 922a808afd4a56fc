// Where the simulated module meets the PC: a CAN bus through a Qt CAN plugin, or a serial line
// (a serial port or a pseudo-terminal) with a simulated serial CAN adapter in front of the module.
#pragma once

#include "SimulatedNode.h"
#include "canbus/SlcanAdapter.h"

#include <QObject>

#include <memory>

class QCanBusDevice;
class QSerialPort;
class QSocketNotifier;

// Each answers false, with a message on standard error, when it cannot start; on success it
// prints one line on standard output (the device, or the pseudo-terminal's path) and serves.
class CanBusPort : public QObject {
public:
    CanBusPort(SimulatedNodes& nodes, const QString& plugin, const QString& device);
    ~CanBusPort() override;
    bool start();

private:
    SimulatedNodes& nodes_;
    QString plugin_;
    QString deviceName_;
    QCanBusDevice* device_ = nullptr;
};

class SerialLinePort : public QObject {
public:
    // `timedLineRate`: characters take their time at this rate in each direction (0: none).
    // `busRate`: the modules' bit rate, at which the PC must open the adapter to reach them.
    SerialLinePort(SimulatedNodes& nodes, bool refuseOpen, uint32_t timedLineRate, uint32_t busRate);
    ~SerialLinePort() override;
    bool startSerial(const QString& path, int lineRate);
    bool startPseudoTerminal();

private:
    void fromPc(const QByteArray& bytes);
    void toPc(const QByteArray& bytes);
    void readTerminal();

    SimulatedNodes& nodes_;
    uint32_t lineRate_;
    korvane::wire::Schedule fromPc_;
    korvane::wire::Schedule toPc_;
    korvane::wire::Clock::time_point lineEnd_{}; // of what the PC wrote last
    // When what the adapter sends the PC next may start: the end of the PC's line, of a module's frame.
    korvane::wire::Clock::time_point readyAt_{};
    korvane::slcan::Adapter adapter_;
    QSerialPort* serial_ = nullptr;
    int master_ = -1;
    int slave_ = -1; // held open so the line stays up between clients
    QSocketNotifier* notifier_ = nullptr;
};
