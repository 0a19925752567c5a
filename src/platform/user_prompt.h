#pragma once

// Messages and questions for the user. The desktop app shows message boxes, the command line
// prints and answers from its options, tests record what was asked. Workers ask too (the
// presence worker, the apply pipeline's device write): an implementation that can only show
// windows on one thread hands the question over to it and waits for the answer.

#include <string>

namespace qv::platform {

class UserPrompt {
public:
    virtual ~UserPrompt() = default;

    // A plain message with an OK button. `topMost` asks for it above every other window.
    virtual void ShowMessage(const std::string& text, bool topMost = false) = 0;
    // True for OK.
    [[nodiscard]] virtual bool AskOkCancel(const std::string& text) = 0;
    // The same with a caption of its own; a prompt without captions asks it as AskOkCancel.
    [[nodiscard]] virtual bool AskOkCancelTitled(const std::string& text,
                                                 const std::string& caption) {
        (void)caption;
        return AskOkCancel(text);
    }
    // True for Yes.
    [[nodiscard]] virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace qv::platform
