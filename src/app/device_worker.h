#pragma once

// Turns what the transport reports into work: a presence worker run for every change of the
// device count, and the dispatch of the keyboard's own key events. Both reach the main window
// only through its messages.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "app/device_link.h"
#include "app/main_window_messages.h"
#include "device/commands.h"
#include "device/key_events.h"
#include "device/transport.h"
#include "profiles/device_facts.h"

namespace qv::lighting {
class ActiveProfile;
}
namespace qv::platform {
class UserPrompt;
}
namespace qv::ui {
class TextLookup;
class TextTable;
}  // namespace qv::ui

namespace qv::device {

struct DeviceWorkerParts {
    Transport& transport;
    MainWindowPort& window;
    DeviceLink& link;
    profiles::DeviceFacts& facts;
    lighting::ActiveProfile& activeProfile;
    platform::UserPrompt& prompt;
    const ui::TextTable& texts;
    const ui::TextLookup& lookup;
};

class DeviceWorker final : public TransportListener {
public:
    explicit DeviceWorker(const DeviceWorkerParts& parts);
    // Shuts down.
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Queues the report for the PresenceWorker; never blocks the service thread, whose replies
    // the worker's commands wait for. The first report (the count found at start) with no
    // keyboard means no later arrival opens the window.
    void OnPresenceReport(int count) override;
    // On the service thread.
    void OnKeyEvent(std::uint16_t code) override;

    // Stops taking reports and events and joins the PresenceWorker. Shut the window's port
    // down first: a report being handled may wait in a Send, which only the port can end. A
    // command in flight still runs to its end. Call before the transport goes away.
    void Shutdown();

    // No report waiting or being handled.
    [[nodiscard]] bool IsIdle() const;

private:
    void PresenceThread();
    // One presence report, as its own worker would handle it. False when the worker stops for
    // good: the window is gone or the program ends.
    [[nodiscard]] bool PresenceWorker(int count);
    void ReadKeyboardFacts();
    void ToggleBank();
    [[nodiscard]] bool Stopping() const;

    Transport& transport_;
    DeviceCommands commands_;
    MainWindowPort& window_;
    DeviceLink& link_;
    profiles::DeviceFacts& facts_;
    lighting::ActiveProfile& activeProfile_;
    platform::UserPrompt& prompt_;
    const ui::TextTable& texts_;
    const ui::TextLookup& lookup_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> reports_;
    bool handling_ = false;
    bool stopping_ = false;
    bool startupReportSeen_ = false;
    std::thread thread_;
};

}  // namespace qv::device
