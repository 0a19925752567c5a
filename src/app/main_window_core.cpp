#include "app/main_window_core.h"

#include <string>

#include "device/command_result.h"
#include "keys/key_entry.h"
#include "lighting/device_settings_block.h"
#include "service/firmware_check.h"
#include "ui/text_lookup.h"
#include "ui/text_table.h"

namespace qv::app {

using device::Message;
using device::MessageReply;

MainWindowCore::MainWindowCore(const MainWindowParts& parts)
    : transport_(parts.transport),
      commands_(parts.transport),
      link_(parts.link),
      facts_(parts.facts),
      activeProfile_(parts.activeProfile),
      lighting_(parts.lighting),
      profileImage_(parts.profileImage),
      deviceImage_(parts.deviceImage),
      profileActions_(parts.profileActions),
      prompt_(parts.prompt),
      launcher_(parts.launcher),
      exit_(parts.exit),
      texts_(parts.texts),
      lookup_(parts.lookup),
      window_(parts.window),
      view_(parts.view),
      helpFolder_(parts.helpFolder),
      perKeyColours_(parts.perKeyColours),
      busy_(parts.window, parts.busyTiming) {}

MessageReply MainWindowCore::Handle(const Message& message) {
    const auto when = [&](std::uint32_t tag, auto&& handle) {
        if (message.tag != tag) {
            return MessageReply::Ignored;
        }
        handle();
        return MessageReply::Handled;
    };
    switch (message.number) {
        case device::MSG_OPEN:
            if (message.tag == device::TAG_VER) {
                return CheckFirmware();
            }
            return when(device::TAG_OPEN, [&] { OpenWindow(); });
        case device::MSG_INIT:
            return when(device::TAG_INIT, [&] { OnInit(); });
        case device::MSG_PROFILE:
            return when(device::TAG_PROF, [&] { LoadKeyboardConfiguration(); });
        case device::MSG_BANK:
            return when(device::TAG_LED, [&] { RefreshBankKeys(); });
        case device::MSG_DEVICE_GONE:
            return when(device::TAG_DEVICE_GONE, [&] { view_.CloseSubDialogs(); });
        case device::MSG_KILL:
            return when(device::TAG_KILL, [&] { Exit(); });
        case device::MSG_LANGUAGE:
            return when(device::TAG_LANG,
                        [&] { view_.LoadTexts(static_cast<int>(message.lparam)); });
        case device::MSG_TRAY_ICON:
            return when(device::TAG_TRAY, [&] { OnTrayRequest(message.lparam); });
        case device::MSG_HIDE_WINDOW:
            return when(device::TAG_HIDE, [&] { view_.HideWindow(); });
        case device::MSG_PROGRESS:
            return when(device::TAG_BUSY, [&] { OnProgressDone(message.lparam); });
        case device::MSG_TIMER:
            if (message.tag == device::kTimerProgressFrame) {
                OnProgressFrame();
                return MessageReply::Handled;
            }
            if (message.tag == device::kTimerPerKeyReset && perKeyColours_ != nullptr) {
                perKeyColours_->ResetWhenPerKeyModeOn();
                return MessageReply::Handled;
            }
            return when(device::kTimerResynchronise, [&] { Resynchronise(); });
        default:
            return MessageReply::Ignored;
    }
}

MessageReply MainWindowCore::CheckFirmware() {
    const service::FirmwareVerdict verdict =
        service::CheckFirmwareVersion({commands_, prompt_, launcher_, exit_, helpFolder_});
    return verdict == service::FirmwareVerdict::ProgramEnds ? MessageReply::EndProgram
                                                            : MessageReply::Handled;
}

void MainWindowCore::OpenWindow() {
    if (link_.LastDeviceCount() == 0) {
        prompt_.ShowMessage(texts_.SlotText(ui::TextSlot::MAIN_NO_DEVICE_PROMPT));
        return;
    }
    view_.OpenWindow();
}

void MainWindowCore::OnInit() {
    view_.CreateTrayIcon();
    trayCreated_ = true;
    trayShown_ = device::kIconNoKeyboard;
    view_.BuildProfileMenu();
    link_.SetInitComplete();
    view_.HideWindow();
}

void MainWindowCore::LoadKeyboardConfiguration() {
    // Reading the whole keyboard takes a while; the window keeps painting meanwhile.
    window_.RunWhileBusy([this] { profileActions_.ReloadProfileFromDevice(); });
    view_.RefreshProfileList();
    // An unknown active profile leaves the slots and the profile shown as they were.
    if (const int active = activeProfile_.GetActiveProfile(commands_);
        active >= 0 && active < static_cast<int>(device::kProfileCount)) {
        view_.ShowProfileSlot(active);
        lighting_.SetCurrentProfile(active);
    }
    std::function<void()> userSchemes;
    if (perKeyColours_ != nullptr) {
        userSchemes = [this] { perKeyColours_->LoadUserSchemes(); };
    }
    window_.RunWhileBusy([&] {
        (void)lighting_.ReadLighting(lighting::DeviceLighting::ReadKind::Reconnect, userSchemes);
    });
    view_.RefreshLightingPanel();
    if (perKeyColours_ != nullptr &&
        lighting_.mirror().settings.IsModeSupported(lighting::kPerKeyColourMode)) {
        perKeyColours_->RebuildBaseMarks();
    }
}

void MainWindowCore::Resynchronise() {
    lighting::DeviceSettingsBlock block;
    if (lighting_.ReadSettingsBlock(block) != device::kSuccess) {
        return;
    }
    const int active = block.ActiveProfile();
    // The keyboard changed its profile by itself: the cached one is stale, and the slot switch
    // must find the keyboard already there rather than switch it again.
    if (activeProfile_.Cached() != active) {
        activeProfile_.Forget();
    }
    if (active == lighting_.currentProfile()) {
        (void)lighting_.ReadLighting(lighting::DeviceLighting::ReadKind::Refresh);
        view_.RefreshLightingPanel();
    } else {
        view_.SwitchProfileSlot(active);
    }
}

void MainWindowCore::RefreshBankKeys() {
    BankKeys keys;
    keys.bankB = (transport_.LedReport()[1] & 0x01) != 0;
    const std::size_t first = keys::kFirstGKeySlot + (keys.bankB ? keys::kGKeysPerBank : 0);
    const int active = activeProfile_.GetActiveProfile(commands_);
    if (active >= 0 && active < static_cast<int>(device::kProfileCount)) {
        const auto image = profileImage_.Lock();
        const keys::KeyBlock& block = image->blocks[static_cast<std::size_t>(active)];
        for (std::size_t i = 0; i < kBankKeyCount; ++i) {
            keys.assigned[i] = block[first + i].kind != keys::KeyKind::Default;
        }
    }
    // Buttons 1000..1004 carry captions; 1140..1143 none.
    for (std::size_t i = 0; i < 5; ++i) {
        keys.captions[i] = std::string(keys.bankB ? "B" : "A") + std::to_string(i + 1);
    }
    view_.RefreshBankKeys(keys);
}

void MainWindowCore::OnTrayRequest(std::intptr_t request) {
    if (request == device::kIconPlay) {
        ShowTrayIcon(device::kIconPlay);
    } else if (request == device::kTrayRestoreStateIcon) {
        ShowTrayIcon(trayStateIcon_);
    } else if (request == device::kIconNoKeyboard || request == device::kIconKeyboard) {
        trayStateIcon_ = static_cast<int>(request);
        ShowTrayIcon(trayStateIcon_);
    }
}

void MainWindowCore::ShowTrayIcon(int icon) {
    if (!trayCreated_ || icon == trayShown_) {
        return;
    }
    view_.SetTrayIcon(icon);
    trayShown_ = icon;
}

void MainWindowCore::ShowProgress() {
    ++progressGeneration_;
    progressShown_ = true;
    progressFrame_ = 0;
    view_.ShowProgress();
}

void MainWindowCore::OnProgressDone(std::intptr_t generation) {
    if (!progressShown_ || generation != progressGeneration_) {
        return;
    }
    progressShown_ = false;
    view_.HideProgress();
}

void MainWindowCore::OnProgressFrame() {
    busy_.FrameHandled();
    // A tick that was on its way when the timer stopped.
    if (!progressShown_) {
        return;
    }
    constexpr int kFrames = 10;
    progressFrame_ = progressFrame_ % kFrames + 1;
    view_.ProgressFrame(progressFrame_);
}

void MainWindowCore::Exit() {
    view_.HideWindow();
    view_.CloseSubDialogs();
    if (trayCreated_) {
        view_.RemoveTrayIcon();
        trayCreated_ = false;
    }
    trayShown_ = 0;
    SetApplyPending(false);
    profiles::ReleaseImageContents(*profileImage_.Lock());
    profiles::ReleaseImageContents(*deviceImage_.Lock());
    view_.EndMainWindow();
}

}  // namespace qv::app
