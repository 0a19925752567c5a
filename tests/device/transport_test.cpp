#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "device/command_result.h"
#include "device/commands.h"
#include "device/key_events.h"
#include "device/transport.h"
#include "sim/sim_hid_service.h"

namespace qv::device {
namespace {

using namespace std::chrono_literals;

class RecordingListener final : public TransportListener {
public:
    void OnPresenceReport(int count) override {
        std::lock_guard lock(mutex_);
        presence_.push_back(count);
        changed_.notify_all();
    }
    void OnKeyEvent(std::uint16_t code) override {
        std::lock_guard lock(mutex_);
        keyEvents_.push_back(code);
        changed_.notify_all();
    }
    std::vector<int> WaitForPresence(std::size_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return presence_.size() >= n; });
        return presence_;
    }
    std::vector<std::uint16_t> WaitForKeyEvents(std::size_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return keyEvents_.size() >= n; });
        return keyEvents_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> presence_;
    std::vector<std::uint16_t> keyEvents_;
};

// Short reply waits keep the time-out paths fast; the order of events is what is tested.
constexpr TransportTiming kFastTiming{.replyWait = 100ms, .retryPause = 10ms};

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(transport.Load(&listener)); }

    std::size_t SentCount() const { return keyboard.SentReports().size(); }

    sim::SimHidService keyboard;
    RecordingListener listener;
    Transport transport{keyboard, kFastTiming};
    DeviceCommands commands{transport};
};

TEST_F(TransportTest, LoadReportsTheKeyboardAndCommandsReachIt) {
    EXPECT_EQ(listener.WaitForPresence(1).front(), 1);
    std::array<std::uint8_t, kSettingsBlockSize> block{};
    ASSERT_EQ(commands.ReadSettings(block), kSuccess);
    EXPECT_EQ(ReadU16LE(block, 8), sim::kFactoryFirmwareVersion);

    std::array<std::uint8_t, kKeyPageSize> page{};
    page[5] = 0x42;
    ASSERT_EQ(commands.WriteKeyPage(page, 3), kSuccess);
    std::array<std::uint8_t, kKeyPageSize> readBack{};
    ASSERT_EQ(commands.ReadKeyPage(readBack, 3), kSuccess);
    EXPECT_EQ(readBack, page);
    EXPECT_EQ(keyboard.CheckValueFailures(), 0);
}

TEST_F(TransportTest, NoKeyboardSendsNothing) {
    keyboard.Unplug();
    std::array<std::uint8_t, kSettingsBlockSize> block{};
    EXPECT_EQ(commands.ReadSettings(block), kNoKeyboard);
    EXPECT_EQ(commands.BeginTransfer(), kNoKeyboard);
    EXPECT_EQ(SentCount(), 0u);
    EXPECT_EQ(transport.DeviceCount(), 0);
}

TEST_F(TransportTest, FaultsMapToResults) {
    using sim::FaultKind;
    using sim::InARow;
    struct Case {
        const char* name;
        sim::FaultPlan faults;  // counted from the command's first report
        int result;
        std::size_t sends;
    };
    const std::vector<Case> cases{
        {"other command number three times", InARow({.kind = FaultKind::Misnumber}, 3), kNoReply,
         3},
        {"no answer three times", InARow({.kind = FaultKind::Drop}, 3), kNoReply, 3},
        {"no answer once", {{.kind = FaultKind::Drop}}, kSuccess, 2},
        {"status FF throughout", InARow({.kind = FaultKind::Status, .status = 0xFF}, 3), kStatusFF,
         3},
        {"status FE throughout", InARow({.kind = FaultKind::Status, .status = 0xFE}, 3), kStatusFE,
         3},
        {"status FE, then 0", {{.kind = FaultKind::Status, .status = 0xFE}}, kSuccess, 2},
        {"send refused", {{.kind = FaultKind::Refuse}}, kSendRefused, 0},
        // The first attempt went out and may have been carried out: not "refused".
        {"no answer, then send refused",
         {{.kind = FaultKind::Drop}, {.kind = FaultKind::Refuse, .report = 2}},
         kNoReply,
         1},
        // A damaged reply is as good as none, but the request goes again at once.
        {"one byte flipped once", {{.kind = FaultKind::Flip}}, kSuccess, 2},
        {"one byte flipped throughout", InARow({.kind = FaultKind::Flip}, 3), kNoReply, 3},
        {"time-out then other number then FF",
         {{.kind = FaultKind::Drop},
          {.kind = FaultKind::Status, .report = 1, .status = 0xFF},
          {.kind = FaultKind::Status, .report = 2, .status = 0xFF},
          {.kind = FaultKind::Status, .report = 3, .status = 0xFF},
          {.kind = FaultKind::Misnumber, .report = 1},
          {.kind = FaultKind::Misnumber, .report = 2}},
         kStatusFF,
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keyboard.ClearSentReports();
        keyboard.AddFaultsAhead(c.faults);
        std::array<std::uint8_t, kSettingsBlockSize> block{};
        EXPECT_EQ(commands.ReadSettings(block), c.result);
        EXPECT_EQ(SentCount(), c.sends);
        keyboard.WaitUntilIdle();
    }
}

TEST_F(TransportTest, LateReplyIsTakenByTheNextAttemptOfTheSameCommand) {
    // The first reply comes after the first wait ran out, while the second attempt waits.
    keyboard.AddFaultsAhead(sim::InARow({.kind = sim::FaultKind::Late, .delay = 150ms}, 2));
    std::array<std::uint8_t, kSettingsBlockSize> block{};
    EXPECT_EQ(commands.ReadSettings(block), kSuccess);
    EXPECT_EQ(SentCount(), 2u);
    EXPECT_EQ(block[10], 0);
    keyboard.WaitUntilIdle();

    // The second attempt's own reply arrived with nobody waiting; it must not answer this one.
    keyboard.ClearSentReports();
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.settings[10] = 2; });
    ASSERT_EQ(commands.ReadSettings(block), kSuccess);
    EXPECT_EQ(block[10], 2);
    EXPECT_EQ(SentCount(), 1u);
}

