#include "gui/main_window.h"

#include "core/memory_layout.h"

#include "assignments/assignment_spec.h"

#include "assignments/entry_rules.h"

#include "app/service_texts.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "app/main_window_commands.h"
#include "app/profile_menu.h"
#include "app/profile_switch.h"
#include "gui/busy_animation.h"
#include "gui/button_caption.h"
#include "gui/keyboard_view.h"
#include "gui/lighting_panel.h"
#include "gui/widgets/button_face.h"
#include "gui/widgets/png_button.h"
#include "gui/widgets/tab_order.h"
#include "gui/widgets/window_skin_target.h"
#include "platform/heap_release.h"
#include "profiles/profile_folder.h"
#include "texts/lookup_keys.h"
#include "texts/skin_layout.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"
#include "texts/user_text.h"

namespace qv::gui {

namespace {

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr std::string_view kProgressControl = "CONTROL_JDTStatic";
constexpr std::string_view kReportCaptionControl = "CONTROL_UsbStatic";
constexpr const char* kProfileSlotKeys[] = {"FUNC_PROFILE1", "FUNC_PROFILE2", "FUNC_PROFILE3",
                                            "FUNC_PROFILE4"};
constexpr const char* kProfilesKey = "FUNC_PROFILES";

// The buttons whose captions are texts of the interface, by the key of each caption.
struct Caption {
    std::string_view skinKey;
    std::string_view lookupKey;
};
constexpr Caption kCaptions[] = {
    {"FUNC_PROFILE1", ui::kIdsMainProfile1}, {"FUNC_PROFILE2", ui::kIdsMainProfile2},
    {"FUNC_PROFILE3", ui::kIdsMainProfile3}, {"FUNC_PROFILE4", ui::kIdsMainProfile4},
    {"FUNC_DEFAULT", ui::kIdsMainDefault},   {"FUNC_MACRO", ui::kIdsMainMacro},
    {"CONTROL_OK", ui::kIdsMainOk},          {"CONTROL_CANCEL", ui::kIdsMainCancel},
    {"CONTROL2_APPLY", ui::kIdsMainApply},   {"LOCK_NUM", ui::kIdsMainLockNum},
    {"LOCK_CAPS", ui::kIdsMainLockCaps},     {"LOCK_SCROLL", ui::kIdsMainLockScroll},
};
// OK, Cancel and Apply take a face of their own.
constexpr std::string_view kDialogButtonKeys[] = {"CONTROL_OK", "CONTROL_CANCEL", "CONTROL2_APPLY"};
const QString kDialogButtonFace = QStringLiteral("Arial Unicode MS");
constexpr int kDialogButtonPoints = 10;
// The profile slots and report-rate buttons wear the pressed picture while checked.
bool IsPressedWhenChecked(std::string_view skinKey) {
    return std::find(std::begin(kProfileSlotKeys), std::end(kProfileSlotKeys), skinKey) !=
               std::end(kProfileSlotKeys) ||
           std::find(app::kReportRateButtonKeys.begin(), app::kReportRateButtonKeys.end(),
                     skinKey) != app::kReportRateButtonKeys.end();
}
// The bank indicator's caption names the two banks in every language.
constexpr std::string_view kBankIndicatorKey = "LOCK_AB";
const QString kBankIndicatorCaption = QStringLiteral("AB");
}  // namespace

MainWindow::MainWindow(MainWindowSettings settings)
    : BaseDialog(nullptr, FromPath(ui::SkinFilePath(settings.programFolder, ui::SkinWindow::Main)),
                 FromPath(ui::SkinFolder(settings.programFolder))),
      settings_(std::move(settings)),
      tray_(FromPath(ui::SkinFolder(settings_.programFolder))) {
    if (!settings_.openUrl) {
        settings_.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    if (!settings_.chooseFile) {
        settings_.chooseFile = SystemFileChooser();
    }
    // A main window is a window of its own, shown in the taskbar while it is open.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // Failures are reported by Initialise's result; the caller decides how the program ends.
    SetSkinFailureHandler([](const QString&) {});
    actions_ = MakeWindowActions(this);
    ConnectActions();
    // The skin places the panel's controls; it exists from the start so that the application
    // can take its writes before the window is set up.
    lighting_ = new LightingPanel(this, ui::SkinFolder(settings_.programFolder));
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

MainWindow::~MainWindow() {
    delete about_;
}

void MainWindow::Attach(ui::TextTable& texts, const ui::TextLookup& lookup) {
    texts_ = &texts;
    lookup_ = &lookup;
}

QString MainWindow::LocalisedText(std::string_view lookupKey) const {
    return QString::fromStdString(ui::LookupUserText(*lookup_, lookupKey));
}

QString MainWindow::SlotText(ui::TextSlot slot) const {
    return QString::fromStdString(ui::UserText(*texts_, *lookup_, slot));
}

std::optional<ui::SkinExit> MainWindow::Initialise() {
    const std::filesystem::path skinFile =
        ui::SkinFilePath(settings_.programFolder, ui::SkinWindow::Main);
    const ui::SkinFile skin = ui::SkinFile::Load(skinFile);
    link_ = QString::fromStdString(app::SiteAddress(skin).value_or(""));
    for (const std::string_view key : app::kWebPageButtonKeys) {
        if (const std::optional<std::string> address = app::WebPageAddress(skin, key)) {
            pageAddresses_[std::string(key)] = QString::fromStdString(*address);
        }
    }
    const std::vector<std::string_view> statePictures = ui::StatePictureFiles(ui::SkinWindow::Main);
    // The keyboard view reads the flip setting itself once its keys are placed.
    const std::vector<ui::SkinControl> controls = ui::MainWindowControls(false, 0, 0);
    view_ = new KeyboardView(this, skin, settings_.settings);
    connect(view_, &KeyboardView::AssignmentRequested, this, &MainWindow::OpenAssignment);
    // Nothing is decoded at start-up: the window starts hidden in the tray, and its pictures
    // are decoded when it first opens. Only their headers are read now, to size the window and
    // to end the program at once on a skin picture that cannot be read.
    const std::filesystem::path skinFolder = ui::SkinFolder(settings_.programFolder);
    loadablePictures_.clear();
    for (const std::filesystem::path& file :
         {skin.BackgroundPicture(skinFolder), skin.MaskPicture(skinFolder)}) {
        loadablePictures_.emplace_back(file.filename().string(), file);
    }
    for (const std::string_view name : statePictures) {
        loadablePictures_.emplace_back(std::string(name), skinFolder / name);
    }
    // The keyboard view places its keys, indicators and arrows itself, whatever their kind.
    const auto placeControl = [this](const ui::PlacedControl& placed) {
        if (KeyboardView::OwnsSkinKey(placed.key)) {
            view_->Place(placed);
        } else {
            PlaceControl(placed);
        }
    };
    const auto placeButton = [this](const ui::PlacedControl& placed) {
        if (KeyboardView::OwnsSkinKey(placed.key)) {
            view_->Place(placed);
        } else {
            PlaceButton(placed);
        }
    };
    if (auto failure = SetUpSkin(*this, skin, skinFolder, statePictures, controls, placeControl,
                                 placeButton)) {
        return failure;
    }
    view_->FinishPlacement();
    lighting_->FinishPlacement(skin, *lookup_);
    ConnectButtons();
    ConnectLighting();
    SetReadingTabOrder(*this);
    // Nothing is pending before the keyboard has been read.
    SetApplyEnabled(false);

    if (PngButton* version = Button("QUINDO_VER")) {
        version->setEnabled(false);
        version->SetCaptionFont(QStringLiteral("Verdana"), 8);
    }
    for (const Caption& caption : kCaptions) {
        if (PngButton* button = Button(std::string(caption.skinKey))) {
            const bool dialogButton =
                std::find(std::begin(kDialogButtonKeys), std::end(kDialogButtonKeys),
                          caption.skinKey) != std::end(kDialogButtonKeys);
            SetUpCaption(*button, dialogButton ? kDialogButtonPoints : kCaptionPoints,
                         dialogButton ? kDialogButtonFace : QString());
        }
    }
    for (const std::string_view key : app::kReportRateButtonKeys) {
        if (PngButton* button = Button(std::string(key))) {
            SetUpCaption(*button);
        }
    }
    if (PngButton* profiles = Button(kProfilesKey)) {
        SetUpCaption(*profiles);
    }
    // The indicators are disabled buttons: their captions keep the resting colour.
    for (const char* key : {"LOCK_NUM", "LOCK_CAPS", "LOCK_SCROLL", "LOCK_AB"}) {
        if (PngButton* indicator = Button(key)) {
            SetUpCaption(*indicator);
            const QColor resting(0xdf, 0xe4, 0xec);
            indicator->SetTextColours(resting, resting, resting, resting);
        }
    }
    if (PngButton* bank = Button(std::string(kBankIndicatorKey))) {
        bank->setText(kBankIndicatorCaption);
    }
    ShowReportRate(0);
    LoadTexts();
    return std::nullopt;
}

void MainWindow::PlaceButton(const ui::PlacedControl& placed) {
    auto* button = new PngButton(this);
    button->setObjectName(QString::fromStdString(placed.key));
    if (const auto* image = std::get_if<ui::ImageButtonPlacement>(&placed.placement)) {
        button->setGeometry(image->geometry.x, image->geometry.y, image->geometry.width,
                            image->geometry.height);
        sources_.push_back(
            {button, QPoint(image->origin.x, image->origin.y), NamesOf(image->pictures)});
        button->SetPictureOrigin(image->origin.x, image->origin.y, false);
        button->setVisible(image->visible);
        button->setEnabled(image->enabled);
    } else if (const auto* arrow = std::get_if<ui::ArrowButtonPlacement>(&placed.placement)) {
        button->setGeometry(arrow->geometry.x, arrow->geometry.y, arrow->geometry.width,
                            arrow->geometry.height);
        sources_.push_back(
            {button, QPoint(arrow->origin.x, arrow->origin.y), NamesOf(arrow->pictures.normal)});
        button->SetPictureOrigin(arrow->origin.x, arrow->origin.y, false);
    }
    buttons_[placed.key] = button;
}

void MainWindow::LoadPictures() {
    if (picturesLoaded_ || ended_) {
        return;
    }
    picturesLoaded_ = true;
    const std::string pressed(ui::kMainStatePictures.pressed);
    std::vector<std::string> alsoNames = view_->OwnPictureNames();
    alsoNames.push_back(pressed);
    // The window's buttons and the view's keys are cut from the same pictures, each decoded once.
    std::vector<ButtonPictureSource> sources = sources_;
    const std::vector<ButtonPictureSource> keys = view_->PictureSources();
    sources.insert(sources.end(), keys.begin(), keys.end());
    // Only the window's own files: a name the skin gives that is none of them shows nothing.
    const auto file = [this](std::string_view name) {
        const auto found =
            std::find_if(loadablePictures_.begin(), loadablePictures_.end(),
                         [name](const auto& loadable) { return loadable.first == name; });
        return found != loadablePictures_.end() ? found->second : std::filesystem::path();
    };
    CutButtonPictures(
        sources, alsoNames, file, [this, &pressed](std::string_view name, const QPixmap& whole) {
            if (name == pressed) {
                for (const ButtonPictureSource& source : sources_) {
                    if (IsPressedWhenChecked(source.button->objectName().toStdString())) {
                        pressedFaces_[source.button] =
                            CutPicture(whole, source.origin, source.button->size());
                    }
                }
            }
            view_->CutFrom(name, whole);
        });
    ShowPressedFaces();
    view_->ShowCuts();
}

void MainWindow::ReleasePictures() {
    if (!picturesLoaded_) {
        return;
    }
    picturesLoaded_ = false;
    DropButtonPictures(sources_);
    pressedFaces_.clear();
    ShowPressedFaces();
    view_->ReleasePictures();
    FreePictures();
    // The cuts were many small blocks: give their pages back to the system, not just to malloc.
    platform::ReturnFreedHeap();
}

void MainWindow::ShowPressedFaces() {
    for (const ButtonPictureSource& source : sources_) {
        if (IsPressedWhenChecked(source.button->objectName().toStdString())) {
            ShowPressed(*source.button, source.button->IsCheckedLook());
        }
    }
}

void MainWindow::PlaceControl(const ui::PlacedControl& placed) {
    const auto& control = std::get<ui::ControlPlacement>(placed.placement);
    const QRect geometry(control.geometry.x, control.geometry.y, control.geometry.width,
                         control.geometry.height);
    if (placed.key == kProgressControl) {
        progress_->setGeometry(geometry);
        return;
    }
    if (placed.key == kReportCaptionControl) {
        reportCaption_ = new QLabel(this);
        reportCaption_->setObjectName(QString::fromStdString(placed.key));
        reportCaption_->setGeometry(geometry);
        reportCaption_->setStyleSheet(QStringLiteral("color: #8b93a1;"));
        return;
    }
    const bool webPage = std::find(app::kWebPageButtonKeys.begin(), app::kWebPageButtonKeys.end(),
                                   placed.key) != app::kWebPageButtonKeys.end();
    if (!webPage) {
        lighting_->Place(placed);
        return;
    }
    // A web-page button shows only with an address to open; it names the site it opens.
    const auto address = pageAddresses_.find(placed.key);
    if (address == pageAddresses_.end()) {
        return;
    }
    auto* button = new QPushButton(QUrl(address->second).host(), this);
    button->setObjectName(QString::fromStdString(placed.key));
    button->setGeometry(geometry);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(address->second);
    button->setStyleSheet(QStringLiteral("color: #19c3b3; text-decoration: underline;"));
    pageButtons_[placed.key] = button;
}

QPushButton* MainWindow::WebPageButton(const std::string& skinKey) const {
    const auto found = pageButtons_.find(skinKey);
    return found != pageButtons_.end() ? found->second : nullptr;
}

PngButton* MainWindow::Button(const std::string& skinKey) const {
    const auto found = buttons_.find(skinKey);
    if (found != buttons_.end()) {
        return found->second;
    }
    return view_ != nullptr ? view_->Button(skinKey) : nullptr;
}

void MainWindow::ConnectButtons() {
    const auto on = [this](const char* key, auto&& action) {
        if (PngButton* button = Button(key)) {
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
    // The lamp of the button row opens and closes the lighting panel as the panel's own does.
    on("FUNC_SWITCH", [this] { lighting_->ToggleLamp(); });
    on("FUNC_DEFAULT", [this] { emit DefaultRequested(); });
    on(kProfilesKey, [this] { emit ProfilesRequested(); });
    for (int slot = 0; slot < app::kProfileSlotCount; ++slot) {
        on(kProfileSlotKeys[slot], [this, slot] {
            emit LightingPanelCloseRequested();
            emit ProfileSlotClicked(slot);
        });
    }
    for (std::size_t index = 0; index < app::kReportRateButtonKeys.size(); ++index) {
        on(app::kReportRateButtonKeys[index].data(), [this, index] {
            ShowReportRate(index);
            emit ReportRateClicked(static_cast<int>(index));
        });
    }
    if (PngButton* logo = Button("QUINDO_LINK"); logo != nullptr && link_.isEmpty()) {
        // Without a site to open the logo is only a picture.
        logo->setEnabled(false);
        logo->setCursor(Qt::ArrowCursor);
    }
    on("QUINDO_LINK", [this] {
        if (!link_.isEmpty()) {
            OpenPage(link_);
        }
    });
    for (const auto& [key, button] : pageButtons_) {
        const QString address = pageAddresses_.at(key);
        connect(button, &QPushButton::clicked, this, [this, address] { OpenPage(address); });
    }

    CreateLanguageMenu();
    buttonMenu_ = new QMenu(this);
    buttonMenu_->addActions({actions_.importProfile, actions_.exportProfile});
    buttonMenu_->addSeparator();
    buttonMenu_->addMenu(languageMenu_);
}

void MainWindow::CreateLanguageMenu() {
    languageMenu_ = new QMenu(this);
    languageMenu_->setObjectName(QStringLiteral("LanguageMenu"));
    auto* group = new QActionGroup(languageMenu_);
    for (const ui::InterfaceLanguageInfo& info : ui::kInterfaceLanguages) {
        // Each language names itself, so that it is found whatever the language shown.
        QAction* action = languageMenu_->addAction(FromText(info.nativeName));
        action->setCheckable(true);
        action->setData(static_cast<int>(info.language));
        group->addAction(action);
        connect(
            action, &QAction::triggered, this,
            [this, language = static_cast<int>(info.language)] { emit LanguageChosen(language); });
    }
}

void MainWindow::ConnectLighting() {
    // While the panel is open a key click paints the key; the view previews the lighting.
    connect(lighting_, &LightingPanel::OpenChanged, this, [this](bool open) {
        view_->SetPaintMode(open);
        if (open) {
            CloseAssignment();
        }
    });
    connect(lighting_, &LightingPanel::ControlsBuilt, this, [this] { SetReadingTabOrder(*this); });
    connect(lighting_, &LightingPanel::PreviewChanged, this, [this] {
        view_->ShowKeyColours([this](lighting::ViewKey key) { return lighting_->PreviewOf(key); });
    });
    // A slot click closes the panel before the profile changes under it.
    connect(this, &MainWindow::LightingPanelCloseRequested, lighting_, &LightingPanel::ClosePanel);
    connect(view_, &KeyboardView::PaintRequested, this, [this](const QString& skinKey) {
        if (const auto key = view_->ViewKeyOf(skinKey.toStdString())) {
            lighting_->PaintKey(*key);
        }
    });
}

void MainWindow::ApplyButtonTooltips() {
    const auto tip = [this](const char* key, const QString& text) {
        if (PngButton* button = Button(key)) {
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

void MainWindow::ConnectActions() {
    connect(actions_.open, &QAction::triggered, this, [this] {
        raise();
        emit OpenRequested();
    });
    connect(actions_.about, &QAction::triggered, this, &MainWindow::ShowAbout);
    connect(actions_.exit, &QAction::triggered, this, &MainWindow::ExitRequested);
    connect(actions_.importProfile, &QAction::triggered, this, &MainWindow::ImportProfile);
    connect(actions_.exportProfile, &QAction::triggered, this, &MainWindow::ExportProfile);
}

void MainWindow::ApplyActionTexts() {
    // The tray menu's items take the language file's MENU_11..33 first and the lookups by
    // command after them, so the lookups are what it shows.
    actions_.open->setText(LocalisedText(ui::kIdsPopUpMenuOpen));
    actions_.about->setText(LocalisedText(ui::kIdsPopUpMenuAbout));
    actions_.exit->setText(LocalisedText(ui::kIdsPopUpMenuExit));
    actions_.importProfile->setText(LocalisedText(ui::kIdsButtonMenuImport));
    actions_.exportProfile->setText(LocalisedText(ui::kIdsButtonMenuExport));
}

QString MainWindow::TrayTooltip() const {
    return SlotText(ui::TextSlot::KEYBOARD_TRAY_DESC);
}

AboutTexts MainWindow::AboutBoxTexts() const {
    return {LocalisedText(ui::kIdsAboutTitle), LocalisedText(ui::kIdsAboutVersion),
            LocalisedText(ui::kIdsAboutCopyright), LocalisedText(ui::kIdsAboutOk)};
}

void MainWindow::ShowAbout() {
    if (about_) {
        return;
    }
    about_ = new AboutDialog(AppIcon(), link_);
    about_->SetTexts(AboutBoxTexts());
    connect(about_, &AboutDialog::HelpRequested, this, &MainWindow::OpenHelp);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::OpenHelp() {
    const std::filesystem::path page = settings_.programFolder / "Help" / "index.html";
    settings_.openUrl(QUrl::fromLocalFile(FromPath(page)));
}

void MainWindow::OpenPage(const QString& address) {
    settings_.openUrl(QUrl(address));
}

void MainWindow::PopUpButtonMenu() {
    buttonMenu_->popup(QCursor::pos());
}

void MainWindow::ImportProfile() {
    const QString path = settings_.chooseFile(this, FileChoice::Open, QDir::homePath());
    if (path.isEmpty()) {
        return;
    }
    emit ImportRequested(path);
}

void MainWindow::ExportProfile() {
    const QString path = settings_.chooseFile(this, FileChoice::Save, QDir::homePath());
    if (path.isEmpty()) {
        return;
    }
    // A name without an extension is given the profile files' one.
    emit ExportRequested(FromPath(app::WithProfileExtension(path.toStdString())));
}

// ---- What the application shows ----------------------------------------------------------

void MainWindow::OpenWindow() {
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::HideWindow() {
    if (settings_.trayAvailable) {
        hide();
    } else if (!isVisible()) {
        // Nothing else could bring it back: it stays on screen.
        showNormal();
    } else {
        showMinimized();
    }
}

void MainWindow::CloseSubDialogs() {
    if (about_) {
        about_->close();
    }
    CloseAssignment();
    if (manager_ != nullptr) {
        manager_->CloseIfOpen();
    }
    // Message boxes waiting for an answer count among them.
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
        modal->close();
    }
}

void MainWindow::EndMainWindow() {
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

void MainWindow::LoadTexts() {
    setWindowTitle(SlotText(ui::TextSlot::MAIN_CAPTION));
    lighting_->LoadTexts();
    if (PngButton* version = Button("QUINDO_VER")) {
        version->setText(FromText(lookup_->LanguageText("MAIN_BUTTON_QUINDO_VER")));
    }
    ApplyCaptions();
    // The tooltips: looked up first, then the interface section's texts as the window's own.
    ApplyButtonTooltips();
    ShowProfileMenu();
    ApplyActionTexts();
    if (languageMenu_ != nullptr) {
        languageMenu_->setTitle(LocalisedText(ui::kIdsMenuLanguage));
        for (QAction* action : languageMenu_->actions()) {
            action->setChecked(action->data().toInt() == static_cast<int>(lookup_->Language()));
        }
    }
    if (tray_.Exists()) {
        tray_.SetTooltip(TrayTooltip());
    }
    if (about_) {
        about_->SetTexts(AboutBoxTexts());
    }
    if (assignment_ != nullptr) {
        assignment_->LoadTexts();
    }
    if (manager_ != nullptr) {
        manager_->LoadTexts();
    }
}

void MainWindow::ApplyCaptions() {
    for (const Caption& caption : kCaptions) {
        if (PngButton* button = Button(std::string(caption.skinKey))) {
            button->setText(LocalisedText(caption.lookupKey));
            button->setAccessibleName(button->text());
        }
    }
    for (std::size_t index = 0; index < app::kReportRateButtonKeys.size(); ++index) {
        if (PngButton* button = Button(std::string(app::kReportRateButtonKeys[index]))) {
            button->setText(FromText(app::kReportRateCaptions[index]));
        }
    }
    if (reportCaption_ != nullptr) {
        reportCaption_->setText(LocalisedText(ui::kIdsKeyboardFuncUsb));
    }
}

void MainWindow::ShowProfileMenu() {
    PngButton* button = Button(kProfilesKey);
    if (button == nullptr) {
        return;
    }
    const app::ProfileMenu menu = app::BuildProfileMenu(
        activeSlot_, ui::UserText(*texts_, *lookup_, ui::TextSlot::DEFAULT_PROFILE_NAME),
        std::string(profiles::kCurrentProfileFileName),
        ui::UserText(*texts_, *lookup_, ui::TextSlot::PROFILE_TIP));
    button->setText(FromText(menu.caption));
    button->setAccessibleName(button->text());
    button->SetTooltipText(FromText(menu.tooltip), true);
}

void MainWindow::CreateTrayIcon() {
    tray_.Create(TrayTooltip(), {actions_.open, actions_.about, actions_.exit});
    tray_.AddSubmenu(languageMenu_);
}

void MainWindow::RemoveTrayIcon() {
    tray_.Remove();
}

void MainWindow::SetBusy(bool busy) {
    busy_->SetBusy(busy);
}

int MainWindow::ProgressFrameShown() const {
    return busy_->FrameShown();
}

void MainWindow::SetApplyEnabled(bool enabled) {
    if (PngButton* apply = Button("CONTROL2_APPLY")) {
        apply->setEnabled(enabled);
    }
}

void MainWindow::ShowKeyboard(const app::KeyboardViewSnapshot& snapshot) {
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

void MainWindow::OpenAssignment(std::size_t slot, bool macroOnly, const QString& skinKey) {
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
        connect(assignment_, &AssignmentDialog::Applied, this, &MainWindow::AssignmentApplied);
        connect(assignment_, &AssignmentDialog::Closed, this, [this] {
            view_->MarkEdited(editedKey_, false);
            editedKey_.clear();
        });
    }
    if (assignment_->IsOpen()) {
        return;
    }
    if (!keys::IsRemappable(slot, keyboard_.keyDefaults)) {
        // Nothing to choose: the dialog would offer what the keyboard cannot hold.
        emit MessageRequested(QString::fromStdString(ui::EntryRefusalText(
            keys::EntryRefusal::NotRemappable,
            keys::KeySlotName(
                slot, [this](const std::string& key) { return ui::LookupUserText(*lookup_, key); }),
            *lookup_)));
        return;
    }
    PngButton* button = Button(skinKey.toStdString());
    const QRect anchor =
        button != nullptr ? QRect(button->mapToGlobal(QPoint(0, 0)), button->size()) : QRect();
    editedKey_ = skinKey;
    view_->MarkEdited(skinKey, true);
    assignment_->OpenFor(slot, macroOnly, keyboard_, anchor);
}

void MainWindow::CloseAssignment() {
    if (assignment_ != nullptr) {
        assignment_->CloseIfOpen();
    }
}

void MainWindow::ShowPressed(PngButton& button, bool on) {
    // The buttons' checked picture is their normal one, so the checked button also wears the
    // pressed picture to stand out.
    button.SetChecked(on);
    const auto face = pressedFaces_.find(&button);
    const QPixmap pressed = face != pressedFaces_.end() ? face->second : QPixmap();
    button.SetOverride(pressed, pressed, on, false);
}

void MainWindow::ShowProfileSlot(int profile) {
    activeSlot_ = profile;
    for (int slot = 0; slot < app::kProfileSlotCount; ++slot) {
        if (PngButton* button = Button(kProfileSlotKeys[slot])) {
            ShowPressed(*button, slot == profile);
        }
    }
    ShowProfileMenu();
}

void MainWindow::ShowReportRate(std::size_t index) {
    reportRate_ = index;
    for (std::size_t i = 0; i < app::kReportRateButtonKeys.size(); ++i) {
        if (PngButton* button = Button(std::string(app::kReportRateButtonKeys[i]))) {
            ShowPressed(*button, i == index);
        }
    }
}

void MainWindow::ShowLighting(const service::LightingSnapshot& lighting) {
    // A rate that was never read is none of the four.
    const bool read =
        lighting.currentProfile >= 0 &&
        lighting.currentProfile < static_cast<int>(layout::kProfileCount) &&
        lighting.mirror.recordsRead[static_cast<std::size_t>(lighting.currentProfile)];
    ShowReportRate(read ? app::CheckedReportRateButton(lighting.state)
                        : app::kReportRateButtonKeys.size());
    emit LightingShown(lighting.currentProfile);
}

void MainWindow::OpenProfileManager(const std::filesystem::path& profileFolder, int activeProfile) {
    if (manager_ == nullptr) {
        auto* dialog = new ProfileManagerDialog(
            this, settings_.programFolder,
            [this](std::string_view key) { return ui::LookupUserText(*lookup_, key); },
            settings_.settings, settings_.chooseFile);
        if (auto failure = dialog->Initialise()) {
            delete dialog;
            emit SkinFailed(QString::fromStdString(failure->StderrLine()));
            return;
        }
        manager_ = dialog;
        connect(manager_, &ProfileManagerDialog::Applied, this, &MainWindow::ProfileManagerApplied);
        connect(manager_, &ProfileManagerDialog::HelpRequested, this, &MainWindow::OpenHelp);
        connect(manager_, &ProfileManagerDialog::MessageRequested, this,
                &MainWindow::MessageRequested);
    }
    std::string newFile = lookup_->LanguageText(ui::SlotName(ui::TextSlot::PROFILE_NEW));
    if (ui::IsNoUserText(newFile)) {
        newFile = ui::UserText(*texts_, *lookup_, ui::TextSlot::PROFILE_NEW);
    }
    manager_->OpenFor(profileFolder, activeProfile, newFile);
}

// ---- Events --------------------------------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape would end a dialog; this one only ends through its exit path.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            BaseDialog::keyPressEvent(event);
    }
}

QIcon MainWindow::AppIcon() {
    // Read when first needed, not at start-up: the window starts hidden in the tray.
    if (!iconSet_) {
        setWindowIcon(
            QIcon(QDir(SkinFolder()).filePath(TrayIcon::PictureFile(TrayIcon::State::NoKeyboard))));
        iconSet_ = true;
    }
    return windowIcon();
}

void MainWindow::showEvent(QShowEvent* event) {
    (void)AppIcon();
    // The background and the outline first: the state pictures are then decoded one at a time,
    // and the window never holds two window-sized pictures besides its background.
    BaseDialog::showEvent(event);
    LoadPictures();
}

void MainWindow::hideEvent(QHideEvent* event) {
    BaseDialog::hideEvent(event);
    ReleasePictures();
    if (event->spontaneous() || !settings_.trayAvailable) {
        return;
    }
    // Hidden in the tray, the platform window would keep a window-sized backing store: it goes
    // with the window, once the hide is over, and the next show makes both again.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() && !ended_) {
            destroy(true, false);
            platform::ReturnFreedHeap();
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
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
