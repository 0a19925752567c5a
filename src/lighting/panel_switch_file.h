#pragma once

// The lighting panel's lamp kept between runs: "DengCheck" in section KEYCOLOR of wskb.ini in
// the profile folder, "1" while the panel is open.

#include <filesystem>

#include "lighting/lighting_mirror.h"

namespace qv::lighting {

class PanelSwitchFile final : public PanelSwitchStore {
public:
    explicit PanelSwitchFile(std::filesystem::path file) : file_(std::move(file)) {}
    [[nodiscard]] bool PanelSwitchOn() const override;
    void SetPanelSwitch(bool on) override;

private:
    std::filesystem::path file_;
};

}  // namespace qv::lighting
