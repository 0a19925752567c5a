#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <algorithm>
#include <future>
#include <utility>

#include "app/qt/busy_animation.h"
#include "app/qt/keyboard_view.h"
#include "platform/lock_leds.h"
#include "ui/lookup_keys.h"
#include "ui/qt/png_button.h"
#include "ui/qt/tab_order.h"
#include "ui/qt/window_skin_target.h"
#include "ui/skin_layout.h"
#include "ui/text_lookup.h"
#include "ui/text_table.h"
#include "ui/user_text.h"

namespace qv::gui {

namespace {

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The web-page buttons of the lighting panel's row and the page each opens.
struct PageButton {
    std::string_view skinKey;
    const char* address;
};
constexpr PageButton kPageButtons[] = {
    {"CONTROL_Network", CQuorvaneDlg::kWebSite},
    {"CONTROL_Facebook", CQuorvaneDlg::kSocialPage1},
    {"CONTROL_twitter", CQuorvaneDlg::kSocialPage2},
};

constexpr std::string_view kProgressControl = "CONTROL_JDTStatic";
// What the profile file dialogs offer: profile files, then every file.
const QString kProfileFileFilter = QStringLiteral("(*.fwc) (*.fwc);;(*.*) (*)");
// Given to an exported file whose name has no extension.
const QString kProfileFileExtension = QStringLiteral("fwc");
constexpr const char* kProfileSlotKeys[] = {"FUNC_PROFILE1", "FUNC_PROFILE2", "FUNC_PROFILE3",
                                            "FUNC_PROFILE4"};
}  // namespace

CQuorvaneDlg::CQuorvaneDlg(MainWindowSettings settings)
    : CBaseDialog(nullptr, FromPath(ui::SkinFilePath(settings.programFolder, ui::SkinWindow::Main)),
                  FromPath(ui::SkinFolder(settings.programFolder))),
      settings_(std::move(settings)),
      tray_(FromPath(ui::SkinFolder(settings_.programFolder))) {
    if (!settings_.openUrl) {
        settings_.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    // A main window is a window of its own, shown in the taskbar while it is open.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // Failures are reported by Initialise's result; the caller decides how the program ends.
    SetSkinFailureHandler([](const QString&) {});
    connect(&tray_, &CTrayIcon::Command, this, &CQuorvaneDlg::RunCommand);
    // The skin's progress control places it.
    progress_ = new QLabel(this);
    progress_->hide();
    progress_->setScaledContents(true);
    busy_ = new BusyAnimation(
        *progress_,
        [this](int frame) {
            const QString name = QStringLiteral("jdt%1.bmp").arg(frame);
            auto found = pictures_.find(name.toStdString());
            if (found == pictures_.end()) {
                found = pictures_
                            .emplace(name.toStdString(), QPixmap(QDir(SkinFolder()).filePath(name)))
                            .first;
            }
            return found->second;
        },
        this);
}

CQuorvaneDlg::~CQuorvaneDlg() {
    delete about_;
}

void CQuorvaneDlg::Attach(ui::TextTable& texts, const ui::TextLookup& lookup) {
    texts_ = &texts;
    lookup_ = &lookup;
}

QString CQuorvaneDlg::LocalisedText(std::string_view lookupKey) const {
    return QString::fromStdString(ui::LookupUserText(*lookup_, lookupKey));
}

QString CQuorvaneDlg::SlotText(ui::TextSlot slot) const {
    return QString::fromStdString(ui::UserText(*texts_, *lookup_, slot));
}

std::optional<ui::SkinExit> CQuorvaneDlg::Initialise() {
    const QIcon appIcon(QDir(SkinFolder()).filePath(QStringLiteral("tray128.png")));
    setWindowIcon(appIcon);

    const std::filesystem::path skinFile =
        ui::SkinFilePath(settings_.programFolder, ui::SkinWindow::Main);
    const ui::SkinFile skin = ui::SkinFile::Load(skinFile);
    link_ = QString::fromStdString(skin.Link());
    const std::vector<std::string_view> statePictures = ui::StatePictureFiles(ui::SkinWindow::Main);
    // The keyboard view reads the flip setting itself once its keys are placed.
    const std::vector<ui::SkinControl> controls = ui::MainWindowControls(false, 0, 0);
    view_ = new KeyboardView(this, skin, settings_.settings);
    connect(view_, &KeyboardView::AssignmentRequested, this, &CQuorvaneDlg::OpenAssignment);
    // Decoding the window-sized pictures is most of the start-up: it runs on every core at
    // once, and the set-up then takes the results in its own order.
    const std::filesystem::path skinFolder = ui::SkinFolder(settings_.programFolder);
    std::vector<std::filesystem::path> files{skin.BackgroundPicture(skinFolder),
                                             skin.MaskPicture(skinFolder)};
    for (const std::string_view name : statePictures) {
        files.push_back(skinFolder / name);
    }
    std::vector<std::pair<QString, std::future<QImage>>> decoding;
    for (const std::filesystem::path& file : files) {
        const QString path = FromPath(file);
        decoding.emplace_back(path,
                              std::async(std::launch::async, [path] { return QImage(path); }));
    }
    for (auto& [path, image] : decoding) {
        decoded_[path] = image.get();
    }
    SetPictureSource([this](const QString& path) { return DecodedPicture(path); });
    WindowSkinTarget target(
        *this, pictures_, [this](const QString& path) { return DecodedPicture(path); },
        [this](const ui::PlacedControl& placed) {
            if (KeyboardView::OwnsSkinKey(placed.key)) {
                view_->Place(placed, [this](std::string_view name) {
                    return PictureNamed(pictures_, name);
                });
            } else if (std::holds_alternative<ui::ControlPlacement>(placed.placement)) {
                PlaceControl(placed);
            } else {
                PlaceButton(placed);
            }
        });
    auto failure = ui::SetUpSkinnedWindow(skin, skinFolder, statePictures, controls, target);
    if (failure) {
        return failure;
    }
    if (!target.ScreenApplied()) {
        return ui::SkinExit{skin.BackgroundPicture(skinFolder)};
    }
    decoded_.clear();
    SetPictureSource({});
    view_->FinishPlacement();
    ConnectButtons();
    SetReadingTabOrder(*this);
    // Nothing is pending before the keyboard has been read.
    SetApplyEnabled(false);

    setWindowTitle(SlotText(ui::TextSlot::MAIN_CAPTION));
    if (CPngButton* version = Button("QUINDO_VER")) {
        version->setEnabled(false);
        version->setText(FromText(lookup_->LanguageText("MAIN_BUTTON_QUINDO_VER")));
        version->SetCaptionFont(QStringLiteral("Verdana"), 8);
    }

    // The window texts, then the tooltips: looked up first, then the interface section's texts
    // as the window's own.
    const std::uint32_t languageId = lookup_->StoredLanguageId();
    const auto& languages = ui::kSupportedLanguages;
    const auto at = std::find(languages.begin(), languages.end(), languageId);
    LoadTexts(at == languages.end() ? 0 : static_cast<int>(std::distance(languages.begin(), at)));
    ApplyButtonTooltips();
    return std::nullopt;
}

void CQuorvaneDlg::PlaceButton(const ui::PlacedControl& placed) {
    auto* button = new CPngButton(this);
    button->setObjectName(QString::fromStdString(placed.key));
    const auto picture = [this](std::string_view name) { return PictureNamed(pictures_, name); };
    if (const auto* image = std::get_if<ui::ImageButtonPlacement>(&placed.placement)) {
        button->setGeometry(image->geometry.x, image->geometry.y, image->geometry.width,
                            image->geometry.height);
        const ui::ButtonPictures& set = image->pictures;
        button->SetPictures(image->origin.x, image->origin.y, picture(set.normal),
                            picture(set.hover), picture(set.pressed), picture(set.disabled),
                            picture(set.checked));
        button->setVisible(image->visible);
        button->setEnabled(image->enabled);
    } else if (const auto* arrow = std::get_if<ui::ArrowButtonPlacement>(&placed.placement)) {
        button->setGeometry(arrow->geometry.x, arrow->geometry.y, arrow->geometry.width,
                            arrow->geometry.height);
        const QPixmap one = picture(arrow->pictures.normal);
        button->SetPictures(arrow->origin.x, arrow->origin.y, one, one, one, one, one);
    }
    buttons_[placed.key] = button;
}

void CQuorvaneDlg::PlaceControl(const ui::PlacedControl& placed) {
    const auto& control = std::get<ui::ControlPlacement>(placed.placement);
    const bool pageButton =
        std::any_of(std::begin(kPageButtons), std::end(kPageButtons),
                    [&](const PageButton& page) { return page.skinKey == placed.key; });
    if (placed.key == kProgressControl) {
        progress_->setGeometry(control.geometry.x, control.geometry.y, control.geometry.width,
                               control.geometry.height);
        return;
    }
    // The lighting panel's other controls arrive with the panel.
    if (!pageButton) {
        return;
    }
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromStdString(placed.key));
    button->setGeometry(control.geometry.x, control.geometry.y, control.geometry.width,
                        control.geometry.height);
    // The skin draws the picture; the button only takes the click.
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("background: transparent; border: none;"));
    pageButtons_[placed.key] = button;
}

