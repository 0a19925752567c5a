// Lighting writes through the keyboard service: a dragged slider's values are merged so the
// keyboard gets the first and the last, in order with the other writes; and the colour page is
// written at arrival when the keyboard runs the per-key colour mode.

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "device/commands.h"
#include "device/device_report.h"
#include "lighting/user_colour_file.h"
#include "service/keyboard_service.h"
#include "service/lighting_writer.h"
#include "service/worker_gate.h"
#include "sim/keyboard_layout.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"
#include "texts/temp_folder.h"

namespace qv::service {
namespace {

using namespace std::chrono_literals;

class LightingWriterTest : public ::testing::Test {
protected:
    // The desktop app's options, on a keyboard that answers at once.
    ServiceOptions Options() const {
        ServiceOptions options;
        options.session.profileFolder = folder.Path();
        options.session.captureOnArrival = false;
        options.session.firmwarePause = 0ms;
        options.transportTiming = {.replyWait = 100ms, .retryPause = 1ms, .endTransferPause = 0ms};
        return options;
    }

    void Start() {
        service = std::make_unique<KeyboardService>(keyboard, launcher, observer, Options());
        ASSERT_TRUE(service->Start());
        service->WaitIdle();
        keyboard.ClearSentReports();
    }

    // The lighting writes the keyboard took, as (offset, first byte).
    std::vector<std::pair<int, int>> LightingWrites() {
        std::vector<std::pair<int, int>> writes;
        for (const auto& bytes : keyboard.SentReports()) {
            const device::DeviceReport report(bytes);
            if (report.Command() == device::CMD_WRITE_LIGHTING) {
                writes.emplace_back(report.Offset(), report.Payload()[0]);
            }
        }
        return writes;
    }

    static lighting::LightingChange Brightness(int value) {
        return {lighting::LightingChange::Control::Brightness, value};
    }

    test::TempFolder folder;
    sim::SimHidService keyboard;
    ServiceObserver observer;
    test::RecordingLauncher launcher{false};
    std::unique_ptr<KeyboardService> service;
};

TEST_F(LightingWriterTest, ADraggedSliderSendsItsFirstAndLastValue) {
    Start();
    LightingWriter writer(*service);
    WorkerGate gate;
    gate.Close(*service);
    // The first value waits for the worker; every later one while it waits takes the place of
    // the one before.
    for (int step = 0; step < 40; ++step) {
        writer.Change(0, Brightness(step % 5));
    }
    writer.Change(0, Brightness(3));
    gate.Open();
    service->WaitIdle();
    EXPECT_EQ(LightingWrites(), (std::vector<std::pair<int, int>>{{1, 0}, {1, 3}}));
    EXPECT_EQ(keyboard.Memory().lighting[1], 3);
    EXPECT_EQ(service->LightingView().state.brightness, 3);
}

TEST_F(LightingWriterTest, MergedWritesKeepTheirOrderWithOtherWrites) {
    Start();
    LightingWriter writer(*service);
    WorkerGate gate;
    gate.Close(*service);
    using Control = lighting::LightingChange::Control;
    // Each change is planned when it runs: the mode takes the flag as the toggles left it.
    writer.Change(0, Brightness(1));
    writer.Change(0, {Control::Multicolour, lighting::LightingChange::kToggle});
    writer.Change(0, Brightness(2));
    writer.Change(0, {Control::Multicolour, lighting::LightingChange::kToggle});
    writer.Change(0, {Control::Mode, 3});
    writer.Change(0, Brightness(4));
    writer.Change(0, Brightness(0));
    gate.Open();
    service->WaitIdle();
    const int flag = keyboard.Memory().lighting[4];
    EXPECT_EQ(LightingWrites(),
              (std::vector<std::pair<int, int>>{
                  {1, 1}, {4, 1 - flag}, {1, 2}, {4, flag}, {4, flag}, {0, 3}, {1, 0}}));
    EXPECT_EQ(keyboard.Memory().lighting[1], 0);
}

TEST_F(LightingWriterTest, TheColourPageIsWrittenAtArrivalInThePerKeyMode) {
    lighting::UserColourFile file;
    file.SetSlot(0, 26, {0x123456, false});
    ASSERT_FALSE(file.Save(lighting::UserColourFilePath(folder.Path(), 0)));
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[0] = 20; });
    Start();
    const sim::KeyboardMemory memory = keyboard.Memory();
    EXPECT_EQ(memory.colourPages[26 * 3], 0x56);
    EXPECT_EQ(memory.colourPages[26 * 3 + 2], 0x12);
    EXPECT_EQ(memory.colourPages[1 * 3], 0xFF);  // Esc: the default red
}

// Notices, as the desktop app hears them.
class NoticeLog final : public ServiceObserver {
public:
    void Notify(const ServiceNotice& notice) override {
        const std::lock_guard lock(mutex);
        notices.push_back(notice.notice);
    }
    std::vector<Notice> Taken() {
        const std::lock_guard lock(mutex);
        return notices;
    }

private:
    std::mutex mutex;
    std::vector<Notice> notices;
};

TEST_F(LightingWriterTest, AColourPageCutShortAtArrivalIsToldAndTheSchemeWritesItAgain) {
    lighting::UserColourFile file;
    file.SetSlot(0, 26, {0x123456, false});
    ASSERT_FALSE(file.Save(lighting::UserColourFilePath(folder.Path(), 0)));
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[0] = 20; });
    // Where the page's second report falls in an arrival, from one without faults.
    std::uint32_t secondColourReport = 0;
    {
        sim::SimHidService dryRun;
        dryRun.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[0] = 20; });
        KeyboardService probe(dryRun, launcher, observer, Options());
        ASSERT_TRUE(probe.Start());
        probe.WaitIdle();
        const auto sent = dryRun.SentReports();
        for (std::size_t i = 0; i < sent.size(); ++i) {
            if (device::DeviceReport(sent[i]).Command() == device::CMD_WRITE_KEY_COLOURS) {
                secondColourReport = static_cast<std::uint32_t>(i) + 2;
                break;
            }
        }
        ASSERT_NE(secondColourReport, 0u);
    }
    keyboard.PlanFaults({{.kind = sim::FaultKind::Refuse, .report = secondColourReport}});
    NoticeLog notices;
    KeyboardService cut(keyboard, launcher, notices, Options());
    ASSERT_TRUE(cut.Start());
    cut.WaitIdle();
    EXPECT_EQ(notices.Taken(), std::vector<Notice>{Notice::ColourPageNotWritten});

    // Choosing the scheme in use again writes the whole page.
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.colourPages[26 * 3] = 0; });
    const ColourChangeResult again = cut.Call([](KeyboardSession& session) {
        return session.ChangeColours(
            lighting::ColourChange::Of(lighting::ColourChange::Kind::SelectScheme, 0).WithValue(0));
    });
    EXPECT_TRUE(again.result.Succeeded());
    EXPECT_EQ(keyboard.Memory().colourPages[26 * 3], 0x56);
}

TEST_F(LightingWriterTest, NoColourPageIsWrittenAtArrivalInOtherModes) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) {
        m.lighting[0] = 5;
        std::fill(m.colourPages.begin(), m.colourPages.end(), std::uint8_t{0x77});
    });
    Start();
    EXPECT_EQ(keyboard.Memory().colourPages[26 * 3], 0x77);
}

}  // namespace
}  // namespace qv::service
