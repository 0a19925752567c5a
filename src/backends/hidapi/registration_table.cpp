#include "backends/hidapi/registration_table.h"

#include <vector>

namespace qv::device {

namespace {

// The tables whose Deliver the current thread is inside. Remove must not wait for callbacks
// when it is itself reached from one, or a callback removing its own registration (or two
// callbacks removing each other's) would wait forever.
thread_local std::vector<const RegistrationTable*> tDelivering;

struct DeliveringScope {
    explicit DeliveringScope(const RegistrationTable* table) { tDelivering.push_back(table); }
    ~DeliveringScope() { tDelivering.pop_back(); }
    DeliveringScope(const DeliveringScope&) = delete;
    DeliveringScope& operator=(const DeliveringScope&) = delete;
};

bool DeliveringOn(const RegistrationTable* table) {
    for (const RegistrationTable* t : tDelivering) {
        if (t == table) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::uint32_t RegistrationTable::NewId() {
    std::lock_guard lock(mutex_);
    do {
        ++lastId_;
    } while (lastId_ == 0 || entries_.contains(lastId_));
    return lastId_;
}

std::uint32_t RegistrationTable::Add(const Registration& registration) {
    const std::uint32_t id = NewId();
    auto entry = std::make_shared<Entry>();
    entry->registration = registration;
    std::lock_guard lock(mutex_);
    entries_.emplace(id, std::move(entry));
    return id;
}

void RegistrationTable::Remove(std::uint32_t id) {
    std::unique_lock lock(mutex_);
    const auto it = entries_.find(id);
    if (it == entries_.end()) {
        return;
    }
    std::shared_ptr<Entry> entry = it->second;
    entries_.erase(it);
    entry->removed = true;
    if (!DeliveringOn(this)) {
        idle_.wait(lock, [&] { return entry->running == 0; });
    }
}

void RegistrationTable::Deliver(const EventBuilder& eventFor) {
    std::vector<std::shared_ptr<Entry>> targets;
    {
        std::lock_guard lock(mutex_);
        targets.reserve(entries_.size());
        for (const auto& [id, entry] : entries_) {
            targets.push_back(entry);
        }
    }

    const DeliveringScope delivering(this);
    for (const std::shared_ptr<Entry>& entry : targets) {
        // The registration is fixed once added, so it can be read without the lock.
        std::optional<ServiceEvent> event = eventFor(entry->registration);
        if (!event) {
            continue;
        }
        event->tag = entry->registration.tag;
        {
            std::lock_guard lock(mutex_);
            if (entry->removed) {
                continue;
            }
            ++entry->running;
        }
        struct RunningScope {
            RegistrationTable& table;
            Entry& entry;
            ~RunningScope() {
                {
                    std::lock_guard lock(table.mutex_);
                    --entry.running;
                }
                table.idle_.notify_all();
            }
        } running{*this, *entry};
        entry->registration.callback->ServiceCallback(*event);
    }
}

std::size_t RegistrationTable::Size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace qv::device
