#include "gui/profile_manager.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>

#include "gui/button_caption.h"
#include "gui/widgets/png_button.h"
#include "gui/widgets/tab_order.h"
#include "platform/heap_release.h"
#include "texts/lookup_keys.h"
#include "texts/safe_format.h"
#include "texts/skin_layout.h"

namespace qv::gui {
namespace {

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

enum Column : int { kActiveColumn = 0, kNameColumn = 1, kFolderColumn = 2 };
constexpr int kActiveWidth = 90;
constexpr int kNameWidth = 120;

// The list's buttons and the key of each one's caption.
struct ButtonText {
    std::string_view key;
    std::string_view lookupKey;
};
constexpr ButtonText kButtonTexts[] = {
    {"FUNC_ADD", ui::kIdsProfileAdd},       {"FUNC_LOAD", ui::kIdsProfileLoad},
    {"FUNC_DELETE", ui::kIdsProfileDelete}, {"CONTROL2_APPLY", ui::kIdsProfileApply},
    {"CONTROL_OK", ui::kIdsProfileOk},      {"CONTROL_CANCEL", ui::kIdsProfileCancel},
};
// The row of profile n is named after its main-window slot.
constexpr std::string_view kProfileNames[] = {ui::kIdsMainProfile1, ui::kIdsMainProfile2,
                                              ui::kIdsMainProfile3, ui::kIdsMainProfile4};

constexpr std::string_view kNewFileNotWrittenText = "The new profile file could not be written: %s";

constexpr const char* kControlStyle =
    "QLabel { color: #e8ecf2; font-size: 16px; font-weight: bold; }"
    "QTableWidget { background: #1b1e24; color: #e8ecf2; gridline-color: #3d4450;"
    "  border: 1px solid #3d4450; selection-background-color: #15917f;"
    "  selection-color: #ffffff; }"
    "QTableWidget:focus { border: 2px solid #19c3b3; }"
    "QTableWidget::indicator { width: 12px; height: 12px; border: 1px solid #8b93a1;"
    "  border-radius: 2px; background: #1b1e24; }"
    "QTableWidget::indicator:checked { background: #19c3b3; border-color: #19c3b3; }"
    "QHeaderView::section { background: #2a2f38; color: #c9d0db; border: none;"
    "  padding: 2px 4px; }";

}  // namespace

ProfileManagerDialog::ProfileManagerDialog(QWidget* parent,
                                           const std::filesystem::path& programFolder,
                                           LookupFn lookup, platform::SettingsStore* settings,
                                           FileChooser chooser)
    : BaseDialog(parent, FromPath(ui::SkinFilePath(programFolder, ui::SkinWindow::Profile)),
                 FromPath(ui::SkinFolder(programFolder))),
      lookup_(std::move(lookup)),
      programFolder_(programFolder),
      settings_(settings),
      chooser_(std::move(chooser)) {
    setObjectName(QStringLiteral("ProfileManager"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    SetSkinFailureHandler([](const QString&) {});
    setStyleSheet(QString::fromLatin1(kControlStyle));
}

ProfileManagerDialog::~ProfileManagerDialog() = default;

QString ProfileManagerDialog::Text(std::string_view lookupKey) const {
    return QString::fromStdString(lookup_(lookupKey));
}

std::optional<ui::SkinExit> ProfileManagerDialog::Initialise() {
    if (initialised_) {
        return std::nullopt;
    }
    const std::filesystem::path skinFolder = ui::SkinFolder(programFolder_);
    const ui::SkinFile skin =
        ui::SkinFile::Load(ui::SkinFilePath(programFolder_, ui::SkinWindow::Profile));
    std::vector<ui::SkinControl> controls = ui::ProfileWindowControls();
    // The title has a place only in skins that leave it to the window.
    if (skin.Ini().Find(ui::kSkinButtonInfoSection, ui::kProfileTitleKey)) {
        controls.push_back({ui::SkinOperation::Control, std::string(ui::kProfileTitleKey), {}, {}});
    }
    if (auto failure = SetUpSkin(
            *this, skin, skinFolder, ui::StatePictureFiles(ui::SkinWindow::Profile), controls,
            [this](const ui::PlacedControl& placed) { PlaceControl(placed); },
            [this](const ui::PlacedControl& placed) { PlaceButton(placed); })) {
        return failure;
    }
    if (list_ == nullptr) {
        // A skin without a place for the list still gets one, as a 1 x 1 control.
        list_ = new QTableWidget(this);
        list_->setGeometry(1, 1, 1, 1);
    }
    list_->setColumnCount(3);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->setWordWrap(false);
    // A long folder keeps its end, where the profile folder's name is.
    list_->setTextElideMode(Qt::ElideLeft);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(kActiveColumn, kActiveWidth);
    list_->setColumnWidth(kNameColumn, kNameWidth);
    ConnectControls();
    LoadTexts();
    SetReadingTabOrder(*this);
    initialised_ = true;
    return std::nullopt;
}

void ProfileManagerDialog::PlaceButton(const ui::PlacedControl& placed) {
    const auto* image = std::get_if<ui::ImageButtonPlacement>(&placed.placement);
    if (image == nullptr) {
        return;
    }
    auto* button = new PngButton(this);
    button->setObjectName(QString::fromStdString(placed.key));
    button->setGeometry(image->geometry.x, image->geometry.y, image->geometry.width,
                        image->geometry.height);
    button->SetPictureOrigin(image->origin.x, image->origin.y, false);
    sources_.push_back(
        {button, QPoint(image->origin.x, image->origin.y), NamesOf(image->pictures)});
    button->setVisible(image->visible);
    button->setEnabled(image->enabled);
    SetUpCaption(*button);
    buttons_[placed.key] = button;
}

void ProfileManagerDialog::showEvent(QShowEvent* event) {
    BaseDialog::showEvent(event);
    const std::filesystem::path folder = ui::SkinFolder(programFolder_);
    CutButtonPictures(sources_, {}, [&folder](std::string_view name) { return folder / name; });
}

void ProfileManagerDialog::hideEvent(QHideEvent* event) {
    BaseDialog::hideEvent(event);
    // Hidden, the dialog keeps no picture: they are cut again when it next opens.
    DropButtonPictures(sources_);
    platform::ReturnFreedHeap();
}

void ProfileManagerDialog::PlaceControl(const ui::PlacedControl& placed) {
    const auto& control = std::get<ui::ControlPlacement>(placed.placement);
    const QRect geometry(control.geometry.x, control.geometry.y, control.geometry.width,
                         control.geometry.height);
    if (placed.key == ui::kProfileTitleKey) {
        title_ = new QLabel(this);
        title_->setObjectName(QString::fromStdString(placed.key));
        title_->setGeometry(geometry);
        return;
    }
    list_ = new QTableWidget(this);
    list_->setObjectName(QString::fromStdString(placed.key));
    list_->setGeometry(geometry);
}

PngButton* ProfileManagerDialog::Button(std::string_view skinKey) const {
    const auto found = buttons_.find(skinKey);
    return found != buttons_.end() ? found->second : nullptr;
}

void ProfileManagerDialog::ConnectControls() {
    const auto on = [this](std::string_view key, auto&& action) {
        if (PngButton* button = Button(key)) {
            connect(button, &QAbstractButton::clicked, this, action);
        }
    };
    on("FUNC_ADD", [this] { Add(); });
    on("FUNC_LOAD", [this] { Load(); });
    on("FUNC_DELETE", [this] { Delete(); });
    on("CONTROL2_APPLY", [this] { Apply(); });
    on("CONTROL_OK", [this] {
        Apply();
        Finish();
    });
    on("CONTROL_CANCEL", [this] { Finish(); });
    connect(list_, &QTableWidget::cellChanged, this,
            [this](int row, int column) { OnItemChanged(row, column); });
}

void ProfileManagerDialog::LoadTexts() {
    setWindowTitle(Text(ui::kIdsProfileTitle));
    if (title_ != nullptr) {
        title_->setText(Text(ui::kIdsProfileTitle));
    }
    for (const ButtonText& text : kButtonTexts) {
        if (PngButton* button = Button(text.key)) {
            button->setText(Text(text.lookupKey));
            button->setAccessibleName(button->text());
        }
    }
    if (list_ != nullptr) {
        list_->setHorizontalHeaderLabels({Text(ui::kIdsProfileColumnActive),
                                          Text(ui::kIdsProfileColumnName),
                                          Text(ui::kIdsProfileColumnPath)});
        ShowRows();
    }
}

void ProfileManagerDialog::OpenFor(const std::filesystem::path& profileFolder, int activeProfile,
                                   const std::string& newFileName) {
    if (open_) {
        return;
    }
    open_ = true;
    profileFolder_ = profileFolder;
    newFileName_ = newFileName;
    // Rows added, loaded or deleted at an earlier opening are not kept.
    model_ = app::ProfileManagerModel(profileFolder, activeProfile);
    LoadTexts();
    if (QWidget* owner = parentWidget(); owner != nullptr && owner->isVisible()) {
        move(owner->geometry().center() - rect().center());
    }
    open();
    raise();
    activateWindow();
}

void ProfileManagerDialog::ShowRows() {
    filling_ = true;
    const auto& rows = model_.Rows();
    list_->setRowCount(static_cast<int>(rows.size()));
    // The items are changed in place: a check of the user's may be what is being shown.
    const auto cell = [this](int row, int column) {
        QTableWidgetItem* item = list_->item(row, column);
        if (item == nullptr) {
            item = new QTableWidgetItem();
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            list_->setItem(row, column, item);
        }
        return item;
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const app::ProfileRow& row = rows[i];
        const int r = static_cast<int>(i);
        QTableWidgetItem* active = cell(r, kActiveColumn);
        active->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        active->setText(row.profile ? Text(kProfileNames[static_cast<std::size_t>(*row.profile)])
                                    : QString());
        active->setCheckState(model_.CheckedRow() == i ? Qt::Checked : Qt::Unchecked);
        cell(r, kNameColumn)->setText(QString::fromStdString(row.Name()));
        // The folder ends with a separator, as it is followed by a name.
        cell(r, kFolderColumn)->setText(FromPath(row.Folder() / std::filesystem::path()));
    }
    if (PngButton* apply = Button("CONTROL2_APPLY")) {
        apply->setEnabled(model_.ApplyEnabled());
    }
    filling_ = false;
}

void ProfileManagerDialog::OnItemChanged(int row, int column) {
    if (filling_ || column != kActiveColumn || row < 0) {
        return;
    }
    const QTableWidgetItem* item = list_->item(row, column);
    model_.SetChecked(static_cast<std::size_t>(row), item->checkState() == Qt::Checked);
    ShowRows();
}

void ProfileManagerDialog::Add() {
    const std::filesystem::path suggestion =
        app::NewProfileFileSuggestion(profileFolder_, newFileName_);
    const QString chosen = chooser_(this, FileChoice::Save, FromPath(suggestion));
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path file = app::WithProfileExtension(chosen.toStdString());
    if (!model_.Add(file)) {
        const std::string path = file.string();
        emit MessageRequested(QString::fromStdString(
            ui::SafeFormat(lookup_(ui::kIdsProfileNewNotWritten), kNewFileNotWrittenText,
                           {std::string_view(path)})));
        return;
    }
    ShowRows();
    list_->selectRow(list_->rowCount() - 1);
}

void ProfileManagerDialog::Load() {
    const QString chosen = chooser_(this, FileChoice::Open, FromPath(profileFolder_));
    if (chosen.isEmpty()) {
        return;
    }
    model_.Load(chosen.toStdString());
    ShowRows();
    list_->selectRow(list_->rowCount() - 1);
}

void ProfileManagerDialog::Delete() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    const std::optional<std::size_t> next = model_.Delete(static_cast<std::size_t>(row));
    ShowRows();
    if (next) {
        list_->selectRow(static_cast<int>(*next));
    } else {
        list_->clearSelection();
    }
}

void ProfileManagerDialog::Apply() {
    if (settings_ != nullptr) {
        // The record is for the user's own reference; the program never reads it back.
        (void)model_.Record(*settings_);
    }
    const app::ManagerChoice choice = model_.Choice();
    model_.Applied();
    ShowRows();
    emit Applied(choice);
}

void ProfileManagerDialog::Finish() {
    if (!open_) {
        return;
    }
    open_ = false;
    model_.Applied();
    done(QDialog::Rejected);
}

void ProfileManagerDialog::CloseIfOpen() {
    Finish();
}

void ProfileManagerDialog::reject() {
    Finish();
}

void ProfileManagerDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        event->accept();
        emit HelpRequested();
        return;
    }
    BaseDialog::keyPressEvent(event);
}

}  // namespace qv::gui
