// The keyboard's own key events, on the service thread. Nothing here waits for the window: the
// service thread is the one that delivers the replies a command on the window's thread may be
// waiting for, so a blocking send from here would stall both until that command timed out.
// Posting keeps the order of events all the same.

#include "app/device_worker.h"

namespace qv::device {

void DeviceWorker::OnKeyEvent(std::uint16_t code) {
    if (Stopping()) {
        return;
    }
    switch (code) {
        case KEY_EVENT_BANK_TOGGLE:
            ToggleBank();
            break;
        case KEY_EVENT_SETTINGS_CHANGED:
            // The window rereads the settings block on its own thread, where the profile shown
            // lives.
            window_.Post({MSG_TIMER, kTimerResynchronise});
            break;
        case KEY_EVENT_PLAY_ON:
            window_.Post({MSG_TRAY_ICON, TAG_TRAY, kIconPlay});
            break;
        case KEY_EVENT_PLAY_OFF:
            window_.Post({MSG_TRAY_ICON, TAG_TRAY, kTrayRestoreStateIcon});
            break;
        default:
            break;
    }
}

void DeviceWorker::ToggleBank() {
    LedReportBytes report = transport_.LedReport();
    report[1] ^= 0x01;
    transport_.SetLedReport(report);
    transport_.WriteLedReport();
    window_.Post({MSG_BANK, TAG_LED});
}

}  // namespace qv::device
