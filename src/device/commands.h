#pragma once

// The command set: each operation builds its request(s), exchanges them one chunk at a time and
// interprets the reply. Holds no state beyond the exchange it talks through.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/bytes.h"
#include "device/device_report.h"
#include "device/report_exchange.h"

namespace qv::device {

inline constexpr std::chrono::milliseconds kEndTransferPause{10};

class DeviceCommands {
public:
    explicit DeviceCommands(ReportExchange& exchange,
                            std::chrono::milliseconds endTransferPause = kEndTransferPause)
        : exchange_(exchange), endTransferPause_(endTransferPause) {}

    [[nodiscard]] int BeginTransfer();
    // Pauses (10 ms unless told otherwise) before sending, so the keyboard has finished the
    // group's last write.
    [[nodiscard]] int EndTransfer();

    [[nodiscard]] int ReadSettings(std::span<std::uint8_t, kSettingsBlockSize> destination);
    [[nodiscard]] int WriteSettings(std::span<const std::uint8_t, kSettingsBlockSize> source);

    // Byte-addressed lighting access; the caller keeps length <= 56 and the bytes inside the
    // lighting area. A read copies all 56 reply payload bytes.
    [[nodiscard]] int ReadLighting(std::span<std::uint8_t, kPayloadSize> destination,
                                   std::uint8_t length, std::uint16_t offset);
    [[nodiscard]] int WriteLighting(Bytes source, std::uint16_t offset);

    // One profile's key page, in four chunks; page 0..3, otherwise -201 and nothing is sent.
    [[nodiscard]] int ReadKeyPage(std::span<std::uint8_t, kKeyPageSize> destination, int page);
    [[nodiscard]] int WriteKeyPage(std::span<const std::uint8_t, kKeyPageSize> source, int page);

    // The first destination.size() / source.size() bytes of the macro area, 56 at a time.
    [[nodiscard]] int ReadMacros(MutableBytes destination);
    [[nodiscard]] int WriteMacros(Bytes source);
    // The same, counting the chunks the keyboard confirmed before one failed.
    [[nodiscard]] int WriteMacros(Bytes source, std::size_t& chunksTaken);

    [[nodiscard]] int ReadKeyDefaults(std::span<std::uint8_t, kKeyDefaultTableSize> destination);

    // Colour bytes of one profile's page, starting at a key (three bytes a key).
    [[nodiscard]] int WriteKeyColours(Bytes source, int keyIndex, int page);

private:
    // Exchanges one request and maps the reply status; on success the reply is in `reply`.
    [[nodiscard]] int Send(const DeviceReport& request, DeviceReport& reply);
    [[nodiscard]] int ReadPaged(std::uint8_t command, MutableBytes destination,
                                std::uint16_t baseOffset);
    [[nodiscard]] int WritePaged(std::uint8_t command, Bytes source, std::uint16_t baseOffset,
                                 std::size_t* chunksTaken = nullptr);

    ReportExchange& exchange_;
    std::chrono::milliseconds endTransferPause_;
};

// The offset of a key's colour bytes in the colour area.
[[nodiscard]] constexpr std::size_t KeyColourOffset(int keyIndex, int page) {
    return static_cast<std::size_t>(page) * kColourPageSize +
           static_cast<std::size_t>(keyIndex) * kColourBytesPerKey;
}

}  // namespace qv::device
