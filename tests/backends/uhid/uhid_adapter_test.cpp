// The simulated keyboard on a uhid device, with the test as the kernel: the adapter's channel is
// one end of a socket pair that keeps each struct uhid_event apart, as /dev/uhid does.

#include <gtest/gtest.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "backends/uhid/control_command.h"
#include "backends/uhid/uhid_adapter.h"
#include "backends/uhid/uhid_channel.h"
#include "backends/uhid/uhid_descriptor.h"
#include "device/device_report.h"
#include "device/key_events.h"
#include "sim/keyboard_memory.h"
#include "sim/sim_hid_service.h"
#include "sim/virtual_keyboard.h"
#ifdef QUORVANE_HAVE_HIDAPI
#include "backends/hidapi/report_descriptor.h"
#endif

namespace qv::sim::uhid {
namespace {

using Event = std::unique_ptr<uhid_event>;

std::vector<std::uint8_t> ToVector(Bytes bytes) {
    return {bytes.begin(), bytes.end()};
}

device::ReportBytes Request(std::uint8_t command, std::uint8_t length = 0) {
    return device::DeviceReport::Request(command, length, 0).bytes();
}

class UhidAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::array<int, 2> fds{};
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds.data()), 0);
        channel = std::make_unique<UhidChannel>(fds[0]);
        kernel = fds[1];
        adapter = std::make_unique<UhidAdapter>(*channel, keyboard, log);
    }
    void TearDown() override {
        adapter.reset();
        close(kernel);
    }

    // The next event the adapter wrote; null when none comes.
    Event Next() {
        pollfd fd{kernel, POLLIN, 0};
        if (poll(&fd, 1, 10'000) != 1) {
            return nullptr;
        }
        auto event = std::make_unique<uhid_event>();
        if (read(kernel, event.get(), sizeof *event) != static_cast<ssize_t>(sizeof *event)) {
            return nullptr;
        }
        return event;
    }
    // No further event within a short wait: for what must not happen.
    bool Quiet() {
        pollfd fd{kernel, POLLIN, 0};
        return poll(&fd, 1, 200) == 0;
    }

    // The kernel sends an event; the adapter handles it as its program's loop would.
    void Kernel(std::uint32_t type, Bytes output = {}, std::uint32_t id = 0) {
        auto event = std::make_unique<uhid_event>();
        event->type = type;
        if (type == UHID_OUTPUT) {
            event->u.output.size = static_cast<__u16>(output.size());
            std::copy(output.begin(), output.end(), event->u.output.data);
            event->u.output.rtype = UHID_OUTPUT_REPORT;
        } else if (type == UHID_GET_REPORT) {
            event->u.get_report.id = id;
        }
        ASSERT_EQ(write(kernel, event.get(), sizeof *event), static_cast<ssize_t>(sizeof *event));
        const auto handed = channel->Read();
        ASSERT_TRUE(handed.has_value());
        adapter->Handle(*handed);
    }

    void ExpectCreated() {
        const Event event = Next();
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(event->type, UHID_CREATE2);
    }
    void ExpectInput(const std::vector<std::uint8_t>& report) {
        const Event event = Next();
        ASSERT_NE(event, nullptr);
        ASSERT_EQ(event->type, UHID_INPUT2);
        EXPECT_EQ(std::vector<std::uint8_t>(event->u.input2.data,
                                            event->u.input2.data + event->u.input2.size),
                  report);
    }

    SimHidService keyboard;
    std::ostringstream log;
    std::unique_ptr<UhidChannel> channel;
    int kernel = -1;
    std::unique_ptr<UhidAdapter> adapter;
};

TEST_F(UhidAdapterTest, CreatesTheKeyboardAsAUsbDeviceWithItsThreeCollections) {
    ASSERT_TRUE(adapter->Start());
    const Event event = Next();
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(event->type, UHID_CREATE2);
    const uhid_create2_req& create = event->u.create2;
    EXPECT_EQ(create.bus, BUS_USB);
    EXPECT_EQ(create.vendor, 0x0C45u);
    EXPECT_EQ(create.product, 0x5004u);
    const Bytes descriptor(create.rd_data, create.rd_size);
    EXPECT_EQ(ToVector(descriptor), ToVector(ReportDescriptor()));
#ifdef QUORVANE_HAVE_HIDAPI
    // What the real keyboard's backend reads from sysfs for this device.
    using device::TopLevelCollection;
    EXPECT_EQ(device::ParseTopLevelCollections(descriptor),
              (std::vector<TopLevelCollection>{{0xFF1C, 0x0092, {kControlReportId}},
                                               {0x000C, 0x0001, {kConsumerReportId}},
                                               {0x0008, 0x0089, {kLedReportId}}}));
#endif
}

TEST_F(UhidAdapterTest, CommandReportsAreAnsweredByTheKeyboardAsInputReports) {
    ASSERT_TRUE(adapter->Start());
    ExpectCreated();
    const device::ReportBytes request = Request(device::CMD_READ_SETTINGS, 44);
    Kernel(UHID_OUTPUT, request);
    VirtualKeyboard firmware;
    ExpectInput(ToVector(firmware.HandleCommand(request)));

    // Only whole command reports are commands: a cut one is dropped unanswered.
    Kernel(UHID_OUTPUT, Bytes(request).first(63));
    EXPECT_TRUE(Quiet());
}

