#pragma once

// The 64-byte vendor report that carries every command and every reply.
//
//   byte 0      report id (4)
//   bytes 1..2  LE16 checksum of bytes 3..63 (requests only; replies are not checked)
//   byte 3      command number (echoed by the reply)
//   byte 4      length of the meaningful payload
//   bytes 5..6  LE16 offset into the addressed area
//   byte 7      status (0 in a request; 0xFF / 0xFE mark a failed reply)
//   bytes 8..63 payload

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/bytes.h"
#include "core/memory_layout.h"

namespace qv::device {

inline constexpr std::size_t kReportSize = 64;
inline constexpr std::uint8_t kReportId = 4;

inline constexpr std::size_t kReportIdOffset = 0;
inline constexpr std::size_t kChecksumOffset = 1;
inline constexpr std::size_t kCommandOffset = 3;
inline constexpr std::size_t kLengthOffset = 4;
inline constexpr std::size_t kAreaOffsetOffset = 5;
inline constexpr std::size_t kStatusOffset = 7;
inline constexpr std::size_t kPayloadOffset = 8;
using layout::kPayloadSize;
inline constexpr std::size_t kChecksumFirstByte = 3;
static_assert(kPayloadOffset + kPayloadSize == kReportSize);
static_assert(kAreaOffsetOffset + 2 == kStatusOffset);

inline constexpr std::uint8_t kStatusFailFF = 0xFF;
inline constexpr std::uint8_t kStatusFailFE = 0xFE;

// Command numbers.
inline constexpr std::uint8_t CMD_BEGIN_TRANSFER = 1;
inline constexpr std::uint8_t CMD_END_TRANSFER = 2;
inline constexpr std::uint8_t CMD_READ_SETTINGS = 3;
inline constexpr std::uint8_t CMD_WRITE_SETTINGS = 4;
inline constexpr std::uint8_t CMD_READ_LIGHTING = 5;
inline constexpr std::uint8_t CMD_WRITE_LIGHTING = 6;
inline constexpr std::uint8_t CMD_READ_KEY_PAGE = 7;
inline constexpr std::uint8_t CMD_WRITE_KEY_PAGE = 8;
inline constexpr std::uint8_t CMD_READ_MACROS = 9;
inline constexpr std::uint8_t CMD_WRITE_MACROS = 10;
inline constexpr std::uint8_t CMD_READ_KEY_DEFAULTS = 15;
inline constexpr std::uint8_t CMD_WRITE_KEY_COLOURS = 17;

// Sizes of the keyboard's memory areas, which the model's codecs share.
using layout::kColourBytesPerKey;
using layout::kColourKeysPerPage;
using layout::kColourPageSize;
using layout::kKeyAreaSize;
using layout::kKeyDefaultTableSize;
using layout::kKeyPageSize;
using layout::kLightingAreaSize;
using layout::kLightingRecordSize;
using layout::kProfileCount;
using layout::kSettingsBlockSize;
inline constexpr std::size_t kMaxAreaOffset = 0xFFFF;
static_assert(kSettingsBlockSize <= kPayloadSize);
static_assert(kColourKeysPerPage * kColourBytesPerKey == kColourPageSize);

using ReportBytes = std::array<std::uint8_t, kReportSize>;

// Sum of bytes 3..63; at most 61 * 255, so it never wraps.
[[nodiscard]] std::uint16_t ReportChecksum(std::span<const std::uint8_t, kReportSize> report);

class DeviceReport {
public:
    DeviceReport() = default;
    explicit DeviceReport(const ReportBytes& bytes) : bytes_(bytes) {}

    // A finished request: report id, command, length, offset, status 0, the payload from
    // byte 8 (at most 56 bytes), zeros after it, and the checksum computed last.
    [[nodiscard]] static DeviceReport Request(std::uint8_t command, std::uint8_t length,
                                              std::uint16_t offset, Bytes payload = {});

    [[nodiscard]] std::uint8_t Command() const { return bytes_[kCommandOffset]; }
    [[nodiscard]] std::uint8_t Length() const { return bytes_[kLengthOffset]; }
    [[nodiscard]] std::uint16_t Offset() const { return ReadU16LE(bytes_, kAreaOffsetOffset); }
    [[nodiscard]] std::uint8_t Status() const { return bytes_[kStatusOffset]; }
    [[nodiscard]] std::uint16_t Checksum() const { return ReadU16LE(bytes_, kChecksumOffset); }
    [[nodiscard]] Bytes Payload() const {
        return Bytes(bytes_).subspan(kPayloadOffset, kPayloadSize);
    }

    [[nodiscard]] const ReportBytes& bytes() const { return bytes_; }
    [[nodiscard]] ReportBytes& bytes() { return bytes_; }

private:
    ReportBytes bytes_{};
};

}  // namespace qv::device
