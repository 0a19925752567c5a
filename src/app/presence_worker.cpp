// The PresenceWorker. Reports are handled one after the other, in the order they came, on one
// thread: two workers side by side would each compare against the last count as they found it,
// and a quick unplug-replug could leave the tool believing the keyboard gone.

#include "app/device_worker.h"
#include "device/command_result.h"
#include "lighting/active_profile.h"
#include "lighting/device_settings_block.h"
#include "platform/user_prompt.h"
#include "ui/text_lookup.h"
#include "ui/text_table.h"

namespace qv::device {

DeviceWorker::DeviceWorker(const DeviceWorkerParts& parts)
    : transport_(parts.transport),
      commands_(parts.transport),
      window_(parts.window),
      link_(parts.link),
      facts_(parts.facts),
      activeProfile_(parts.activeProfile),
      prompt_(parts.prompt),
      texts_(parts.texts),
      lookup_(parts.lookup),
      thread_([this] { PresenceThread(); }) {}

DeviceWorker::~DeviceWorker() {
    Shutdown();
}

void DeviceWorker::OnPresenceReport(int count) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        if (!startupReportSeen_) {
            startupReportSeen_ = true;
            if (count == 0) {
                link_.SetOpenedOnce();
            }
        }
        reports_.push_back(count);
    }
    changed_.notify_all();
}

void DeviceWorker::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        reports_.clear();
    }
    changed_.notify_all();
    link_.CancelWaits();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool DeviceWorker::IsIdle() const {
    std::lock_guard lock(mutex_);
    return reports_.empty() && !handling_;
}

bool DeviceWorker::Stopping() const {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void DeviceWorker::PresenceThread() {
    for (;;) {
        int count = 0;
        {
            std::unique_lock lock(mutex_);
            handling_ = false;
            changed_.wait(lock, [this] { return stopping_ || !reports_.empty(); });
            if (stopping_) {
                return;
            }
            count = reports_.front();
            reports_.pop_front();
            handling_ = true;
        }
        if (!PresenceWorker(count)) {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            reports_.clear();
            handling_ = false;
            return;
        }
    }
}

bool DeviceWorker::PresenceWorker(int count) {
    if (count == link_.LastDeviceCount()) {
        return true;
    }
    if (count == 0) {
        activeProfile_.Forget();
        if (SenderStops(window_.Send({MSG_DEVICE_GONE, TAG_DEVICE_GONE}))) {
            return false;
        }
        window_.Post({MSG_HIDE_WINDOW, TAG_HIDE});
    } else {
        // A firmware too old for the tool ends the program in this check.
        if (SenderStops(window_.Send({MSG_OPEN, TAG_VER}))) {
            return false;
        }
        if (Stopping()) {
            return false;
        }
        ReadKeyboardFacts();
        if (Stopping() || SenderStops(window_.Send({MSG_PROFILE, TAG_PROF}))) {
            return false;
        }
    }
    // Before that the tray icon does not exist yet.
    if (!link_.WaitForInitComplete()) {
        return false;
    }
    window_.Post({MSG_TRAY_ICON, TAG_TRAY, count > 0 ? kIconKeyboard : kIconNoKeyboard});
    link_.SetLastDeviceCount(count);
    if (!link_.OpenedOnce()) {
        if (count > 0) {
            window_.Post({MSG_OPEN, TAG_OPEN});
        }
        link_.SetOpenedOnce();
    }
    return true;
}

void DeviceWorker::ReadKeyboardFacts() {
    keys::KeyDefaultTable table{};
    if (commands_.ReadKeyDefaults(table) == kSuccess) {
        facts_.SetKeyDefaults(table);
    } else {
        // The key pages are then decoded with the table read last, or the built-in one.
        prompt_.ShowMessage(
            lookup_.LookupText(texts_.SlotText(ui::TextSlot::MAIN_DEFAULT_MATRIX_PROMPT)));
    }
    lighting::DeviceSettingsBlock block;
    if (commands_.ReadSettings(block.bytes()) == kSuccess) {
        facts_.SetMacroCapacity(block.MacroCapacity());
    }
}

}  // namespace qv::device
