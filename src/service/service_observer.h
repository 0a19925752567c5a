#pragma once

// What the keyboard service tells its front end, and what it asks. The service has no words of
// its own: it names what happened, and each front end chooses the text (localised in the
// desktop app, plain English on the command line).
//
// Every call comes on the service's worker thread, in the order things happen. A front end that
// draws on another thread hands the call over to it; Ask blocks the worker until answered.

#include <cstdint>
#include <string>

namespace qv::service {

enum class Notice : std::uint8_t {
    // The keyboard's key default table could not be read at arrival; writes of key pages are
    // refused until it is.
    KeyDefaultsUnreadable,
    // The keyboard's key pages or macro area could not be read at arrival: what is shown is
    // the default configuration, not what the keyboard holds. `detail` says what failed.
    KeyboardUnreadable,
    // The macros do not fit the keyboard even without their names: nothing was written.
    MacrosTooLong,
    // The settings block could not be read when the keyboard arrived, so how much macro memory
    // it has is not known: nothing was written.
    MacroCapacityUnknown,
    // The macros were written without their names, which do not fit the keyboard.
    MacroNamesDropped,
    // A write stopped half way: the keyboard may hold part old, part new settings. Applying
    // again repairs it. `detail` names the failing command's result.
    PartlyWritten,
    // An import stopped half way: the same, but only importing the file again repairs it
    // (Apply writes one key page). `detail` is the file.
    ImportPartlyWritten,
    // The keyboard took every part of the changes but did not confirm the end of the transfer:
    // it holds them; applying again makes sure it keeps them. `detail` names the result.
    EndNotConfirmed,
    // The same for an import; `detail` is the file, to import again.
    ImportEndNotConfirmed,
    // Nothing of an import reached the keyboard: nothing changed. `detail` is the file.
    ImportNotWritten,
    // The keyboard took the changes, but the current profile file could not be written; they
    // stay pending after Apply. `detail` is the file and the reason.
    ProfileFileNotSaved,
    // The pending changes belong to another profile than the keyboard's active one (it was
    // switched since): they were not written. `detail` is that profile, 1..4.
    PendingForOtherProfile,
    // A profile file has the wrong format; `detail` is the file and the problem.
    ProfileFileFormat,
    // A profile file could not be imported; `detail` is the file.
    ImportRefused,
    // A profile file was imported less entries the keyboard could not carry, which keep their
    // defaults; `detail` lists them, one a line.
    ImportEntriesDropped,
    // The colour page of the scheme in use, written when the keyboard runs the per-key mode,
    // was not taken in full: the keyboard may show other colours than the tool. Choosing the
    // scheme again writes it again.
    ColourPageNotWritten,
};

struct ServiceNotice {
    Notice notice = Notice::ImportRefused;
    std::string detail;
};

enum class Question : std::uint8_t {
    // The keyboard's firmware is too old for the tool: start the maker's updater? The program
    // ends on either answer.
    UpdateFirmware,
    // The keyboard could not be read at arrival, so the configuration shown is the default
    // one: write it over whatever the keyboard holds?
    OverwriteUnreadKeyboard,
};

class ServiceObserver {
public:
    virtual ~ServiceObserver() = default;

    // A keyboard arrived and everything the tool keeps about it has been read (or found
    // unreadable): image, active profile, lighting.
    virtual void KeyboardArrived() {}
    virtual void KeyboardRemoved() {}
    // Long work on the keyboard starts (true) or has ended (false).
    virtual void BusyChanged(bool busy) { (void)busy; }
    // The working image was replaced as a whole.
    virtual void ImageReplaced() {}
    virtual void ApplyPendingChanged(bool pending) { (void)pending; }
    // The keyboard's active profile as the tool now knows it (0..3).
    virtual void ActiveProfileChanged(int profile) { (void)profile; }
    // The active profile was changed on the keyboard itself; the front end switches its view.
    virtual void ProfileChangedOnKeyboard(int profile) { (void)profile; }
    // The lighting mirror was read again.
    virtual void LightingChanged() {}
    virtual void BankChanged(bool bankB) { (void)bankB; }
    virtual void PlaybackChanged(bool playing) { (void)playing; }
    virtual void Notify(const ServiceNotice& notice) { (void)notice; }
    [[nodiscard]] virtual bool Ask(Question question) {
        (void)question;
        return false;
    }
    // The keyboard cannot be used with this tool; the program ends.
    virtual void ProgramMustEnd() {}
};

}  // namespace qv::service
