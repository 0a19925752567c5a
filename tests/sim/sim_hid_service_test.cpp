#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/hex.h"
#include "device/key_events.h"
#include "sim/sim_hid_service.h"

namespace qv::sim {
namespace {

using namespace std::chrono_literals;

using device::DeviceReport;
using device::DeviceSelector;
using device::kConsumerSelector;
using device::kControlSelector;
using device::kLedSelector;
using device::ReportBytes;
using device::ServiceEvent;
using device::ServiceEventKind;

struct Recorded {
    ServiceEventKind kind;
    std::uint32_t tag;
    std::uint32_t value;
    std::vector<std::uint8_t> data;
};

// Records every event it is handed; an optional hook runs inside the callback.
class Recorder final : public device::ServiceCallbackTarget {
public:
    int ServiceCallback(const ServiceEvent& event) override {
        {
            const std::lock_guard lock(mutex_);
            events_.push_back({event.kind, event.tag, event.value,
                               std::vector<std::uint8_t>(event.data.begin(), event.data.end())});
        }
        arrived_.notify_all();
        if (hook) {
            hook(event);
        }
        return 1;
    }

    std::vector<Recorded> Events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<Recorded> Replies() const {
        std::vector<Recorded> replies;
        for (const Recorded& e : Events()) {
            if (e.kind == ServiceEventKind::DataArrived) {
                replies.push_back(e);
            }
        }
        return replies;
    }

    // For events that WaitUntilIdle cannot wait for, because something later stays queued.
    [[nodiscard]] bool WaitForEvents(std::size_t count) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, 10s, [&] { return events_.size() >= count; });
    }

    std::function<void(const ServiceEvent&)> hook;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Recorded> events_;
};

std::uint32_t Register(SimHidService& service, const DeviceSelector& selector, Recorder& target,
                       std::uint32_t tag) {
    std::uint32_t id = 0;
    service.RequestAsyncRead(selector, &target, tag,
                             device::CheckValueForAsyncRead(selector, &target, tag), &id);
    return id;
}

int Write(SimHidService& service, const ReportBytes& report,
          const DeviceSelector& selector = kControlSelector) {
    return service.RequestWriteOne(selector, 0, 0, report,
                                   device::CheckValueForWriteOne(selector, report), 0);
}

ReportBytes Request(std::uint8_t command, std::uint8_t length = 0, std::uint16_t offset = 0,
                    Bytes payload = {}) {
    return DeviceReport::Request(command, length, offset, payload).bytes();
}

std::uint8_t CommandOf(const Recorded& e) {
    return e.data.at(device::kCommandOffset);
}
std::uint8_t StatusOf(const Recorded& e) {
    return e.data.at(device::kStatusOffset);
}

class SimHidServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        controlId = Register(service, kControlSelector, control, device::TAG_CTRL);
        consumerId = Register(service, kConsumerSelector, consumer, device::TAG_CONS);
    }

    // Targets outlive the service, whose thread may still deliver while it is destroyed.
    Recorder control;
    Recorder consumer;
    SimHidService service;
    std::uint32_t controlId = 0;
    std::uint32_t consumerId = 0;
};

TEST_F(SimHidServiceTest, RepliesReachControlReadsAsTheFirmwareAnswers) {
    const ReportBytes request = Request(device::CMD_READ_SETTINGS, 44);
    ASSERT_GT(Write(service, request), 0);
    service.WaitUntilIdle();

    const auto events = control.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, ServiceEventKind::DataArrived);
    EXPECT_EQ(events[0].tag, device::TAG_CTRL);
    EXPECT_EQ(events[0].value, 64u);
    VirtualKeyboard firmware;
    EXPECT_EQ(HexBytes(events[0].data), HexBytes(firmware.HandleCommand(request)));
    EXPECT_TRUE(consumer.Events().empty());
    ASSERT_EQ(service.SentReports().size(), 1u);
    EXPECT_EQ(service.SentReports()[0], request);
}

