#include "sim/sim_hid_service.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "device/key_events.h"

namespace qv::sim {
namespace {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using device::DeviceSelector;
using device::ServiceCallbackTarget;
using device::ServiceEvent;
using device::ServiceEventKind;

// One USB full-speed frame: an interrupt endpoint moves at most one report per frame.
constexpr Clock::duration kFrame = std::chrono::milliseconds(1);

[[nodiscard]] bool IsKeyboardCollection(const DeviceSelector& selector) {
    return selector == device::kControlSelector || selector == device::kConsumerSelector ||
           selector == device::kLedSelector;
}

enum class RegistrationKind { Read, StatusWrite };

struct Registration {
    DeviceSelector selector;
    ServiceCallbackTarget* target = nullptr;
    std::uint32_t tag = 0;
    RegistrationKind kind = RegistrationKind::Read;
};

enum class DeliveryKind { Reply, KeyEvent, CountChange };

struct Delivery {
    DeliveryKind kind = DeliveryKind::Reply;
    // Replies and key events belong to one connection: after an unplug they never arrive.
    std::uint64_t connection = 0;
    device::ReportBytes report{};  // Reply
    std::uint16_t code = 0;        // KeyEvent
    bool plugged = false;          // CountChange
};

// Deliveries run in time order, and in the order they were scheduled at equal times.
using DeliveryKey = std::pair<TimePoint, std::uint64_t>;

// The faults planned for one report number.
struct PlannedReport {
    bool refuse = false;
    bool drop = false;
    bool misnumber = false;
    bool unplug = false;
    std::optional<std::uint8_t> status;
    std::optional<std::chrono::milliseconds> delay;
    std::optional<std::size_t> flip;
};

[[nodiscard]] std::map<std::uint32_t, PlannedReport> ByReport(const FaultPlan& plan) {
    std::map<std::uint32_t, PlannedReport> planned;
    for (const PlannedFault& fault : plan) {
        PlannedReport& at = planned[fault.report];
        switch (fault.kind) {
            case FaultKind::Unplug:
                at.unplug = true;
                break;
            case FaultKind::Drop:
                at.drop = true;
                break;
            case FaultKind::Late:
                at.delay = std::max(fault.delay, std::chrono::milliseconds(0));
                break;
            case FaultKind::Status:
                at.status = fault.status;
                break;
            case FaultKind::Misnumber:
                at.misnumber = true;
                break;
            case FaultKind::Refuse:
                at.refuse = true;
                break;
            case FaultKind::Flip:
                at.flip = std::min(fault.byte, device::kReportSize - 1);
                break;
        }
    }
    return planned;
}

[[nodiscard]] device::ReportBytes StatusOnlyReply(const device::ReportBytes& request,
                                                  std::uint8_t status) {
    device::ReportBytes reply{};
    WriteU8(reply, device::kReportIdOffset, device::kReportId);
    std::copy(request.begin() + device::kCommandOffset, request.begin() + device::kStatusOffset,
              reply.begin() + device::kCommandOffset);
    WriteU8(reply, device::kStatusOffset, status);
    WriteU16LE(reply, device::kChecksumOffset, device::ReportChecksum(reply));
    return reply;
}

}  // namespace

struct SimHidService::State {
    State(KeyboardMemory memory, bool isPlugged)
        : keyboard(std::move(memory)), plugged(isPlugged) {}

    mutable std::mutex mutex;
    std::condition_variable wake;      // the callback thread waits for work here
    std::condition_variable progress;  // signalled after every callback and delivery

    VirtualKeyboard keyboard;
    bool plugged;
    std::uint64_t connection = 0;
    bool failInit = false;
    SimTiming timing;
    const TimePoint origin = Clock::now();  // frames are counted from here
    TimePoint lastFrameTaken = TimePoint::min();

    std::map<DeliveryKey, Delivery> queue;
    std::uint64_t nextSequence = 0;

    std::map<std::uint32_t, Registration> registrations;
    std::uint32_t nextId = 1;
    // The registration whose callback is running (0: none), so a cancel can wait for it.
    std::uint32_t runningRegistration = 0;
    bool delivering = false;
    std::vector<std::uint32_t> receiverScratch;  // only the callback thread uses it

