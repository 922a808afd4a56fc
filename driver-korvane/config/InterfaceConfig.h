// The interface configuration: what OpenInterface connects to. It travels in the tool's 300-byte
// configuration block and is kept in interface.ini under the user's configuration folder.
//
// Block layout (32-bit words little-endian, texts UTF-8 and zero-terminated):
//   bytes   0-3    0x00040001, written by the tool before the configuration dialog; not used here
//   bytes   4-7    transport: 0 none configured (= simulated), 1 simulated, 2 can, 3 serial,
//                  0xFFFFFFFF the saved configuration could not be read; after a successful
//                  OpenInterface the kind of interface opened (1, 2 or 3), which the tool shows
//   bytes   8-11   node-ID of the module, 1-127
//   bytes  12-15   connection type: 0 USB, 1 RS232
//   bytes  16-19   bit rate in bit/s
//   bytes  20-23   SDO answer timeout in milliseconds
//   bytes  24-27   serial line rate in bit/s (transport serial)
//   bytes  28-55   Qt Serial Bus plugin name (transport can)
//   bytes  56-119  device: CAN device name or serial port
//   bytes 120-299  module state file of the simulated module; empty = the default file
#pragma once

#include <QString>

#include <cstdint>

namespace korvane::config {

enum class Transport : uint32_t { Unset = 0, Simulated = 1, Can = 2, Serial = 3, Unreadable = 0xFFFFFFFF };

struct InterfaceConfig {
    Transport transport = Transport::Simulated;
    uint32_t nodeId = 5;
    uint32_t connectionType = 0;
    uint32_t bitrate = 250000;
    uint32_t sdoTimeoutMs = 500;
    uint32_t serialBaud = 115200;
    QString plugin;
    QString device;
    QString moduleState;

    friend bool operator==(const InterfaceConfig&, const InterfaceConfig&) = default;
};

constexpr uint32_t kBitrates[] = {10000, 20000, 50000, 100000, 125000, 250000, 500000, 1000000};

// False, with the reason, when a text does not fit its field of the block.
bool toBlock(const InterfaceConfig& config, uint8_t* block, QString& error);
InterfaceConfig fromBlock(const uint8_t* block);
// A block telling OpenInterface that the saved configuration is unusable.
void markUnreadable(uint8_t* block);
// Leaves the kind of the interface just opened in the block.
void markOpened(uint8_t* block, Transport opened);

// The interface.ini that stands for a registry path such as "\Software\Velmora\CANopen Quillfen App\":
// $XDG_CONFIG_HOME (else ~/.config)/Velmora/CANopen Quillfen App/interface.ini. Empty when the
// path names no folder or tries to leave the configuration folder.
QString configFileFor(const QString& registryPath);

// Reads interface.ini; a missing file gives the defaults with transport Unset (the simulated module).
bool readConfigFile(const QString& file, InterfaceConfig& config, QString& error);
bool writeConfigFile(const QString& file, const InterfaceConfig& config, QString& error);

// Checks the values' ranges; used for the file and for the block alike.
bool validate(const InterfaceConfig& config, QString& error);
// How every call that meets a refused configuration words it (README quotes it), with the fault
// where it is known.
QString unusableConfiguration(const QString& fault);

// The connection type follows from a real adapter: a Qt CAN plugin is USB, a serial-line adapter
// RS232. Only the simulated module takes it as configured.
void deriveConnectionType(InterfaceConfig& config);

constexpr uint32_t kSerialBauds[] = {2400, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

} // namespace korvane::config