TEST_F(SimHidServiceTest, WrongCheckValuesAreRefusedAndCounted) {
    const ReportBytes report = Request(device::CMD_BEGIN_TRANSFER);
    EXPECT_EQ(
        service.RequestGetDeviceCount(kControlSelector, 0, 0,
                                      device::CheckValueForDeviceCount(kControlSelector) + 1, 0),
        0);
    EXPECT_EQ(
        service.RequestWriteOne(kControlSelector, 0, 0, report,
                                device::CheckValueForWriteOne(kControlSelector, report) - 1, 0),
        0);
    // The check covers the report bytes: the value for another report does not do.
    EXPECT_EQ(
        service.RequestWriteOne(kControlSelector, 0, 0, report,
                                device::CheckValueForWriteOne(kControlSelector, Request(2)), 0),
        0);
    Recorder other;
    std::uint32_t id = 99;
    service.RequestAsyncRead(
        kControlSelector, &other, device::TAG_CTRL,
        device::CheckValueForAsyncRead(kControlSelector, &control, device::TAG_CTRL), &id);
    EXPECT_EQ(id, 0u);
    const std::array<std::uint8_t, 2> led{0x05, 0x03};
    id = 99;
    service.RequestStatusWrite(
        kLedSelector, &other, device::TAG_LED, led,
        device::CheckValueForStatusWrite(kLedSelector, &other, device::TAG_LED, Request(1)), &id);
    EXPECT_EQ(id, 0u);

    EXPECT_EQ(service.CheckValueFailures(), 5);
    EXPECT_TRUE(service.SentReports().empty());
    EXPECT_EQ(HexBytes(service.LedReport()), "05 02");
    ASSERT_GT(Write(service, report), 0);  // `other` was never registered: no reply reaches it
    service.WaitUntilIdle();
    EXPECT_TRUE(other.Events().empty());
    EXPECT_EQ(control.Replies().size(), 1u);
}

TEST_F(SimHidServiceTest, OnlyTheKeyboardsCollectionsAreThere) {
    const auto count = [&](const DeviceSelector& selector) {
        return service.RequestGetDeviceCount(selector, 0, 0,
                                             device::CheckValueForDeviceCount(selector), 0);
    };
    DeviceSelector otherProduct = kControlSelector;
    otherProduct.productId = 0x5005;
    DeviceSelector otherFlags = kControlSelector;
    otherFlags.matchFlags = 7;
    EXPECT_EQ(count(kControlSelector), 1);
    EXPECT_EQ(count(kConsumerSelector), 1);
    EXPECT_EQ(count(kLedSelector), 1);
    EXPECT_EQ(count(otherProduct), 0);
    EXPECT_EQ(count(otherFlags), 0);

    // Commands go to the control collection, 64 bytes at a time.
    const ReportBytes report = Request(device::CMD_BEGIN_TRANSFER);
    EXPECT_EQ(Write(service, report, kConsumerSelector), 0);
    const Bytes shortReport = Bytes(report).first(63);
    EXPECT_EQ(
        service.RequestWriteOne(kControlSelector, 0, 0, shortReport,
                                device::CheckValueForWriteOne(kControlSelector, shortReport), 0),
        0);
    EXPECT_TRUE(service.SentReports().empty());

    service.Unplug();
    EXPECT_EQ(count(kControlSelector), 0);
    EXPECT_EQ(Write(service, report), 0);

    service.FailInit(true);
    EXPECT_EQ(service.Init(0), 0);
    service.FailInit(false);
    EXPECT_GT(service.Init(0), 0);
}

TEST_F(SimHidServiceTest, PlugAndUnplugNotifyEveryRead) {
    service.Unplug();
    service.Plug();
    service.Plug();  // already plugged: no event
    service.WaitUntilIdle();
    for (const Recorder* r : {&control, &consumer}) {
        const auto events = r->Events();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].kind, ServiceEventKind::DeviceCountChanged);
        EXPECT_EQ(events[0].value, 0u);
        EXPECT_EQ(events[1].kind, ServiceEventKind::DeviceCountChanged);
        EXPECT_EQ(events[1].value, 1u);
    }
    EXPECT_EQ(control.Events()[0].tag, device::TAG_CTRL);
    EXPECT_EQ(consumer.Events()[0].tag, device::TAG_CONS);
}

TEST_F(SimHidServiceTest, UnplugLosesRepliesNotYetDelivered) {
    service.SetTiming({SimTiming::Mode::FixedDelay, std::chrono::hours(1)});
    ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    service.Unplug();
    service.WaitUntilIdle();  // would wait an hour if the reply were still queued
    EXPECT_TRUE(control.Replies().empty());
    ASSERT_EQ(control.Events().size(), 1u);
    EXPECT_EQ(control.Events()[0].value, 0u);

    // Nothing of the old connection arrives after plugging in again.
    service.SetTiming({});
    service.Plug();
    service.WaitUntilIdle();
    EXPECT_TRUE(control.Replies().empty());
}

