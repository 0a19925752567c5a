#include "platform/xdg_paths.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace qv::platform {
namespace {

std::filesystem::path FromEnvironment(const char* name, const std::filesystem::path& fallback) {
    const char* value = std::getenv(name);
    // Relative values are invalid by the base-directory rules and are ignored.
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    return fallback;
}

}  // namespace

std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] != '\0' ? std::filesystem::path(home)
                                              : std::filesystem::path("/tmp");
}

std::filesystem::path StateFolder() {
    return FromEnvironment("XDG_STATE_HOME", HomeFolder() / ".local" / "state");
}

std::filesystem::path ConfigFolder() {
    return FromEnvironment("XDG_CONFIG_HOME", HomeFolder() / ".config");
}

std::filesystem::path DocumentsFolder() {
    std::ifstream file(ConfigFolder() / "user-dirs.dirs", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return DocumentsFolderIn(text, HomeFolder()).value_or(HomeFolder());
}

std::optional<std::filesystem::path> DocumentsFolderIn(std::string_view userDirs,
                                                       const std::filesystem::path& home) {
    // user-dirs.dirs holds lines like XDG_DOCUMENTS_DIR="$HOME/Documents".
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    while (!userDirs.empty()) {
        const std::size_t end = userDirs.find('\n');
        const std::string_view line = userDirs.substr(0, end);
        userDirs = end == std::string_view::npos ? std::string_view() : userDirs.substr(end + 1);
        if (!line.starts_with(kKey) || line.size() < kKey.size() + 1 || !line.ends_with('"')) {
            continue;
        }
        std::string value(line.substr(kKey.size(), line.size() - kKey.size() - 1));
        if (value.starts_with("$HOME")) {
            value = home.string() + value.substr(5);
        }
        if (!value.empty() && value[0] == '/') {
            return value;
        }
    }
    return std::nullopt;
}

std::filesystem::path DefaultSimStatePath() {
    return StateFolder() / "quorvane" / "simulated-keyboard.state";
}

}  // namespace qv::platform
