#include "gui/tray_icon.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSystemTrayIcon>

namespace qv::gui {

TrayIcon::TrayIcon(const QString& skinFolder, QObject* parent)
    : QObject(parent), skinFolder_(skinFolder) {}

TrayIcon::~TrayIcon() {
    Remove();
}

QString TrayIcon::PictureFile(State state) {
    // The skins' file names.
    switch (state) {
        case State::NoKeyboard:
            return QStringLiteral("tray128.png");
        case State::Keyboard:
            return QStringLiteral("tray141.png");
        case State::Playing:
            return QStringLiteral("tray142.png");
    }
    return {};
}

QIcon TrayIcon::PictureFor(State state) {
    auto found = pictures_.find(state);
    if (found == pictures_.end()) {
        found = pictures_.insert(state, QIcon(QDir(skinFolder_).filePath(PictureFile(state))));
    }
    return *found;
}

void TrayIcon::Create(const QString& tooltip, const TrayMenuActions& actions) {
    Remove();
    actions_ = actions;
    menu_ = new QMenu();
    menu_->addActions({actions_.open, actions_.about, actions_.exit});
    // The first item is the default one: what a double-click does.
    menu_->setDefaultAction(actions_.open);

    icon_ = new QSystemTrayIcon(this);
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick && actions_.open != nullptr) {
                    actions_.open->trigger();
                }
            });
    shown_.reset();
    keyboardState_ = State::NoKeyboard;
    Show(State::NoKeyboard);
    SetTooltip(tooltip);
    icon_->show();
}

void TrayIcon::Show(State state) {
    if (icon_ == nullptr || shown_ == state) {
        return;
    }
    icon_->setIcon(PictureFor(state));
    shown_ = state;
}

void TrayIcon::ShowKeyboardPresent(bool present) {
    keyboardState_ = present ? State::Keyboard : State::NoKeyboard;
    Show(keyboardState_);
}

void TrayIcon::ShowPlaying(bool playing) {
    Show(playing ? State::Playing : keyboardState_);
}

void TrayIcon::SetTooltip(const QString& tooltip) {
    if (icon_ != nullptr) {
        icon_->setToolTip(tooltip);
    }
}

QString TrayIcon::Tooltip() const {
    return icon_ != nullptr ? icon_->toolTip() : QString();
}

void TrayIcon::AddSubmenu(QMenu* submenu) {
    if (menu_ == nullptr || submenu == nullptr) {
        return;
    }
    menu_->insertMenu(actions_.exit, submenu);
}

void TrayIcon::Remove() {
    if (icon_ != nullptr) {
        icon_->hide();
        delete icon_;
        icon_ = nullptr;
    }
    delete menu_;
    menu_ = nullptr;
    actions_ = {};
    shown_.reset();
}

}  // namespace qv::gui