TEST_F(SimHidServiceTest, KeyEventsReachConsumerReads) {
    service.RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
    service.ChangeProfileOnKeyboard(2);
    service.ChangeProfileOnKeyboard(4);  // no such profile: nothing happens
    service.WaitUntilIdle();

    const auto events = consumer.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, ServiceEventKind::DataArrived);
    EXPECT_EQ(events[0].tag, device::TAG_CONS);
    EXPECT_EQ(events[0].value, 2u);
    EXPECT_EQ(HexBytes(events[0].data), "FF 02");
    EXPECT_EQ(HexBytes(events[1].data), "01 04");
    EXPECT_EQ(service.Memory().settings[kSettingsActiveProfile], 2);
    EXPECT_TRUE(control.Events().empty());

    service.Unplug();
    service.RaiseKeyEvent(device::KEY_EVENT_PLAY_ON);  // an unplugged keyboard raises nothing
    service.WaitUntilIdle();
    EXPECT_EQ(consumer.Replies().size(), 2u);
}

TEST_F(SimHidServiceTest, LedStatusWriteReachesTheKeyboard) {
    const std::array<std::uint8_t, 2> led{0x05, 0x03};
    std::uint32_t id = 0;
    EXPECT_GT(
        service.RequestStatusWrite(
            kLedSelector, &control, device::TAG_LED, led,
            device::CheckValueForStatusWrite(kLedSelector, &control, device::TAG_LED, led), &id),
        0);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(HexBytes(service.LedReport()), "05 03");

    const std::array<std::uint8_t, 2> other{0x01, 0x00};
    EXPECT_EQ(service.RequestStatusWrite(kControlSelector, &control, device::TAG_LED, other,
                                         device::CheckValueForStatusWrite(
                                             kControlSelector, &control, device::TAG_LED, other),
                                         &id),
              0);
    EXPECT_EQ(HexBytes(service.LedReport()), "05 03");
}

TEST_F(SimHidServiceTest, RegistrationIdsAreNonZeroAndUnique) {
    std::set<std::uint32_t> ids{controlId, consumerId};
    Recorder more;
    for (int i = 0; i < 20; ++i) {
        const std::uint32_t id = Register(service, kControlSelector, more, device::TAG_CTRL);
        if (i % 2 == 0) {
            EXPECT_EQ(service.DeleteRequestFromUnitId(id), 1);
        }
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 22u);
    EXPECT_FALSE(ids.contains(0u));
    EXPECT_EQ(service.DeleteRequestFromUnitId(0), 0);
}

TEST_F(SimHidServiceTest, FaultsAddedAheadCountFromTheNextReport) {
    const auto writeLighting = [](std::uint8_t value) {
        return Request(device::CMD_WRITE_LIGHTING, 1, 0, std::array<std::uint8_t, 1>{value});
    };
    const auto lightingByte = [&] { return service.Memory().lighting[0]; };

    // Refused sends are not taken (not logged, not executed), yet they have their number.
    service.AddFaultsAhead({{.kind = FaultKind::Refuse}, {.kind = FaultKind::Drop, .report = 2}});
    EXPECT_EQ(Write(service, writeLighting(0x11)), 0);
    EXPECT_TRUE(service.SentReports().empty());
    EXPECT_EQ(lightingByte(), 1);

    // Dropped: executed, never answered.
    EXPECT_GT(Write(service, writeLighting(0x22)), 0);
    service.WaitUntilIdle();
    EXPECT_EQ(lightingByte(), 0x22);
    EXPECT_TRUE(control.Replies().empty());

    // Status answered: not executed. Misnumbered: executed, wrong command number (255 wraps).
    service.AddFaultsAhead(InARow({.kind = FaultKind::Status, .status = 0xFE}, 2));
    service.AddFaultsAhead({{.kind = FaultKind::Misnumber}});
    EXPECT_GT(Write(service, writeLighting(0x33)), 0);
    EXPECT_GT(Write(service, writeLighting(0x44)), 0);
    service.AddFaultsAhead({{.kind = FaultKind::Misnumber}});
    EXPECT_GT(Write(service, Request(255)), 0);
    EXPECT_GT(Write(service, writeLighting(0x55)), 0);
    service.WaitUntilIdle();
    auto replies = control.Replies();
    ASSERT_EQ(replies.size(), 4u);
    EXPECT_EQ(CommandOf(replies[0]), 7);  // both faults on the same report
    EXPECT_EQ(StatusOf(replies[0]), 0xFE);
    EXPECT_EQ(CommandOf(replies[1]), 6);
    EXPECT_EQ(StatusOf(replies[1]), 0xFE);
    EXPECT_EQ(CommandOf(replies[2]), 0);
    EXPECT_EQ(StatusOf(replies[2]), 0xFE);  // unknown command, answered by the firmware
    EXPECT_EQ(CommandOf(replies[3]), 6);
    EXPECT_EQ(StatusOf(replies[3]), 0x00);
    EXPECT_EQ(lightingByte(), 0x55);
    EXPECT_EQ(service.SentReports().size(), 5u);
    EXPECT_EQ(service.PlannedFaults(),
              (FaultPlan{{.kind = FaultKind::Refuse, .report = 1},
                         {.kind = FaultKind::Drop, .report = 2},
                         {.kind = FaultKind::Status, .report = 3, .status = 0xFE},
                         {.kind = FaultKind::Status, .report = 4, .status = 0xFE},
                         {.kind = FaultKind::Misnumber, .report = 3},
                         {.kind = FaultKind::Misnumber, .report = 5}}));
}

