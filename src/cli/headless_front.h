#pragma once

// What the command line puts in place of the main window: nothing to show but progress, messages
// on stderr, questions answered by --yes, and the end of the program turned into an exit code.

#include <atomic>
#include <cstdio>
#include <string>

#include "app/null_main_window_view.h"
#include "platform/program_exit.h"
#include "platform/user_prompt.h"

namespace qv::cli {

class HeadlessView final : public app::NullMainWindowView {
public:
    // Long writes say that they are under way.
    void ShowProgress() override { std::fputs("Writing to the keyboard...\n", stderr); }
};

class HeadlessPrompt final : public platform::UserPrompt {
public:
    explicit HeadlessPrompt(bool assumeYes) : assumeYes_(assumeYes) {}

    void ShowMessage(const std::string& text, bool) override {
        std::fprintf(stderr, "quorvanectl: %s\n", text.c_str());
    }
    bool AskOkCancel(const std::string& text) override { return Answer(text); }
    bool AskYesNo(const std::string& text) override { return Answer(text); }

private:
    bool Answer(const std::string& text) const {
        std::fprintf(stderr, "quorvanectl: %s [%s]\n", text.c_str(),
                     assumeYes_ ? "yes, from --yes" : "no; give --yes to agree");
        return assumeYes_;
    }
    bool assumeYes_;
};

// The firmware check ends the program; the command line finishes its run and exits then.
class HeadlessExit final : public platform::ProgramExit {
public:
    void EndProgram(int) override { ended_.store(true); }
    [[nodiscard]] bool Ended() const { return ended_.load(); }

private:
    std::atomic<bool> ended_{false};
};

}  // namespace qv::cli