    // `plan` by report number, made again whenever the plan changes.
    std::map<std::uint32_t, PlannedReport> planned;
    FaultPlan plan;
    std::uint32_t reportsHanded = 0;

    std::unique_ptr<MemoryStore> store;

    std::vector<device::ReportBytes> sent;
    int checkValueFailures = 0;

    bool stopping = false;
    std::thread::id callbackThread;
    std::thread thread;

    void Schedule(TimePoint when, Delivery delivery) {
        queue.emplace(DeliveryKey{when, nextSequence++}, std::move(delivery));
    }

    [[nodiscard]] std::uint32_t NewRegistrationId() {
        while (nextId == 0 || registrations.contains(nextId)) {
            ++nextId;
        }
        return nextId++;
    }

    // When the reply to a report written at `now` reaches the host.
    [[nodiscard]] TimePoint ReplyTime(TimePoint now, Clock::duration extra) {
        switch (timing.mode) {
            case SimTiming::Mode::Immediate:
                return now + extra;
            case SimTiming::Mode::FixedDelay:
                return now + timing.delay + extra;
            case SimTiming::Mode::FullSpeed: {
                // Taken at the next frame boundary, one report per frame, answered a frame later.
                const auto frames = (now - origin + kFrame - Clock::duration(1)) / kFrame;
                TimePoint taken = origin + frames * kFrame;
                if (lastFrameTaken != TimePoint::min()) {
                    taken = std::max(taken, lastFrameTaken + kFrame);
                }
                lastFrameTaken = taken;
                return taken + kFrame + extra;
            }
        }
        return now + extra;
    }

    // Runs a command report on the keyboard, through the store when there is one: a write is
    // made on top of the store's latest memory and kept before it is answered.
    [[nodiscard]] device::ReportBytes Serve(const device::ReportBytes& request) {
        if (!store) {
            return keyboard.HandleCommand(request);
        }
        if (VirtualKeyboard::MayChangeMemory(request[device::kCommandOffset])) {
            device::ReportBytes reply{};
            // The store hands the keyboard's own memory to the change, brought up to date.
            const bool kept = store->Modify(keyboard.memory(), [&](KeyboardMemory&) {
                reply = keyboard.HandleCommand(request);
            });
            return kept ? reply : StatusOnlyReply(request, kStatusNotKept);
        }
        if (!store->Refresh(keyboard.memory())) {
            return StatusOnlyReply(request, kStatusNotKept);
        }
        return keyboard.HandleCommand(request);
    }

    // A change the keyboard itself makes (or a test makes to it), kept like a host's.
    void ChangeMemory(const std::function<void(KeyboardMemory&)>& change) {
        if (store) {
            (void)store->Modify(keyboard.memory(), change);
        } else {
            change(keyboard.memory());
        }
    }

    void SetPlugged(bool isPlugged) {
        if (plugged == isPlugged) {
            return;
        }
        plugged = isPlugged;
        if (!plugged) {
            ++connection;
            std::erase_if(queue, [](const auto& entry) {
                return entry.second.kind != DeliveryKind::CountChange;
            });
        }
        Schedule(Clock::now(), Delivery{.kind = DeliveryKind::CountChange, .plugged = plugged});
        wake.notify_one();
        progress.notify_all();
    }

    [[nodiscard]] bool Receives(const Registration& registration, const Delivery& delivery) const {
        if (registration.kind != RegistrationKind::Read) {
            return false;
        }
        switch (delivery.kind) {
            case DeliveryKind::Reply:
                return registration.selector == device::kControlSelector;
            case DeliveryKind::KeyEvent:
                return registration.selector == device::kConsumerSelector;
            case DeliveryKind::CountChange:
                return IsKeyboardCollection(registration.selector);
        }
        return false;
    }

