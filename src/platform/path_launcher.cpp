#include "platform/path_launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace qv::platform {

std::string PosixProgramName(std::string_view windowsName) {
    std::string name(windowsName);
    if (name.size() > 4 && name.ends_with(".exe")) {
        name.resize(name.size() - 4);
    }
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

bool PathLauncher::Start(std::string_view program, std::string_view parameters,
                         const std::filesystem::path& workingDirectory) {
    std::string name = PosixProgramName(program);
    std::string argument(parameters);
    std::vector<char*> argv{name.data()};
    if (!argument.empty()) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::error_code error;
    if (std::filesystem::is_directory(workingDirectory, error)) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }
    pid_t pid = 0;
    const int result = posix_spawnp(&pid, name.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result == 0) {
        // Nobody waits for it otherwise; a detached reaper keeps it from lingering as a zombie.
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
    return result == 0;
}

}  // namespace qv::platform