TEST_F(UhidAdapterTest, KeyEventsAndTheProfileKeyBecomeConsumerReports) {
    ASSERT_TRUE(adapter->Start());
    ExpectCreated();
    EXPECT_TRUE(adapter->Control(std::get<ControlCommand>(ParseControlCommand("bank-toggle"))));
    ExpectInput({kConsumerReportId, 0xFF, 0x02});

    EXPECT_TRUE(adapter->Control(std::get<ControlCommand>(ParseControlCommand("profile 3"))));
    ExpectInput({kConsumerReportId, 0x01, 0x04});
    EXPECT_EQ(keyboard.Memory().settings[kSettingsActiveProfile], 2);
}

TEST_F(UhidAdapterTest, LedReportReachesTheKeyboard) {
    ASSERT_TRUE(adapter->Start());
    ExpectCreated();
    const std::array<std::uint8_t, 2> bankB{kLedReportId, 0x03};
    Kernel(UHID_OUTPUT, bankB);
    EXPECT_EQ(keyboard.LedReport(), bankB);
    EXPECT_NE(log.str().find("LED report 05 03"), std::string::npos) << log.str();
}

TEST_F(UhidAdapterTest, UnplugFaultRemovesTheDeviceAndEachProgramCountsItsReportsAgain) {
    ASSERT_TRUE(adapter->Start());
    ExpectCreated();
    EXPECT_TRUE(adapter->Control(std::get<ControlCommand>(ParseControlCommand("faults unplug@2"))));
    const device::ReportBytes begin = Request(device::CMD_BEGIN_TRANSFER);
    for (int program = 0; program < 2; ++program) {
        SCOPED_TRACE(program);
        Kernel(UHID_OPEN);
        Kernel(UHID_OUTPUT, begin);
        ExpectInput(ToVector(VirtualKeyboard().HandleCommand(begin)));
        Kernel(UHID_OUTPUT, begin);  // the cable is pulled as this one arrives
        const Event gone = Next();
        ASSERT_NE(gone, nullptr);
        EXPECT_EQ(gone->type, UHID_DESTROY);
        Kernel(UHID_CLOSE);
        EXPECT_TRUE(adapter->Control(std::get<ControlCommand>(ParseControlCommand("plug"))));
        ExpectCreated();
    }
}

TEST_F(UhidAdapterTest, FeatureRequestsAreRefusedAtOnceAndTheDeviceGoesWithTheAdapter) {
    ASSERT_TRUE(adapter->Start());
    ExpectCreated();
    Kernel(UHID_GET_REPORT, {}, 7);
    const Event reply = Next();
    ASSERT_NE(reply, nullptr);
    ASSERT_EQ(reply->type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(reply->u.get_report_reply.id, 7u);
    EXPECT_EQ(reply->u.get_report_reply.err, EIO);

    adapter.reset();
    const Event gone = Next();
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->type, UHID_DESTROY);
}

struct ControlCase {
    const char* name;
    const char* line;
    std::optional<ControlCommand> expected;  // nullopt: refused
};
void PrintTo(const ControlCase& c, std::ostream* out) {
    *out << c.name;
}

ControlCommand Expect(ControlCommand::Kind kind, std::uint16_t code = 0, int profile = 0,
                      std::string faults = {}) {
    ControlCommand command;
    command.kind = kind;
    command.code = code;
    command.profile = profile;
    command.faults = std::move(faults);
    return command;
}

class ControlCommandTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlCommandTest, ReadsWhatATesterAsks) {
    const auto parsed = ParseControlCommand(GetParam().line);
    if (!GetParam().expected) {
        ASSERT_TRUE(std::holds_alternative<ControlError>(parsed));
        EXPECT_FALSE(std::get<ControlError>(parsed).message.empty());
        return;
    }
    ASSERT_TRUE(std::holds_alternative<ControlCommand>(parsed))
        << std::get<ControlError>(parsed).message;
    EXPECT_EQ(std::get<ControlCommand>(parsed), *GetParam().expected);
}

using Kind = ControlCommand::Kind;
INSTANTIATE_TEST_SUITE_P(
    Lines, ControlCommandTest,
    testing::Values(ControlCase{"BankToggle", "  bank-toggle\r\n",
                                Expect(Kind::KeyEvent, device::KEY_EVENT_BANK_TOGGLE)},
                    ControlCase{"PlayOn", "play-on",
                                Expect(Kind::KeyEvent, device::KEY_EVENT_PLAY_ON)},
                    ControlCase{"PlayOff", "play-off # macro ends",
                                Expect(Kind::KeyEvent, device::KEY_EVENT_PLAY_OFF)},
                    ControlCase{"HexEvent", "event 0x0401", Expect(Kind::KeyEvent, 0x0401)},
                    ControlCase{"EventTooLarge", "event 0x10000", std::nullopt},
                    ControlCase{"Profile4", "profile 4", Expect(Kind::Profile, 0, 3)},
                    ControlCase{"Profile0", "profile 0", std::nullopt},
                    ControlCase{"ProfileWord", "profile two", std::nullopt},
                    ControlCase{"Faults", "faults unplug@9, drop@3",
                                Expect(Kind::Faults, 0, 0, "unplug@9, drop@3")},
                    ControlCase{"NoFaults", "faults", Expect(Kind::Faults)},
                    ControlCase{"PlugWithArgument", "plug now", std::nullopt},
                    ControlCase{"Blank", "   ", Expect(Kind::Nothing)},
                    ControlCase{"Comment", "# a note", Expect(Kind::Nothing)},
                    ControlCase{"Unknown", "reboot", std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qv::sim::uhid
