#include "driver/device_image_writer.h"

#include <vector>

#include "core/memory_layout.h"
#include "device/command_result.h"
#include "macros/macro_area.h"

namespace qv::driver {

using namespace profiles;
namespace {

static_assert(keys::kKeyPageBytes == device::kKeyPageSize);
static_assert(kProfileCount == device::kProfileCount);

struct BuiltPage {
    int number = 0;
    keys::KeyPage bytes{};
};

}  // namespace

DeviceWriteResult WriteDeviceImage(const DeviceImage::Access& device, PageSelection pages,
                                   const DeviceWriteContext& context) {
    DeviceWriteResult result;
    const ImageContents& image = *device;
    const macros::MacroAreaForm form =
        macros::ChooseMacroAreaForm(macros::MacroAreaSizes(image.macros), context.macroCapacity);
    if (form == macros::MacroAreaForm::TooLarge) {
        result.status = DeviceWriteStatus::MacrosTooLong;
        return result;
    }
    const bool withNames = form == macros::MacroAreaForm::Full;
    const auto area = macros::EncodeMacroArea(image.macros, withNames);
    if (!area) {
        return result;
    }

    std::vector<BuiltPage> built;
    if (pages == PageSelection::AllProfiles) {
        for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
            built.push_back({static_cast<int>(profile), {}});
        }
    } else if (layout::IsProfileIndex(context.activeProfile)) {
        built.push_back({context.activeProfile, {}});
    } else {
        return result;  // the keyboard's profile is not known: no page to write
    }
    // The macro positions come from the copy's list, which is the working list at this moment:
    // both locks are held.
    const std::vector<std::uint16_t> macroIds = macros::MacroIdsInOrder(image.macros);
    for (BuiltPage& page : built) {
        page.bytes = keys::EncodeKeyPage(image.blocks[static_cast<std::size_t>(page.number)],
                                         macroIds, context.keyDefaults);
    }
    result.namesDropped = !withNames;

    result.commandResult = context.commands.BeginTransfer();
    if (result.commandResult != device::kSuccess) {
        result.status = DeviceWriteStatus::NotWritten;
        return result;
    }
    // Every report must be taken: one lost chunk of the macro area or one page leaves the
    // keyboard with a mix of old and new that only a complete write repairs.
    std::size_t macroChunksTaken = 0;
    result.commandResult = context.commands.WriteMacros(*area, macroChunksTaken);
    const bool firstChunkUntaken = result.commandResult != device::kSuccess &&
                                   macroChunksTaken == 0 &&
                                   device::NeverReachedKeyboard(result.commandResult);
    for (const BuiltPage& page : built) {
        if (result.commandResult != device::kSuccess) {
            break;
        }
        result.commandResult = context.commands.WriteKeyPage(page.bytes, page.number);
    }
    const bool contentTaken = result.commandResult == device::kSuccess;
    const int ended = context.commands.EndTransfer();
    if (contentTaken) {
        result.commandResult = ended;
    }
    result.status = result.commandResult == device::kSuccess ? DeviceWriteStatus::Written
                    : contentTaken                           ? DeviceWriteStatus::EndNotConfirmed
                    : firstChunkUntaken                      ? DeviceWriteStatus::NotWritten
                                                             : DeviceWriteStatus::PartlyWritten;
    return result;
}

DeviceWriteResult ApplyImageToDevice(ProfileImage& profileImage, DeviceImage& deviceImage,
                                     PageSelection pages, const DeviceWriteContext& context) {
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

}  // namespace qv::driver