    // Hands one delivery to every registration that takes it. Callbacks run without the lock,
    // so they may call back into the service; a registration cancelled meanwhile is skipped.
    void Deliver(std::unique_lock<std::mutex>& lock, const Delivery& delivery) {
        // Reused between deliveries so the reply path does not allocate.
        std::vector<std::uint32_t>& receivers = receiverScratch;
        receivers.clear();
        for (const auto& [id, registration] : registrations) {
            if (Receives(registration, delivery)) {
                receivers.push_back(id);
            }
        }
        std::array<std::uint8_t, 2> keyEvent{};
        WriteU16LE(keyEvent, 0, delivery.code);
        for (std::uint32_t id : receivers) {
            const auto found = registrations.find(id);
            if (found == registrations.end() || stopping) {
                continue;
            }
            if (delivery.kind != DeliveryKind::CountChange && delivery.connection != connection) {
                return;
            }
            ServiceEvent event;
            event.tag = found->second.tag;
            switch (delivery.kind) {
                case DeliveryKind::Reply:
                    event.kind = ServiceEventKind::DataArrived;
                    event.value = static_cast<std::uint32_t>(delivery.report.size());
                    event.data = delivery.report;
                    break;
                case DeliveryKind::KeyEvent:
                    event.kind = ServiceEventKind::DataArrived;
                    event.value = static_cast<std::uint32_t>(keyEvent.size());
                    event.data = keyEvent;
                    break;
                case DeliveryKind::CountChange:
                    event.kind = ServiceEventKind::DeviceCountChanged;
                    event.value = delivery.plugged ? 1u : 0u;
                    break;
            }
            ServiceCallbackTarget* target = found->second.target;
            runningRegistration = id;
            lock.unlock();
            target->ServiceCallback(event);
            lock.lock();
            runningRegistration = 0;
            progress.notify_all();
        }
    }

    void Run() {
        std::unique_lock lock(mutex);
        callbackThread = std::this_thread::get_id();
        while (!stopping) {
            if (queue.empty()) {
                wake.wait(lock);
                continue;
            }
            const TimePoint due = queue.begin()->first.first;
            if (due > Clock::now()) {
                wake.wait_until(lock, due);
                continue;
            }
            const Delivery delivery = std::move(queue.begin()->second);
            queue.erase(queue.begin());
            delivering = true;
            Deliver(lock, delivery);
            delivering = false;
            progress.notify_all();
        }
    }
};

SimHidService::SimHidService(KeyboardMemory memory, bool plugged)
    : state_(std::make_unique<State>(std::move(memory), plugged)) {
    state_->thread = std::thread([state = state_.get()] { state->Run(); });
}

SimHidService::~SimHidService() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    state_->thread.join();
}

int SimHidService::Init(std::uint32_t /*flags*/) {
    const std::lock_guard lock(state_->mutex);
    return state_->failInit ? 0 : 1;
}

int SimHidService::RequestGetDeviceCount(const device::DeviceSelector& selector,
                                         std::uint32_t /*arg1*/, std::uint32_t /*arg2*/,
                                         std::uint32_t checkValue, std::uint32_t /*arg3*/) {
    const bool checked = checkValue == device::CheckValueForDeviceCount(selector);
    const std::lock_guard lock(state_->mutex);
    if (!checked) {
        ++state_->checkValueFailures;
        return 0;
    }
    return state_->plugged && IsKeyboardCollection(selector) ? 1 : 0;
}

