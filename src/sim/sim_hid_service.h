#pragma once

// The simulated keyboard on a simulated USB bus, behind the HidService interface: it checks
// every check value, answers command reports through the VirtualKeyboard on its own callback
// thread, raises the keyboard's key events, follows the LED report, can be plugged and
// unplugged, can model USB timing, and injects faults for tests.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/hid_service.h"
#include "sim/fault_plan.h"
#include "sim/memory_store.h"
#include "sim/virtual_keyboard.h"

namespace qv::sim {

struct SimTiming {
    enum class Mode {
        Immediate,   // the reply is delivered as soon as the callback thread gets to it
        FixedDelay,  // the reply is delivered `delay` after the request was written
        FullSpeed,   // taken at the next 1 ms frame boundary, answered one frame later
    };
    Mode mode = Mode::Immediate;
    std::chrono::microseconds delay{0};
};

class SimHidService final : public device::HidService {
public:
    explicit SimHidService(KeyboardMemory memory = FactoryMemory(), bool plugged = true);
    // Stops the callback thread; no callback runs after the destructor returns.
    ~SimHidService() override;
    SimHidService(const SimHidService&) = delete;
    SimHidService& operator=(const SimHidService&) = delete;

    // HidService
    int Init(std::uint32_t flags) override;
    int RequestGetDeviceCount(const device::DeviceSelector& selector, std::uint32_t arg1,
                              std::uint32_t arg2, std::uint32_t checkValue,
                              std::uint32_t arg3) override;
    int RequestWriteOne(const device::DeviceSelector& selector, std::uint32_t arg1,
                        std::uint32_t arg2, Bytes report, std::uint32_t checkValue,
                        std::uint32_t arg3) override;
    int RequestAsyncRead(const device::DeviceSelector& selector,
                         device::ServiceCallbackTarget* callback, std::uint32_t tag,
                         std::uint32_t checkValue, std::uint32_t* idSlot) override;
    int RequestStatusWrite(const device::DeviceSelector& selector,
                           device::ServiceCallbackTarget* callback, std::uint32_t tag, Bytes data,
                           std::uint32_t checkValue, std::uint32_t* idSlot) override;
    int DeleteRequestFromUnitId(std::uint32_t id) override;

    // Init fails (returns 0) when set before it is called.
    void FailInit(bool fail);

    // Plugging and unplugging change the device count and notify every read registration
    // (kind 0). Replies not yet delivered are lost on unplug.
    void Plug();
    void Unplug();
    [[nodiscard]] bool IsPlugged() const;

    void SetTiming(SimTiming timing);

    // Fault injection: one plan of faults at given report numbers, counting every command report
    // handed to this service since it was made (refused ones included), 1 for the first. Faults
    // of different kinds at one report all apply to it. Replaces an earlier plan.
    void PlanFaults(const FaultPlan& plan);
    // Adds to the plan faults whose report numbers count from the next report this service is
    // handed (1: that one). A fault of a kind the plan already has at the same report replaces
    // it.
    void AddFaultsAhead(const FaultPlan& faults);
    // Shorthands of AddFaultsAhead: the next `count` reports are answered with `status` and not
    // executed; the cable is pulled as the `count`th report from now arrives.
    void AnswerStatus(std::uint8_t status, int count);
    void UnplugAfterReports(int count);
    // The plan as it is now, every fault at its report number.
    [[nodiscard]] FaultPlan PlannedFaults() const;
    // Another program starts using the keyboard: planned faults count its reports from 1 again,
    // as they do for each program that opens a simulated keyboard of its own.
    void StartRun();

    // From now on the memory lives in `store` too: before each report the keyboard catches up
    // with it, and every change is kept there at once. A report the keyboard cannot serve that
    // way (the store cannot be read, or a change not kept) is answered with status 0xFF.
    void KeepMemoryIn(std::unique_ptr<MemoryStore> store);
    // The store's first failure of the run; nullopt without a store or a failure.
    [[nodiscard]] std::optional<std::string> StoreFailure() const;

    // Events the keyboard raises on its consumer collection (device/key_events.h has the codes).
    void RaiseKeyEvent(std::uint16_t code);
    // The user switched profile on the keyboard: byte 10 changes, then 0x0401 is raised.
    void ChangeProfileOnKeyboard(int profile);

    // Blocks until every reply and event scheduled so far has been delivered.
    void WaitUntilIdle();

    // What the host sent: every command report taken, in order.
    [[nodiscard]] std::vector<device::ReportBytes> SentReports() const;
    void ClearSentReports();
    // Calls refused because their check value was wrong.
    [[nodiscard]] int CheckValueFailures() const;

    // The keyboard's memory and LED state, read or changed under the service's lock. A change
    // goes to the store, if there is one, like a change the host makes.
    [[nodiscard]] KeyboardMemory Memory() const;
    void UpdateMemory(const std::function<void(KeyboardMemory&)>& change);
    [[nodiscard]] std::array<std::uint8_t, 2> LedReport() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace qv::sim