QImage CQuorvaneDlg::DecodedPicture(const QString& path) const {
    const auto found = decoded_.find(path);
    return found != decoded_.end() ? found->second : QImage(path);
}

CPngButton* CQuorvaneDlg::Button(const std::string& skinKey) const {
    const auto found = buttons_.find(skinKey);
    if (found != buttons_.end()) {
        return found->second;
    }
    return view_ != nullptr ? view_->Button(skinKey) : nullptr;
}

void CQuorvaneDlg::ConnectButtons() {
    const auto on = [this](const char* key, auto&& action) {
        if (CPngButton* button = Button(key)) {
            connect(button, &QAbstractButton::clicked, this, action);
        }
    };
    on("CONTROL_OK", [this] {
        emit ApplyRequested();
        HideWindow();
    });
    on("CONTROL_CANCEL", [this] { HideWindow(); });
    on("CONTROL2_APPLY", [this] { emit ApplyRequested(); });
    on("CONTROL_HELP", [this] { OpenHelp(); });
    on("CONTROL_MINIMIZE", [this] { showMinimized(); });
    on("CONTROL_CLOSE", [this] { emit ExitRequested(); });
    on("CONTROL_MENU", [this] { PopUpButtonMenu(); });
    on("FUNC_MACRO", [this] { view_->RequestMacroKey(); });
    on("QUINDO_LINK", [this] { OpenPage(link_); });
    for (const PageButton& page : kPageButtons) {
        if (const auto found = pageButtons_.find(page.skinKey); found != pageButtons_.end()) {
            const QString address = QString::fromLatin1(page.address);
            connect(found->second, &QPushButton::clicked, this,
                    [this, address] { OpenPage(address); });
        }
    }

    buttonMenu_ = new QMenu(this);
    for (const int command : {kCommandImport, kCommandExport}) {
        QAction* action = buttonMenu_->addAction(QString());
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    }
}

