// Arbitrary bytes as a profile file the user picked, checked and loaded from memory (the file
// functions read through the same code). Validation may refuse it; when it accepts, the load
// must succeed and the entry screening of an import must agree with it. Any load, validated or
// not, must keep the image within the tool's limits and read nothing past the file, and a
// loaded image that the screening takes must save as a file that validates, whose entries pass
// the screening untouched, and that reads back the same (a text entry's value is an offset and
// changes with the packing).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "profiles/entry_screening.h"
#include "profiles/profile_file.h"
#include "profiles/profile_file_codec.h"

namespace {

using namespace qv::profiles;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool CarriesText(qv::keys::KeyKind kind) {
    return kind == qv::keys::KeyKind::LaunchProgram || kind == qv::keys::KeyKind::TextBlock;
}

void CheckLimits(const ImageContents& image) {
    Check(image.macros.size() <= qv::macros::kMaxMacros);
    for (const qv::macros::MacroRecord& macro : image.macros) {
        Check(macro.name.size() <= qv::macros::kMaxMacroNameLength);
        Check(macro.actions.size() <= qv::macros::kMaxMacroActions);
    }
    for (std::size_t i = 0; i < KeyTextTable::kSlotCount; ++i) {
        Check(image.texts.Text(i).size() <= kMaxKeyTextUnits);
        Check(image.texts.Text(i).empty() || CarriesText(image.ImageEntry(i).kind));
    }
}

void CheckSavesAndReadsBack(const ImageContents& image) {
    const std::optional<std::vector<std::uint8_t>> saved = EncodeProfileFile(image);
    Check(saved.has_value());
    Check(CheckProfileBytes(*saved).check == ProfileFileCheck::Valid);
    ImageContents again;
    const LoadResult result = LoadImageFromBytes(*saved, again);
    Check(result.Loaded());
    // Screened once, the entries give the screening nothing more to do.
    ImageContents screened = again;
    const EntryScreening screening = ScreenImportedEntries(screened);
    Check(!screening.refusal && screening.dropped.empty());

    Check(again.macros == image.macros);
    for (std::size_t i = 0; i < KeyTextTable::kSlotCount; ++i) {
        qv::keys::KeyEntry before = image.ImageEntry(i);
        qv::keys::KeyEntry after = again.ImageEntry(i);
        if (CarriesText(before.kind)) {
            // An entry without a text keeps a stale offset, which may now name another's text.
            if (!image.texts.Text(i).empty()) {
                Check(again.texts.Text(i) == image.texts.Text(i));
            }
            before.value = after.value = 0;
        }
        Check(before == after);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qv::Bytes file(data, size);
    const ProfileFileCheckResult check = CheckProfileBytes(file);
    const bool valid = check.check == ProfileFileCheck::Valid;
    ImageContents image;
    const LoadResult result = LoadImageFromBytes(file, image);
    if (valid) {
        Check(result.Loaded());
    }
    if (result.Loaded()) {
        CheckLimits(image);
        const EntryScreening screening = ScreenImportedEntries(image);
        if (valid) {
            Check(!screening.refusal);
            std::vector<std::string> warnings = result.problems;
            warnings.insert(warnings.end(), screening.dropped.begin(), screening.dropped.end());
            Check(warnings == check.warnings);
        }
        if (!screening.refusal) {
            CheckSavesAndReadsBack(image);
        }
    }
    return 0;
}
