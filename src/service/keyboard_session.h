#pragma once

// The keyboard session: everything the tool knows about the attached keyboard, and every
// operation a front end may ask of it, each one call with a result. It lives on the keyboard
// service's worker thread; front ends reach it only through KeyboardService::Post and Call,
// and read what it knows from the snapshots it publishes (Snapshot), from any thread.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "device/transport.h"
#include "driver/keyboard_driver.h"
#include "keys/key_entry.h"
#include "lighting/lighting_change.h"
#include "lighting/lighting_panel_model.h"
#include "lighting/lighting_write.h"
#include "lighting/per_key_paint.h"
#include "macros/macro_area.h"
#include "platform/program_launcher.h"
#include "profiles/device_facts.h"
#include "profiles/profile_image.h"
#include "service/operation_result.h"
#include "service/service_observer.h"
#include "service/session_snapshot.h"

namespace qv::macros {
class MacroManager;
}

namespace qv::service {

struct SessionOptions {
    // The per-user profile folder, which holds the current profile files.
    std::filesystem::path profileFolder;
    // The working folder of the firmware updater.
    std::filesystem::path updaterFolder;
    // The desktop app captures the keyboard into the current profile file at every arrival.
    // The command line only reads it: a command that changes nothing writes no file.
    bool captureOnArrival = true;
    // When the keyboard arrives, or shows another profile, running the per-key colour mode, the
    // desktop app writes that profile's colour page from its user colour file (in the profile
    // folder), as the tool never reads colours back. The command line writes nothing it was
    // not asked to.
    bool colourPageOnArrival = true;
    // The name a macro the keyboard stores without a name gets, before its number.
    std::u16string newMacroNamePrefix = u"Macro ";
    std::chrono::milliseconds firmwarePause{10};
};

// What a profile switch or an import does with changes that wait for Apply.
enum class PendingChoice : std::uint8_t {
    Keep,        // they stay pending, for the profile they were made for
    ApplyFirst,  // written to the profile they were made for, then the switch
    Drop,        // dropped: the working image becomes what the keyboard holds again
};

// One key's new entry, as the assignment dialog or `assign` asks for it.
struct KeyEntryEdit {
    // The profile the edit was made for: an edit for a profile the keyboard has left since is
    // not stored under another.
    int profile = -1;
    std::size_t slot = 0;
    keys::KeyEntry entry;
    // The macro list's edit session that goes with it (the dialog's macro page), committed
    // first: the entry may name a macro it adds. The session commits it as it is, so it is the
    // edit's own, not shared with an editor that goes on using it.
    std::shared_ptr<macros::MacroManager> macros;
    // A new repeat count for the macro a Macro entry plays; the macro's own count otherwise.
    std::optional<int> repeatCount;
};

// Lighting controls of one profile changed together, in one bracket.
struct LightingChangeRequest {
    int profile = 0;
    std::vector<lighting::LightingChange> changes;
};

// What the keyboard holds after a lighting write it did not take in full, read back.
enum class HeldAfterFailure : std::uint8_t {
    Unknown,  // the record could not be read back
    Old,      // none of the change
    New,      // all of it: only the answer was lost
    Part,     // some of it
};

struct LightingChangeResult {
    OperationResult result;
    // One per change asked for: whether it wrote anything (the record may already hold it).
    std::vector<bool> changed;
    // After a failed write: what the record holds now.
    HeldAfterFailure held = HeldAfterFailure::Unknown;
};

struct ColourChangeResult {
    OperationResult result;
    // The profile's record runs the per-key colour mode, so the keyboard shows the change.
    bool perKeyModeActive = false;
    // The colour slot a key change wrote; -1 for other changes.
    int slot = -1;
    // The scheme in use afterwards, with its name.
    int scheme = 0;
    std::string schemeName;
};

// A read for the command line: its result and what was read.
template <typename T>
struct Read {
    OperationResult result;
    T value{};
};

// The macros the keyboard's macro area holds, decoded.
struct MacroAreaDump {
    macros::DecodedMacroArea decoded;
    bool sizeCut = false;  // the area announced more bytes than the keyboard holds
};

class KeyboardSession {
public:
    KeyboardSession(device::Transport& transport, platform::ProgramLauncher& launcher,
                    ServiceObserver& observer, SessionOptions options);
    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

    // ---- What the transport reports ----
    void HandlePresence(int count);
    void HandleKeyEvent(std::uint16_t code);
    // The settings changed on the keyboard itself: follows a new active profile or new
    // lighting.
    void Resynchronise();