int SimHidService::RequestWriteOne(const device::DeviceSelector& selector, std::uint32_t /*arg1*/,
                                   std::uint32_t /*arg2*/, Bytes report, std::uint32_t checkValue,
                                   std::uint32_t /*arg3*/) {
    const bool checked = checkValue == device::CheckValueForWriteOne(selector, report);
    State& s = *state_;
    {
        const std::lock_guard lock(s.mutex);
        if (!checked) {
            ++s.checkValueFailures;
            return 0;
        }
        if (!s.plugged || selector != device::kControlSelector ||
            report.size() != device::kReportSize) {
            return 0;
        }
        PlannedReport plan;
        if (const auto found = s.planned.find(++s.reportsHanded); found != s.planned.end()) {
            plan = found->second;
        }
        if (plan.refuse) {
            return 0;
        }
        device::ReportBytes request{};
        std::copy(report.begin(), report.end(), request.begin());
        s.sent.push_back(request);

        if (plan.unplug) {
            // The cable is pulled as the report arrives: it is never executed nor answered.
            s.SetPlugged(false);
            return 1;
        }

        device::ReportBytes reply =
            plan.status ? StatusOnlyReply(request, *plan.status) : s.Serve(request);
        if (plan.misnumber) {
            reply[device::kCommandOffset] =
                static_cast<std::uint8_t>(request[device::kCommandOffset] + 1);
        }
        if (plan.flip) {
            // The checksum stays that of the true reply, so the flip shows as a mismatch.
            reply[*plan.flip] = static_cast<std::uint8_t>(~reply[*plan.flip]);
        }
        if (plan.drop) {
            return 1;
        }
        const Clock::duration extra =
            plan.delay ? Clock::duration(*plan.delay) : Clock::duration(0);
        s.Schedule(
            s.ReplyTime(Clock::now(), extra),
            Delivery{.kind = DeliveryKind::Reply, .connection = s.connection, .report = reply});
    }
    s.wake.notify_one();
    return 1;
}

int SimHidService::RequestAsyncRead(const device::DeviceSelector& selector,
                                    device::ServiceCallbackTarget* callback, std::uint32_t tag,
                                    std::uint32_t checkValue, std::uint32_t* idSlot) {
    const bool checked = checkValue == device::CheckValueForAsyncRead(selector, callback, tag);
    const std::lock_guard lock(state_->mutex);
    std::uint32_t id = 0;
    if (!checked) {
        ++state_->checkValueFailures;
    } else if (callback != nullptr) {
        id = state_->NewRegistrationId();
        state_->registrations.emplace(
            id, Registration{selector, callback, tag, RegistrationKind::Read});
    }
    if (idSlot != nullptr) {
        *idSlot = id;
    }
    return id != 0 ? 1 : 0;
}

int SimHidService::RequestStatusWrite(const device::DeviceSelector& selector,
                                      device::ServiceCallbackTarget* callback, std::uint32_t tag,
                                      Bytes data, std::uint32_t checkValue, std::uint32_t* idSlot) {
    const bool checked =
        checkValue == device::CheckValueForStatusWrite(selector, callback, tag, data);
    const std::lock_guard lock(state_->mutex);
    std::uint32_t id = 0;
    if (!checked) {
        ++state_->checkValueFailures;
    } else if (state_->plugged && selector == device::kLedSelector &&
               data.size() == state_->keyboard.LedReport().size()) {
        state_->keyboard.HandleLedReport(data);
        id = state_->NewRegistrationId();
        state_->registrations.emplace(
            id, Registration{selector, callback, tag, RegistrationKind::StatusWrite});
    }
    if (idSlot != nullptr) {
        *idSlot = id;
    }
    return id != 0 ? 1 : 0;
}

int SimHidService::DeleteRequestFromUnitId(std::uint32_t id) {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    if (s.registrations.erase(id) == 0) {
        return 0;
    }
    // A callback that cancels its own registration cannot wait for itself to return.
    if (std::this_thread::get_id() != s.callbackThread) {
        s.progress.wait(lock, [&] { return s.runningRegistration != id; });
    }
    return 1;
}

void SimHidService::FailInit(bool fail) {
    const std::lock_guard lock(state_->mutex);
    state_->failInit = fail;
}

void SimHidService::Plug() {
    const std::lock_guard lock(state_->mutex);
    state_->SetPlugged(true);
}

void SimHidService::Unplug() {
    const std::lock_guard lock(state_->mutex);
    state_->SetPlugged(false);
}

bool SimHidService::IsPlugged() const {
    const std::lock_guard lock(state_->mutex);
    return state_->plugged;
}

void SimHidService::SetTiming(SimTiming timing) {
    timing.delay = std::max(timing.delay, std::chrono::microseconds(0));
    const std::lock_guard lock(state_->mutex);
    state_->timing = timing;
}

