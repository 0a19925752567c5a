#include "platform/xdg_paths.h"

#include <cstdlib>
#include <fstream>
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
    // user-dirs.dirs holds lines like XDG_DOCUMENTS_DIR="$HOME/Documents".
    std::ifstream dirs(ConfigFolder() / "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    while (std::getline(dirs, line)) {
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value = HomeFolder().string() + value.substr(5);
        }
        if (!value.empty() && value[0] == '/') {
            return value;
        }
    }
    return HomeFolder();
}

std::filesystem::path DefaultSimStatePath() {
    return StateFolder() / "quorvane" / "simulated-keyboard.state";
}

}  // namespace qv::platform