// Real timing. Every reply takes 80 ms; the first chunk's first one 120 ms, so its wait (100 ms)
// runs out and the retry goes at 105 ms. That late reply answers the retry (the same request)
// at 120 ms; the retry's own reply then comes at 185 ms, while the second chunk (sent at 120 ms)
// waits for its reply at 200 ms. The stray reply names the first chunk's offset, so it must not
// be taken as the second chunk's data.
TEST(TransportTimingTest, ALateReplyIsNotTakenForAnotherChunk) {
    sim::SimHidService keyboard;
    keyboard.SetTiming({sim::SimTiming::Mode::FixedDelay, 80ms});
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) {
        for (std::size_t i = 0; i < kKeyPageSize; ++i) {
            m.keyPages[i] = static_cast<std::uint8_t>(i);
        }
    });
    Transport transport{keyboard, {.replyWait = 100ms, .retryPause = 5ms}};
    ASSERT_TRUE(transport.Load(nullptr));
    DeviceCommands commands{transport};
    keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Late, .delay = 40ms}});
    std::array<std::uint8_t, kKeyPageSize> page{};
    ASSERT_EQ(commands.ReadKeyPage(page, 0), kSuccess);
    for (std::size_t i = 0; i < kKeyPageSize; ++i) {
        ASSERT_EQ(page[i], i) << "byte " << i;
    }
    keyboard.WaitUntilIdle();
}

TEST_F(TransportTest, ReplyIsCutToTheCallersCapacity) {
    const DeviceReport request = DeviceReport::Request(CMD_READ_SETTINGS, 44, 0);
    std::array<std::uint8_t, 10> small{};
    std::size_t received = 99;
    ASSERT_EQ(transport.Exchange(request.bytes(), small, received), kSuccess);
    EXPECT_EQ(received, 10u);
    EXPECT_EQ(small[3], CMD_READ_SETTINGS);

    // A request longer than a report is cut, a shorter one padded with zeros.
    std::vector<std::uint8_t> longRequest(request.bytes().begin(), request.bytes().end());
    longRequest.resize(100, 0xEE);
    std::array<std::uint8_t, kReportSize> reply{};
    keyboard.ClearSentReports();
    ASSERT_EQ(transport.Exchange(longRequest, reply, received), kSuccess);
    EXPECT_EQ(received, kReportSize);
    const std::array<std::uint8_t, 4> shortRequest{4, 1, 0, 1};
    ASSERT_EQ(transport.Exchange(shortRequest, reply, received), kSuccess);
    const auto sent = keyboard.SentReports();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], request.bytes());
    EXPECT_EQ(sent[1], DeviceReport::Request(CMD_BEGIN_TRANSFER, 0, 0).bytes());
}

TEST_F(TransportTest, ConcurrentExchangesEachGetTheirOwnReply) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) {
        for (std::size_t i = 0; i < m.lighting.size(); ++i) {
            m.lighting[i] = static_cast<std::uint8_t>(i);
        }
    });
    constexpr int kThreads = 4;
    constexpr int kRounds = 40;
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            DeviceCommands own(transport);
            for (int round = 0; round < kRounds; ++round) {
                std::array<std::uint8_t, kPayloadSize> bytes{};
                const auto offset = static_cast<std::uint16_t>(t * 64);
                if (own.ReadLighting(bytes, 56, offset) != kSuccess || bytes[0] != t * 64 ||
                    bytes[55] != t * 64 + 55) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(SentCount(), static_cast<std::size_t>(kThreads * kRounds));
}

