#pragma once

// What the keyboard service tells the command line, in plain English on stderr, and its
// questions answered from --yes.

#include <atomic>
#include <mutex>
#include <ostream>

#include "service/service_observer.h"

namespace qv::cli {

class CliObserver final : public service::ServiceObserver {
public:
    CliObserver(std::ostream& err, bool assumeYes) : err_(err), assumeYes_(assumeYes) {}

    void Notify(const service::ServiceNotice& notice) override;
    [[nodiscard]] bool Ask(service::Question question) override;
    void ProgramMustEnd() override;

    // The keyboard's firmware is too old for the tool.
    [[nodiscard]] bool FirmwareTooOld() const { return firmwareTooOld_.load(); }

private:
    void Say(const std::string& text);

    std::ostream& err_;
    const bool assumeYes_;
    std::mutex mutex_;
    std::atomic<bool> firmwareTooOld_{false};
};

}  // namespace qv::cli
