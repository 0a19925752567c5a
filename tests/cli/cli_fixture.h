#pragma once

// quorvanectl run in-process against a simulated keyboard kept in a temporary folder, with
// faults armed before or after the keyboard's arrival.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "sim/sim_hid_service.h"
#include "texts/temp_folder.h"

namespace qv::cli::test_support {

using namespace std::chrono_literals;

struct Outcome {
    std::string out;
    std::string err;
    int code = -1;
};

inline std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        env.documentsFolder = folder.Path() / "documents";
        env.stateFolder = folder.Path() / "state";
        env.programFolder = std::filesystem::path(QV_SOURCE_DIR) / "lang";
        env.transportTiming = {.replyWait = 100ms, .retryPause = 1ms};
        env.firmwarePause = 0ms;
        // Every keyboard opened is counted, and faults armed before its arrival.
        env.openKeyboard = [this](const service::KeyboardChoice& choice) {
            ++keyboardsOpened;
            auto opened = service::KeyboardBackend::Open(choice);
            if (auto* backend = std::get_if<std::unique_ptr<service::KeyboardBackend>>(&opened);
                backend && beforeArrival) {
                beforeArrival(*(*backend)->simulated());
            }
            return opened;
        };
    }

    // "{kb}" stands for --keyboard=sim:<the test's state file>, "{dir}" for the test's folder.
    std::string Expand(const std::string& text) const {
        return Replace(Replace(text, "{kb}", "--keyboard=sim:{dir}/k.state"), "{dir}",
                       folder.Path().string());
    }

    Outcome Run(const std::vector<std::string>& args) {
        std::vector<std::string> expanded;
        for (const std::string& arg : args) {
            expanded.push_back(Expand(arg));
        }
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunCli(expanded, out, err, env);
        return {out.str(), err.str(), code};
    }

    void RunOk(const std::vector<std::string>& args) {
        const Outcome outcome = Run(args);
        ASSERT_EQ(outcome.code, 0) << args.back() << ": " << outcome.err << outcome.out;
    }

    test::TempFolder folder;
    CliEnvironment env;
    int keyboardsOpened = 0;
    std::function<void(sim::SimHidService&)> beforeArrival;
};

}  // namespace qv::cli::test_support