    // ---- Edits that wait for Apply ----
    // Stores one key's entry (and first the macro list edit that goes with it), after the
    // rules of what the keyboard can hold: EntryRefused with the reason, ProfileChanged for an
    // edit made for another profile than the active one, MacrosTooLong for macros that would
    // not fit. Done marks the change pending; NothingToDo when nothing changed.
    [[nodiscard]] OperationResult StoreKeyEntry(const KeyEntryEdit& edit);
    // Commits a macro list edit session: macros added, changed, moved, deleted, and the keys
    // of a deleted macro back at their defaults.
    [[nodiscard]] OperationResult EditMacros(macros::MacroManager edits);
    // Puts the given keys of the active profile back to their defaults and applies.
    [[nodiscard]] OperationResult RestoreDefaults(std::span<const std::size_t> slots);
    // Makes `contents` the working image with its changes pending, for the active profile:
    // the command line's pending edits of earlier runs.
    [[nodiscard]] OperationResult TakePendingEdits(profiles::ImageContents contents);
    // Drops the pending changes: the working image is read from the keyboard again.
    [[nodiscard]] OperationResult Discard();

    // ---- Operations on the keyboard ----
    // Saves the working image to the current profile file (when there is one) and writes the
    // macro area and the active profile's key page. Pending changes stay pending unless both
    // succeeded.
    [[nodiscard]] OperationResult Apply();
    // Makes the file the working image, the current profile file and the content of all four
    // key pages. `pending` says what becomes of changes that wait for Apply first; when they
    // were dropped and the import fails, the keyboard is read again.
    [[nodiscard]] OperationResult Import(const std::filesystem::path& path,
                                         PendingChoice pending = PendingChoice::Keep);
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

    // ---- Lighting, written at once ----
    // The lighting as the session knows it was last read, and the panel's state, are the base
    // of every change: a value the record already holds is not written again, and nothing is
    // written on a record or settings block the last read did not get (KeyboardUnread).
    // Reads the lighting again; the profile shown stays.
    void RefreshLighting();
    // Controls of one profile's record: LightingRefused (nothing written) for a mode the
    // keyboard does not list or one without settings this tool knows; NotWritten or
    // PartlyWritten (with the command's result) when the keyboard did not take it all.
    // Choosing the per-key colour mode also writes the profile's colour page of the scheme in
    // use, which is what the tool shows for it.
    [[nodiscard]] LightingChangeResult ChangeLighting(const LightingChangeRequest& request);
    // The lighting panel's lamp: open, key clicks paint in the per-key mode.
    void SetLightingPanelOpen(bool open);
    // The Default command's lighting part while the panel is open: the current profile's
    // record as a mode 1 selection and the defaults, and its per-key schemes back to the
    // defaults. NothingToDo while the panel is closed.
    [[nodiscard]] OperationResult RestorePanelDefaults();
    // The lighting defaults into a profile's record (0..3).
    [[nodiscard]] OperationResult RestoreLighting(int profile);
    // Writes the USB report rate (0..3) into the current profile's lighting record, also when
    // the record already holds it.
    [[nodiscard]] OperationResult WriteReportRate(int index);
    // A per-key colour or scheme change of a profile, kept in its user colour file and then
    // written to the keyboard. LightingRefused without per-key colours; FileRefused (the
    // reason in `problems`) for a colour file that cannot be read; FileNotSaved when the change
    // could not be kept, which is then not written and not shown either.
    [[nodiscard]] ColourChangeResult ChangeColours(const lighting::ColourChange& change);

    // ---- Reads for the command line: what the keyboard holds now ----
    [[nodiscard]] Read<lighting::DeviceSettingsBlock> ReadSettingsBlock();
    [[nodiscard]] Read<lighting::LightingMirror> ReadLightingMirror();
    [[nodiscard]] Read<driver::KeyPagesRead> ReadKeyPages(std::optional<int> onlyProfile);
    [[nodiscard]] Read<MacroAreaDump> ReadMacroArea();

