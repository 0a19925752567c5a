#pragma once

// What the device worker and the main window share about the link to the keyboard. The
// keyboard's key default table and macro capacity are in DeviceFacts.

#include <condition_variable>
#include <mutex>

namespace qv::device {

class DeviceLink {
public:
    // `startedWithStart`: the program was started with "/Start", so no keyboard arrival opens
    // the window by itself.
    explicit DeviceLink(bool startedWithStart) : openedOnce_(startedWithStart) {}

    // The count of the last presence report the worker finished; 0 = no keyboard.
    [[nodiscard]] int LastDeviceCount() const {
        std::lock_guard lock(mutex_);
        return lastCount_;
    }
    void SetLastDeviceCount(int count) {
        std::lock_guard lock(mutex_);
        lastCount_ = count;
    }

    // Set once the window was asked to open on an arrival, or when it never should be.
    [[nodiscard]] bool OpenedOnce() const {
        std::lock_guard lock(mutex_);
        return openedOnce_;
    }
    void SetOpenedOnce() {
        std::lock_guard lock(mutex_);
        openedOnce_ = true;
    }

    // The main window has handled MSG_INIT: its tray icon exists, so workers may go on.
    void SetInitComplete() {
        {
            std::lock_guard lock(mutex_);
            initComplete_ = true;
        }
        changed_.notify_all();
    }
    [[nodiscard]] bool InitComplete() const {
        std::lock_guard lock(mutex_);
        return initComplete_;
    }
    // Blocks until init is complete (true) or waiting was cancelled (false).
    [[nodiscard]] bool WaitForInitComplete() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return initComplete_ || cancelled_; });
        return initComplete_ && !cancelled_;
    }
    // The program is ending: every wait returns, and later ones return at once.
    void CancelWaits() {
        {
            std::lock_guard lock(mutex_);
            cancelled_ = true;
        }
        changed_.notify_all();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int lastCount_ = 0;
    bool openedOnce_;
    bool initComplete_ = false;
    bool cancelled_ = false;
};

}  // namespace qv::device
