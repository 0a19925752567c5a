#include "profiles/profile_header.h"

#include <limits>
#include <numeric>

namespace qv::profiles {

std::uint64_t ProfileFileSize(std::size_t macroCount, std::uint64_t textAreaSize) {
    return kImageBlockSize + std::uint64_t{kMacroRecordFileSize} * macroCount + textAreaSize;
}

std::uint8_t ProfileHeaderChecksum(std::span<const std::uint8_t, kProfileHeaderSize> header) {
    const unsigned sum =
        std::accumulate(header.begin(), header.begin() + kHeaderChecksumOffset, 0u);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

void BuildProfileHeader(std::span<std::uint8_t, kProfileHeaderSize> header,
                        std::uint16_t macroCount, std::uint32_t textAreaSize, std::uint8_t flag) {
    const std::uint64_t total = ProfileFileSize(macroCount, textAreaSize);
    QV_EXPECTS(total <= std::numeric_limits<std::uint32_t>::max());
    const MutableBytes bytes(header);
    WriteU16LE(bytes, kHeaderMagicOffset, kProfileMagic);
    WriteU16LE(bytes, kHeaderSizeOffset, static_cast<std::uint16_t>(kProfileHeaderSize));
    WriteU16LE(bytes, kHeaderFormatOffset, kProfileFormat);
    WriteU16LE(bytes, kHeaderOneOffset, kProfileHeaderOne);
    WriteU32LE(bytes, kHeaderTotalSizeOffset, static_cast<std::uint32_t>(total));
    WriteU16LE(bytes, kHeaderEntryCountOffset, static_cast<std::uint16_t>(kImageKeyEntryCount));
    WriteU16LE(bytes, kHeaderMacroCountOffset, macroCount);
    WriteU32LE(bytes, kHeaderTextAreaSizeOffset, textAreaSize);
    WriteU32LE(bytes, kHeaderReserved1Offset, 0);
    WriteU32LE(bytes, kHeaderReserved2Offset, 0);
    WriteU16LE(bytes, kHeaderReserved3Offset, 0);
    WriteU8(bytes, kHeaderFlagOffset, flag);
    WriteU8(bytes, kHeaderChecksumOffset, ProfileHeaderChecksum(header));
}

}  // namespace qv::profiles
