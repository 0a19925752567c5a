#pragma once

// The profile menu the main window keeps up to date (it is never shown): the default item, a
// separator, and one item per profile named after the current profile file, with the active
// profile's item checked. The current-profile button (FUNC_PROFILES) takes the checked item's
// text as its caption and the profile tip followed by it as its tooltip.

#include <string>
#include <string_view>
#include <vector>

namespace qv::app {

struct ProfileMenu {
    // In menu order: the default item, an empty separator, then profiles 1..4.
    std::vector<std::string> items;
    std::size_t checked = 0;  // position of the checked item
    std::string caption;
    std::string tooltip;
};

inline constexpr std::size_t kProfileMenuFirstProfile = 2;

// `activeProfile` is the keyboard's active profile, -1 when not known; `defaultName` the text
// of the default item, `currentFileName` the current profile file's name without folder and
// extension, `tipPrefix` the profile tip.
[[nodiscard]] ProfileMenu BuildProfileMenu(int activeProfile, std::string_view defaultName,
                                           std::string_view currentFileName,
                                           std::string_view tipPrefix);

}  // namespace qv::app
