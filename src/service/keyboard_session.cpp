#include "service/keyboard_session.h"

#include <string>

#include "core/memory_layout.h"
#include "device/command_result.h"
#include "device/key_events.h"
#include "driver/profile_capture.h"
#include "lighting/device_settings_block.h"
#include "lighting/panel_switch_file.h"
#include "lighting/per_key_paint.h"
#include "profiles/entry_screening.h"
#include "profiles/profile_file.h"
#include "profiles/profile_folder.h"
#include "service/firmware_check.h"

namespace qv::service {
namespace {

// Why a profile file was not taken, in a few words.
std::string FileRefusal(const std::filesystem::path& path,
                        const profiles::ProfileFileCheckResult& check) {
    if (check.formatProblem) {
        return "not a profile file: " + *check.formatProblem;
    }
    if (check.openProblem) {
        return *check.openProblem;
    }
    if (check.check == profiles::ProfileFileCheck::OutOfMemory) {
        return "not enough memory to read it";
    }
    std::error_code error;
    return std::filesystem::exists(path, error) ? "not a profile file: too small or too large"
                                                : "No such file or directory";
}

// The firmware check asks through the observer and ends the program through it.
class ObserverPrompt final : public platform::UserPrompt {
public:
    explicit ObserverPrompt(ServiceObserver& observer) : observer_(observer) {}
    void ShowMessage(const std::string&, bool) override {}
    bool AskOkCancel(const std::string&) override {
        return observer_.Ask(Question::UpdateFirmware);
    }
    bool AskYesNo(const std::string&) override { return observer_.Ask(Question::UpdateFirmware); }

private:
    ServiceObserver& observer_;
};

class ObserverExit final : public platform::ProgramExit {
public:
    explicit ObserverExit(ServiceObserver& observer) : observer_(observer) {}
    void EndProgram(int) override { observer_.ProgramMustEnd(); }

private:
    ServiceObserver& observer_;
};

// Busy for as long as it lives.
class BusyScope {
public:
    explicit BusyScope(ServiceObserver& observer) : observer_(observer) {
        observer_.BusyChanged(true);
    }
    ~BusyScope() { observer_.BusyChanged(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ServiceObserver& observer_;
};

}  // namespace

KeyboardSession::KeyboardSession(device::Transport& transport, platform::ProgramLauncher& launcher,
                                 ServiceObserver& observer, SessionOptions options)
    : transport_(transport),
      panelSwitch_(std::make_unique<lighting::PanelSwitchFile>(options.profileFolder / "wskb.ini")),
      driver_(transport, transport.timing().endTransferPause, *panelSwitch_),
      launcher_(launcher),
      observer_(observer),
      options_(std::move(options)),
      lighting_(driver_.Lighting()),
      panel_(panelSwitch_.get()),
      paint_(options_.profileFolder) {
    profiles::InstallDefaultImage(*profileImage_.Lock());
    Publish();
}

// ---- Presence and key events ----

void KeyboardSession::HandlePresence(int count) {
    if (count == lastCount_ || programEnded_.load()) {
        return;
    }
    lastCount_ = count;
    if (count == 0) {
        Leave();
    } else {
        Arrive();
    }
}

void KeyboardSession::Leave() {
    driver_.ForgetActiveProfile();
    present_.store(false);
    Publish();
    observer_.KeyboardRemoved();
}

void KeyboardSession::Arrive() {
    ObserverPrompt prompt(observer_);
    ObserverExit exit(observer_);
    const FirmwareVerdict verdict = CheckFirmwareVersion({.version = driver_.ReadFirmwareVersion(),
                                                          .prompt = prompt,
                                                          .launcher = launcher_,
                                                          .exit = exit,
                                                          .helpFolder = options_.updaterFolder,
                                                          .pause = options_.firmwarePause});
    if (verdict == FirmwareVerdict::ProgramEnds) {
        programEnded_.store(true);
        return;
    }
    present_.store(true);
    ReadKeyboardFacts();
    {
        BusyScope busy(observer_);
        ReloadImage();
        ReadLighting(driver::DeviceLighting::ReadKind::Reconnect);
    }
    Publish();
    observer_.KeyboardArrived();
}

void KeyboardSession::ReadKeyboardFacts() {
    keys::KeyDefaultTable table{};
    if (driver_.ReadKeyDefaults(table) == device::kSuccess) {
        facts_.SetKeyDefaults(table);
        keyDefaultsRead_.store(true);
    } else {
        // The pages are then decoded with the table read last, or the built-in one; writing
        // them waits for a table that was read.
        keyDefaultsRead_.store(false);
        observer_.Notify({Notice::KeyDefaultsUnreadable, {}});
    }
    lighting::DeviceSettingsBlock block;
    if (driver_.ReadSettings(block) == device::kSuccess) {
        facts_.SetMacroCapacity(block.MacroCapacity());
    }
}

void KeyboardSession::ReloadImage() {
    const int profile = ActiveProfile();
    driver::CaptureResult captured;
    if (profile >= 0) {
        captured = driver_.Capture(profile, facts_, options_.newMacroNamePrefix);
    }
    if (captured.Captured() && options_.captureOnArrival) {
        static_cast<void>(profiles::EnsureProfileFolder(options_.profileFolder));
        // The file is read back, as every load of the image goes through a file.
        profiles::ImageContents loaded;
        const std::filesystem::path file = CurrentProfileFile();
        if (const platform::AtomicWriteResult saved =
                profiles::SaveImageToFile(file, captured.image);
            !saved.Ok()) {
            captured.status = driver::CaptureStatus::FileNotWritten;
            captured.fileProblem = saved.Message();
        } else if (!profiles::LoadImageFromFile(file, loaded).Loaded()) {
            captured.status = driver::CaptureStatus::FileNotWritten;
            captured.fileProblem = file.string() + ": could not be read back";
        } else {
            captured.image = std::move(loaded);
        }
    }
    {
        const profiles::ProfileImage::Access image = profileImage_.Lock();
        if (captured.Captured()) {
            *image = std::move(captured.image);
        } else {
            profiles::ReleaseImageContents(*image);
            profiles::InstallDefaultImage(*image);
        }
    }
    imageFromKeyboard_.store(captured.Captured());
    if (!captured.Captured()) {
        std::string what =
            profile < 0 ? "the active profile could not be read"
            : captured.status == driver::CaptureStatus::KeyPageUnreadable
                ? "a key page could not be read"
            : captured.status == driver::CaptureStatus::MacroAreaUnreadable
                ? "the macro area could not be read"
                : "the current profile file could not be written: " + captured.fileProblem;
        observer_.Notify({Notice::KeyboardUnreadable, std::move(what)});
    }
    applyPending_.store(false);
    pendingProfile_.store(-1);
    Publish();
    if (layout::IsProfileIndex(profile)) {
        observer_.ActiveProfileChanged(profile);
    }
    observer_.ImageReplaced();
    observer_.ApplyPendingChanged(false);
}

void KeyboardSession::ReadLighting(driver::DeviceLighting::ReadKind kind) {
    if (const int active = ActiveProfile(); layout::IsProfileIndex(active)) {
        lighting_.SetCurrentProfile(active);
    }
    const bool read = lighting_.ReadLighting(kind) == 0;
    ++lightingReads_;
    arrivalRead_ = kind == driver::DeviceLighting::ReadKind::Reconnect;
    if (read) {
        FollowLightingRead(arrivalRead_);
    }
    PublishLighting();
}

void KeyboardSession::PublishLighting() {
    Publish();
    observer_.LightingChanged();
}

void KeyboardSession::Publish() {
    auto snapshot = std::make_shared<SessionSnapshot>();
    snapshot->present = present_.load();
    snapshot->activeProfile = present_.load() ? driver_.CachedActiveProfile() : -1;
    snapshot->image = *profileImage_.Lock();
    snapshot->imageFromKeyboard = imageFromKeyboard_.load();
    snapshot->keyDefaults = facts_.KeyDefaults();
    snapshot->keyDefaultsRead = keyDefaultsRead_.load();
    snapshot->macroCapacity = facts_.MacroCapacity();
    snapshot->pending = {applyPending_.load(), pendingProfile_.load()};
    snapshot->lighting = {lighting_.mirror(),
                          lighting_.state(),
                          lighting_.currentProfile(),
                          lightingReads_,
                          arrivalRead_,
                          panel_,
                          paint_};
    std::lock_guard lock(snapshotMutex_);
    snapshot->version = ++version_;
    snapshot_ = std::move(snapshot);
}

SnapshotPtr KeyboardSession::Snapshot() const {
    std::lock_guard lock(snapshotMutex_);
    return snapshot_;
}

void KeyboardSession::ReleaseImage() {
    profiles::ReleaseImageContents(*profileImage_.Lock());
    Publish();
}

void KeyboardSession::HandleKeyEvent(std::uint16_t code) {
    switch (code) {
        case device::KEY_EVENT_BANK_TOGGLE: {
            device::LedReportBytes report = transport_.LedReport();
            report[1] ^= 0x01;
            transport_.SetLedReport(report);
            transport_.WriteLedReport();
            observer_.BankChanged((report[1] & 0x01) != 0);
            break;
        }
        case device::KEY_EVENT_SETTINGS_CHANGED:
            Resynchronise();
            break;
        case device::KEY_EVENT_PLAY_ON:
            observer_.PlaybackChanged(true);
            break;
        case device::KEY_EVENT_PLAY_OFF:
            observer_.PlaybackChanged(false);
            break;
        default:
            break;
    }
}

void KeyboardSession::Resynchronise() {
    if (!present_.load()) {
        return;
    }
    lighting::DeviceSettingsBlock block;
    if (driver_.ReadSettings(block) != device::kSuccess) {
        return;
    }
    const int active = block.ActiveProfile();
    // The keyboard changed its profile by itself: the cached one is stale.
    if (driver_.CachedActiveProfile() != active) {
        driver_.ForgetActiveProfile();
    }
    if (active == lighting_.currentProfile()) {
        ReadLighting(driver::DeviceLighting::ReadKind::Refresh);
    } else if (layout::IsProfileIndex(active)) {
        observer_.ProfileChangedOnKeyboard(active);
    }
}

// ---- Operations ----

int KeyboardSession::ActiveProfile() {
    return driver_.ActiveProfile();
}

std::filesystem::path KeyboardSession::CurrentProfileFile() const {
    return profiles::CurrentProfileFilePath(options_.profileFolder, driver_.CachedActiveProfile());
}

void KeyboardSession::SetApplyPending(bool pending) {
    if (pending && !applyPending_.load()) {
        pendingProfile_.store(driver_.CachedActiveProfile());
    } else if (!pending) {
        pendingProfile_.store(-1);
    }
    applyPending_.store(pending);
    Publish();
    observer_.ApplyPendingChanged(pending);
}

OperationResult KeyboardSession::CheckWritable() const {
    if (programEnded_.load()) {
        return {OperationStatus::FirmwareTooOld};
    }
    if (!present_.load()) {
        return {OperationStatus::NoKeyboard};
    }
    return {};
}

OperationResult KeyboardSession::CheckKeyPagesWritable() {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (!keyDefaultsRead_.load()) {
        return {OperationStatus::KeyDefaultsUnread};
    }
    if (!layout::IsProfileIndex(ActiveProfile())) {
        return {OperationStatus::ProfileUnknown};
    }
    return {};
}

std::optional<std::string> KeyboardSession::SaveCurrentProfileFile(
    const profiles::ImageContents& image) {
    static_cast<void>(profiles::EnsureProfileFolder(options_.profileFolder));
    const std::filesystem::path file = CurrentProfileFile();
    std::error_code error;
    // Before the first capture there is no file to keep in step with.
    if (!std::filesystem::exists(file, error)) {
        return std::nullopt;
    }
    if (const platform::AtomicWriteResult saved = profiles::SaveImageToFile(file, image);
        !saved.Ok()) {
        return saved.Message();
    }
    return std::nullopt;
}

OperationResult KeyboardSession::CheckMacroCapacityKnown() {
    // Without it every macro area would look too large, which is not why nothing is written.
    if (facts_.MacroCapacityKnown()) {
        return {};
    }
    observer_.Notify({Notice::MacroCapacityUnknown, {}});
    return {OperationStatus::MacroCapacityUnknown};
}

void KeyboardSession::ReportWrite(OperationResult& result, const driver::DeviceWriteResult& written,
                                  const std::filesystem::path* importedFile) {
    using driver::DeviceWriteStatus;
    result.commandResult = written.commandResult;
    switch (written.status) {
        case DeviceWriteStatus::Written:
            break;
        case DeviceWriteStatus::MacrosTooLong:
            result.status = OperationStatus::MacrosTooLong;
            observer_.Notify({Notice::MacrosTooLong, {}});
            break;
        case DeviceWriteStatus::NotSent:
            result.status = OperationStatus::ProfileUnknown;
            break;
        case DeviceWriteStatus::NotWritten:
            result.status = OperationStatus::NotWritten;
            if (importedFile != nullptr) {
                observer_.Notify({Notice::ImportNotWritten, importedFile->string()});
            }
            break;
        case DeviceWriteStatus::PartlyWritten:
            result.status = OperationStatus::PartlyWritten;
            observer_.Notify(
                importedFile != nullptr
                    ? ServiceNotice{Notice::ImportPartlyWritten, importedFile->string()}
                    : ServiceNotice{Notice::PartlyWritten, std::to_string(written.commandResult)});
            break;
        case DeviceWriteStatus::EndNotConfirmed:
            result.status = OperationStatus::EndNotConfirmed;
            observer_.Notify(
                importedFile != nullptr
                    ? ServiceNotice{Notice::ImportEndNotConfirmed, importedFile->string()}
                    : ServiceNotice{Notice::EndNotConfirmed,
                                    std::to_string(written.commandResult)});
            break;
    }
    if (written.namesDropped && written.status != DeviceWriteStatus::MacrosTooLong) {
        observer_.Notify({Notice::MacroNamesDropped, {}});
    }
}

OperationResult KeyboardSession::Apply() {
    if (!applyPending_.load()) {
        // Nothing to write; the busy image still comes and goes as the user expects.
        BusyScope busy(observer_);
        return {OperationStatus::NothingToDo};
    }
    OperationResult result = CheckKeyPagesWritable();
    if (!result.Succeeded()) {
        return result;
    }
    // Apply writes the active profile's page: changes made for another profile would be
    // reported written and lost.
    if (const int madeFor = pendingProfile_.load(); madeFor >= 0 && madeFor != ActiveProfile()) {
        observer_.Notify({Notice::PendingForOtherProfile, std::to_string(madeFor + 1)});
        return OperationStatus::ProfileChanged;
    }
    if (OperationResult capacity = CheckMacroCapacityKnown(); !capacity.Succeeded()) {
        return capacity;
    }
    if (!imageFromKeyboard_.load() && !observer_.Ask(Question::OverwriteUnreadKeyboard)) {
        return {OperationStatus::KeyboardUnread};
    }
    BusyScope busy(observer_);
    const keys::KeyDefaultTable keyDefaults = facts_.KeyDefaults();
    const profiles::ProfileImage::Access image = profileImage_.Lock();
    const std::optional<std::string> unsaved = SaveCurrentProfileFile(*image);
    ReportWrite(result, driver_.WriteImage(profileImage_, deviceImage_,
                                           driver::PageSelection::ActiveProfile, keyDefaults,
                                           facts_.MacroCapacity(), ActiveProfile()));
    if (result.Succeeded() && unsaved) {
        result.status = OperationStatus::FileNotSaved;
        result.fileProblem = *unsaved;
        observer_.Notify({Notice::ProfileFileNotSaved, *unsaved});
    }
    if (result.Succeeded()) {
        // What the keyboard holds is now the working image.
        imageFromKeyboard_.store(true);
        SetApplyPending(false);
    }
    return result;
}

OperationResult KeyboardSession::ImportFile(const std::filesystem::path& path) {
    OperationResult result = CheckKeyPagesWritable();
    if (!result.Succeeded()) {
        return result;
    }
    const profiles::ProfileFileCheckResult check = profiles::CheckProfileFile(path);
    if (check.formatProblem) {
        observer_.Notify({Notice::ProfileFileFormat, path.string() + ": " + *check.formatProblem});
    }
    profiles::ImageContents contents;
    std::string dropped;
    if (check.check == profiles::ProfileFileCheck::Valid) {
        // Loaded aside first, so that a file that changed since it was checked cannot leave
        // the working image half replaced.
        profiles::LoadResult load = profiles::LoadImageFromFile(path, contents);
        if (!load.Loaded()) {
            result.status = OperationStatus::FileRefused;
            result.fileProblem = path.string() + ": " +
                                 (load.problems.empty() ? "could not be read" : load.problems[0]);
        } else {
            result.problems = std::move(load.problems);
            profiles::EntryScreening screening = profiles::ScreenImportedEntries(contents);
            result.problems.insert(result.problems.end(), screening.dropped.begin(),
                                   screening.dropped.end());
            for (const std::string& line : screening.dropped) {
                dropped += (dropped.empty() ? "" : "\n") + line;
            }
            if (screening.refusal) {
                // The file changed since it was checked.
                result.problems.push_back(*screening.refusal);
                result.fileProblem = path.string() + ": " + *screening.refusal;
                result.status = OperationStatus::FileRefused;
            }
        }
    } else {
        result.status = OperationStatus::FileRefused;
        result.fileProblem = path.string() + ": " + FileRefusal(path, check);
    }
    if (!result.Succeeded()) {
        observer_.Notify({Notice::ImportRefused, path.string()});
        return result;
    }
    if (OperationResult capacity = CheckMacroCapacityKnown(); !capacity.Succeeded()) {
        return capacity;
    }
    if (!dropped.empty()) {
        observer_.Notify({Notice::ImportEntriesDropped, dropped});
    }

    BusyScope busy(observer_);
    bool nothingChanged = false;
    {
        const profiles::ProfileImage::Access image = profileImage_.Lock();
        profiles::ImageContents previous = std::move(*image);
        *image = std::move(contents);
        const std::optional<std::string> unsaved = SaveCurrentProfileFile(*image);
        const keys::KeyDefaultTable keyDefaults = facts_.KeyDefaults();
        ReportWrite(
            result,
            driver_.WriteImage(profileImage_, deviceImage_, driver::PageSelection::AllProfiles,
                               keyDefaults, facts_.MacroCapacity(), ActiveProfile()),
            &path);
        if (result.status == OperationStatus::NotWritten) {
            // Nothing reached the keyboard: the import did not happen, and what was there
            // before it, pending changes included, is what the tool keeps.
            *image = std::move(previous);
            static_cast<void>(SaveCurrentProfileFile(*image));
            nothingChanged = true;
        } else if (result.Succeeded() && unsaved) {
            result.status = OperationStatus::FileNotSaved;
            result.fileProblem = *unsaved;
            observer_.Notify({Notice::ProfileFileNotSaved, *unsaved});
        }
    }
    Publish();
    observer_.ImageReplaced();
    if (nothingChanged) {
        return result;
    }
    // An import that stopped half way is not left pending: Apply writes only the active
    // profile's key page, so importing the file again is what repairs it.
    imageFromKeyboard_.store(true);
    SetApplyPending(false);
    return result;
}

OperationResult KeyboardSession::Export(const std::filesystem::path& path) {
    // A keyboard that could not be read leaves the default image in place, which is not what
    // the keyboard holds.
    if (present_.load() && !imageFromKeyboard_.load() && !applyPending_.load()) {
        return {OperationStatus::KeyboardUnread};
    }
    const profiles::ProfileImage::Access image = profileImage_.Lock();
    if (const platform::AtomicWriteResult saved = profiles::SaveImageToFile(path, *image);
        !saved.Ok()) {
        OperationResult result{OperationStatus::FileNotSaved};
        result.fileProblem = saved.Message();
        return result;
    }
    return {};
}

OperationResult KeyboardSession::Capture() {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    const int profile = ActiveProfile();
    if (!layout::IsProfileIndex(profile)) {
        return {OperationStatus::ProfileUnknown};
    }
    static_cast<void>(profiles::EnsureProfileFolder(options_.profileFolder));
    BusyScope busy(observer_);
    driver::CaptureResult captured =
        driver_.CaptureToFile(CurrentProfileFile(), profile, facts_, options_.newMacroNamePrefix);
    OperationResult result;
    result.problems = std::move(captured.problems);
    result.commandResult = captured.commandResult;
    switch (captured.status) {
        case driver::CaptureStatus::Captured:
            break;
        case driver::CaptureStatus::ProfileUnknown:
            result.status = OperationStatus::ProfileUnknown;
            return result;
        case driver::CaptureStatus::KeyPageUnreadable:
        case driver::CaptureStatus::MacroAreaUnreadable:
            result.status = OperationStatus::KeyboardUnread;
            return result;
        case driver::CaptureStatus::FileNotWritten:
            result.status = OperationStatus::FileNotSaved;
            result.fileProblem = std::move(captured.fileProblem);
            return result;
    }
    {
        const profiles::ProfileImage::Access image = profileImage_.Lock();
        *image = std::move(captured.image);
    }
    imageFromKeyboard_.store(true);
    Publish();
    observer_.ImageReplaced();
    SetApplyPending(false);
    return result;
}

OperationResult KeyboardSession::SettlePending(PendingChoice pending, bool& dropped) {
    dropped = false;
    if (applyPending_.load() && pending == PendingChoice::ApplyFirst) {
        // Changes made for a profile the keyboard has left since go to that profile.
        const int madeFor = pendingProfile_.load();
        if (const int before = ActiveProfile();
            layout::IsProfileIndex(madeFor) && madeFor != before) {
            if (const int written = driver_.SetActiveProfile(madeFor);
                written != device::kSuccess) {
                if (OperationResult failed = SwitchNotConfirmed(madeFor, before, written);
                    !failed.Succeeded()) {
                    return failed;
                }
            }
            Publish();
            observer_.ActiveProfileChanged(madeFor);
        }
        return Apply();
    }
    if (applyPending_.load() && pending == PendingChoice::Drop) {
        SetApplyPending(false);
        dropped = true;
    }
    return {};
}

void KeyboardSession::ReadBackAfterDrop() {
    // Nothing unapplied may stay in the working image.
    BusyScope busy(observer_);
    ReloadImage();
}

OperationResult KeyboardSession::SwitchNotConfirmed(int profile, int before, int commandResult) {
    // The cache is still right when the read before the write failed, so nothing was sent. A
    // failed write dropped it; one whose answer was lost may have been done all the same, and
    // the keyboard says which profile it runs.
    int now = driver_.CachedActiveProfile();
    if (!layout::IsProfileIndex(now)) {
        now = device::NeverReachedKeyboard(commandResult) ? before : driver_.ActiveProfile();
    }
    Publish();
    if (now == profile) {
        return {};
    }
    OperationResult result{layout::IsProfileIndex(now) ? OperationStatus::NotWritten
                                                       : OperationStatus::OutcomeUnknown};
    result.commandResult = commandResult;
    result.activeProfile = now;
    return result;
}

OperationResult KeyboardSession::SwitchProfile(int profile, PendingChoice pending) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (!layout::IsProfileIndex(profile)) {
        return {OperationStatus::ProfileUnknown};
    }
    bool dropped = false;
    if (OperationResult settled = SettlePending(pending, dropped); !settled.Succeeded()) {
        return settled;
    }
    // Once nothing is pending, the switch reads the keyboard into the working image.
    OperationResult switched = SetActiveProfile(profile);
    if (dropped && !switched.Succeeded()) {
        ReadBackAfterDrop();
    }
    return switched;
}

void KeyboardSession::RefreshLighting() {
    if (present_.load()) {
        ReadLighting(driver::DeviceLighting::ReadKind::Refresh);
    }
}

OperationResult KeyboardSession::SetActiveProfile(int profile) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (!layout::IsProfileIndex(profile)) {
        return {OperationStatus::ProfileUnknown};
    }
    if (const int before = driver_.ActiveProfile(); before != profile) {
        if (const int written = driver_.SetActiveProfile(profile); written != device::kSuccess) {
            if (OperationResult failed = SwitchNotConfirmed(profile, before, written);
                !failed.Succeeded()) {
                return failed;
            }
        }
    }
    {
        BusyScope busy(observer_);
        if (applyPending_.load()) {
            Publish();
            observer_.ActiveProfileChanged(profile);
        } else {
            ReloadImage();
        }
        ReadLighting(driver::DeviceLighting::ReadKind::Refresh);
    }
    return {};
}

}  // namespace qv::service
