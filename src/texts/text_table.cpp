#include "texts/text_table.h"

#include <memory>
#include <mutex>

#include "platform/ini_file.h"
#include "platform/text_encoding.h"
#include "texts/text_lookup.h"

namespace qv::ui {

TextTable::TextTable() {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        texts_[i] = std::string(BuiltInText(static_cast<TextSlot>(i)));
    }
}

std::string TextTable::SlotText(TextSlot slot) const {
    std::shared_lock lock(mutex_);
    return texts_[static_cast<std::size_t>(slot)];
}

std::optional<std::string> TextTable::SlotText(std::string_view name) const {
    const std::optional<TextSlot> slot = FindSlot(name);
    if (!slot) {
        return std::nullopt;
    }
    return SlotText(*slot);
}

void TextTable::SetSlotText(TextSlot slot, std::string_view text) {
    std::string cut(platform::CutToCodePoints(platform::SanitizeUtf8(text), kSlotMaxChars));
    std::unique_lock lock(mutex_);
    texts_[static_cast<std::size_t>(slot)] = std::move(cut);
}

void CopySlotsFromLanguageFile(TextTable& table, const TextLookup& lookup,
                               std::span<const TextSlot> slots) {
    const std::shared_ptr<const platform::IniFile> languageFile = lookup.LoadLanguageFile();
    const std::string_view section = lookup.InterfaceSection();
    for (const TextSlot slot : slots) {
        table.SetSlotText(slot,
                          languageFile->GetString(section, SlotName(slot), kMissingLanguageText,
                                                  platform::kProfileReadMaxChars));
    }
}

void LoadMainWindowTexts(TextTable& table, const TextLookup& lookup) {
    CopySlotsFromLanguageFile(table, lookup, kMainWindowLanguageSlots);
}

}  // namespace qv::ui
