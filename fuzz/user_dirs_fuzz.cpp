// Arbitrary bytes as the user's user-dirs.dirs file, read for the documents folder. What the
// reader promises:
//  - the folder it finds is absolute, and is the value of one XDG_DOCUMENTS_DIR="..." line of
//    the file, with a leading $HOME replaced by the home folder;
//  - the first such line decides: a line added after the file changes nothing when the file
//    names a folder, and is the answer when it names none;
//  - a folder written back as a line of its own reads as the same folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/xdg_paths.h"

namespace {

const std::filesystem::path kHome = "/home/fuzz";

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string Line(const std::string& value) {
    return "XDG_DOCUMENTS_DIR=\"" + value + "\"";
}

// Whether one line of the file gives `folder`.
bool SomeLineGives(std::string_view text, const std::string& folder) {
    const std::string home = kHome.string();
    const std::string relative =
        folder.starts_with(home) ? "$HOME" + folder.substr(home.size()) : std::string();
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (line == Line(folder) || (!relative.empty() && line == Line(relative))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::filesystem::path> folder =
        qv::platform::DocumentsFolderIn(text, kHome);
    if (folder) {
        const std::string value = folder->string();
        Check(value.starts_with('/'));
        Check(SomeLineGives(text, value));
        Check(qv::platform::DocumentsFolderIn(Line(value) + "\n", kHome) == folder);
    }

    const std::filesystem::path later = "/later/Documents";
    const auto appended =
        qv::platform::DocumentsFolderIn(std::string(text) + "\n" + Line(later.string()), kHome);
    Check(appended == (folder ? folder : later));
    return 0;
}
