#include "lighting/panel_switch_file.h"

#include "platform/ini_file.h"

namespace qv::lighting {
namespace {

constexpr std::string_view kSection = "KEYCOLOR";
constexpr std::string_view kKey = "DengCheck";

}  // namespace

bool PanelSwitchFile::PanelSwitchOn() const {
    return platform::ReadProfileString(file_, kSection, kKey, "0",
                                       platform::kProfileReadMaxChars) == "1";
}

void PanelSwitchFile::SetPanelSwitch(bool on) {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    static_cast<void>(platform::WriteProfileString(file_, kSection, kKey, on ? "1" : "0"));
}

}  // namespace qv::lighting
