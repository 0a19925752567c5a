#include "gui/assignment_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>
#include <span>
#include <utility>

#include "core/utf16.h"
#include "gui/button_caption.h"
#include "gui/key_capture_edit.h"
#include "gui/macro_page.h"
#include "gui/widgets/png_button.h"
#include "gui/widgets/tab_order.h"
#include "gui/widgets/window_skin_target.h"
#include "keys/key_lists.h"
#include "platform/heap_release.h"
#include "texts/lookup_keys.h"

namespace qv::gui {
namespace {

using keys::AssignmentPage;

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// Apply has no place of its own in every skin: without one it sits left of OK.
constexpr std::string_view kApplyKey = "CONTROL2_APPLY";
constexpr int kApplyGap = 8;

constexpr ui::StatePictureSet kMacroOnlyPictures = {"macro2_normal.jpg", "macro2_over.jpg",
                                                    "macro2_down.jpg", "macro2_disable.jpg"};
// The media and function sets have no disabled picture: their normal one serves.
constexpr ui::StatePictureSet kMediaPictures = {"media_normal.jpg", "media_over.jpg",
                                                "media_down.jpg", "media_normal.jpg"};
constexpr ui::StatePictureSet kFunctionPictures = {"function_normal.jpg", "function_over.jpg",
                                                   "function_down.jpg", "function_normal.jpg"};

// The controls each page shows; every other page control is hidden.
constexpr std::string_view kKeyPageControls[] = {
    "KEY_SETTING",        "FUNC_KEY_RADIO_KB",  "FUNC_KEY_RADIO_KB_STATIC",
    "FUNC_KEY_INPUT",     "FUNC_KEY_RADIO_MOU", "FUNC_KEY_RADIO_MOU_STATIC",
    "FUNC_KEY_COMBO_MOU", "TISHI_SINGLE_STATIC"};
constexpr std::string_view kMacroPageControls[] = {
    "MARCO_NAME_SETTING",       "FUNC_MACRO_LIST",   "FUNC_MACRO_LIST2",
    "FUNC_MACRO_CYCLES_PROMPT", "FUNC_MACRO_CYCLES", "FUNC_MACRO_RECORD_DELAY",
    "FUNC_MACRO_RECORD_DELAY2", "FUNC_MACRO_MEMORY"};
constexpr std::string_view kMacroPageButtons[] = {
    "FUNC_MACRO_ADD",     "FUNC_MACRO_DELETE", "FUNC_MACRO_RECORD",
    "FUNC_MACRO_DELETE2", "FUNC_MACRO_CLEAR",  "FUNC_MACRO_UP_TOP",
    "FUNC_MACRO_UP",      "FUNC_MACRO_DOWN",   "FUNC_MACRO_DOWN_BOTTOM"};
constexpr std::string_view kMediaPageControls[] = {"MEDIA_SETTING_TISHI", "FUNC_MEDIA_SELECT"};
constexpr std::string_view kFunctionPageControls[] = {"FUNCTION_KEY_SETTING_TISHI",
                                                      "FUNC_FUNCTION_SELECT"};

// The texts of the statics, by their skin keys.
struct LabelText {
    std::string_view key;
    std::string_view lookupKey;
};
constexpr LabelText kLabelTexts[] = {
    {"FUNC_KEY_RADIO_KB_STATIC", ui::kIdsMacroKbKey},
    {"FUNC_KEY_RADIO_MOU_STATIC", ui::kIdsMacroMouKey},
    {"TISHI_SINGLE_STATIC", ui::kIdsKeyboardKeySingle},
    {"MARCO_NAME_SETTING", ui::kIdsMacroName},
    {"MEDIA_SETTING_TISHI", ui::kIdsMediaEdit},
    {"FUNCTION_KEY_SETTING_TISHI", ui::kIdsFunctionEdit},
    {"FUNC_MACRO_CYCLES_PROMPT", ui::kIdsMacroCycles},
    {"FUNC_MACRO_RECORD_DELAY2", ui::kIdsMacroRecordDelay},
};

// The buttons whose captions the dialog writes over the pictures, by their skin keys.
constexpr LabelText kButtonCaptions[] = {
    {"CONTROL_KEY", ui::kIdsCompositeSelectKey},
    {"CONTROL_MACRO", ui::kIdsCompositeSelectMacro},
    {"CONTROL_MEDIA", ui::kIdsCompositeSelectMedia},
    {"CONTROL_FUNCTION", ui::kIdsCompositeSelectFunction},
    {"CONTROL_CLEAR", ui::kIdsKeyboardMacroReset},
    {"CONTROL_OK", ui::kIdsCompositeOk},
    {"CONTROL_CANCEL", ui::kIdsCompositeCancel},
    {kApplyKey, ui::kIdsCompositeApply},
    {"FUNC_MACRO_RECORD", ui::kIdsCompositeMacroActionRecord},
    {"FUNC_MACRO_ADD", ui::kIdsCompositeMacroAdd},
    {"FUNC_MACRO_DELETE", ui::kIdsCompositeMacroDelete},
    {"FUNC_MACRO_DELETE2", ui::kIdsCompositeMacroActionDelete},
    {"FUNC_MACRO_CLEAR", ui::kIdsCompositeMacroActionClear},
};
// The macro list's order buttons show arrows; their tooltips say what they do.
constexpr LabelText kButtonTips[] = {
    {"FUNC_MACRO_UP_TOP", ui::kIdsCompositeMacroActionUpTop},
    {"FUNC_MACRO_UP", ui::kIdsCompositeMacroActionUp},
    {"FUNC_MACRO_DOWN", ui::kIdsCompositeMacroActionDown},
    {"FUNC_MACRO_DOWN_BOTTOM", ui::kIdsCompositeMacroActionDownBottom},
    {"CONTROL_MASK", ui::kIdsCompositeCancel},
};
constexpr std::string_view kTitleKey = "CONTROL_TITLE";
constexpr int kTitlePoints = 13;
constexpr int kTitleIndent = 8;

bool HasCaption(std::string_view key) {
    return std::any_of(std::begin(kButtonCaptions), std::end(kButtonCaptions),
                       [key](const LabelText& caption) { return caption.key == key; });
}

// The dialog's own widgets on the skin's dark page.
constexpr const char* kControlStyle =
    "QLabel { color: #c9d0db; }"
    "QLineEdit, QComboBox, QListWidget, QTreeWidget, QTableWidget, QSpinBox {"
    "  background: #1b1e24; color: #e8ecf2; border: 1px solid #3d4450; border-radius: 3px;"
    "  selection-background-color: #15917f; selection-color: #ffffff; }"
    "QLineEdit:focus, QComboBox:focus, QListWidget:focus, QTreeWidget:focus,"
    "QTableWidget:focus, QSpinBox:focus,"
    "QRadioButton:focus, QCheckBox:focus { border: 2px solid #19c3b3; }"
    "QComboBox QAbstractItemView { background: #1b1e24; color: #e8ecf2; }"
    "QLineEdit:disabled, QListWidget:disabled { color: #6b7280; }"
    "QHeaderView::section { background: #2a2f38; color: #c9d0db; border: none; }"
    "QTableWidget QTableCornerButton::section { background: #2a2f38; border: none; }";

}  // namespace

AssignmentDialog::AssignmentDialog(QWidget* parent, const std::filesystem::path& programFolder,
                                   keys::TextLookupFn lookup, const MacroPageContext& macroContext)
    : BaseDialog(parent, FromPath(ui::SkinFilePath(programFolder, ui::SkinWindow::Composite)),
                 FromPath(ui::SkinFolder(programFolder))),
      lookup_(std::move(lookup)),
      programFolder_(programFolder),
      macroPage_(new MacroPage(*this, macroContext)) {
    setObjectName(QStringLiteral("AssignmentDialog"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    SetSkinFailureHandler([](const QString&) {});
    setStyleSheet(QString::fromLatin1(kControlStyle));
}

AssignmentDialog::~AssignmentDialog() = default;

QString AssignmentDialog::Text(std::string_view lookupKey) const {
    return QString::fromStdString(lookup_(std::string(lookupKey)));
}

std::optional<ui::SkinExit> AssignmentDialog::Initialise() {
    if (initialised_) {
        return std::nullopt;
    }
    const std::filesystem::path skinFolder = ui::SkinFolder(programFolder_);
    const ui::SkinFile skin =
        ui::SkinFile::Load(ui::SkinFilePath(programFolder_, ui::SkinWindow::Composite));
    std::vector<ui::SkinControl> controls;
    const ui::ButtonPictures keyPictures = ui::StraightPictures(ui::kCompositeKeyStatePictures);
    for (const std::string_view key : ui::kCompositeImageButtonKeys) {
        controls.push_back({ui::SkinOperation::ImageButton, std::string(key), keyPictures, {}});
    }
    controls.push_back({ui::SkinOperation::ImageButton, std::string(kApplyKey), keyPictures, {}});
    for (const std::string_view key : ui::kCompositeControlKeys) {
        controls.push_back({ui::SkinOperation::Control, std::string(key), {}, {}});
    }
    // After the rest: without a place in the skin they find one beside the others.
    for (const std::string_view key : ui::kCompositeOptionalControlKeys) {
        controls.push_back({ui::SkinOperation::Control, std::string(key), {}, {}});
    }
    if (auto failure = SetUpSkin(
            *this, skin, skinFolder, ui::StatePictureFiles(ui::SkinWindow::Composite), controls,
            [this](const ui::PlacedControl& placed) { PlaceControl(placed); },
            [this](const ui::PlacedControl& placed) { PlaceButton(placed); })) {
        return failure;
    }
    CreateControls();
    ConnectControls();
    LoadTexts();
    SetReadingTabOrder(*this);
    initialised_ = true;
    return std::nullopt;
}

void AssignmentDialog::PlaceButton(const ui::PlacedControl& placed) {
    const auto* image = std::get_if<ui::ImageButtonPlacement>(&placed.placement);
    if (image == nullptr) {
        return;
    }
    auto* button = new PngButton(this);
    button->setObjectName(QString::fromStdString(placed.key));
    QRect geometry(image->geometry.x, image->geometry.y, image->geometry.width,
                   image->geometry.height);
    bool drawn = image->visible;
    if (placed.key == kApplyKey && !image->visible) {
        // Not in this skin: beside OK, with its caption as text.
        if (PngButton* ok = Button("CONTROL_OK")) {
            geometry = ok->geometry().translated(-(ok->width() + kApplyGap), 0);
            drawn = false;
            button->SetCaptionFont();
            button->SetTextColours(Qt::white, Qt::white, Qt::white, Qt::gray);
        }
    }
    button->setGeometry(geometry);
    if (!image->visible && placed.key != kApplyKey) {
        button->hide();
        button->setEnabled(false);
    }
    const QPoint origin = drawn ? QPoint(image->origin.x, image->origin.y) : geometry.topLeft();
    button->SetPictureOrigin(origin.x(), origin.y(), false);
    sources_.push_back({button, origin, {}});
    if (HasCaption(placed.key)) {
        SetUpCaption(*button);
    } else if (placed.key == kTitleKey) {
        // A picture, not a button: its caption keeps the title's colour.
        const QColor title(0xe8, 0xec, 0xf2);
        button->SetCaptionFont(QString::fromLatin1(PngButton::kDefaultFontFace), kTitlePoints, 0,
                               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
        button->SetTextColours(title, title, title, title);
        button->SetTextOffsets({kTitleIndent, 0, 0, 0});
    }
    buttons_[placed.key] = button;
    if (std::find(std::begin(kMacroPageButtons), std::end(kMacroPageButtons), placed.key) !=
        std::end(kMacroPageButtons)) {
        macroPage_->AttachButton(placed.key, *button);
    }
}

QRect AssignmentDialog::OptionalControlPlace(std::string_view key) const {
    const auto below = [this](std::string_view anchorKey, int height) {
        const auto found = controls_.find(anchorKey);
        if (found == controls_.end()) {
            return QRect();
        }
        const QRect anchor = found->second->geometry();
        return QRect(anchor.left(), anchor.bottom() + kApplyGap, anchor.width(), height);
    };
    // The meter under the record-delays label, the recording line under the macro list.
    constexpr int kMeterHeight = 64;
    constexpr int kHintHeight = 40;
    return key == "FUNC_MACRO_MEMORY" ? below("FUNC_MACRO_RECORD_DELAY2", kMeterHeight)
                                      : below("FUNC_MACRO_LIST", kHintHeight);
}

void AssignmentDialog::PlaceControl(const ui::PlacedControl& placed) {
    const auto& control = std::get<ui::ControlPlacement>(placed.placement);
    const std::string& key = placed.key;
    QRect geometry(control.geometry.x, control.geometry.y, control.geometry.width,
                   control.geometry.height);
    const bool optional = std::find(ui::kCompositeOptionalControlKeys.begin(),
                                    ui::kCompositeOptionalControlKeys.end(),
                                    key) != ui::kCompositeOptionalControlKeys.end();
    if (optional && control.geometry == ui::SkinRect{}) {
        geometry = OptionalControlPlace(key);
    }
    if (QWidget* page = macroPage_->CreateControl(key, geometry)) {
        controls_[key] = page;
        return;
    }
    QWidget* widget = nullptr;
    if (key == "FUNC_KEY_INPUT") {
        widget = keyBox_ = new KeyCaptureEdit(this);
    } else if (key == "FUNC_KEY_RADIO_KB") {
        widget = keyboardMode_ = new QRadioButton(this);
    } else if (key == "FUNC_KEY_RADIO_MOU") {
        widget = mouseMode_ = new QRadioButton(this);
    } else if (key == "FUNC_KEY_COMBO_MOU") {
        widget = mouseList_ = new QComboBox(this);
    } else if (key == "FUNC_MEDIA_SELECT") {
        widget = mediaList_ = new QComboBox(this);
    } else if (key == "FUNC_FUNCTION_SELECT") {
        widget = functionList_ = new QComboBox(this);
    } else {
        auto* label = new QLabel(this);
        label->setWordWrap(true);
        labels_[key] = label;
        widget = label;
    }
    widget->setObjectName(QString::fromStdString(key));
    widget->setGeometry(geometry);
    controls_[key] = widget;
}

void AssignmentDialog::FillLists() {
    // The lists name keys and functions in the interface language; the choice stays.
    const bool filling = filling_;
    filling_ = true;
    const auto refill = [](QComboBox& list, const QStringList& names) {
        const int current = list.currentIndex();
        list.clear();
        list.addItems(names);
        list.setCurrentIndex(current);
    };
    QStringList names;
    for (const keys::MouseChoice& mouse : keys::kMouseChoiceList) {
        names.append(QString::fromStdString(keys::KeyName(mouse.code, lookup_)));
    }
    refill(*mouseList_, names);
    names.clear();
    for (const keys::MediaChoice& media : keys::kMediaTable) {
        names.append(QString::fromStdString(keys::KeyName(media.nameCode, lookup_)));
    }
    refill(*mediaList_, names);
    names.clear();
    for (std::size_t i = 0; i < keys::kFunctionTable.size(); ++i) {
        names.append(QString::fromStdString(keys::FunctionName(i, lookup_)));
    }
    refill(*functionList_, names);
    filling_ = filling;
}

void AssignmentDialog::CreateControls() {
    // Labels name the control beside them for screen readers and mnemonics.
    const auto buddy = [this](std::string_view label, QWidget* control) {
        if (const auto found = labels_.find(label); found != labels_.end() && control) {
            found->second->setBuddy(control);
        }
    };
    buddy("FUNC_KEY_RADIO_KB_STATIC", keyboardMode_);
    buddy("FUNC_KEY_RADIO_MOU_STATIC", mouseMode_);
    buddy("MARCO_NAME_SETTING", macroPage_->NameBox());
    buddy("MEDIA_SETTING_TISHI", mediaList_);
    buddy("FUNCTION_KEY_SETTING_TISHI", functionList_);
    buddy("FUNC_MACRO_CYCLES_PROMPT", macroPage_->RepeatBox());
    buddy("FUNC_MACRO_RECORD_DELAY2", macroPage_->RecordDelays());
    // The title picture and the page strip are pictures, not buttons.
    for (const char* key : {"CONTROL_TITLE"}) {
        if (PngButton* button = Button(key)) {
            button->setEnabled(false);
        }
    }
    // An on-screen keyboard is the desktop's; this one has none to open.
    if (PngButton* osk = Button("CONTROL_OSK")) {
        osk->hide();
    }
}

void AssignmentDialog::ConnectControls() {
    const auto on = [this](std::string_view key, auto&& action) {
        if (PngButton* button = Button(key)) {
            connect(button, &QAbstractButton::clicked, this, action);
        }
    };
    on("CONTROL_KEY", [this] { SelectPage(AssignmentPage::SingleKey); });
    on("CONTROL_MACRO", [this] { SelectPage(AssignmentPage::Macro); });
    on("CONTROL_MEDIA", [this] { SelectPage(AssignmentPage::Media); });
    on("CONTROL_FUNCTION", [this] { SelectPage(AssignmentPage::Function); });
    on("CONTROL_CLEAR", [this] { ResetToDefault(); });
    on(kApplyKey, [this] { Apply(); });
    on("CONTROL_OK", [this] {
        // Untouched, the dialog stores nothing: the key keeps what it has, also a kind the
        // dialog has no page for (disabled, a program, a text).
        if (modified_) {
            Apply();
        }
        Finish(true);
    });
    on("CONTROL_CANCEL", [this] { Finish(false); });
    // The skin draws a close mark on the page strip.
    on("CONTROL_MASK", [this] { Finish(false); });

    connect(keyBox_, &KeyCaptureEdit::KeyCaptured, this,
            [this](keys::KeyCode code) { OnKeyCaptured(code); });
    connect(keyboardMode_, &QRadioButton::clicked, this, [this] {
        SetMouseMode(false);
        keyBox_->setFocus(Qt::OtherFocusReason);
    });
    connect(mouseMode_, &QRadioButton::clicked, this, [this] { SetMouseMode(true); });
    const auto chosen = [this](auto&& store) {
        return [this, store](int index) {
            if (filling_ || index < 0) {
                return;
            }
            store(static_cast<std::size_t>(index));
            modified_ = true;
            ShowPage();
        };
    };
    connect(mouseList_, &QComboBox::currentIndexChanged, this,
            chosen([this](std::size_t i) { choice_.mouseChoice = i; }));
    connect(mediaList_, &QComboBox::currentIndexChanged, this,
            chosen([this](std::size_t i) { choice_.media = i; }));
    connect(functionList_, &QComboBox::currentIndexChanged, this,
            chosen([this](std::size_t i) { choice_.function = i; }));
    macroPage_->Connect();
    connect(macroPage_, &MacroPage::Edited, this, [this] {
        modified_ = true;
        if (PngButton* apply = Button(kApplyKey)) {
            apply->setEnabled(true);
        }
    });
    connect(macroPage_, &MacroPage::RecordingChanged, this, [this](bool recording) {
        // The record button looks pressed while a recording runs.
        if (PngButton* record = Button("FUNC_MACRO_RECORD")) {
            record->SetOverride(recordPressed_, QPixmap(), recording, false);
        }
    });
}

PngButton* AssignmentDialog::Button(std::string_view skinKey) const {
    const auto found = buttons_.find(skinKey);
    return found != buttons_.end() ? found->second : nullptr;
}

void AssignmentDialog::LoadTexts() {
    for (const LabelText& text : kLabelTexts) {
        if (const auto found = labels_.find(text.key); found != labels_.end()) {
            found->second->setText(Text(text.lookupKey));
        }
    }
    if (const auto title = labels_.find(std::string_view("KEY_SETTING")); title != labels_.end()) {
        // The title names the key being edited.
        title->second->setText(
            Text(macroOnly_ ? ui::kIdsKeyboardEditTishi : ui::kIdsKeyboardKeySetting) +
            QStringLiteral(": ") + QString::fromStdString(keys::KeySlotName(slot_, lookup_)));
    }
    setWindowTitle(Text(macroOnly_ ? ui::kIdsKeyboardEditTishi : ui::kIdsKeyboardKeySetting));
    keyBox_->SetPrompts(Text(ui::kIdsKeyCaptureArmed), Text(ui::kIdsKeyCaptureIdle));
    // The captions are written over the pictures, which carry none; the tooltips and
    // accessible names say them too.
    for (const LabelText& caption : kButtonCaptions) {
        if (PngButton* button = Button(caption.key)) {
            const QString text = Text(caption.lookupKey);
            button->setText(text);
            button->SetTooltipText(text, true);
            button->setAccessibleName(text);
        }
    }
    for (const LabelText& tip : kButtonTips) {
        if (PngButton* button = Button(tip.key)) {
            button->SetTooltipText(Text(tip.lookupKey), true);
            button->setAccessibleName(Text(tip.lookupKey));
        }
    }
    if (PngButton* title = Button(kTitleKey)) {
        title->setText(windowTitle());
    }
    // The macro page's own texts, its record button's caption among them.
    macroPage_->LoadTexts();
    FillLists();
    keyboardMode_->setAccessibleName(Text(ui::kIdsMacroKbKey));
    mouseMode_->setAccessibleName(Text(ui::kIdsMacroMouKey));
    keyBox_->setAccessibleName(Text(ui::kIdsKeyboardKeySingle));
}

void AssignmentDialog::ShowPictureSet(PictureSet set) {
    const ui::StatePictureSet& pictures = [set]() -> const ui::StatePictureSet& {
        switch (set) {
            case PictureSet::Macro:
                return ui::kCompositeMacroStatePictures;
            case PictureSet::MacroOnly:
                return kMacroOnlyPictures;
            case PictureSet::Media:
                return kMediaPictures;
            case PictureSet::Function:
                return kFunctionPictures;
            case PictureSet::Key:
                break;
        }
        return ui::kCompositeKeyStatePictures;
    }();
    shownPictures_ = &pictures;
    if (isVisible()) {
        CutPictures();
    }
}

void AssignmentDialog::CutPictures() {
    const ui::StatePictureSet& set = *shownPictures_;
    for (ButtonPictureSource& source : sources_) {
        source.pictures = {std::string(set.normal), std::string(set.hover),
                           std::string(set.pressed), std::string(set.disabled),
                           std::string(set.normal)};
    }
    const std::filesystem::path folder = ui::SkinFolder(programFolder_);
    PngButton* record = Button("FUNC_MACRO_RECORD");
    const auto recordSource = std::find_if(
        sources_.begin(), sources_.end(),
        [record](const ButtonPictureSource& source) { return source.button == record; });
    CutButtonPictures(
        sources_, {}, [&folder](std::string_view name) { return folder / name; },
        [&](std::string_view name, const QPixmap& whole) {
            // The record button looks pressed while a recording runs.
            if (name == set.pressed && recordSource != sources_.end()) {
                recordPressed_ = CutPicture(whole, recordSource->origin, record->size());
            }
        });
    if (record != nullptr) {
        record->SetOverride(recordPressed_, QPixmap(), macroPage_->Recording(), false);
    }
}

void AssignmentDialog::DropPictures() {
    DropButtonPictures(sources_);
    recordPressed_ = QPixmap();
    if (PngButton* record = Button("FUNC_MACRO_RECORD")) {
        record->SetOverride(QPixmap(), QPixmap(), false, false);
    }
    platform::ReturnFreedHeap();
}

void AssignmentDialog::showEvent(QShowEvent* event) {
    BaseDialog::showEvent(event);
    CutPictures();
}

void AssignmentDialog::hideEvent(QHideEvent* event) {
    BaseDialog::hideEvent(event);
    // Hidden, the dialog keeps no picture: it is made again when the dialog next opens.
    DropPictures();
}

void AssignmentDialog::OpenFor(std::size_t slot, bool macroOnly,
                               const app::KeyboardViewSnapshot& snapshot, const QRect& anchor) {
    if (open_) {
        return;
    }
    open_ = true;
    snapshot_ = snapshot;
    slot_ = slot;
    macroOnly_ = macroOnly || keys::IsMacroOnlySlot(slot);
    const keys::KeyEntry entry =
        slot < snapshot_.block.size() ? snapshot_.block[slot] : keys::KeyEntry{};
    choice_ = keys::ChoiceForEntry(entry, slot, snapshot_.macros);

    filling_ = true;
    mouseList_->setCurrentIndex(static_cast<int>(choice_.mouseChoice));
    mediaList_->setCurrentIndex(static_cast<int>(choice_.media));
    functionList_->setCurrentIndex(static_cast<int>(choice_.function));
    filling_ = false;
    // The macro of the key's entry is shown; the first macro for any other entry.
    macroPage_->Open(snapshot_, entry.kind == keys::KeyKind::Macro
                                    ? static_cast<std::uint16_t>(entry.value)
                                    : std::uint16_t{0});
    keyBox_->Arm(false);
    keyBox_->setText(choice_.capturedKey == keys::kNoKey
                         ? QString()
                         : QString::fromStdString(keys::KeyName(choice_.capturedKey, lookup_)));

    for (const char* key : {"CONTROL_KEY", "CONTROL_MEDIA", "CONTROL_FUNCTION", "CONTROL_CLEAR"}) {
        if (PngButton* button = Button(key)) {
            button->setEnabled(!macroOnly_);
        }
    }
    LoadTexts();
    modified_ = false;
    ShowPage();
    Place(anchor);
    open();
    raise();
    activateWindow();
}

void AssignmentDialog::SelectPage(AssignmentPage page) {
    const bool keyPage = page == AssignmentPage::SingleKey;
    const bool already = keyPage ? (choice_.page == AssignmentPage::SingleKey ||
                                    choice_.page == AssignmentPage::Default)
                                 : choice_.page == page;
    if (already) {
        return;
    }
    choice_.page = page;
    modified_ = true;
    ShowPage();
}

void AssignmentDialog::SetMouseMode(bool mouse) {
    if (choice_.mouse != mouse || choice_.page != AssignmentPage::SingleKey) {
        modified_ = true;
    }
    choice_.mouse = mouse;
    choice_.page = AssignmentPage::SingleKey;
    ShowPage();
}

void AssignmentDialog::OnKeyCaptured(keys::KeyCode code) {
    if (choice_.mouse) {
        return;
    }
    choice_.capturedKey = code;
    choice_.page = AssignmentPage::SingleKey;
    keyBox_->setText(QString::fromStdString(keys::KeyName(code, lookup_)));
    modified_ = true;
    ShowPage();
}

void AssignmentDialog::ResetToDefault() {
    if (macroOnly_) {
        return;
    }
    choice_.page = AssignmentPage::Default;
    choice_.mouse = false;
    choice_.capturedKey = keys::kNoKey;
    keyBox_->clear();
    // Unlike a page change, a reset is a change Apply must be able to write.
    modified_ = true;
    ShowPage();
}

void AssignmentDialog::ShowPage() {
    const AssignmentPage page = choice_.page;
    const bool keyPage = page == AssignmentPage::SingleKey || page == AssignmentPage::Default;
    ShowPictureSet(keyPage                         ? PictureSet::Key
                   : page == AssignmentPage::Media ? PictureSet::Media
                   : page == AssignmentPage::Function
                       ? PictureSet::Function
                       : (macroOnly_ ? PictureSet::MacroOnly : PictureSet::Macro));
    const auto show = [this](std::span<const std::string_view> keys, bool on) {
        for (const std::string_view key : keys) {
            if (const auto found = controls_.find(key); found != controls_.end()) {
                found->second->setVisible(on);
            }
            if (PngButton* button = Button(key)) {
                button->setVisible(on);
            }
        }
    };
    show(kKeyPageControls, keyPage);
    show(kMacroPageControls, page == AssignmentPage::Macro);
    show(kMacroPageButtons, page == AssignmentPage::Macro);
    if (page != AssignmentPage::Macro) {
        macroPage_->StopRecording();
    }
    show(kMediaPageControls, page == AssignmentPage::Media);
    show(kFunctionPageControls, page == AssignmentPage::Function);

    keyboardMode_->setChecked(!choice_.mouse);
    mouseMode_->setChecked(choice_.mouse);
    keyBox_->setEnabled(!choice_.mouse);
    mouseList_->setEnabled(choice_.mouse);
    if (PngButton* apply = Button(kApplyKey)) {
        apply->setEnabled(modified_);
    }
}

void AssignmentDialog::Apply() {
    macroPage_->FinishEditing();
    const macros::MacroManager& macros = macroPage_->Manager();
    choice_.macro = macros.ShownIndex();
    if (const macros::MacroRecord* shown = macros.ShownMacro()) {
        choice_.repeatCount = shown->repeatCount;
    }
    auto built = keys::EntryForChoice(choice_, slot_, macros.Macros());
    if (const auto* error = std::get_if<keys::AssignmentError>(&built)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error->message));
        return;
    }
    const keys::KeyEntry entry = std::get<keys::KeyEntry>(built);
    // The dialog goes on from what it just handed over.
    if (slot_ < snapshot_.block.size()) {
        snapshot_.block[slot_] = entry;
    }
    AssignmentEdit edit{snapshot_.profile, slot_, entry, macroPage_->TakeCommit()};
    snapshot_.macros = macroPage_->Manager().Macros();
    modified_ = false;
    ShowPage();
    emit Applied(edit);
}

void AssignmentDialog::FollowImage(const app::KeyboardViewSnapshot& snapshot) {
    if (open_ && snapshot.profile == snapshot_.profile) {
        macroPage_->FollowImage(snapshot);
    }
}

void AssignmentDialog::Finish(bool applied) {
    if (!open_) {
        return;
    }
    open_ = false;
    keyBox_->Arm(false);
    macroPage_->Close();
    modified_ = false;
    done(applied ? QDialog::Accepted : QDialog::Rejected);
    emit Closed();
}

void AssignmentDialog::CloseIfOpen() {
    Finish(false);
}

void AssignmentDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            Finish(false);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter acts on the focused button only; it never closes the dialog by itself.
            event->accept();
            return;
        default:
            BaseDialog::keyPressEvent(event);
    }
}

void AssignmentDialog::Place(const QRect& anchor) {
    const QSize size = this->size();
    QScreen* screen = anchor.isNull() ? nullptr : QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    if (macroOnly_ || anchor.isNull() || area.isNull()) {
        if (!area.isNull()) {
            move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        }
        return;
    }
    // Below and right of the key first, then the other corners.
    const QPoint candidates[] = {
        anchor.bottomRight() + QPoint(1, 1),
        QPoint(anchor.right() + 1, anchor.top() - size.height()),
        QPoint(anchor.left() - size.width(), anchor.bottom() + 1),
        QPoint(anchor.left() - size.width(), anchor.top() - size.height()),
    };
    for (const QPoint& at : candidates) {
        if (area.contains(QRect(at, size))) {
            move(at);
            return;
        }
    }
    move(candidates[0]);
}

}  // namespace qv::gui
