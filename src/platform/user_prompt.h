#pragma once

// Messages and questions for the user. The desktop app shows message boxes, the command line
// prints and answers from its options, tests record what was asked.

#include <string>

namespace qv::platform {

class UserPrompt {
public:
    virtual ~UserPrompt() = default;

    // A plain message with an OK button. `topMost` asks for it above every other window.
    virtual void ShowMessage(const std::string& text, bool topMost = false) = 0;
    // True for OK.
    [[nodiscard]] virtual bool AskOkCancel(const std::string& text) = 0;
    // True for Yes.
    [[nodiscard]] virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace qv::platform
