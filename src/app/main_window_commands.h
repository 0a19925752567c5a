#pragma once

// The main window's commands around the profile slots, as plain rules: which report-rate
// button is checked and what the buttons say, which keys Default resets and the Default
// command asks for, and which web-page buttons a skin gets.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/lighting_record.h"
#include "service/keyboard_session.h"
#include "texts/skin_layout.h"

namespace qv::app {

// ---- Report rate ----------------------------------------------------------------------------
// The report-rate buttons FUNC_REPORT1..4 set the rate index 0..3 of the current profile's
// lighting record; their captions are the rates in reports a second.
inline constexpr std::array<std::string_view, 4> kReportRateButtonKeys = {
    "FUNC_REPORT1", "FUNC_REPORT2", "FUNC_REPORT3", "FUNC_REPORT4"};
inline constexpr std::array<std::string_view, 4> kReportRateCaptions = {"125", "250", "500",
                                                                        "1000"};

// The one button shown checked: the stored index, a larger one counting as the last.
[[nodiscard]] std::size_t CheckedReportRateButton(const lighting::LightingState& state) noexcept;

// ---- Default ----------------------------------------------------------------------------------
// The key slots Default resets: every key of the on-screen keyboard and the nine G keys of the
// bank shown.
[[nodiscard]] std::vector<std::size_t> DefaultCommandSlots(bool bankB);

// ---- The results of commands -------------------------------------------------------------------
// Whether a failed Apply (or Default) still needs a message: the keyboard service tells of
// some failures itself, and one the user chose (not writing over an unread keyboard) needs
// none.
[[nodiscard]] bool ApplyFailureUntold(const service::OperationResult& result) noexcept;
// The same for an import, of which the service also tells when nothing reached the keyboard;
// the failures it leaves untold stopped the import before anything was written.
[[nodiscard]] bool ImportFailureUntold(const service::OperationResult& result) noexcept;

// ---- Web-page buttons ---------------------------------------------------------------------------
// The buttons of the lighting panel's row that open the maker's pages, and the key of section
// LINKS of the main skin file that gives each its address.
inline constexpr std::array<std::string_view, 3> kWebPageButtonKeys = {
    "CONTROL_Network", "CONTROL_Facebook", "CONTROL_twitter"};

// The address a web-page button opens: the skin's http or https address for it. Without one
// the button is not placed at all.
[[nodiscard]] std::optional<std::string> WebPageAddress(const ui::SkinFile& skin,
                                                        std::string_view buttonKey);
// The main window's link button and the about box: SCREEN Link when it is an http or https
// address; nothing otherwise.
[[nodiscard]] std::optional<std::string> SiteAddress(const ui::SkinFile& skin);

}  // namespace qv::app
