#include "profiles/image_block.h"

#include "profiles/profile_header.h"

namespace qv::profiles {

std::vector<std::uint8_t> EncodeImageBlock(const ImageContents& image, std::uint32_t textAreaSize) {
    QV_EXPECTS(image.macros.size() <= 0xFFFF);
    std::vector<std::uint8_t> block(kImageBlockSize);
    const MutableBytes bytes(block);
    BuildProfileHeader(bytes.first<kProfileHeaderSize>(),
                       static_cast<std::uint16_t>(image.macros.size()), textAreaSize,
                       image.headerFlag);
    for (std::size_t i = 0; i < kFixedBlockValues.size(); ++i) {
        WriteU32LE(bytes, kFixedBlockOffset + 4 * i, kFixedBlockValues[i]);
    }
    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        for (std::size_t slot = 0; slot < keys::kKeyBlockSize; ++slot) {
            image.blocks[profile][slot].ToBytes(bytes, ImageEntryOffset(profile, slot));
        }
    }
    return block;
}

std::optional<ProfileKeyBlocks> DecodeImageBlockEntries(Bytes block) {
    if (block.size() < kImageBlockSize) {
        return std::nullopt;
    }
    std::optional<ProfileKeyBlocks> blocks(std::in_place);
    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        for (std::size_t slot = 0; slot < keys::kKeyBlockSize; ++slot) {
            (*blocks)[profile][slot] =
                keys::KeyEntry::FromBytes(block, ImageEntryOffset(profile, slot));
        }
    }
    return blocks;
}

}  // namespace qv::profiles
