#pragma once

// The notification-area icon of the main window: one of three pictures (no keyboard, keyboard
// present, macro playing), a tooltip, and a menu with Open, About and Exit. A double-click is
// Open; a single click does nothing.

#include <QIcon>
#include <QMap>
#include <QObject>
#include <QString>

#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace qv::gui {

struct TrayMenuTexts {
    QString open;
    QString about;
    QString exit;
};

class CTrayIcon final : public QObject {
    Q_OBJECT

public:
    // Menu commands, as the main window knows them.
    static constexpr int kCommandOpen = 32771;
    static constexpr int kCommandAbout = 32773;
    static constexpr int kCommandExit = 32774;

    // What the icon shows; each state has a picture of its own.
    enum class State { NoKeyboard, Keyboard, Playing };
    Q_ENUM(State)

    // The skin's file for a state's picture. NoKeyboard's is also the application icon.
    [[nodiscard]] static QString PictureFile(State state);

    // The pictures are read from the skin folder as they are first shown.
    CTrayIcon(const QString& skinFolder, QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Shows the icon in the no-keyboard state, the tooltip and the menu's texts.
    void Create(const QString& tooltip, const TrayMenuTexts& texts);
    // Whether a keyboard is there: shown, and remembered for the end of a playback.
    void ShowKeyboardPresent(bool present);
    // The play picture while a macro plays; the keyboard's picture again after it.
    void ShowPlaying(bool playing);
    void SetTooltip(const QString& tooltip);
    void SetMenuTexts(const TrayMenuTexts& texts);
    // Adds a submenu before Exit; after Create. The submenu stays its owner's.
    void AddSubmenu(QMenu* submenu);
    void Remove();

    [[nodiscard]] bool Exists() const { return icon_ != nullptr; }
    // What the icon shows; nothing while it does not exist.
    [[nodiscard]] std::optional<State> Shown() const { return shown_; }
    [[nodiscard]] QString Tooltip() const;
    [[nodiscard]] QMenu* Menu() const { return menu_; }
    [[nodiscard]] QSystemTrayIcon* Icon() const { return icon_; }
    [[nodiscard]] QAction* Action(int command) const;

signals:
    void Command(int command);

private:
    QIcon PictureFor(State state);
    void Show(State state);

    QString skinFolder_;
    QMap<State, QIcon> pictures_;
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    std::optional<State> shown_;
    // What a playback's end goes back to.
    State keyboardState_ = State::NoKeyboard;
};

}  // namespace qv::gui
