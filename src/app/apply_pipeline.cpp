// The Apply button: the save and the device write run under the image lock while the busy
// indicator animates. The device work runs off the window's thread so that the animation
// moves; the window handles nothing else meanwhile, so the order of effects is that of a write
// done on the window's thread itself.

#include <thread>

#include "app/main_window_core.h"
#include "app/profile_store.h"
#include "profiles/device_image_writer.h"
#include "ui/text_lookup.h"
#include "ui/text_table.h"

namespace qv::app {

void MainWindowCore::SetApplyPending(bool pending) {
    view_.SetApplyEnabled(pending);
    applyPending_.store(pending);
}

void MainWindowCore::Apply() {
    // The pause before the busy image keeps the window painting, as the write after it does.
    window_.RunWhileBusy([this] { std::this_thread::sleep_for(busy_.timing().showDelay); });
    // Shown here rather than by the indicator's thread, so that it is up before the work starts.
    ShowProgress();
    busy_.Show();
    if (applyPending_.load()) {
        bool written = false;
        window_.RunWhileBusy([&] { written = WriteImage(); });
        if (written) {
            SetApplyPending(false);
        }
    }
    busy_.Hide(progressGeneration_);
}

bool MainWindowCore::WriteImage() {
    const profiles::DeviceWriteTexts texts{
        lookup_.LookupText(texts_.SlotText(ui::TextSlot::EXTRA_MACRO_TOO_LONG)),
        lookup_.LookupText(texts_.SlotText(ui::TextSlot::EXTRA_PROFILE_SPACE_TIGHT))};
    const keys::KeyDefaultTable keyDefaults = facts_.KeyDefaults();
    const profiles::DeviceWriteContext context{commands_, keyDefaults, facts_.MacroCapacity(),
                                               activeProfile_.GetActiveProfile(commands_)};
    const auto image = profileImage_.Lock();
    const bool saved = profileActions_.SaveImageToCurrentProfileFile(*image);
    const profiles::DeviceWriteResult written = profiles::ApplyImageToDevice(
        profileImage_, deviceImage_, profiles::PageSelection::ActiveProfile, context);
    profiles::ShowDeviceWriteMessages(written, texts, prompt_);
    return saved && written.Written();
}

}  // namespace qv::app
