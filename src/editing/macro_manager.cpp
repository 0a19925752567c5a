#include "editing/macro_manager.h"

#include <algorithm>
#include <utility>

#include "keys/key_entry.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::macros {
namespace {

// Case folding for the name search: ASCII and the Latin-1 letters, which is what generated
// names and their prefixes are made of.
char16_t Folded(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    return c;
}

bool BeginsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return Folded(a) == Folded(b); });
}

// At most 249 units, without splitting a surrogate pair.
std::u16string CutName(std::u16string_view name) {
    if (name.size() <= kMaxMacroNameLength) {
        return std::u16string(name);
    }
    std::size_t length = kMaxMacroNameLength;
    if (const char16_t last = name[length - 1]; last >= 0xD800 && last < 0xDC00) {
        --length;
    }
    return std::u16string(name.substr(0, length));
}

std::u16string Number(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

bool PlaysMacro(const keys::KeyEntry& entry, std::uint16_t id) {
    return entry.kind == keys::KeyKind::Macro && entry.value == id;
}

constexpr EditResult kRecording{EditOutcome::Recording};
constexpr EditResult kUnchanged{EditOutcome::Unchanged};

}  // namespace

// ---- Session ----

void MacroManager::Open(const profiles::ImageContents& image, std::uint16_t shownId) {
    macros_ = image.macros;
    for (MacroRecord& macro : macros_) {
        macro.newFlag = 0;
    }
    keys_ = image.blocks;
    shown_ = IndexOfId(shownId);
    if (!shown_ && !macros_.empty()) {
        shown_ = 0;
    }
    selectedAction_.reset();
    modified_ = false;
    recording_ = false;
}

void MacroManager::Close() {
    macros_.clear();
    keys_ = {};
    shown_.reset();
    selectedAction_.reset();
    modified_ = false;
    recording_ = false;
}

CommitResult MacroManager::RepairKeys(profiles::ProfileKeyBlocks& blocks) const {
    CommitResult result;
    for (keys::KeyBlock& block : blocks) {
        for (std::size_t slot = 0; slot < block.size(); ++slot) {
            keys::KeyEntry& entry = block[slot];
            if (entry.kind != keys::KeyKind::Macro) {
                continue;
            }
            if (entry.value == 0 && !macros_.empty()) {
                entry.value = macros_.front().macroId;
                ++result.keysGivenFirstMacro;
                continue;
            }
            const auto found = std::find_if(macros_.begin(), macros_.end(), [&](const auto& m) {
                return entry.value == m.macroId;
            });
            if (found == macros_.end() || found->newFlag != 0) {
                entry.kind = keys::KeyKind::Default;
                entry.aux = keys::GKeyAuxCode(slot);
                entry.value = 0;
                ++result.keysReset;
            }
        }
    }
    return result;
}

void MacroManager::ClearNew() {
    for (MacroRecord& macro : macros_) {
        macro.newFlag = 0;
    }
    modified_ = false;
}

CommitResult MacroManager::Commit(profiles::ProfileImage& image) {
    const profiles::ProfileImage::Access contents = image.Lock();
    CommitResult result = RepairKeys(contents->blocks);
    ClearNew();
    result.macrosChanged = contents->macros != macros_;
    contents->macros = macros_;
    keys_ = contents->blocks;
    return result;
}

void MacroManager::MarkCommitted() {
    (void)RepairKeys(keys_);
    ClearNew();
}

void MacroManager::RefreshKeyEntries(const profiles::ImageContents& image) {
    keys_ = image.blocks;
}

// ---- The macro list ----

const MacroRecord* MacroManager::ShownMacro() const {
    return shown_ ? &macros_[*shown_] : nullptr;
}

MacroRecord* MacroManager::Shown() {
    return shown_ ? &macros_[*shown_] : nullptr;
}

std::optional<std::size_t> MacroManager::IndexOfId(std::uint16_t id) const {
    const auto found = std::find_if(macros_.begin(), macros_.end(),
                                    [id](const auto& m) { return m.macroId == id; });
    if (id == 0 || found == macros_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - macros_.begin());
}

