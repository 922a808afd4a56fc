// Test helper: puts a simulated module with a given state where the driver library will find it.
// Construct it before the code under test calls ReadConfiguration: it writes the state file into
// the test sandbox and an interface.ini (transport=simulated) pointing at it, at the node-ID and
// bit rate the state's NodeId and Baud give (else 5 and 250k); afterwards it reads back what the
// module holds. The destructor
// removes both files.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <cstdint>

namespace testsupport {

class SimulatedModule {
public:
    enum ConnectionType { Usb = 0, Rs232 = 1 };

    // `state` in the state file's JSON form, e.g. {"memory": "abc", "faults": {"read": [16]}}.
    explicit SimulatedModule(const QByteArray& state = "{}", int connectionType = Usb);
    explicit SimulatedModule(const QJsonObject& state, int connectionType = Usb);
    ~SimulatedModule();
    SimulatedModule(const SimulatedModule&) = delete;
    SimulatedModule& operator=(const SimulatedModule&) = delete;

    // The registry path the tool hands to ReadConfiguration and SaveConfiguration.
    static const char* registryPath();
    QString statePath() const { return statePath_; }
    QString interfaceIniPath() const { return iniPath_; }

    // Replaces the state file, e.g. between two connections.
    void setState(const QByteArray& state);
    // Points interface.ini at another node-ID, e.g. where a stored NodeId moved the module.
    void configureNode(uint32_t node);
    // Sets interface.ini's bit rate, e.g. to where a stored Baud moved the module.
    void configureBitRate(uint32_t bitrate);

    // What the state file holds now; an unreadable file fails the test and gives {}.
    QJsonObject state() const;
    QByteArray rawState() const;
    QByteArray memory() const;          // from "memory_hex" or "memory"
    QJsonObject settings() const;       // as stored; missing settings are not filled in
    uint32_t setting(const QString& name) const; // the stored value, else the module's default
    QJsonObject clock() const;          // {} while the module runs on the PC clock
    QDateTime moduleClock() const;      // the module's clock now, as the state describes it
    QJsonObject faults() const;

private:
    void writeInterfaceIni() const;

    QString statePath_;
    QString iniPath_;
    int connectionType_;
    uint32_t node_;
    uint32_t bitrate_;
};

} // namespace testsupport
