#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <set>
#include <thread>
#include <vector>

#include "backends/hidapi/registration_table.h"

namespace qv::device {
namespace {

struct Receiver final : ServiceCallbackTarget {
    std::function<void(const ServiceEvent&)> onEvent;
    int ServiceCallback(const ServiceEvent& event) override {
        onEvent(event);
        return 1;
    }
};

RegistrationTable::Registration On(const DeviceSelector& selector, Receiver& receiver,
                                   std::uint32_t tag) {
    RegistrationTable::Registration registration;
    registration.selector = selector;
    registration.callback = &receiver;
    registration.tag = tag;
    return registration;
}

// Delivers a kind-1 event to the registrations of one selector.
void DeliverTo(RegistrationTable& table, const DeviceSelector& selector) {
    table.Deliver([&](const RegistrationTable::Registration& r) -> std::optional<ServiceEvent> {
        if (!(r.selector == selector)) {
            return std::nullopt;
        }
        ServiceEvent event;
        event.value = 7;
        return event;
    });
}

TEST(RegistrationTableTest, DeliversToMatchingRegistrationsWithTheirOwnTags) {
    RegistrationTable table;
    Receiver control;
    Receiver consumer;
    std::vector<std::uint32_t> controlTags;
    std::vector<std::uint32_t> consumerTags;
    control.onEvent = [&](const ServiceEvent& e) { controlTags.push_back(e.tag); };
    consumer.onEvent = [&](const ServiceEvent& e) { consumerTags.push_back(e.tag); };

    const std::uint32_t first = table.Add(On(kControlSelector, control, TAG_CTRL));
    const std::uint32_t second = table.Add(On(kControlSelector, control, 0x1234));
    const std::uint32_t third = table.Add(On(kConsumerSelector, consumer, TAG_CONS));
    const std::uint32_t oneShot = table.NewId();
    EXPECT_NE(first, 0u);
    EXPECT_EQ((std::set<std::uint32_t>{first, second, third, oneShot}.size()), 4u);

    DeliverTo(table, kControlSelector);
    EXPECT_EQ(controlTags, (std::vector<std::uint32_t>{TAG_CTRL, 0x1234}));
    EXPECT_TRUE(consumerTags.empty());

    table.Remove(first);
    table.Remove(oneShot);  // holds no registration: ignored
    table.Remove(0);
    controlTags.clear();
    DeliverTo(table, kControlSelector);
    EXPECT_EQ(controlTags, (std::vector<std::uint32_t>{0x1234}));
    EXPECT_EQ(table.Size(), 2u);
}

TEST(RegistrationTableTest, RemoveFromAnotherThreadWaitsForTheRunningCallback) {
    RegistrationTable table;
    Receiver receiver;
    std::latch entered(1);
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    receiver.onEvent = [&](const ServiceEvent&) {
        entered.count_down();
        while (!release) {
            std::this_thread::yield();
        }
        finished = true;
    };
    const std::uint32_t id = table.Add(On(kControlSelector, receiver, TAG_CTRL));

    std::thread delivering([&] { DeliverTo(table, kControlSelector); });
    entered.wait();
    std::atomic<bool> finishedWhenRemoved{false};
    std::thread removing([&] {
        table.Remove(id);
        finishedWhenRemoved = finished.load();
    });
    // Give a Remove that wrongly returns at once the time to do so.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    release = true;
    removing.join();
    delivering.join();
    EXPECT_TRUE(finishedWhenRemoved);

    int late = 0;
    receiver.onEvent = [&](const ServiceEvent&) { ++late; };
    DeliverTo(table, kControlSelector);
    EXPECT_EQ(late, 0);
}

TEST(RegistrationTableTest, CallbacksRemovingRegistrationsDoNotDeadlock) {
    RegistrationTable table;
    Receiver self;
    std::uint32_t selfId = 0;
    int selfCalls = 0;
    self.onEvent = [&](const ServiceEvent&) {
        ++selfCalls;
        table.Remove(selfId);
    };
    selfId = table.Add(On(kLedSelector, self, TAG_LED));
    DeliverTo(table, kLedSelector);
    DeliverTo(table, kLedSelector);
    EXPECT_EQ(selfCalls, 1);

    // A registration removed by an earlier callback of the same delivery is not called.
    Receiver remover;
    Receiver removed;
    std::uint32_t removedId = 0;
    int removedCalls = 0;
    remover.onEvent = [&](const ServiceEvent&) { table.Remove(removedId); };
    removed.onEvent = [&](const ServiceEvent&) { ++removedCalls; };
    const std::uint32_t removerId = table.Add(On(kLedSelector, remover, TAG_LED));
    removedId = table.Add(On(kLedSelector, removed, TAG_LED));
    DeliverTo(table, kLedSelector);
    EXPECT_EQ(removedCalls, 0);
    table.Remove(removerId);

    // Two delivering threads whose callbacks remove each other's registration while both run.
    Receiver control;
    Receiver consumer;
    std::uint32_t controlId = 0;
    std::uint32_t consumerId = 0;
    std::latch bothInside(2);
    control.onEvent = [&](const ServiceEvent&) {
        bothInside.arrive_and_wait();
        table.Remove(consumerId);
    };
    consumer.onEvent = [&](const ServiceEvent&) {
        bothInside.arrive_and_wait();
        table.Remove(controlId);
    };
    controlId = table.Add(On(kControlSelector, control, TAG_CTRL));
    consumerId = table.Add(On(kConsumerSelector, consumer, TAG_CONS));
    std::thread a([&] { DeliverTo(table, kControlSelector); });
    std::thread b([&] { DeliverTo(table, kConsumerSelector); });
    a.join();
    b.join();
    EXPECT_EQ(table.Size(), 0u);
}

}  // namespace
}  // namespace qv::device
