// The edits that wait for Apply: key entries, macros, defaults, the command line's pending
// edits; and an import, which replaces them.

#include <algorithm>

#include "assignments/entry_rules.h"
#include "core/memory_layout.h"
#include "editing/macro_manager.h"
#include "editing/macro_memory_meter.h"
#include "profiles/key_entry_edit.h"
#include "service/keyboard_session.h"

namespace qv::service {
OperationResult KeyboardSession::CheckEditable(int profile) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    const int active = ActiveProfile();
    if (!layout::IsProfileIndex(active)) {
        return {OperationStatus::ProfileUnknown};
    }
    // An edit made for a profile the keyboard has left since is not stored under another.
    if (profile != active) {
        return {OperationStatus::ProfileChanged};
    }
    return {};
}

OperationResult KeyboardSession::CommitMacros(macros::MacroManager& edits, bool& changed) {
    const std::size_t capacity = facts_.MacroCapacity();
    const macros::MacroMemoryMeter meter = edits.Meter(capacity);
    if (meter.CapacityKnown() && meter.ApplyRefused()) {
        return {OperationStatus::MacrosTooLong};
    }
    changed = edits.Commit(profileImage_).ImageChanged() || changed;
    return {};
}

OperationResult KeyboardSession::EditMacros(macros::MacroManager edits) {
    if (OperationResult editable = CheckEditable(ActiveProfile()); !editable.Succeeded()) {
        return editable;
    }
    bool changed = false;
    if (OperationResult committed = CommitMacros(edits, changed); !committed.Succeeded()) {
        return committed;
    }
    if (!changed) {
        return {OperationStatus::NothingToDo};
    }
    SetApplyPending(true);
    return {};
}

OperationResult KeyboardSession::StoreKeyEntry(const KeyEntryEdit& edit) {
    if (OperationResult editable = CheckEditable(edit.profile); !editable.Succeeded()) {
        return editable;
    }
    // The entry is checked against the macro list it will meet: the edit's own when it brings
    // one.
    keys::KeyEntry entry = edit.entry;
    {
        const profiles::ProfileImage::Access image = profileImage_.Lock();
        const macros::MacroList& macros = edit.macros ? edit.macros->Macros() : image->macros;
        if (const auto refusal =
                keys::CheckKeyEntry(edit.slot, entry, facts_.KeyDefaults(), macros)) {
            OperationResult refused{OperationStatus::EntryRefused};
            refused.refusal = *refusal;
            return refused;
        }
    }
    bool changed = false;
    if (edit.macros) {
        if (OperationResult committed = CommitMacros(*edit.macros, changed);
            !committed.Succeeded()) {
            return committed;
        }
    }
    {
        const profiles::ProfileImage::Access image = profileImage_.Lock();
        bool differs = image->blocks[static_cast<std::size_t>(edit.profile)][edit.slot] != entry;
        if (entry.kind == keys::KeyKind::Macro) {
            // The keyboard plays a macro as often as its record says, so the count belongs to
            // the macro: a new count is the macro's, and without one the key takes the macro's.
            const auto macro =
                std::find_if(image->macros.begin(), image->macros.end(),
                             [&](const auto& m) { return m.macroId == entry.value; });
            if (macro == image->macros.end()) {
                OperationResult refused{OperationStatus::EntryRefused};
                refused.refusal = keys::EntryRefusal::NoSuchMacro;
                return refused;
            }
            entry.aux = static_cast<std::uint16_t>(edit.repeatCount.value_or(macro->repeatCount));
            differs = image->blocks[static_cast<std::size_t>(edit.profile)][edit.slot] != entry ||
                      macro->repeatCount != entry.aux;
        }
        if (differs) {
            changed = profiles::StoreKeyEntry(*image, edit.profile, edit.slot, entry) || changed;
        }
    }
    if (!changed) {
        return {OperationStatus::NothingToDo};
    }
    SetApplyPending(true);
    return {};
}

OperationResult KeyboardSession::RestoreDefaults(std::span<const std::size_t> slots) {
    if (OperationResult editable = CheckEditable(ActiveProfile()); !editable.Succeeded()) {
        return editable;
    }
    const int profile = ActiveProfile();
    bool changed = false;
    {
        const profiles::ProfileImage::Access image = profileImage_.Lock();
        const keys::KeyBlock fresh = keys::FreshKeyBlock();
        for (const std::size_t slot : slots) {
            if (slot < fresh.size() &&
                image->blocks[static_cast<std::size_t>(profile)][slot] != fresh[slot]) {
                changed = profiles::StoreKeyEntry(*image, profile, slot, fresh[slot]) || changed;
            }
        }
    }
    if (changed) {
        SetApplyPending(true);
    }
    return Apply();
}

OperationResult KeyboardSession::TakePendingEdits(profiles::ImageContents contents) {
    // Also shown where nothing may be written: they are the configuration being worked on.
    if (!present_.load()) {
        return {OperationStatus::NoKeyboard};
    }
    if (!layout::IsProfileIndex(ActiveProfile())) {
        return {OperationStatus::ProfileUnknown};
    }
    *profileImage_.Lock() = std::move(contents);
    if (applyPending_.load()) {
        Publish();
        observer_.ImageReplaced();
    } else {
        SetApplyPending(true);
    }
    return {};
}

OperationResult KeyboardSession::Discard() {
    if (!applyPending_.load()) {
        return {OperationStatus::NothingToDo};
    }
    if (!present_.load()) {
        // Nothing to read back: the default image, as before any arrival.
        {
            const profiles::ProfileImage::Access image = profileImage_.Lock();
            profiles::ReleaseImageContents(*image);
            profiles::InstallDefaultImage(*image);
        }
        SetApplyPending(false);
        return {};
    }
    ReloadImage();
    return imageFromKeyboard_.load() ? OperationResult{}
                                     : OperationResult{OperationStatus::KeyboardUnread};
}

OperationResult KeyboardSession::Import(const std::filesystem::path& path, PendingChoice pending) {
    bool dropped = false;
    if (OperationResult settled = SettlePending(pending, dropped); !settled.Succeeded()) {
        return settled;
    }
    OperationResult imported = ImportFile(path);
    if (dropped && !imported.Succeeded()) {
        ReadBackAfterDrop();
    }
    return imported;
}

}  // namespace qv::service
