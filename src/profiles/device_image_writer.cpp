#include "profiles/device_image_writer.h"

#include <vector>

#include "device/command_result.h"
#include "macros/macro_area.h"

namespace qv::profiles {
namespace {

static_assert(keys::kKeyPageBytes == device::kKeyPageSize);
static_assert(kProfileCount == device::kProfileCount);

struct BuiltPage {
    int number = 0;
    keys::KeyPage bytes{};
};

bool IsProfile(int profile) {
    return profile >= 0 && static_cast<std::size_t>(profile) < kProfileCount;
}

}  // namespace

bool WriteDeviceImage(const DeviceImage::Access& device, PageSelection pages,
                      const DeviceWriteContext& context) {
    const ImageContents& image = *device;
    const macros::AreaSizes sizes = macros::MacroAreaSizes(image.macros);
    if (sizes.compact > context.macroCapacity) {
        context.prompt.ShowMessage(context.texts.macroTooLong, true);
        return false;
    }
    const bool withNames = sizes.full <= context.macroCapacity;
    const auto area = macros::EncodeMacroArea(image.macros, withNames);
    if (!area) {
        return false;
    }

    std::vector<BuiltPage> built;
    if (pages == PageSelection::AllProfiles) {
        for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
            built.push_back({static_cast<int>(profile), {}});
        }
    } else if (IsProfile(context.activeProfile)) {
        built.push_back({context.activeProfile, {}});
    } else {
        return false;  // the keyboard's profile is not known: no page to write
    }
    // The macro positions come from the copy's list, which is the working list at this moment:
    // both locks are held.
    for (BuiltPage& page : built) {
        page.bytes = keys::EncodeKeyPage(image.blocks[static_cast<std::size_t>(page.number)],
                                         image.macros, context.keyDefaults);
    }

    static_cast<void>(context.commands.BeginTransfer());
    static_cast<void>(context.commands.WriteMacros(*area));
    int lastPageResult = device::kNoKeyboard;
    for (const BuiltPage& page : built) {
        lastPageResult = context.commands.WriteKeyPage(page.bytes, page.number);
    }
    static_cast<void>(context.commands.EndTransfer());

    if (!withNames) {
        context.prompt.ShowMessage(context.texts.profileSpaceTight, true);
    }
    return lastPageResult == device::kSuccess;
}

bool ApplyImageToDevice(ProfileImage& profileImage, DeviceImage& deviceImage, PageSelection pages,
                        const DeviceWriteContext& context) {
    const ProfileImage::Access image = profileImage.Lock();
    const DeviceImage::Access device = deviceImage.Lock();
    ReleaseImageContents(*device);
    // The header is rebuilt from the copied counts whenever the block is encoded. Packing the
    // texts into a text area would only rewrite the value fields of Launch program and Text
    // block entries, which never reach the keyboard (they encode as the default and as
    // nothing), so the copy keeps the texts in their slots as they are.
    *device = *image;
    return WriteDeviceImage(device, pages, context);
}

}  // namespace qv::profiles
