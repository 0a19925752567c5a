#pragma once

// The notification-area icon of the main window: one of three pictures (no keyboard, keyboard
// present, macro playing), a tooltip, and a menu with Open, About and Exit. A double-click is
// Open; a single click does nothing.

#include <QIcon>
#include <QMap>
#include <QObject>
#include <QString>

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

    // Its pictures: no keyboard (also the application icon), keyboard present, macro playing.
    enum Picture : int { kNoKeyboard = 128, kKeyboard = 141, kPlaying = 142 };

    // The pictures are tray<id>.png in the skin folder.
    CTrayIcon(const QString& skinFolder, QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Shows the icon with picture 128, the tooltip and the menu's texts.
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
    [[nodiscard]] int Picture() const { return picture_; }
    [[nodiscard]] QString Tooltip() const;
    [[nodiscard]] QMenu* Menu() const { return menu_; }
    [[nodiscard]] QSystemTrayIcon* Icon() const { return icon_; }
    [[nodiscard]] QAction* Action(int command) const;

signals:
    void Command(int command);

private:
    QIcon PictureFor(int iconId);
    void SetPicture(int iconId);

    QString skinFolder_;
    QMap<int, QIcon> pictures_;
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    int picture_ = 0;
    int statePicture_ = kNoKeyboard;
};

}  // namespace qv::gui