void CQuorvaneDlg::ApplyButtonTooltips() {
    const auto tip = [this](const char* key, const QString& text) {
        if (CPngButton* button = Button(key)) {
            button->SetTooltipText(text, true);
        }
    };
    tip("CONTROL_HELP", LocalisedText(ui::kIdsMainHelpPrompt));
    tip("CONTROL_MINIMIZE", LocalisedText(ui::kIdsMainMinimizePrompt));
    tip("CONTROL_MENU", LocalisedText(ui::kIdsMainMenuPrompt));
    tip("CONTROL_CLOSE", LocalisedText(ui::kIdsMainClosePrompt));
    ui::LoadMainWindowTexts(*texts_, *lookup_);
    tip("CONTROL_MINIMIZE", SlotText(ui::TextSlot::MAIN_MINIMIZE_PROMPT));
    tip("CONTROL_MENU", SlotText(ui::TextSlot::MAIN_MENU_PROMPT));
    tip("CONTROL_CLOSE", SlotText(ui::TextSlot::MAIN_CLOSE_PROMPT));
}

void CQuorvaneDlg::RunCommand(int command) {
    switch (command) {
        case CTrayIcon::kCommandOpen:
            raise();
            emit OpenRequested();
            break;
        case CTrayIcon::kCommandAbout:
        case kCommandAbout:
            ShowAbout();
            break;
        case CTrayIcon::kCommandExit:
            emit ExitRequested();
            break;
        case kCommandImport:
            ImportProfile();
            break;
        case kCommandExport:
            ExportProfile();
            break;
        default:
            break;
    }
}

