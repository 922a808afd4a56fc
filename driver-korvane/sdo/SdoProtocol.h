// CANopen SDO facts shared by client and server: channel identifiers, command specifiers and the
// abort codes this library produces.
#pragma once

#include "canbus/CanFrame.h"

#include <cstdint>
#include <vector>

namespace korvane::sdo {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t requestId(uint8_t node) { return 0x600u + node; }
constexpr uint32_t responseId(uint8_t node) { return 0x580u + node; }

// Command specifiers, bits 7-5 of byte 0; the same value means different things in each direction.
enum ClientCommand : uint8_t {
    DownloadSegmentRequest = 0,
    InitiateDownloadRequest = 1,
    InitiateUploadRequest = 2,
    UploadSegmentRequest = 3,
    BlockUploadRequest = 5,
};
enum ServerCommand : uint8_t {
    UploadSegmentAnswer = 0,
    DownloadSegmentAnswer = 1,
    InitiateUploadAnswer = 2,
    InitiateDownloadAnswer = 3,
    BlockUploadAnswer = 6,
};
constexpr uint8_t AbortTransfer = 4;

constexpr uint8_t commandOf(const CanFrame& frame) { return frame.data[0] >> 5; }

enum AbortCode : uint32_t {
    ToggleNotAlternated = 0x05030000,
    ProtocolTimedOut = 0x05040000,
    UnknownCommand = 0x05040001,
    InvalidBlockSize = 0x05040002,
    InvalidSequence = 0x05040003,
    CrcError = 0x05040004,
    UnsupportedAccess = 0x06010000,
    ReadOfWriteOnly = 0x06010001,
    WriteOfReadOnly = 0x06010002,
    NoSuchObject = 0x06020000,
    HardwareError = 0x06060000,
    LengthMismatch = 0x06070010,
    LengthTooHigh = 0x06070012,
    NoSuchSubIndex = 0x06090011,
    ValueOutOfRange = 0x06090030,
    GeneralError = 0x08000000,
    CannotStore = 0x08000020,
    WrongDeviceState = 0x08000022,
};

// An 8-byte SDO frame on `id` with command byte `command` and the object's index and sub-index.
inline CanFrame frame(uint32_t id, uint8_t command, uint16_t index = 0, uint8_t sub = 0)
{
    CanFrame f;
    f.id = id;
    f.length = 8;
    f.data[0] = command;
    f.data[1] = uint8_t(index);
    f.data[2] = uint8_t(index >> 8);
    f.data[3] = sub;
    return f;
}

inline uint16_t indexOf(const CanFrame& f) { return uint16_t(f.data[1] | f.data[2] << 8); }
inline uint8_t subIndexOf(const CanFrame& f) { return f.data[3]; }

inline uint32_t word(const CanFrame& f)
{
    return uint32_t(f.data[4]) | uint32_t(f.data[5]) << 8 | uint32_t(f.data[6]) << 16 | uint32_t(f.data[7]) << 24;
}

inline void setWord(CanFrame& f, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        f.data[4 + i] = uint8_t(value >> (8 * i));
}

inline CanFrame abortFrame(uint32_t id, uint16_t index, uint8_t sub, uint32_t code)
{
    CanFrame f = frame(id, 0x80, index, sub);
    setWord(f, code);
    return f;
}

// CRC-16/XMODEM (x^16 + x^12 + x^5 + 1, initial 0), the checksum of a block transfer.
inline uint16_t blockCrc(const Bytes& bytes)
{
    uint16_t crc = 0;
    for (uint8_t byte : bytes) {
        crc ^= uint16_t(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = uint16_t(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

} // namespace korvane::sdo