TEST_F(SimHidServiceTest, DelayedReplyIsOvertakenByLaterOnes) {
    service.AddFaultsAhead({{.kind = FaultKind::Late, .delay = std::chrono::hours(1)}});
    ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    ASSERT_GT(Write(service, Request(device::CMD_END_TRANSFER)), 0);
    ASSERT_TRUE(control.WaitForEvents(1));
    const auto replies = control.Replies();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(CommandOf(replies[0]), device::CMD_END_TRANSFER);
}

TEST_F(SimHidServiceTest, UnplugAfterReportsCutsTheCableOnTheLastOne) {
    service.UnplugAfterReports(2);
    ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    service.WaitUntilIdle();  // an unplug loses replies still on their way
    ASSERT_GT(Write(service,
                    Request(device::CMD_WRITE_LIGHTING, 1, 0, std::array<std::uint8_t, 1>{0x99})),
              0);
    EXPECT_EQ(Write(service, Request(device::CMD_END_TRANSFER)), 0);
    service.WaitUntilIdle();

    EXPECT_FALSE(service.IsPlugged());
    EXPECT_EQ(service.Memory().lighting[0], 1);  // the last report never ran
    EXPECT_EQ(service.SentReports().size(), 2u);
    const auto events = control.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(CommandOf(events[0]), device::CMD_BEGIN_TRANSFER);
    EXPECT_EQ(events[1].kind, ServiceEventKind::DeviceCountChanged);
    EXPECT_EQ(events[1].value, 0u);
    ASSERT_EQ(consumer.Events().size(), 1u);
    EXPECT_EQ(consumer.Events()[0].value, 0u);
}

TEST_F(SimHidServiceTest, WaitUntilIdleWaitsForScheduledReplies) {
    service.SetTiming({SimTiming::Mode::FixedDelay, 30ms});
    ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    service.WaitUntilIdle();
    EXPECT_EQ(control.Replies().size(), 1u);
}

TEST_F(SimHidServiceTest, FullSpeedAnswersInOrder) {
    service.SetTiming({SimTiming::Mode::FullSpeed, 0us});
    for (int command = 11; command <= 14; ++command) {
        ASSERT_GT(Write(service, Request(static_cast<std::uint8_t>(command))), 0);
    }
    service.WaitUntilIdle();
    const auto replies = control.Replies();
    ASSERT_EQ(replies.size(), 4u);
    for (std::size_t i = 0; i < replies.size(); ++i) {
        EXPECT_EQ(CommandOf(replies[i]), 11 + i);
    }
}

