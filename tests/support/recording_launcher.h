#pragma once

// The program launcher of every test: it starts nothing and keeps what it was asked to start.
// The desktop cases ask from the keyboard service's worker while the test thread reads, hence
// the lock.

#include <filesystem>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/program_launcher.h"

namespace qv::test {

struct LaunchRequest {
    std::string program;
    std::string parameters;
    std::filesystem::path workingDirectory;

    friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
    friend std::ostream& operator<<(std::ostream& out, const LaunchRequest& request) {
        return out << request.program << " [" << request.parameters << "] in "
                   << request.workingDirectory;
    }
};

class RecordingLauncher final : public platform::ProgramLauncher {
public:
    // `starts`: what Start answers; false is a program that is not installed.
    explicit RecordingLauncher(bool starts = true) : starts_(starts) {}

    bool Start(std::string_view program, std::string_view parameters,
               const std::filesystem::path& workingDirectory) override {
        const std::lock_guard lock(mutex_);
        requests_.push_back({std::string(program), std::string(parameters), workingDirectory});
        return starts_;
    }

    [[nodiscard]] std::vector<LaunchRequest> Requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }
    // The programs asked for, in order.
    [[nodiscard]] std::vector<std::string> Programs() const {
        const std::lock_guard lock(mutex_);
        std::vector<std::string> programs;
        for (const LaunchRequest& request : requests_) {
            programs.push_back(request.program);
        }
        return programs;
    }

private:
    const bool starts_;
    mutable std::mutex mutex_;
    std::vector<LaunchRequest> requests_;
};

}  // namespace qv::test
