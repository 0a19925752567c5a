#pragma once

// Every object the tool needs to talk to the keyboard and keep its configuration, wired the
// way the main window's initialisation wires them, for any front end: the command line now,
// the desktop app's window, the benchmarks. The front end supplies what it shows and asks
// (view, prompts), and runs the message loop on its window thread.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/device_worker.h"
#include "app/main_window_core.h"
#include "app/message_loop.h"
#include "app/profile_store.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "ui/text_lookup.h"
#include "ui/text_table.h"

namespace qv::app {

struct KeyboardAppEnvironment {
    device::HidService& service;
    MainWindowView& view;
    platform::UserPrompt& prompt;
    platform::ProgramLauncher& launcher;
    platform::ProgramExit& exit;
    std::filesystem::path programFolder;    // Skins/, Help/, the lookup file
    std::filesystem::path documentsFolder;  // holds the profile folder
    platform::SettingsStore& languageKey;
    const platform::SystemLanguage& systemLanguage;
    bool startedWithStart = false;
    device::TransportTiming transportTiming{};
    BusyTiming busyTiming{};
};

class KeyboardApp {
public:
    explicit KeyboardApp(const KeyboardAppEnvironment& environment);
    // Ends in the order that leaves no worker waiting and no callback reaching freed objects.
    ~KeyboardApp();
    KeyboardApp(const KeyboardApp&) = delete;
    KeyboardApp& operator=(const KeyboardApp&) = delete;

    // The device side of the window's initialisation: loads the transport (the worker gets the
    // count found now), disables Apply and posts MSG_INIT. False when the HID service cannot
    // start.
    [[nodiscard]] bool Start();

    // Runs the message loop until the presence worker has nothing left to do: after Start, the
    // keyboard's arrival has been handled completely. False on time-out.
    [[nodiscard]] bool Settle(std::chrono::milliseconds timeout = std::chrono::seconds(60));

    // MSG_INIT has been handled and the presence worker has nothing left: for a front end that
    // runs the message loop itself, the keyboard's arrival (if any) is over.
    [[nodiscard]] bool IsSettled() const { return link.InitComplete() && worker.IsIdle(); }

    // In the order they are built; the transport goes first at exit.
    device::MessageLoop loop;
    ui::TextTable texts;
    ui::TextLookup lookup;
    device::DeviceLink link;
    profiles::DeviceFacts facts;
    lighting::ActiveProfile activeProfile;
    profiles::ProfileImage profileImage;
    profiles::DeviceImage deviceImage;
    std::optional<device::Transport> transport;
    device::DeviceCommands commands;
    std::unique_ptr<lighting::PanelSwitchStore> panelSwitch;
    lighting::DeviceLighting lighting;
    profiles::ProfileStore store;
    MainWindowCore core;
    device::DeviceWorker worker;
};

}  // namespace qv::app