TEST_F(SimHidServiceTest, CallbacksMayCallBackIntoTheService) {
    // As the host does on a bank toggle: write the LED report and replace its registration,
    // then (here) cancel the read that is being called.
    std::uint32_t ledId = 0;
    consumer.hook = [&](const ServiceEvent&) {
        const std::array<std::uint8_t, 2> led{0x05, 0x03};
        service.DeleteRequestFromUnitId(ledId);
        service.RequestStatusWrite(
            kLedSelector, &consumer, device::TAG_LED, led,
            device::CheckValueForStatusWrite(kLedSelector, &consumer, device::TAG_LED, led),
            &ledId);
        service.WaitUntilIdle();  // from the callback thread: returns at once
        service.DeleteRequestFromUnitId(consumerId);
    };
    service.RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
    service.WaitUntilIdle();
    service.RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
    service.WaitUntilIdle();
    EXPECT_EQ(HexBytes(service.LedReport()), "05 03");
    EXPECT_NE(ledId, 0u);
    EXPECT_EQ(consumer.Events().size(), 1u);  // cancelled by its own callback
}

TEST_F(SimHidServiceTest, CancelFromAnotherThreadWaitsForTheRunningCallback) {
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> returned{false};
    consumer.hook = [&, released](const ServiceEvent&) {
        entered.set_value();
        released.wait();
        returned = true;
    };
    service.RaiseKeyEvent(device::KEY_EVENT_PLAY_ON);
    entered.get_future().wait();

    bool returnedBeforeCancelEnded = false;
    std::thread canceller([&] {
        service.DeleteRequestFromUnitId(consumerId);
        returnedBeforeCancelEnded = returned;
    });
    std::this_thread::sleep_for(20ms);  // give a cancel that does not wait the chance to return
    release.set_value();
    canceller.join();
    EXPECT_TRUE(returnedBeforeCancelEnded);

    consumer.hook = nullptr;
    service.RaiseKeyEvent(device::KEY_EVENT_PLAY_OFF);
    service.WaitUntilIdle();
    EXPECT_EQ(consumer.Events().size(), 1u);
}

TEST(SimHidService, DestructionDoesNotWaitForPendingDeliveries) {
    Recorder control;
    {
        SimHidService service;
        Register(service, kControlSelector, control, device::TAG_CTRL);
        service.SetTiming({SimTiming::Mode::FixedDelay, std::chrono::hours(1)});
        ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    }
    EXPECT_TRUE(control.Events().empty());
}

TEST(SimHidService, ServesConcurrentCallers) {
    Recorder control;
    SimHidService service;
    Register(service, kControlSelector, control, device::TAG_CTRL);
    constexpr int kThreads = 4;
    constexpr int kReportsEach = 100;
    std::atomic<bool> done{false};
    std::thread churn([&] {
        Recorder transient;
        while (!done) {
            const std::uint32_t id =
                Register(service, kConsumerSelector, transient, device::TAG_CONS);
            service.RaiseKeyEvent(device::KEY_EVENT_PLAY_ON);
            service.DeleteRequestFromUnitId(id);
            (void)service.Memory();
        }
    });
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < kReportsEach; ++i) {
                const std::uint8_t value = static_cast<std::uint8_t>(t);
                EXPECT_GT(Write(service, Request(device::CMD_WRITE_LIGHTING, 1,
                                                 static_cast<std::uint16_t>(t),
                                                 std::array<std::uint8_t, 1>{value})),
                          0);
            }
        });
    }
    for (std::thread& s : senders) {
        s.join();
    }
    done = true;
    churn.join();
    service.WaitUntilIdle();
    EXPECT_EQ(service.SentReports().size(), std::size_t{kThreads * kReportsEach});
    EXPECT_EQ(control.Replies().size(), std::size_t{kThreads * kReportsEach});
}

// A fault armed from outside hits the report with its number and no other: the second of
// begin transfer, a lighting write of 0x42 and end transfer.
struct PlannedCase {
    const char* name;
    std::string plan;
    std::array<bool, 3> accepted;             // RequestWriteOne reported each report sent
    std::vector<std::uint8_t> replyCommands;  // of the replies, in arrival order
    std::uint8_t lightingAfter;               // the byte the second report writes
    std::function<void(const Recorded& secondReply)> check;  // when it was answered
    bool replyStillOnItsWay = false;
};

void PrintTo(const PlannedCase& c, std::ostream* out) {
    *out << c.name;
}

class PlannedFaultTest : public ::testing::TestWithParam<PlannedCase> {};