EditResult MacroManager::Changed(MacroNotice notice) {
    modified_ = true;
    return {EditOutcome::Done, notice};
}

EditResult MacroManager::Show(std::size_t index) {
    if (recording_) {
        return kRecording;
    }
    if (index >= macros_.size() || shown_ == index) {
        return kUnchanged;
    }
    shown_ = index;
    selectedAction_.reset();
    return kUnchanged;  // showing another macro changes nothing that Apply writes
}

MacroRecord MacroManager::NewMacro(std::u16string name) const {
    std::uint16_t id = kMinMacroId;
    while (id < kMaxMacroId && std::any_of(macros_.begin(), macros_.end(),
                                           [id](const auto& m) { return m.macroId == id; })) {
        ++id;
    }
    return {.name = CutName(name),
            .repeatCount = kMinRepeatCount,
            .newFlag = 1,
            .macroId = id,
            .actions = {}};
}

EditResult MacroManager::Add(std::u16string_view namePrefix) {
    if (recording_) {
        return kRecording;
    }
    if (macros_.size() >= kMaxMacros) {
        return {EditOutcome::Refused, MacroNotice::TooManyMacros};
    }
    if (macros_.empty()) {
        nameCounter_ = 0;
    }
    // A number that begins no macro's name: each name blocks only the numbers that are its
    // own prefixes, so the search ends.
    std::u16string name;
    do {
        ++nameCounter_;
        name = std::u16string(namePrefix) + Number(nameCounter_);
    } while (std::any_of(macros_.begin(), macros_.end(), [&](const MacroRecord& m) {
        return BeginsWithIgnoringCase(m.name, name);
    }));
    macros_.push_back(NewMacro(std::move(name)));
    shown_ = macros_.size() - 1;
    selectedAction_.reset();
    return Changed();
}

EditResult MacroManager::Rename(std::u16string_view name) {
    if (recording_) {
        return kRecording;
    }
    if (MacroRecord* macro = Shown()) {
        macro->name = CutName(name);
        return Changed();
    }
    macros_.insert(macros_.begin(), NewMacro(std::u16string(name)));
    shown_ = 0;
    selectedAction_.reset();
    return Changed();
}

bool MacroManager::KeysPlayingAskAbout(std::uint16_t id) const {
    for (std::size_t profile = 0; profile < keys_.size(); ++profile) {
        for (std::size_t slot = 0; slot < keys_[profile].size(); ++slot) {
            if (profile == 0 && slot == keys::kFirstGKeySlot) {
                continue;
            }
            if (PlaysMacro(keys_[profile][slot], id)) {
                return true;
            }
        }
    }
    return false;
}

std::size_t MacroManager::KeysPlaying(std::uint16_t id) const {
    std::size_t count = 0;
    for (const keys::KeyBlock& block : keys_) {
        count += static_cast<std::size_t>(std::count_if(
            block.begin(), block.end(), [id](const auto& entry) { return PlaysMacro(entry, id); }));
    }
    return count;
}

EditResult MacroManager::Delete(bool confirmed) {
    if (recording_) {
        return kRecording;
    }
    if (!shown_) {
        return kUnchanged;
    }
    const MacroRecord& macro = macros_[*shown_];
    if (macro.newFlag == 0 && !confirmed && KeysPlayingAskAbout(macro.macroId)) {
        return {EditOutcome::AskFirst, MacroNotice::ConfirmDeleteUsedMacro};
    }
    const std::size_t index = *shown_;
    macros_.erase(macros_.begin() + static_cast<std::ptrdiff_t>(index));
    if (macros_.empty()) {
        shown_.reset();
    } else {
        shown_ = index == 0 ? 0 : index - 1;
    }
    selectedAction_.reset();
    return Changed();
}

EditResult MacroManager::MoveMacro(MovePlace place) {
    if (recording_) {
        return kRecording;
    }
    if (!shown_) {
        return kUnchanged;
    }
    const std::size_t to = MoveRow(macros_, *shown_, place);
    if (to == *shown_) {
        return kUnchanged;
    }
    shown_ = to;
    return Changed();
}

// ---- The shown macro's actions ----

