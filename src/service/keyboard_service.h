#pragma once

// The keyboard service: the one owner of the keyboard session under both front ends. It talks
// to the keyboard on its own worker thread only, and tells its front end what happened through
// a ServiceObserver. The desktop app posts work and hears back through the observer; the
// command line calls and waits.

#include <functional>
#include <memory>
#include <optional>

#include "device/hid_service.h"
#include "device/transport.h"
#include "platform/program_launcher.h"
#include "service/keyboard_session.h"
#include "service/service_observer.h"
#include "service/service_worker.h"

namespace qv::service {

struct ServiceOptions {
    SessionOptions session;
    device::TransportTiming transportTiming{};
    // Sees every report; set before Start.
    device::TraceFunction trace;
};

class KeyboardService final : private device::TransportListener {
public:
    KeyboardService(device::HidService& hid, platform::ProgramLauncher& launcher,
                    ServiceObserver& observer, ServiceOptions options);
    // Stops.
    ~KeyboardService();
    KeyboardService(const KeyboardService&) = delete;
    KeyboardService& operator=(const KeyboardService&) = delete;

    // Starts the HID service; the keyboard count found now is handled as the first presence
    // report, on the worker. False when the HID service cannot start.
    [[nodiscard]] bool Start();
    // Lets the running work finish and drops the rest; no work runs afterwards.
    void Stop();

    // Queues work for the session.
    void Post(std::function<void(KeyboardSession&)> work);
    // Runs work for the session and waits for its result. Never from a thread that draws.
    template <typename F>
    auto Call(F&& work) {
        return worker_.Call([this, &work] { return work(*session_); });
    }
    // Blocks until the worker has nothing left: after Start, the arrival has been handled.
    void WaitIdle() { worker_.WaitIdle(); }
    [[nodiscard]] bool IsIdle() const { return worker_.IsIdle(); }

    // What may be read from any thread: the newest snapshot of what the session knows.
    [[nodiscard]] SnapshotPtr Snapshot() const { return session_->Snapshot(); }
    [[nodiscard]] bool KeyboardPresent() const { return session_->KeyboardPresent(); }
    [[nodiscard]] bool ApplyPending() const { return session_->ApplyPending(); }
    // The profile the pending changes were made for; -1 when none are pending.
    [[nodiscard]] int PendingProfile() const { return session_->PendingProfile(); }
    [[nodiscard]] LightingSnapshot LightingView() const { return Snapshot()->lighting; }
    [[nodiscard]] device::LedReportBytes LedReport() const { return transport_->LedReport(); }

private:
    void OnPresenceReport(int count) override;
    void OnKeyEvent(std::uint16_t code) override;

    // The transport goes last: reports may come until it is gone.
    std::optional<device::Transport> transport_;
    std::unique_ptr<KeyboardSession> session_;
    // Last: its thread uses the session.
    ServiceWorker worker_;
};

}  // namespace qv::service
