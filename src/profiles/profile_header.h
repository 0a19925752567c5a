#pragma once

// The 32-byte header in front of the image block and of every profile file.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/bytes.h"
#include "profiles/image_layout.h"

namespace qv::profiles {

// The size a file with this content has: image block, macro records, text area.
[[nodiscard]] std::uint64_t ProfileFileSize(std::size_t macroCount, std::uint64_t textAreaSize);

// The unsigned 8-bit sum of header bytes 0..30.
[[nodiscard]] std::uint8_t ProfileHeaderChecksum(
    std::span<const std::uint8_t, kProfileHeaderSize> header);

// Fills every header byte: the constant fields, the total size, the counts, zero reserved
// fields, the flag and last the checksum. The file size must fit its 32-bit field, which it
// always does for content that came from a file or a keyboard.
void BuildProfileHeader(std::span<std::uint8_t, kProfileHeaderSize> header,
                        std::uint16_t macroCount, std::uint32_t textAreaSize, std::uint8_t flag);

}  // namespace qv::profiles