void MacroManager::SelectAction(std::optional<std::size_t> row) {
    const MacroRecord* macro = ShownMacro();
    selectedAction_ = macro && row && *row < macro->actions.size() ? row : std::nullopt;
}

EditResult MacroManager::InsertAction(MacroAction action) {
    MacroRecord* macro = Shown();
    if (!macro) {
        return kUnchanged;
    }
    const auto row = macros::InsertAction(macro->actions, selectedAction_, action);
    if (!row) {
        return {EditOutcome::Refused, MacroNotice::ActionListFull};
    }
    selectedAction_ = row;
    return Changed();
}

EditResult MacroManager::DeleteAction() {
    MacroRecord* macro = Shown();
    if (!macro || !selectedAction_) {
        return kUnchanged;
    }
    macro->actions.erase(macro->actions.begin() + static_cast<std::ptrdiff_t>(*selectedAction_));
    selectedAction_.reset();
    return Changed();
}

EditResult MacroManager::ClearActions(bool confirmed) {
    MacroRecord* macro = Shown();
    if (!macro || macro->actions.empty()) {
        return kUnchanged;
    }
    if (!confirmed) {
        return {EditOutcome::AskFirst, MacroNotice::ConfirmClearActions};
    }
    macro->actions.clear();
    selectedAction_.reset();
    return Changed();
}

EditResult MacroManager::MoveAction(MovePlace place) {
    MacroRecord* macro = Shown();
    if (!macro || !selectedAction_) {
        return kUnchanged;
    }
    const std::size_t to = MoveRow(macro->actions, *selectedAction_, place);
    if (to == *selectedAction_) {
        return kUnchanged;
    }
    selectedAction_ = to;
    return Changed();
}

EditResult MacroManager::SetActionDelay(std::size_t row, std::uint64_t typedMs) {
    MacroRecord* macro = Shown();
    if (!macro || row >= macro->actions.size()) {
        return kUnchanged;
    }
    const TypedDelay typed = DelayFromTyped(typedMs);
    macro->actions[row].delay = typed.delay;
    return Changed(typed.tooLong ? MacroNotice::DelayTooLong : MacroNotice::None);
}

EditResult MacroManager::SetActionKey(std::size_t row, keys::KeyListId choice) {
    MacroRecord* macro = Shown();
    if (!macro || row >= macro->actions.size() || choice >= keys::kKeyChoiceCount) {
        return kUnchanged;
    }
    MacroAction& action = macro->actions[row];
    const keys::KeyCode key = keys::KeyCodeFromListId(choice);
    if (key == keys::kNoKey || keys::ListIdFromKeyCode(action.key) == choice) {
        return kUnchanged;
    }
    action.key = key;
    return Changed();
}

EditResult MacroManager::SetActionState(std::size_t row, KeyState state) {
    MacroRecord* macro = Shown();
    if (!macro || row >= macro->actions.size() || macro->actions[row].state == state) {
        return kUnchanged;
    }
    macro->actions[row].state = state;
    return Changed();
}

EditResult MacroManager::ReplaceActions(std::vector<MacroAction> actions) {
    MacroRecord* macro = Shown();
    if (!macro) {
        return kUnchanged;
    }
    if (actions.size() > kMaxMacroActions) {
        return {EditOutcome::Refused, MacroNotice::ActionListFull};
    }
    macro->actions = std::move(actions);
    selectedAction_.reset();
    return Changed();
}

TypedRepeatCount MacroManager::SetRepeatCountText(std::string_view text) {
    const TypedRepeatCount typed = RepeatCountFromText(text);
    if (MacroRecord* macro = Shown()) {
        macro->repeatCount = static_cast<std::uint8_t>(typed.count);
        modified_ = true;
    }
    return typed;
}

EditResult MacroManager::SetRepeatCount(int count) {
    MacroRecord* macro = Shown();
    if (!macro) {
        return kUnchanged;
    }
    macro->repeatCount =
        static_cast<std::uint8_t>(std::clamp(count, kMinRepeatCount, kMaxRepeatCount));
    return Changed();
}

MacroMemoryMeter MacroManager::Meter(std::size_t capacity) const {
    return MeasureMacroMemory(macros_, capacity);
}

}  // namespace qv::macros