TrayMenuTexts CQuorvaneDlg::TrayTexts() const {
    // The menu's items take the language file's MENU_11..33 first and the lookups by command
    // after them, so the lookups are what it shows.
    return {LocalisedText(ui::kIdsPopUpMenuOpen), LocalisedText(ui::kIdsPopUpMenuAbout),
            LocalisedText(ui::kIdsPopUpMenuExit)};
}

QString CQuorvaneDlg::TrayTooltip() const {
    return SlotText(ui::TextSlot::KEYBOARD_TRAY_DESC);
}

AboutTexts CQuorvaneDlg::AboutBoxTexts() const {
    return {LocalisedText(ui::kIdsAboutTitle), LocalisedText(ui::kIdsAboutVersion),
            LocalisedText(ui::kIdsAboutCopyright), LocalisedText(ui::kIdsAboutOk)};
}

void CQuorvaneDlg::ShowAbout() {
    if (about_) {
        return;
    }
    about_ = new CAboutDlg(windowIcon(), QString::fromLatin1(kWebSite));
    about_->SetTexts(AboutBoxTexts());
    connect(about_, &CAboutDlg::HelpRequested, this, &CQuorvaneDlg::OpenHelp);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void CQuorvaneDlg::OpenHelp() {
    const std::filesystem::path page = settings_.programFolder / "Help" / "index.html";
    settings_.openUrl(QUrl::fromLocalFile(FromPath(page)));
}

void CQuorvaneDlg::OpenPage(const QString& address) {
    settings_.openUrl(QUrl(address));
}

void CQuorvaneDlg::PopUpButtonMenu() {
    buttonMenu_->actions()[0]->setText(LocalisedText(ui::kIdsButtonMenuImport));
    buttonMenu_->actions()[1]->setText(LocalisedText(ui::kIdsButtonMenuExport));
    buttonMenu_->popup(QCursor::pos());
}

void CQuorvaneDlg::ImportProfile() {
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), QDir::homePath(), kProfileFileFilter);
    if (path.isEmpty()) {
        return;
    }
    emit ImportRequested(path);
}

void CQuorvaneDlg::ExportProfile() {
    QString path =
        QFileDialog::getSaveFileName(this, QString(), QDir::homePath(), kProfileFileFilter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + kProfileFileExtension;
    }
    emit ExportRequested(path);
}

// ---- What the application shows ----------------------------------------------------------

void CQuorvaneDlg::OpenWindow() {
    showNormal();
    raise();
    activateWindow();
}

void CQuorvaneDlg::HideWindow() {
    if (settings_.trayAvailable) {
        hide();
    } else if (!isVisible()) {
        // Nothing else could bring it back: it stays on screen.
        showNormal();
    } else {
        showMinimized();
    }
}

void CQuorvaneDlg::CloseSubDialogs() {
    if (about_) {
        about_->close();
    }
    CloseAssignment();
    // Message boxes waiting for an answer count among them.
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
        modal->close();
    }
}

void CQuorvaneDlg::EndMainWindow() {
    if (ended_) {
        return;
    }
    ended_ = true;
    hide();
    for (auto& [key, button] : buttons_) {
        button->SetPictures(0, 0, QPixmap(), QPixmap(), QPixmap(), QPixmap(), QPixmap(), false);
    }
    if (view_ != nullptr) {
        view_->ReleasePictures();
    }
    pictures_.clear();
    emit Ended();
}

void CQuorvaneDlg::LoadTexts(int) {
    setWindowTitle(SlotText(ui::TextSlot::MAIN_CAPTION));
    if (tray_.Exists()) {
        tray_.SetTooltip(TrayTooltip());
        tray_.SetMenuTexts(TrayTexts());
    }
    if (about_) {
        about_->SetTexts(AboutBoxTexts());
    }
}

