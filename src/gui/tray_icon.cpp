#include "gui/tray_icon.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSystemTrayIcon>

namespace qv::gui {

CTrayIcon::CTrayIcon(const QString& skinFolder, QObject* parent)
    : QObject(parent), skinFolder_(skinFolder) {}

CTrayIcon::~CTrayIcon() {
    Remove();
}

QIcon CTrayIcon::PictureFor(int iconId) {
    auto found = pictures_.find(iconId);
    if (found == pictures_.end()) {
        found = pictures_.insert(
            iconId, QIcon(QDir(skinFolder_).filePath(QStringLiteral("tray%1.png").arg(iconId))));
    }
    return *found;
}

void CTrayIcon::Create(const QString& tooltip, const TrayMenuTexts& texts) {
    Remove();
    menu_ = new QMenu();
    for (const int command : {kCommandOpen, kCommandAbout, kCommandExit}) {
        QAction* action = menu_->addAction(QString());
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { emit Command(command); });
    }
    // The first item is the default one: what a double-click does.
    menu_->setDefaultAction(Action(kCommandOpen));
    SetMenuTexts(texts);

    icon_ = new QSystemTrayIcon(this);
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    emit Command(kCommandOpen);
                }
            });
    picture_ = 0;
    statePicture_ = kNoKeyboard;
    SetPicture(kNoKeyboard);
    SetTooltip(tooltip);
    icon_->show();
}

void CTrayIcon::SetPicture(int iconId) {
    if (icon_ == nullptr || iconId == picture_) {
        return;
    }
    icon_->setIcon(PictureFor(iconId));
    picture_ = iconId;
}

void CTrayIcon::ShowKeyboardPresent(bool present) {
    statePicture_ = present ? kKeyboard : kNoKeyboard;
    SetPicture(statePicture_);
}

void CTrayIcon::ShowPlaying(bool playing) {
    SetPicture(playing ? kPlaying : statePicture_);
}

void CTrayIcon::SetTooltip(const QString& tooltip) {
    if (icon_ != nullptr) {
        icon_->setToolTip(tooltip);
    }
}

QString CTrayIcon::Tooltip() const {
    return icon_ != nullptr ? icon_->toolTip() : QString();
}

void CTrayIcon::SetMenuTexts(const TrayMenuTexts& texts) {
    if (menu_ == nullptr) {
        return;
    }
    Action(kCommandOpen)->setText(texts.open);
    Action(kCommandAbout)->setText(texts.about);
    Action(kCommandExit)->setText(texts.exit);
}

void CTrayIcon::AddSubmenu(QMenu* submenu) {
    if (menu_ == nullptr || submenu == nullptr) {
        return;
    }
    menu_->insertMenu(Action(kCommandExit), submenu);
}

QAction* CTrayIcon::Action(int command) const {
    if (menu_ == nullptr) {
        return nullptr;
    }
    for (QAction* action : menu_->actions()) {
        if (action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

void CTrayIcon::Remove() {
    if (icon_ != nullptr) {
        icon_->hide();
        delete icon_;
        icon_ = nullptr;
    }
    delete menu_;
    menu_ = nullptr;
    picture_ = 0;
}

}  // namespace qv::gui