void SimHidService::PlanFaults(const FaultPlan& plan) {
    std::map<std::uint32_t, PlannedReport> planned = ByReport(plan);
    const std::lock_guard lock(state_->mutex);
    state_->planned = std::move(planned);
    state_->plan = plan;
}

void SimHidService::AddFaultsAhead(const FaultPlan& faults) {
    const std::lock_guard lock(state_->mutex);
    FaultPlan& plan = state_->plan;
    for (PlannedFault fault : faults) {
        fault.report += state_->reportsHanded;
        std::erase_if(plan, [&](const PlannedFault& earlier) {
            return earlier.kind == fault.kind && earlier.report == fault.report;
        });
        plan.push_back(fault);
    }
    state_->planned = ByReport(plan);
}

void SimHidService::AnswerStatus(std::uint8_t status, int count) {
    AddFaultsAhead(InARow({.kind = FaultKind::Status, .status = status},
                          static_cast<std::uint32_t>(std::max(count, 0))));
}

void SimHidService::UnplugAfterReports(int count) {
    if (count > 0) {
        AddFaultsAhead({{.kind = FaultKind::Unplug, .report = static_cast<std::uint32_t>(count)}});
    }
}

FaultPlan SimHidService::PlannedFaults() const {
    const std::lock_guard lock(state_->mutex);
    return state_->plan;
}

void SimHidService::StartRun() {
    const std::lock_guard lock(state_->mutex);
    state_->reportsHanded = 0;
}

void SimHidService::KeepMemoryIn(std::unique_ptr<MemoryStore> store) {
    const std::lock_guard lock(state_->mutex);
    state_->store = std::move(store);
}

std::optional<std::string> SimHidService::StoreFailure() const {
    const std::lock_guard lock(state_->mutex);
    return state_->store ? state_->store->FirstFailure() : std::nullopt;
}

void SimHidService::RaiseKeyEvent(std::uint16_t code) {
    State& s = *state_;
    {
        const std::lock_guard lock(s.mutex);
        if (!s.plugged) {
            return;
        }
        s.Schedule(
            Clock::now(),
            Delivery{.kind = DeliveryKind::KeyEvent, .connection = s.connection, .code = code});
    }
    s.wake.notify_one();
}

void SimHidService::ChangeProfileOnKeyboard(int profile) {
    if (profile < 0 || profile >= static_cast<int>(kProfileCount)) {
        return;
    }
    {
        const std::lock_guard lock(state_->mutex);
        state_->ChangeMemory([profile](KeyboardMemory& memory) {
            WriteU8(memory.settings, kSettingsActiveProfile, static_cast<std::uint8_t>(profile));
        });
    }
    RaiseKeyEvent(device::KEY_EVENT_SETTINGS_CHANGED);
}

void SimHidService::WaitUntilIdle() {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    // From a callback the wait would never end: the caller itself is the running callback.
    if (std::this_thread::get_id() == s.callbackThread) {
        return;
    }
    s.progress.wait(lock, [&] { return s.stopping || (s.queue.empty() && !s.delivering); });
}

std::vector<device::ReportBytes> SimHidService::SentReports() const {
    const std::lock_guard lock(state_->mutex);
    return state_->sent;
}

void SimHidService::ClearSentReports() {
    const std::lock_guard lock(state_->mutex);
    state_->sent.clear();
}

int SimHidService::CheckValueFailures() const {
    const std::lock_guard lock(state_->mutex);
    return state_->checkValueFailures;
}

KeyboardMemory SimHidService::Memory() const {
    const std::lock_guard lock(state_->mutex);
    return state_->keyboard.memory();
}

void SimHidService::UpdateMemory(const std::function<void(KeyboardMemory&)>& change) {
    const std::lock_guard lock(state_->mutex);
    state_->ChangeMemory([&change](KeyboardMemory& memory) {
        change(memory);
        FitMacroAreaToCapacity(memory);
    });
}

std::array<std::uint8_t, 2> SimHidService::LedReport() const {
    const std::lock_guard lock(state_->mutex);
    return state_->keyboard.LedReport();
}

}  // namespace qv::sim