    // ---- State ----
    // Whether the keyboard may be written now (lighting, settings): a keyboard is there and
    // its firmware is supported.
    [[nodiscard]] OperationResult CheckWritable() const;
    // The active profile, read from the keyboard when not known; -1 when it cannot be.
    [[nodiscard]] int ActiveProfile();
    // The newest snapshot; any thread.
    [[nodiscard]] SnapshotPtr Snapshot() const;
    [[nodiscard]] bool KeyboardPresent() const { return present_.load(); }
    [[nodiscard]] bool ApplyPending() const { return applyPending_.load(); }
    // The profile the pending changes were made for; -1 when nothing is pending.
    [[nodiscard]] int PendingProfile() const { return pendingProfile_.load(); }
    [[nodiscard]] std::filesystem::path CurrentProfileFile() const;
    // Empties the working image at exit.
    void ReleaseImage();

private:
    void Arrive();
    void Leave();
    void ReadKeyboardFacts();
    // Reads the keyboard into the working image (and the current profile file when
    // captureOnArrival).
    void ReloadImage();
    void ReadLighting(driver::DeviceLighting::ReadKind kind);
    // Brings the panel's state and the per-key colours in line with a read of the lighting.
    void FollowLightingRead(bool arrival);
    [[nodiscard]] OperationResult WriteLightingChange(const lighting::LightingWrite& write);
    // After a failed write: the record is read back, so that the mirror and the panel show
    // what the keyboard holds, and compared with what the write was to leave there.
    [[nodiscard]] HeldAfterFailure ReadBackRecord(const lighting::LightingWrite& write,
                                                  const lighting::LightingRecord& before);
    [[nodiscard]] OperationResult WriteColourPage(const lighting::ColourWrite& write);
    [[nodiscard]] OperationResult CheckKeyPagesWritable();
    // The checks of every edit: a keyboard to edit for, read soundly, on the edit's profile.
    [[nodiscard]] OperationResult CheckEditable(int profile);
    [[nodiscard]] OperationResult CommitMacros(macros::MacroManager& edits, bool& changed);
    [[nodiscard]] OperationResult ImportFile(const std::filesystem::path& path);
    // What becomes of pending changes before a switch or an import: applied first (to the
    // profile they were made for) or dropped (`dropped` then says so). A failure stops it.
    [[nodiscard]] OperationResult SettlePending(PendingChoice pending, bool& dropped);
    // After dropped changes and a failed switch or import: the keyboard is read again.
    void ReadBackAfterDrop();
    // Keeps the current profile file in step with `image`; on failure the file and the reason.
    [[nodiscard]] std::optional<std::string> SaveCurrentProfileFile(
        const profiles::ImageContents& image);
    // The macro capacity the macro area is written against, when it is known.
    [[nodiscard]] OperationResult CheckMacroCapacityKnown();
    // Turns the key configuration's write into the result and the notices. `importedFile`: the
    // file of an import, which only importing again repairs.
    void ReportWrite(OperationResult& result, const driver::DeviceWriteResult& written,
                     const std::filesystem::path* importedFile = nullptr);
    // After a switch to `profile` from `before` that failed with `commandResult`: what the
    // keyboard runs now, read back when the write may have reached it. Done when it runs
    // `profile` after all.
    [[nodiscard]] OperationResult SwitchNotConfirmed(int profile, int before, int commandResult);
    void SetApplyPending(bool pending);
    // Publishes what the session knows now as the newest snapshot.
    void Publish();
    void PublishLighting();

    device::Transport& transport_;
    // Before the driver, whose lighting reads it.
    std::unique_ptr<lighting::PanelSwitchStore> panelSwitch_;
    driver::KeyboardDriver driver_;
    platform::ProgramLauncher& launcher_;
    ServiceObserver& observer_;
    const SessionOptions options_;

    // The lighting mirror the driver keeps.
    driver::DeviceLighting& lighting_;
    profiles::DeviceFacts facts_;
    profiles::ProfileImage profileImage_;
    profiles::DeviceImage deviceImage_;
    int lightingReads_ = 0;
    bool arrivalRead_ = false;
    // What the lighting panel shows, and the per-key colours of the profile shown.
    lighting::LightingPanelModel panel_;
    lighting::PerKeyPaint paint_;
    bool paintLoaded_ = false;

    int lastCount_ = 0;
    std::atomic<bool> present_{false};
    std::atomic<bool> imageFromKeyboard_{false};
    std::atomic<bool> keyDefaultsRead_{false};
    std::atomic<bool> applyPending_{false};
    std::atomic<int> pendingProfile_{-1};
    std::atomic<bool> programEnded_{false};

    mutable std::mutex snapshotMutex_;
    SnapshotPtr snapshot_;
    std::uint64_t version_ = 0;
};

}  // namespace qv::service
