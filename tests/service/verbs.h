#pragma once

// Edits made through the keyboard service's verbs, as a front end makes them.

#include "service/keyboard_service.h"

namespace qv::test {

// Gives the key in `slot` of `profile` a new entry; the verb's verdict.
inline service::OperationResult StoreEntry(service::KeyboardService& service, int profile,
                                           std::size_t slot, const keys::KeyEntry& entry) {
    service::KeyEntryEdit edit;
    edit.profile = profile;
    edit.slot = slot;
    edit.entry = entry;
    return service.Call(
        [&edit](service::KeyboardSession& session) { return session.StoreKeyEntry(edit); });
}

// Makes the working image what `change` makes of it and writes it to the keyboard (the macros
// and the active profile's key page), as if the keyboard had held it all along.
template <typename Change>
service::OperationResult SeedImage(service::KeyboardService& service, Change&& change) {
    profiles::ImageContents contents = service.Snapshot()->image;
    change(contents);
    return service.Call([&contents](service::KeyboardSession& session) {
        const service::OperationResult taken = session.TakePendingEdits(std::move(contents));
        return taken.Succeeded() ? session.Apply() : taken;
    });
}

// The working image as the service last published it.
inline profiles::ImageContents WorkingImage(const service::KeyboardService& service) {
    return service.Snapshot()->image;
}

}  // namespace qv::test
