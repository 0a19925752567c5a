#include "device/commands.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "device/command_result.h"

namespace qv::device {
namespace {

bool IsKeyPageIndex(int page) {
    return page >= 0 && page < static_cast<int>(kProfileCount);
}

// A counted transfer may not start a chunk beyond the 16-bit offset range.
bool FitsOffsets(std::size_t base, std::size_t count) {
    return count == 0 || base + count - 1 <= kMaxAreaOffset;
}

}  // namespace

int DeviceCommands::Send(const DeviceReport& request, DeviceReport& reply) {
    std::size_t received = 0;
    const int result = exchange_.Exchange(request.bytes(), reply.bytes(), received);
    if (result != kSuccess) {
        return result;
    }
    if (reply.Status() == kStatusFailFF) {
        return kStatusFF;
    }
    if (reply.Status() == kStatusFailFE) {
        return kStatusFE;
    }
    return kSuccess;
}

int DeviceCommands::BeginTransfer() {
    DeviceReport reply;
    return Send(DeviceReport::Request(CMD_BEGIN_TRANSFER, 0, 0), reply);
}

int DeviceCommands::EndTransfer() {
    std::this_thread::sleep_for(endTransferPause_);
    DeviceReport reply;
    return Send(DeviceReport::Request(CMD_END_TRANSFER, 0, 0), reply);
}

int DeviceCommands::ReadSettings(std::span<std::uint8_t, kSettingsBlockSize> destination) {
    DeviceReport reply;
    const int result = Send(DeviceReport::Request(CMD_READ_SETTINGS, kSettingsBlockSize, 0), reply);
    if (result == kSuccess) {
        std::ranges::copy(reply.Payload().first(kSettingsBlockSize), destination.begin());
    }
    return result;
}

int DeviceCommands::WriteSettings(std::span<const std::uint8_t, kSettingsBlockSize> source) {
    DeviceReport reply;
    return Send(DeviceReport::Request(CMD_WRITE_SETTINGS, kSettingsBlockSize, 0, source), reply);
}

int DeviceCommands::ReadLighting(std::span<std::uint8_t, kPayloadSize> destination,
                                 std::uint8_t length, std::uint16_t offset) {
    DeviceReport reply;
    const int result = Send(DeviceReport::Request(CMD_READ_LIGHTING, length, offset), reply);
    if (result == kSuccess) {
        std::ranges::copy(reply.Payload(), destination.begin());
    }
    return result;
}

int DeviceCommands::WriteLighting(Bytes source, std::uint16_t offset) {
    QV_EXPECTS(source.size() <= kPayloadSize);
    DeviceReport reply;
    return Send(DeviceReport::Request(CMD_WRITE_LIGHTING, static_cast<std::uint8_t>(source.size()),
                                      offset, source),
                reply);
}

int DeviceCommands::ReadPaged(std::uint8_t command, MutableBytes destination,
                              std::uint16_t baseOffset) {
    if (!FitsOffsets(baseOffset, destination.size())) {
        return kBeyondOffsets;
    }
    for (std::size_t chunk = 0; chunk < destination.size(); chunk += kPayloadSize) {
        const std::size_t length = std::min(kPayloadSize, destination.size() - chunk);
        DeviceReport reply;
        const int result =
            Send(DeviceReport::Request(command, static_cast<std::uint8_t>(length),
                                       static_cast<std::uint16_t>(baseOffset + chunk)),
                 reply);
        if (result != kSuccess) {
            return result;
        }
        std::ranges::copy(reply.Payload().first(length), destination.begin() + chunk);
    }
    return kSuccess;
}

int DeviceCommands::WritePaged(std::uint8_t command, Bytes source, std::uint16_t baseOffset,
                               std::size_t* chunksTaken) {
    if (chunksTaken != nullptr) {
        *chunksTaken = 0;
    }
    if (!FitsOffsets(baseOffset, source.size())) {
        return kBeyondOffsets;
    }
    for (std::size_t chunk = 0; chunk < source.size(); chunk += kPayloadSize) {
        const std::size_t length = std::min(kPayloadSize, source.size() - chunk);
        DeviceReport reply;
        const int result =
            Send(DeviceReport::Request(command, static_cast<std::uint8_t>(length),
                                       static_cast<std::uint16_t>(baseOffset + chunk),
                                       source.subspan(chunk, length)),
                 reply);
        if (result != kSuccess) {
            return result;
        }
        if (chunksTaken != nullptr) {
            ++*chunksTaken;
        }
    }
    return kSuccess;
}

int DeviceCommands::ReadKeyPage(std::span<std::uint8_t, kKeyPageSize> destination, int page) {
    if (!IsKeyPageIndex(page)) {
        return kBadKeyPage;
    }
    return ReadPaged(CMD_READ_KEY_PAGE, destination,
                     static_cast<std::uint16_t>(page * kKeyPageSize));
}

int DeviceCommands::WriteKeyPage(std::span<const std::uint8_t, kKeyPageSize> source, int page) {
    if (!IsKeyPageIndex(page)) {
        return kBadKeyPage;
    }
    return WritePaged(CMD_WRITE_KEY_PAGE, source, static_cast<std::uint16_t>(page * kKeyPageSize));
}

int DeviceCommands::ReadMacros(MutableBytes destination) {
    return ReadPaged(CMD_READ_MACROS, destination, 0);
}

int DeviceCommands::WriteMacros(Bytes source) {
    return WritePaged(CMD_WRITE_MACROS, source, 0);
}

int DeviceCommands::WriteMacros(Bytes source, std::size_t& chunksTaken) {
    return WritePaged(CMD_WRITE_MACROS, source, 0, &chunksTaken);
}

int DeviceCommands::ReadKeyDefaults(std::span<std::uint8_t, kKeyDefaultTableSize> destination) {
    return ReadPaged(CMD_READ_KEY_DEFAULTS, destination, 0);
}

int DeviceCommands::WriteKeyColours(Bytes source, int keyIndex, int page) {
    QV_EXPECTS(source.size() <= kPayloadSize);
    const std::size_t offset = KeyColourOffset(keyIndex, page);
    if (offset > kMaxAreaOffset) {
        return kBeyondOffsets;
    }
    DeviceReport reply;
    return Send(
        DeviceReport::Request(CMD_WRITE_KEY_COLOURS, static_cast<std::uint8_t>(source.size()),
                              static_cast<std::uint16_t>(offset), source),
        reply);
}

}  // namespace qv::device
