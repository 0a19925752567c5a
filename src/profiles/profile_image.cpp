#include "profiles/profile_image.h"

#include "core/contract.h"

namespace qv::profiles {

keys::KeyEntry& ImageContents::ImageEntry(std::size_t index) {
    QV_EXPECTS(index < kImageKeyEntryCount);
    return blocks[index / keys::kKeyBlockSize][index % keys::kKeyBlockSize];
}

const keys::KeyEntry& ImageContents::ImageEntry(std::size_t index) const {
    QV_EXPECTS(index < kImageKeyEntryCount);
    return blocks[index / keys::kKeyBlockSize][index % keys::kKeyBlockSize];
}

void ReleaseImageContents(ImageContents& image) {
    image.texts.Clear();
    image.macros.clear();
    image.macros.shrink_to_fit();
    image.blocks = {};
    image.headerFlag = 0;
}

void InstallDefaultImage(ImageContents& image) {
    // Unlike a freshly decoded page, only block 0 carries the G key codes.
    image.blocks = {};
    image.blocks[0] = keys::FreshKeyBlock();
    image.headerFlag = 0;
}

}  // namespace qv::profiles
