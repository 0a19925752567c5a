#include "app/profile_menu.h"

#include "app/profile_switch.h"

namespace qv::app {

ProfileMenu BuildProfileMenu(int activeProfile, std::string_view defaultName,
                             std::string_view currentFileName, std::string_view tipPrefix) {
    ProfileMenu menu;
    menu.items.emplace_back(defaultName);
    menu.items.emplace_back();
    // One file holds every profile, so every profile's item carries the same name.
    for (int profile = 0; profile < kProfileSlotCount; ++profile) {
        menu.items.emplace_back(currentFileName);
    }
    menu.checked = activeProfile >= 0 && activeProfile < kProfileSlotCount
                       ? kProfileMenuFirstProfile + static_cast<std::size_t>(activeProfile)
                       : 0;
    menu.caption = menu.items[menu.checked];
    menu.tooltip = std::string(tipPrefix) + menu.caption;
    return menu;
}

}  // namespace qv::app
