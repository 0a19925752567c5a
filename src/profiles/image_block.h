#pragma once

// The image block (layout in image_layout.h) to and from an image's structured contents.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/bytes.h"
#include "profiles/profile_image.h"

namespace qv::profiles {

// The kImageBlockSize bytes that begin a profile file: a header for the image's macro count,
// `textAreaSize` (what the texts take once packed into a file) and flag, the fixed block and
// every entry as it stands, spare and reserved fields included.
[[nodiscard]] std::vector<std::uint8_t> EncodeImageBlock(const ImageContents& image,
                                                         std::uint32_t textAreaSize);

// The 2048 entries of an image block that came from outside. nullopt when `block` is shorter
// than an image block; bytes past it (the rest of a file) are not looked at. The header and
// the fixed block are not checked here.
[[nodiscard]] std::optional<ProfileKeyBlocks> DecodeImageBlockEntries(Bytes block);

}  // namespace qv::profiles
