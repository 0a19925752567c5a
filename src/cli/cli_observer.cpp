#include "cli/cli_observer.h"

#include <string>

namespace qv::cli {

using service::Notice;
using service::Question;

void CliObserver::Say(const std::string& text) {
    // The service speaks from its worker; lines stay whole.
    std::lock_guard lock(mutex_);
    err_ << "quorvanectl: " << text << "\n";
}

void CliObserver::Notify(const service::ServiceNotice& notice) {
    switch (notice.notice) {
        case Notice::KeyDefaultsUnreadable:
            Say("the keyboard's key default table could not be read; key pages will not be "
                "written until it can be");
            break;
        case Notice::KeyboardUnreadable:
            Say("the keyboard could not be read (" + notice.detail + ")");
            break;
        case Notice::MacrosTooLong:
            Say("the macros do not fit the keyboard even without their names; nothing was "
                "written");
            break;
        case Notice::MacroCapacityUnknown:
        case Notice::ImportNotWritten:
        case Notice::ProfileFileNotSaved:
            // The command's failure says so, with what it could not do.
            break;
        case Notice::MacroNamesDropped:
            Say("the macros were written without their names, which do not fit the keyboard");
            break;
        case Notice::PartlyWritten:
            Say("a write stopped half way (result " + notice.detail +
                "): the keyboard may hold part old, part new settings; apply again to repair it");
            break;
        case Notice::ImportPartlyWritten:
            Say("the import stopped half way: the keyboard may hold part old, part new settings; "
                "`quorvanectl import " +
                notice.detail + "` again to repair it");
            break;
        case Notice::EndNotConfirmed:
            Say("the keyboard took every part of the write but did not confirm the end of the "
                "transfer (result " +
                notice.detail +
                "): it holds the new settings; apply again to be sure it keeps them");
            break;
        case Notice::ImportEndNotConfirmed:
            Say("the keyboard took every part of the import but did not confirm the end of the "
                "transfer: it holds the imported settings; `quorvanectl import " +
                notice.detail + "` again to be sure it keeps them");
            break;
        case Notice::PendingForOtherProfile:
            Say("the pending changes were made for profile " + notice.detail +
                ", which is no longer the keyboard's active profile; nothing was written");
            break;
        case Notice::ProfileFileFormat:
            Say("wrong profile file format: " + notice.detail);
            break;
        case Notice::ImportRefused:
            Say(notice.detail + " was not imported");
            break;
        case Notice::ImportEntriesDropped:
            // The command lists them with the import's other warnings.
            break;
        case Notice::ColourPageNotWritten:
            Say("the keyboard did not take all of the per-key colours; `quorvanectl lighting "
                "scheme load` writes them again");
            break;
    }
}

bool CliObserver::Ask(Question question) {
    const char* text = question == Question::UpdateFirmware
                           ? "the keyboard's firmware is too old for this tool: start the "
                             "firmware updater?"
                           : "the keyboard could not be read: write over whatever it holds?";
    Say(std::string(text) + (assumeYes_ ? " [yes, from --yes]" : " [no; give --yes to agree]"));
    return assumeYes_;
}

void CliObserver::ProgramMustEnd() {
    firmwareTooOld_.store(true);
}

}  // namespace qv::cli
