#pragma once

// The notification-area icon of the main window: one of three pictures (no keyboard, keyboard
// present, macro playing), a tooltip, and a menu with the window's Open, About and Exit
// actions. A double-click is Open; a single click does nothing.

#include <QIcon>
#include <QMap>
#include <QObject>
#include <QString>

#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace qv::gui {

// The menu's commands; they stay their owner's, which words them.
struct TrayMenuActions {
    QAction* open = nullptr;
    QAction* about = nullptr;
    QAction* exit = nullptr;
};

class TrayIcon final : public QObject {
    Q_OBJECT

public:
    // What the icon shows; each state has a picture of its own.
    enum class State { NoKeyboard, Keyboard, Playing };
    Q_ENUM(State)

    // The skin's file for a state's picture. NoKeyboard's is also the application icon.
    [[nodiscard]] static QString PictureFile(State state);

    // The pictures are read from the skin folder as they are first shown.
    TrayIcon(const QString& skinFolder, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon in the no-keyboard state, with the tooltip and a menu of `actions`.
    void Create(const QString& tooltip, const TrayMenuActions& actions);
    // Whether a keyboard is there: shown, and remembered for the end of a playback.
    void ShowKeyboardPresent(bool present);
    // The play picture while a macro plays; the keyboard's picture again after it.
    void ShowPlaying(bool playing);
    void SetTooltip(const QString& tooltip);
    // Adds a submenu before Exit; after Create. The submenu stays its owner's.
    void AddSubmenu(QMenu* submenu);
    void Remove();

    [[nodiscard]] bool Exists() const { return icon_ != nullptr; }
    // What the icon shows; nothing while it does not exist.
    [[nodiscard]] std::optional<State> Shown() const { return shown_; }
    [[nodiscard]] QString Tooltip() const;
    [[nodiscard]] QMenu* Menu() const { return menu_; }
    [[nodiscard]] QSystemTrayIcon* Icon() const { return icon_; }

private:
    QIcon PictureFor(State state);
    void Show(State state);

    QString skinFolder_;
    QMap<State, QIcon> pictures_;
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    TrayMenuActions actions_;
    std::optional<State> shown_;
    // What a playback's end goes back to.
    State keyboardState_ = State::NoKeyboard;
};

}  // namespace qv::gui