TEST_F(TransportTest, UnplugDuringATransferFailsIt) {
    keyboard.UnplugAfterReports(2);
    std::array<std::uint8_t, kKeyPageSize> page{};
    EXPECT_NE(commands.WriteKeyPage(page, 0), kSuccess);
    EXPECT_EQ(SentCount(), 2u);
    EXPECT_EQ(listener.WaitForPresence(2).back(), 0);
}

TEST_F(TransportTest, KeyEventsAndPresenceReachTheListener) {
    keyboard.RaiseKeyEvent(KEY_EVENT_BANK_TOGGLE);
    keyboard.ChangeProfileOnKeyboard(3);
    EXPECT_EQ(listener.WaitForKeyEvents(2),
              (std::vector<std::uint16_t>{KEY_EVENT_BANK_TOGGLE, KEY_EVENT_SETTINGS_CHANGED}));
    keyboard.Unplug();
    keyboard.Plug();
    EXPECT_EQ(listener.WaitForPresence(3), (std::vector<int>{1, 0, 1}));
}

TEST_F(TransportTest, LedReportReachesTheKeyboard) {
    EXPECT_EQ(transport.LedReport(), kInitialLedReport);
    transport.SetLedReport({0x05, 0x03});
    transport.WriteLedReport();
    transport.WriteLedReport();
    keyboard.WaitUntilIdle();
    EXPECT_EQ(keyboard.LedReport(), (std::array<std::uint8_t, 2>{0x05, 0x03}));
    EXPECT_EQ(keyboard.CheckValueFailures(), 0);
}

TEST(TransportLoadTest, ServiceThatCannotStartIsReported) {
    sim::SimHidService keyboard;
    keyboard.FailInit(true);
    Transport transport(keyboard, kFastTiming);
    RecordingListener listener;
    EXPECT_FALSE(transport.Load(&listener));
}

TEST(TransportLoadTest, StartWithoutKeyboardReportsZero) {
    sim::SimHidService keyboard(sim::FactoryMemory(), /*plugged=*/false);
    RecordingListener listener;
    Transport transport(keyboard, kFastTiming);
    ASSERT_TRUE(transport.Load(&listener));
    EXPECT_EQ(listener.WaitForPresence(1), std::vector<int>{0});
    keyboard.Plug();
    EXPECT_EQ(listener.WaitForPresence(2), (std::vector<int>{0, 1}));
}

// Answers on the caller's thread, inside the send call, for the first `answers` sends.
class InlineService final : public HidService {
public:
    explicit InlineService(int answers) : answers_(answers) {}

    int Init(std::uint32_t) override { return 1; }
    int RequestGetDeviceCount(const DeviceSelector&, std::uint32_t, std::uint32_t, std::uint32_t,
                              std::uint32_t) override {
        return 1;
    }
    int RequestWriteOne(const DeviceSelector&, std::uint32_t, std::uint32_t, Bytes report,
                        std::uint32_t, std::uint32_t) override {
        ++sends;
        if (sends > answers_) {
            return 1;
        }
        std::array<std::uint8_t, kReportSize> reply{};
        std::copy_n(report.begin(), kReportSize, reply.begin());
        reply[kStatusOffset] = 0;
        WriteU16LE(reply, kChecksumOffset, ReportChecksum(reply));
        target_->ServiceCallback({ServiceEventKind::DataArrived, TAG_CTRL,
                                  static_cast<std::uint32_t>(kReportSize), reply});
        return 1;
    }
    int RequestAsyncRead(const DeviceSelector&, ServiceCallbackTarget* callback, std::uint32_t,
                         std::uint32_t, std::uint32_t* idSlot) override {
        target_ = callback;
        *idSlot = 1;
        return 1;
    }
    int RequestStatusWrite(const DeviceSelector&, ServiceCallbackTarget*, std::uint32_t, Bytes,
                           std::uint32_t, std::uint32_t*) override {
        return 1;
    }
    int DeleteRequestFromUnitId(std::uint32_t) override { return 1; }

    int sends = 0;

private:
    int answers_;
    ServiceCallbackTarget* target_ = nullptr;
};

TEST(TransportZeroWaitTest, TakesAReplyThatCameWithTheSendAndGivesUpAtOnceWithoutOne) {
    for (const int answers : {1, 0}) {
        SCOPED_TRACE(answers);
        InlineService service(answers);
        Transport transport(service, {.replyWait = 0ms, .retryPause = 0ms});
        ASSERT_TRUE(transport.Load(nullptr));
        std::array<std::uint8_t, kSettingsBlockSize> block{};
        EXPECT_EQ(DeviceCommands(transport).ReadSettings(block), answers ? kSuccess : kNoReply);
        EXPECT_EQ(service.sends, answers ? 1 : kExchangeAttempts);
    }
}

}  // namespace
}  // namespace qv::device
