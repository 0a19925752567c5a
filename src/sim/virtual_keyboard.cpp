#include "sim/virtual_keyboard.h"

#include <algorithm>

namespace qv::sim {
namespace {

using device::kPayloadOffset;
using device::kPayloadSize;
using device::kReportSize;

constexpr std::uint8_t kHighestProfile = kProfileCount - 1;

struct Request {
    std::uint8_t command = 0;
    std::uint8_t length = 0;
    std::uint16_t offset = 0;
    Bytes payload;
};

[[nodiscard]] bool Fits(std::size_t areaSize, const Request& request) {
    return request.length <= kPayloadSize &&
           static_cast<std::size_t>(request.offset) + request.length <= areaSize;
}

// How much a read answers: the requested length, or for the commands whose reply the host
// copies whole, a full payload (the part beyond the end of the area reads as zero).
enum class ReplySpan { Length, FullPayload };

[[nodiscard]] std::uint8_t ReadArea(Bytes area, const Request& request, ReplySpan span,
                                    MutableBytes replyPayload) {
    if (!Fits(area.size(), request)) {
        return kStatusOutOfRange;
    }
    const std::size_t count = span == ReplySpan::Length
                                  ? request.length
                                  : std::min(kPayloadSize, area.size() - request.offset);
    const Bytes source = area.subspan(request.offset, count);
    std::copy(source.begin(), source.end(), replyPayload.begin());
    return kStatusOk;
}

[[nodiscard]] std::uint8_t WriteArea(MutableBytes area, const Request& request) {
    if (!Fits(area.size(), request)) {
        return kStatusOutOfRange;
    }
    const Bytes source = request.payload.first(request.length);
    std::copy(source.begin(), source.end(), area.begin() + request.offset);
    return kStatusOk;
}

[[nodiscard]] bool IsWholeSettingsBlock(const Request& request) {
    return request.length == kSettingsBlockSize && request.offset == 0;
}

}  // namespace

device::ReportBytes VirtualKeyboard::HandleCommand(Bytes request) {
    device::ReportBytes reply{};
    WriteU8(reply, device::kReportIdOffset, device::kReportId);
    // Echo as much of the header as arrived, even for a request the firmware rejects, so the
    // host can tell which request the rejection answers.
    const std::size_t echoed = std::min(request.size(), device::kStatusOffset);
    if (echoed > device::kCommandOffset) {
        std::copy(request.begin() + device::kCommandOffset, request.begin() + echoed,
                  reply.begin() + device::kCommandOffset);
    }

    std::uint8_t status = kStatusBadRequest;
    if (request.size() == kReportSize && request[device::kReportIdOffset] == device::kReportId &&
        ReadU16LE(request, device::kChecksumOffset) ==
            device::ReportChecksum(request.first<kReportSize>())) {
        status =
            Execute(ReadU8(request, device::kCommandOffset), ReadU8(request, device::kLengthOffset),
                    ReadU16LE(request, device::kAreaOffsetOffset),
                    request.subspan(kPayloadOffset, kPayloadSize),
                    MutableBytes(reply).subspan(kPayloadOffset, kPayloadSize));
    }
    WriteU8(reply, device::kStatusOffset, status);
    WriteU16LE(reply, device::kChecksumOffset, device::ReportChecksum(reply));
    return reply;
}

std::uint8_t VirtualKeyboard::Execute(std::uint8_t command, std::uint8_t length,
                                      std::uint16_t offset, Bytes payload,
                                      MutableBytes replyPayload) {
    const Request request{
        .command = command, .length = length, .offset = offset, .payload = payload};
    KeyboardMemory& m = memory_;
    switch (command) {
        case kCmdBeginTransfer:
        case kCmdEndTransfer:
            return kStatusOk;
        case kCmdReadSettings:
            if (!IsWholeSettingsBlock(request)) {
                return kStatusOutOfRange;
            }
            return ReadArea(m.settings, request, ReplySpan::Length, replyPayload);
        case kCmdWriteSettings: {
            if (!IsWholeSettingsBlock(request)) {
                return kStatusOutOfRange;
            }
            const std::uint8_t profile = ReadU8(payload, kSettingsActiveProfile);
            if (profile > kHighestProfile) {
                return kStatusOutOfRange;
            }
            // Firmware version, macro capacity and mode list describe the firmware itself and
            // are read only; the host's bytes and the active profile are stored.
            std::copy_n(payload.begin() + kSettingsHostBytes, kSettingsHostBytesSize,
                        m.settings.begin() + kSettingsHostBytes);
            WriteU8(m.settings, kSettingsActiveProfile, profile);
            return kStatusOk;
        }
        case kCmdReadLighting:
            return ReadArea(m.lighting, request, ReplySpan::FullPayload, replyPayload);
        case kCmdWriteLighting:
            return WriteArea(m.lighting, request);
        case kCmdReadKeyPage:
            return ReadArea(m.keyPages, request, ReplySpan::Length, replyPayload);
        case kCmdWriteKeyPage:
            return WriteArea(m.keyPages, request);
        case kCmdReadMacros:
            FitMacroAreaToCapacity(m);
            return ReadArea(m.macroArea, request, ReplySpan::Length, replyPayload);
        case kCmdWriteMacros:
            FitMacroAreaToCapacity(m);
            return WriteArea(m.macroArea, request);
        case kCmdReadKeyDefaults:
            return ReadArea(m.keyDefaults, request, ReplySpan::Length, replyPayload);
        case kCmdReadKeyColours:
            return ReadArea(m.colourPages, request, ReplySpan::FullPayload, replyPayload);
        case kCmdWriteKeyColours:
            return WriteArea(m.colourPages, request);
        default:
            if (command >= kCmdBareFirst && command <= kCmdBareLast) {
                return kStatusOk;
            }
            return kStatusBadRequest;
    }
}

bool VirtualKeyboard::MayChangeMemory(std::uint8_t command) {
    switch (command) {
        case kCmdWriteSettings:
        case kCmdWriteLighting:
        case kCmdWriteKeyPage:
        case kCmdWriteMacros:
        case kCmdWriteKeyColours:
            return true;
        default:
            return false;
    }
}

void VirtualKeyboard::HandleLedReport(Bytes data) {
    // Only the two-byte indicator report exists; anything else never reaches the LEDs.
    if (data.size() == led_.size()) {
        std::copy(data.begin(), data.end(), led_.begin());
    }
}

}  // namespace qv::sim
