// Arbitrary bytes as a profile file the user picked. Validation may refuse it; when it accepts,
// the load must succeed. Any load, validated or not, must keep the image within the tool's
// limits and read nothing past the file, and a loaded image must save as a file that validates
// and reads back the same (a text entry's value is an offset and changes with the packing).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "profiles/profile_file.h"
#include "profiles/profile_file_codec.h"

namespace {

using namespace qv::profiles;

class SilentPrompt final : public qv::platform::UserPrompt {
public:
    void ShowMessage(const std::string&, bool) override {}
    bool AskOkCancel(const std::string&) override { return true; }
    bool AskYesNo(const std::string&) override { return true; }
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::filesystem::path ScratchPath(const char* what) {
    return std::filesystem::temp_directory_path() /
           ("profile_file_fuzz-" + std::to_string(::getpid()) + "-" + what);
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
    const std::filesystem::path saved = ScratchPath("saved");
    Check(WriteImageToFile(saved, image));
    SilentPrompt prompt;
    Check(CheckProfileFile(saved).check == ProfileFileCheck::Valid);
    ImageContents again;
    const LoadResult result = LoadImageFromFile(saved, again);
    Check(result.Loaded());

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

void RemoveScratchFiles() {
    std::error_code ignored;
    std::filesystem::remove(ScratchPath("input"), ignored);
    std::filesystem::remove(ScratchPath("saved"), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(RemoveScratchFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = ScratchPath("input");
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SilentPrompt prompt;
    const ProfileFileCheck check = CheckProfileFile(path).check;
    ImageContents image;
    const LoadResult result = LoadImageFromFile(path, image);
    if (check == ProfileFileCheck::Valid) {
        Check(result.Loaded());
    }
    if (result.Loaded()) {
        CheckLimits(image);
        CheckSavesAndReadsBack(image);
    }
    return 0;
}
