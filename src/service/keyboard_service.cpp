#include "service/keyboard_service.h"

namespace qv::service {

KeyboardService::KeyboardService(device::HidService& hid, platform::ProgramLauncher& launcher,
                                 ServiceObserver& observer, ServiceOptions options)
    : transport_(std::in_place, hid, options.transportTiming),
      session_(std::make_unique<KeyboardSession>(*transport_, launcher, observer,
                                                 std::move(options.session))) {
    if (options.trace) {
        transport_->SetTrace(std::move(options.trace));
    }
}

KeyboardService::~KeyboardService() {
    Stop();
}

bool KeyboardService::Start() {
    return transport_->Load(this);
}

void KeyboardService::Stop() {
    // Reports that still come are dropped by the stopped worker; the transport itself goes
    // last, with the service.
    worker_.Stop();
}

void KeyboardService::Post(std::function<void(KeyboardSession&)> work) {
    worker_.Post([this, work = std::move(work)] { work(*session_); });
}

void KeyboardService::OnPresenceReport(int count) {
    Post([count](KeyboardSession& session) { session.HandlePresence(count); });
}

void KeyboardService::OnKeyEvent(std::uint16_t code) {
    Post([code](KeyboardSession& session) { session.HandleKeyEvent(code); });
}

}  // namespace qv::service
