// CANopen SDO facts shared by client and server: channel identifiers, command bytes and the abort
// codes with their texts.
#pragma once

#include "canbus/CanFrame.h"

#include <cstddef>
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

// Whole command bytes (byte 0) as sent; the flags follow CiA 301's names.
namespace command {
constexpr uint8_t kToggle = 0x10;           // t: segments alternate it, starting with 0
constexpr uint8_t kLastSegment = 0x01;      // c: no more segments follow
constexpr uint8_t kExpedited = 0x02;        // e: the data is in this frame
constexpr uint8_t kSizeIndicated = 0x01;    // s: the size is stated
constexpr uint8_t kBlockCrc = 0x04;         // cc / sc: block transfers carry a CRC
constexpr uint8_t kBlockSizeIndicated = 0x02;
constexpr uint8_t kBlockLastSegment = 0x80; // c of a block segment, beside its sequence number

constexpr uint8_t kInitiateUpload = InitiateUploadRequest << 5;                        // 0x40
constexpr uint8_t kUploadSegment = UploadSegmentRequest << 5;                          // 0x60, | toggle
constexpr uint8_t kInitiateDownloadSized = InitiateDownloadRequest << 5 | kSizeIndicated; // 0x21
constexpr uint8_t kBlockUploadInitiate = BlockUploadRequest << 5 | kBlockCrc;          // 0xA4
constexpr uint8_t kBlockUploadEnd = BlockUploadRequest << 5 | 1;                       // 0xA1
constexpr uint8_t kBlockUploadAcknowledge = BlockUploadRequest << 5 | 2;               // 0xA2
constexpr uint8_t kBlockUploadStart = BlockUploadRequest << 5 | 3;                     // 0xA3
constexpr uint8_t kAbort = AbortTransfer << 5;                                         // 0x80

constexpr uint8_t kInitiateDownloadAnswer = InitiateDownloadAnswer << 5; // 0x60
constexpr uint8_t kDownloadSegmentAnswer = DownloadSegmentAnswer << 5;   // 0x20, | toggle
constexpr uint8_t kInitiateUploadSized = InitiateUploadAnswer << 5 | kSizeIndicated; // 0x41, segmented
constexpr uint8_t kBlockUploadAnswer = BlockUploadAnswer << 5 | kBlockCrc | kBlockSizeIndicated; // 0xC6
constexpr uint8_t kBlockUploadEndAnswer = BlockUploadAnswer << 5 | 1;    // 0xC1, | unused << 2

// An expedited initiate of `size` (1-4) bytes: 0x23/0x43 and the count of unused bytes.
constexpr uint8_t expedited(uint8_t specifier, size_t size)
{
    return uint8_t(specifier << 5 | (4 - size) << 2 | kExpedited | kSizeIndicated);
}
// A segment of `count` (0-7) bytes, either direction: toggle, unused bytes, last.
constexpr uint8_t segment(uint8_t specifier, uint8_t toggle, size_t count, bool last)
{
    return uint8_t(specifier << 5 | (toggle ? kToggle : 0) | (7 - count) << 1 | (last ? kLastSegment : 0));
}
} // namespace command

// CiA 301's abort codes, each with its text: X(name, code, text).
#define KORVANE_SDO_ABORT_CODES(X)                                                                  \
    X(ToggleNotAlternated, 0x05030000, "toggle bit not alternated")                                 \
    X(ProtocolTimedOut, 0x05040000, "SDO protocol timed out")                                       \
    X(UnknownCommand, 0x05040001, "command specifier not valid or unknown")                         \
    X(InvalidBlockSize, 0x05040002, "invalid block size")                                           \
    X(InvalidSequence, 0x05040003, "invalid sequence number")                                       \
    X(CrcError, 0x05040004, "CRC error")                                                            \
    X(OutOfMemory, 0x05040005, "out of memory")                                                     \
    X(UnsupportedAccess, 0x06010000, "unsupported access to an object")                             \
    X(ReadOfWriteOnly, 0x06010001, "attempt to read a write-only object")                           \
    X(WriteOfReadOnly, 0x06010002, "attempt to write a read-only object")                           \
    X(NoSuchObject, 0x06020000, "object does not exist")                                            \
    X(NotMappable, 0x06040041, "object cannot be mapped to the PDO")                                \
    X(PdoTooLong, 0x06040042, "the mapped objects would exceed the PDO length")                     \
    X(ParameterIncompatible, 0x06040043, "general parameter incompatibility")                       \
    X(DeviceIncompatible, 0x06040047, "general internal incompatibility in the device")             \
    X(HardwareError, 0x06060000, "access failed due to a hardware error")                           \
    X(LengthMismatch, 0x06070010, "data type does not match, length does not match")                \
    X(LengthTooHigh, 0x06070012, "data type does not match, length too high")                       \
    X(LengthTooLow, 0x06070013, "data type does not match, length too low")                         \
    X(NoSuchSubIndex, 0x06090011, "sub-index does not exist")                                       \
    X(ValueOutOfRange, 0x06090030, "invalid value")                                                 \
    X(ValueTooHigh, 0x06090031, "value too high")                                                   \
    X(ValueTooLow, 0x06090032, "value too low")                                                     \
    X(MaximumBelowMinimum, 0x06090036, "maximum value is less than minimum value")                  \
    X(NoSdoConnection, 0x060A0023, "resource not available: SDO connection")                        \
    X(GeneralError, 0x08000000, "general error")                                                    \
    X(CannotStore, 0x08000020, "data cannot be transferred or stored")                              \
    X(LocalControl, 0x08000021, "data cannot be transferred or stored because of local control")    \
    X(WrongDeviceState, 0x08000022, "data cannot be transferred or stored in the present device state") \
    X(NoDictionary, 0x08000023, "no object dictionary")                                             \
    X(NoData, 0x08000024, "no data available")

#define KORVANE_SDO_ABORT_ENUM(name, code, text) name = code,
enum AbortCode : uint32_t { KORVANE_SDO_ABORT_CODES(KORVANE_SDO_ABORT_ENUM) };
#undef KORVANE_SDO_ABORT_ENUM

// The text of a known abort code; nullptr for any other value.
constexpr const char* abortText(uint32_t code)
{
    switch (code) {
#define KORVANE_SDO_ABORT_TEXT(name, value, text) \
    case value: return text;
        KORVANE_SDO_ABORT_CODES(KORVANE_SDO_ABORT_TEXT)
#undef KORVANE_SDO_ABORT_TEXT
    }
    return nullptr;
}

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

// The `size` low bytes of `value`, least significant first, as CANopen sends numbers.
inline Bytes littleEndian(uint32_t value, size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
    return bytes;
}

inline CanFrame abortFrame(uint32_t id, uint16_t index, uint8_t sub, uint32_t code)
{
    CanFrame f = frame(id, command::kAbort, index, sub);
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