TEST_P(PlannedFaultTest, HitsOnlyItsReport) {
    const PlannedCase& c = GetParam();
    Recorder control;
    SimHidService service;
    Register(service, kControlSelector, control, device::TAG_CTRL);
    const auto plan = ParseFaultPlan(c.plan);
    ASSERT_TRUE(std::holds_alternative<FaultPlan>(plan));
    service.PlanFaults(std::get<FaultPlan>(plan));

    const std::array<ReportBytes, 3> reports{
        Request(device::CMD_BEGIN_TRANSFER),
        Request(device::CMD_WRITE_LIGHTING, 1, 0, std::array<std::uint8_t, 1>{0x42}),
        Request(device::CMD_END_TRANSFER)};
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(Write(service, reports[i]) > 0, c.accepted[i]) << "report " << i + 1;
        // Each reply is in before the next report (an unplug loses replies on their way), but
        // a late reply would keep WaitUntilIdle waiting.
        if (!c.replyStillOnItsWay) {
            service.WaitUntilIdle();
        }
    }
    ASSERT_TRUE(control.WaitForEvents(c.replyCommands.size()));

    std::vector<std::uint8_t> commands;
    for (const Recorded& reply : control.Replies()) {
        commands.push_back(CommandOf(reply));
    }
    EXPECT_EQ(commands, c.replyCommands);
    EXPECT_EQ(service.Memory().lighting[0], c.lightingAfter);
    if (c.check) {
        ASSERT_GE(control.Replies().size(), 2u);
        c.check(control.Replies()[1]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PlannedFaultTest,
    ::testing::Values(
        PlannedCase{"Refuse", "refuse@2", {true, false, true}, {1, 2}, 0x01, nullptr},
        PlannedCase{"Drop", "drop@2", {true, true, true}, {1, 2}, 0x42, nullptr},
        // Answered an hour late: overtaken by the third report's reply.
        PlannedCase{"Late", "late@2:3600s", {true, true, true}, {1, 2}, 0x42, nullptr, true},
        PlannedCase{"Status",
                    "status@2:FE",
                    {true, true, true},
                    {1, 6, 2},
                    0x01,
                    [](const Recorded& reply) { EXPECT_EQ(StatusOf(reply), 0xFE); }},
        PlannedCase{"Misnumber", "misnumber@2", {true, true, true}, {1, 7, 2}, 0x42, nullptr},
        PlannedCase{"Flip",
                    "flip@2",
                    {true, true, true},
                    {1, 6, 2},
                    0x42,
                    [](const Recorded& reply) {
                        ReportBytes bytes{};
                        std::copy(reply.data.begin(), reply.data.end(), bytes.begin());
                        EXPECT_EQ(bytes[device::kPayloadOffset], 0xFF);
                        EXPECT_EQ(StatusOf(reply), kStatusOk);
                        EXPECT_NE(ReadU16LE(bytes, device::kChecksumOffset),
                                  device::ReportChecksum(bytes));
                    }},
        // The cable is pulled as the second report arrives: the third finds no keyboard.
        PlannedCase{"Unplug", "unplug@2", {true, true, false}, {1}, 0x01, nullptr}),
    [](const ::testing::TestParamInfo<PlannedCase>& param) {
        return std::string(param.param.name);
    });

TEST(SimHidService, FaultsAddedAheadJoinThePlanAndReplaceTheirKindAtTheirReport) {
    Recorder control;
    SimHidService service;
    Register(service, kControlSelector, control, device::TAG_CTRL);
    service.PlanFaults({{.kind = FaultKind::Misnumber, .report = 1},
                        {.kind = FaultKind::Status, .report = 2, .status = 0xFE}});
    service.AddFaultsAhead({{.kind = FaultKind::Flip, .byte = device::kStatusOffset},
                            {.kind = FaultKind::Status, .report = 2, .status = 0x7F}});
    EXPECT_EQ(service.PlannedFaults().size(), 3u);
    ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    ASSERT_GT(Write(service, Request(device::CMD_BEGIN_TRANSFER)), 0);
    service.WaitUntilIdle();
    const auto replies = control.Replies();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(CommandOf(replies[0]), 2);
    EXPECT_EQ(StatusOf(replies[0]), 0xFF);  // kStatusOk inverted
    EXPECT_EQ(CommandOf(replies[1]), 1);
    EXPECT_EQ(StatusOf(replies[1]), 0x7F);
}

}  // namespace
}  // namespace qv::sim
