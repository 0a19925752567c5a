#pragma once

// The keyboard session: everything the tool knows about the attached keyboard and every
// operation on it. It lives on the keyboard service's worker thread; only the working image
// (under its lock), the pending flag and the presence flag may be looked at from elsewhere.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "device/commands.h"
#include "device/transport.h"
#include "lighting/active_profile.h"
#include "lighting/device_lighting.h"
#include "platform/program_launcher.h"
#include "profiles/device_facts.h"
#include "profiles/device_image_writer.h"
#include "profiles/profile_image.h"
#include "service/operation_result.h"
#include "service/service_observer.h"

namespace qv::service {

struct SessionOptions {
    // The per-user profile folder, which holds the current profile files.
    std::filesystem::path profileFolder;
    // The working folder of the firmware updater.
    std::filesystem::path updaterFolder;
    // The desktop app captures the keyboard into the current profile file at every arrival.
    // The command line only reads it: a command that changes nothing writes no file.
    bool captureOnArrival = true;
    // When the keyboard arrives running the per-key colour mode, the desktop app writes the
    // current profile's colour page from its user colour file (in the profile folder), as the
    // tool never reads colours back. The command line writes nothing it was not asked to.
    bool colourPageOnArrival = true;
    // The name a macro the keyboard stores without a name gets, before its number.
    std::u16string newMacroNamePrefix = u"Macro ";
    std::chrono::milliseconds firmwarePause{10};
};

// What a profile switch does with changes that wait for Apply.
enum class PendingChoice : std::uint8_t {
    Keep,        // they stay pending, for the profile they were made for
    ApplyFirst,  // written to the profile they were made for, then the switch
    Drop,        // dropped: the working image becomes what the keyboard holds again
};

// The lighting as last read or written, for front ends on other threads.
struct LightingSnapshot {
    lighting::LightingMirror mirror;
    lighting::LightingState state;
    int currentProfile = 0;
    // Counts the reads of the keyboard's lighting, so that a front end can tell a read (which
    // brings the panel in line) from its own writes.
    int reads = 0;
    // The last read followed the keyboard's arrival.
    bool arrivalRead = false;
};

class KeyboardSession {
public:
    KeyboardSession(device::Transport& transport, platform::ProgramLauncher& launcher,
                    ServiceObserver& observer, SessionOptions options);
    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

    // ---- What the transport reports, on the worker ----
    void HandlePresence(int count);
    void HandleKeyEvent(std::uint16_t code);
    // The settings changed on the keyboard itself: follows a new active profile or new
    // lighting.
    void Resynchronise();

    // ---- Operations, on the worker ----
    // Saves the working image to the current profile file (when there is one) and writes the
    // macro area and the active profile's key page. Pending changes stay pending unless both
    // succeeded.
    [[nodiscard]] OperationResult Apply();
    // Makes the file the working image, the current profile file and the content of all four
    // key pages.
    [[nodiscard]] OperationResult Import(const std::filesystem::path& path);
    // Writes the working image to the file.
    [[nodiscard]] OperationResult Export(const std::filesystem::path& path);
    // Reads the keyboard into the current profile file and makes it the working image. On
    // failure the file is left as it was.
    [[nodiscard]] OperationResult Capture();
    // Makes `profile` (0..3) the keyboard's active profile and reads what goes with it. Pending
    // changes are kept (the key pages do not change with the profile), so nothing is lost.
    [[nodiscard]] OperationResult SetActiveProfile(int profile);
    // The profile switch of the desktop app: first what becomes of pending changes, then
    // SetActiveProfile. When applying them first fails, nothing is switched and they stay
    // pending; when the keyboard does not take the switch after they were dropped, the working
    // image is read from the keyboard again, so that nothing unapplied is left in it.
    [[nodiscard]] OperationResult SwitchProfile(int profile, PendingChoice pending);
    // Reads the lighting again; the profile shown stays.
    void RefreshLighting();
    // Writes the USB report rate (0..3) into the current profile's lighting record, also when
    // the record already holds it.
    [[nodiscard]] OperationResult WriteReportRate(int index);
    // Whether the keyboard may be written now (lighting, settings): a keyboard is there and
    // its firmware is supported.
    [[nodiscard]] OperationResult CheckWritable() const;
    // Lighting writes go through here, then PublishLighting.
    [[nodiscard]] lighting::DeviceLighting& Lighting() { return lighting_; }
    void PublishLighting();

    // ---- State ----
    [[nodiscard]] device::DeviceCommands& Commands() { return commands_; }
    [[nodiscard]] const profiles::DeviceFacts& Facts() const { return facts_; }
    [[nodiscard]] profiles::ProfileImage& Image() { return profileImage_; }
    // The active profile, read from the keyboard when not known; -1 when it cannot be.
    [[nodiscard]] int ActiveProfile();
    [[nodiscard]] bool KeyboardPresent() const { return present_.load(); }
    // The working image is what the keyboard held at its last read.
    [[nodiscard]] bool ImageFromKeyboard() const { return imageFromKeyboard_.load(); }
    [[nodiscard]] bool KeyDefaultsRead() const { return keyDefaultsRead_.load(); }
    [[nodiscard]] bool ApplyPending() const { return applyPending_.load(); }
    // Pending changes belong to the profile that was active when they were made.
    void SetApplyPending(bool pending);
    // The profile the pending changes were made for; -1 when nothing is pending.
    [[nodiscard]] int PendingProfile() const { return pendingProfile_.load(); }
    [[nodiscard]] LightingSnapshot LightingView() const;
    [[nodiscard]] std::filesystem::path CurrentProfileFile() const;

    // The firmware check asks and may end the program; later work is refused after that.
    [[nodiscard]] bool ProgramEnded() const { return programEnded_.load(); }

private:
    void Arrive();
    void Leave();
    void ReadKeyboardFacts();
    // Reads the keyboard into the working image (and the current profile file when
    // captureOnArrival).
    void ReloadImage();
    void ReadLighting(lighting::DeviceLighting::ReadKind kind);
    [[nodiscard]] OperationResult CheckKeyPagesWritable();
    [[nodiscard]] bool SaveCurrentProfileFile(const profiles::ImageContents& image);
    void ReportWrite(OperationResult& result, const profiles::DeviceWriteResult& written);

    device::Transport& transport_;
    device::DeviceCommands commands_;
    platform::ProgramLauncher& launcher_;
    ServiceObserver& observer_;
    const SessionOptions options_;

    profiles::DeviceFacts facts_;
    lighting::ActiveProfile activeProfile_;
    profiles::ProfileImage profileImage_;
    profiles::DeviceImage deviceImage_;
    std::unique_ptr<lighting::PanelSwitchStore> panelSwitch_;
    int lightingReads_ = 0;
    bool arrivalRead_ = false;
    lighting::DeviceLighting lighting_;

    int lastCount_ = 0;
    std::atomic<bool> present_{false};
    std::atomic<bool> imageFromKeyboard_{false};
    std::atomic<bool> keyDefaultsRead_{false};
    std::atomic<bool> applyPending_{false};
    std::atomic<int> pendingProfile_{-1};
    std::atomic<bool> programEnded_{false};

    mutable std::mutex lightingMutex_;
    LightingSnapshot lightingSnapshot_;
};

}  // namespace qv::service
