#include "app/bank_key_marks.h"

#include "device/device_report.h"
#include "keys/key_entry.h"

namespace qv::app {

BankKeyMarks MarkBankKeys(const profiles::ImageContents& image, int profile, bool bankB) {
    if (profile >= 0 && profile < static_cast<int>(device::kProfileCount)) {
        return MarkBankKeys(&image.blocks[static_cast<std::size_t>(profile)], bankB);
    }
    return MarkBankKeys(nullptr, bankB);
}

BankKeyMarks MarkBankKeys(const keys::KeyBlock* block, bool bankB) {
    BankKeyMarks marks;
    marks.bankB = bankB;
    if (block != nullptr) {
        const std::size_t first = keys::kFirstGKeySlot + (bankB ? keys::kGKeysPerBank : 0);
        for (std::size_t i = 0; i < BankKeyMarks::kCount; ++i) {
            marks.assigned[i] = (*block)[first + i].kind != keys::KeyKind::Default;
        }
    }
    for (std::size_t i = 0; i < 5; ++i) {
        marks.captions[i] = std::string(bankB ? "B" : "A") + std::to_string(i + 1);
    }
    return marks;
}

}  // namespace qv::app
