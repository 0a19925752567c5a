#pragma once

// The main window's core with its device worker against the simulated keyboard. The test's
// thread is the window's thread: it pumps the message loop. Everything the window shows, and
// the profile store's calls, go to one log in the order they happened.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/device_worker.h"
#include "app/main_window_core.h"
#include "app/message_loop.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "sim/sim_hid_service.h"
#include "ui/temp_folder.h"
#include "ui/text_lookup.h"
#include "ui/text_table.h"

namespace qv::test {

using namespace std::chrono_literals;

// Written from the window's thread and from the apply work's thread.
class EventLog {
public:
    void Add(std::string entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    [[nodiscard]] std::vector<std::string> Entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    [[nodiscard]] bool Contains(const std::string& entry) const {
        std::lock_guard lock(mutex_);
        return std::find(entries_.begin(), entries_.end(), entry) != entries_.end();
    }
    [[nodiscard]] std::size_t Count(const std::string& entry) const {
        std::lock_guard lock(mutex_);
        return static_cast<std::size_t>(std::count(entries_.begin(), entries_.end(), entry));
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

class RecordingView final : public app::MainWindowView {
public:
    explicit RecordingView(EventLog& log) : log_(log) {}

    void OpenWindow() override { log_.Add("OpenWindow"); }
    void HideWindow() override { log_.Add("HideWindow"); }
    void CloseSubDialogs() override { log_.Add("CloseSubDialogs"); }
    void EndMainWindow() override { log_.Add("EndMainWindow"); }
    void LoadTexts(int languageIndex) override {
        log_.Add("LoadTexts " + std::to_string(languageIndex));
    }
    void CreateTrayIcon() override { log_.Add("CreateTrayIcon"); }
    void SetTrayIcon(int icon) override { log_.Add("SetTrayIcon " + std::to_string(icon)); }
    void RemoveTrayIcon() override { log_.Add("RemoveTrayIcon"); }
    void BuildProfileMenu() override { log_.Add("BuildProfileMenu"); }
    void ShowProgress() override { log_.Add("ShowProgress"); }
    void ProgressFrame(int frame) override {
        log_.Add("ProgressFrame " + std::to_string(frame));
        if (whileApplying) {
            framesDuringApply.push_back(frame);
        }
    }
    void HideProgress() override { log_.Add("HideProgress"); }
    void SetApplyEnabled(bool enabled) override {
        log_.Add(std::string("SetApplyEnabled ") + (enabled ? "1" : "0"));
    }
    void RefreshBankKeys(const app::BankKeys& keys) override {
        bankKeys.push_back(keys);
        log_.Add("RefreshBankKeys");
    }
    void ShowProfileSlot(int profile) override {
        log_.Add("ShowProfileSlot " + std::to_string(profile));
    }
    void SwitchProfileSlot(int profile) override {
        log_.Add("SwitchProfileSlot " + std::to_string(profile));
    }
    void RefreshProfileList() override { log_.Add("RefreshProfileList"); }
    void RefreshLightingPanel() override { log_.Add("RefreshLightingPanel"); }

    std::vector<app::BankKeys> bankKeys;
    bool whileApplying = false;
    std::vector<int> framesDuringApply;

private:
    EventLog& log_;
};

class FakeProfileActions final : public profiles::ProfileActions {
public:
    explicit FakeProfileActions(EventLog& log) : log_(log) {}
    void ReloadProfileFromDevice() override { log_.Add("ReloadProfileFromDevice"); }
    bool SaveImageToCurrentProfileFile(const profiles::ImageContents&) override {
        log_.Add("SaveImageToCurrentProfileFile");
        return saveSucceeds;
    }
    bool saveSucceeds = true;

private:
    EventLog& log_;
};

class RecordingPrompt final : public platform::UserPrompt {
public:
    void ShowMessage(const std::string& text, bool) override {
        std::lock_guard lock(mutex);
        messages.push_back(text);
    }
    bool AskOkCancel(const std::string& text) override { return AskOkCancelTitled(text, ""); }
    bool AskOkCancelTitled(const std::string& text, const std::string& caption) override {
        std::lock_guard lock(mutex);
        questions.push_back(text + " | " + caption);
        return answerOk;
    }
    bool AskYesNo(const std::string&) override { return false; }

    [[nodiscard]] std::vector<std::string> Messages() const {
        std::lock_guard lock(mutex);
        return messages;
    }

    mutable std::mutex mutex;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answerOk = false;
};

class RecordingLauncher final : public platform::ProgramLauncher {
public:
    bool Start(std::string_view program, std::string_view parameters,
               const std::filesystem::path& workingDirectory) override {
        started.push_back(std::string(program) + " | " + std::string(parameters) + " | " +
                          workingDirectory.string());
        return false;  // not installed here
    }
    std::vector<std::string> started;
};

class RecordingExit final : public platform::ProgramExit {
public:
    explicit RecordingExit(EventLog& log) : log_(log) {}
    void EndProgram(int exitCode) override { log_.Add("EndProgram " + std::to_string(exitCode)); }

private:
    EventLog& log_;
};

class PanelSwitchOff final : public lighting::PanelSwitchStore {
public:
    bool PanelSwitchOn() const override { return false; }
};

struct RigOptions {
    bool plugged = true;
    bool startedWithStart = false;
    sim::KeyboardMemory memory = sim::FactoryMemory();
};

inline constexpr char kDefaultsUnreadableText[] = "The key defaults could not be read";
// Short waits keep the failure paths quick; nothing here depends on how long anything takes.
inline constexpr device::TransportTiming kRigTransportTiming{.replyWait = 100ms, .retryPause = 1ms};
inline constexpr app::BusyTiming kRigBusyTiming{
    .showDelay = 0ms, .hideDelay = 0ms, .framePeriod = 1ms};

class MainWindowRig {
public:
    explicit MainWindowRig(RigOptions options = {})
        : keyboard(std::move(options.memory), options.plugged), link(options.startedWithStart) {
        folder.Write("Lang0409.ini", std::string("[TEXT]\nIDS_MIAN_DEFAULT_PROMPT=") +
                                         kDefaultsUnreadableText + "\n");
        loop.SetHandler(&core);
    }

    // The order an application ends in: the window's port first, so that a worker waiting in a
    // Send gets its answer; then the worker and the indicator; then the transport, so that no
    // service callback reaches a worker that is gone.
    ~MainWindowRig() {
        loop.Shutdown();
        worker.Shutdown();
        core.Shutdown();
        transport.reset();
    }

    // What the window's initialisation does for the device link: load the transport (the
    // worker gets the start-up count), disable Apply, post MSG_INIT to itself.
    void Start() {
        ASSERT_TRUE(transport->Load(&worker));
        core.SetApplyPending(false);
        loop.Post({device::MSG_INIT, device::TAG_INIT});
    }

    // Pumps the window until every report and event the keyboard has raised so far is handled.
    void Settle() {
        keyboard.WaitUntilIdle();
        ASSERT_TRUE(loop.RunUntil([this] { return worker.IsIdle(); }, 10s));
        loop.RunUntilIdle();
        keyboard.WaitUntilIdle();
        loop.RunUntilIdle();
    }

    // Pumps until the log holds the entry.
    void PumpUntilLogged(const std::string& entry) {
        ASSERT_TRUE(loop.RunUntil([&] { return log.Contains(entry); }, 10s)) << entry;
    }

    [[nodiscard]] std::vector<std::uint8_t> SentCommands() const {
        std::vector<std::uint8_t> sent;
        for (const device::ReportBytes& report : keyboard.SentReports()) {
            sent.push_back(report[device::kCommandOffset]);
        }
        return sent;
    }

    sim::SimHidService keyboard;
    device::MessageLoop loop;
    EventLog log;
    RecordingView view{log};
    FakeProfileActions profileActions{log};
    RecordingPrompt prompt;
    RecordingLauncher launcher;
    RecordingExit exit{log};
    TempFolder folder;
    platform::MemorySettingsStore languageKey;
    platform::FixedSystemLanguage systemLanguage{0x0409};
    ui::TextTable texts;
    ui::TextLookup lookup{folder.Path(), languageKey, systemLanguage};
    device::DeviceLink link;
    profiles::DeviceFacts facts;
    lighting::ActiveProfile activeProfile;
    profiles::ProfileImage profileImage;
    profiles::DeviceImage deviceImage;
    std::optional<device::Transport> transport{std::in_place, keyboard, kRigTransportTiming};
    device::DeviceCommands commands{*transport};
    PanelSwitchOff panelSwitch;
    lighting::DeviceLighting lighting{commands, panelSwitch};
    app::MainWindowCore core{{.transport = *transport,
                              .link = link,
                              .facts = facts,
                              .activeProfile = activeProfile,
                              .lighting = lighting,
                              .profileImage = profileImage,
                              .deviceImage = deviceImage,
                              .profileActions = profileActions,
                              .prompt = prompt,
                              .launcher = launcher,
                              .exit = exit,
                              .texts = texts,
                              .lookup = lookup,
                              .window = loop,
                              .view = view,
                              .helpFolder = "/opt/quorvane/Help",
                              .busyTiming = kRigBusyTiming}};
    device::DeviceWorker worker{{.transport = *transport,
                                 .window = loop,
                                 .link = link,
                                 .facts = facts,
                                 .activeProfile = activeProfile,
                                 .prompt = prompt,
                                 .texts = texts,
                                 .lookup = lookup}};
};

}  // namespace qv::test