void CQuorvaneDlg::CreateTrayIcon() {
    tray_.Create(TrayTooltip(), TrayTexts());
}

void CQuorvaneDlg::RemoveTrayIcon() {
    tray_.Remove();
}

void CQuorvaneDlg::SetBusy(bool busy) {
    busy_->SetBusy(busy);
}

int CQuorvaneDlg::ProgressFrameShown() const {
    return busy_->FrameShown();
}

void CQuorvaneDlg::SetApplyEnabled(bool enabled) {
    if (CPngButton* apply = Button("CONTROL2_APPLY")) {
        apply->setEnabled(enabled);
    }
}

void CQuorvaneDlg::ShowKeyboard(const app::KeyboardViewSnapshot& snapshot) {
    keyboard_ = snapshot;
    if (assignment_ != nullptr) {
        assignment_->FollowImage(snapshot);
    }
    if (view_ != nullptr) {
        view_->ShowLooks(app::BuildKeyboardLooks(snapshot, [this](const std::string& key) {
            return ui::LookupUserText(*lookup_, key);
        }));
    }
}

void CQuorvaneDlg::OpenAssignment(std::size_t slot, bool macroOnly, const QString& skinKey) {
    if (assignment_ == nullptr) {
        auto* dialog = new AssignmentDialog(
            this, settings_.programFolder,
            [this](const std::string& key) { return ui::LookupUserText(*lookup_, key); },
            MacroPageContext{texts_, lookup_, settings_.settings});
        if (auto failure = dialog->Initialise()) {
            delete dialog;
            emit SkinFailed(QString::fromStdString(failure->StderrLine()));
            return;
        }
        assignment_ = dialog;
        connect(assignment_, &AssignmentDialog::Applied, this, &CQuorvaneDlg::AssignmentApplied);
        connect(assignment_, &AssignmentDialog::Closed, this, [this] {
            view_->MarkEdited(editedKey_, false);
            editedKey_.clear();
        });
    }
    if (assignment_->IsOpen()) {
        return;
    }
    CPngButton* button = Button(skinKey.toStdString());
    const QRect anchor =
        button != nullptr ? QRect(button->mapToGlobal(QPoint(0, 0)), button->size()) : QRect();
    editedKey_ = skinKey;
    view_->MarkEdited(skinKey, true);
    assignment_->OpenFor(slot, macroOnly, keyboard_, anchor);
}

void CQuorvaneDlg::CloseAssignment() {
    if (assignment_ != nullptr) {
        assignment_->CloseIfOpen();
    }
}

void CQuorvaneDlg::ShowLockStates() {
    if (view_ != nullptr) {
        view_->ShowLockStates(platform::ReadLockStates());
    }
}

void CQuorvaneDlg::ShowProfileSlot(int profile) {
    activeSlot_ = profile;
    // The slots' checked picture is their normal one, so the active slot also wears the
    // pressed picture to stand out.
    const auto pressed = pictures_.find(ui::kMainStatePictures.pressed);
    for (int slot = 0; slot < 4; ++slot) {
        if (CPngButton* button = Button(kProfileSlotKeys[slot])) {
            button->SetChecked(slot == profile);
            if (pressed != pictures_.end()) {
                button->SetOverride(pressed->second, pressed->second, slot == profile, false);
            }
        }
    }
}

// ---- Events --------------------------------------------------------------------------------

void CQuorvaneDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape would end a dialog; this one only ends through its exit path.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            CBaseDialog::keyPressEvent(event);
    }
}

void CQuorvaneDlg::keyReleaseEvent(QKeyEvent* event) {
    // A lock key pressed here changes what the indicators show; elsewhere the window sees it
    // when it is activated again.
    switch (event->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            ShowLockStates();
            break;
        default:
            break;
    }
    CBaseDialog::keyReleaseEvent(event);
}

bool CQuorvaneDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) {
        ShowLockStates();
    }
    return CBaseDialog::event(event);
}

void CQuorvaneDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (ended_) {
        return;
    }
    if (settings_.trayAvailable) {
        HideWindow();
    } else {
        emit ExitRequested();
    }
}

}  // namespace qv::gui
