#pragma once

// The main window's commands, one QAction each. The tray menu, the menu button's menu and a
// later start's hand-off all hold or trigger these same objects, so a command's text and its
// effect cannot differ between the places that offer it.

class QAction;
class QObject;

namespace qv::gui {

struct WindowActions {
    QAction* open = nullptr;
    QAction* about = nullptr;
    QAction* exit = nullptr;
    QAction* importProfile = nullptr;
    QAction* exportProfile = nullptr;
};

// The actions as children of `owner`, without texts: the window words them in the interface
// language and connects what they do.
[[nodiscard]] WindowActions MakeWindowActions(QObject* owner);

}  // namespace qv::gui
