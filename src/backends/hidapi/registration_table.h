#pragma once

// The read registrations of a HID service and the delivery of events to them, keeping the
// service contract: a registration removed from a thread that is not delivering events gets no
// callback once Remove has returned, while a callback may remove any registration (its own
// included) without waiting on itself or on another delivering thread.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "device/hid_service.h"

namespace qv::device {

class RegistrationTable {
public:
    struct Registration {
        DeviceSelector selector;
        ServiceCallbackTarget* callback = nullptr;
        std::uint32_t tag = 0;
    };

    RegistrationTable() = default;
    RegistrationTable(const RegistrationTable&) = delete;
    RegistrationTable& operator=(const RegistrationTable&) = delete;

    // Returns the new registration's id (never 0).
    [[nodiscard]] std::uint32_t Add(const Registration& registration);
    // An id for a request that receives no events; ids are unique among all requests.
    [[nodiscard]] std::uint32_t NewId();
    // Unknown ids are ignored.
    void Remove(std::uint32_t id);

    // Offers the event `eventFor` builds to every registration, skipping those for which it
    // returns nullopt; the registration's tag is filled in. Callbacks run on the calling thread
    // with no lock held, so they may call back into the service.
    using EventBuilder = std::function<std::optional<ServiceEvent>(const Registration&)>;
    void Deliver(const EventBuilder& eventFor);

    [[nodiscard]] std::size_t Size() const;

private:
    struct Entry {
        Registration registration;
        bool removed = false;  // guarded by mutex_
        int running = 0;       // callbacks in progress; guarded by mutex_
    };

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::uint32_t lastId_ = 0;
    std::map<std::uint32_t, std::shared_ptr<Entry>> entries_;
};

}  // namespace qv::device
