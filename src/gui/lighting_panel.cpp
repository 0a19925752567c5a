#include "gui/lighting_panel.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <vector>

#include "gui/picture_button.h"
#include "gui/picture_slider.h"
#include "gui/widgets/skin_color_button.h"
#include "lighting/lighting_preview.h"
#include "lighting/mode_catalogue.h"
#include "lighting/panel_controls.h"
#include "lighting/user_colour_file.h"
#include "texts/lookup_keys.h"
#include "texts/mode_names.h"
#include "texts/user_text.h"

namespace qv::gui {
namespace {

using lighting::LightingPanelModel;

// Which of the panel's visibility groups a control belongs to.
enum class Group {
    Always,  // the lamp and its caption
    ModeCombo,
    Brightness,
    Speed,
    Direction,
    SingleColourB,
    SingleColourA,
    Presets,
    Schemes,
};

enum class Kind { Label, Picture, Slider, ModeCombo, SchemeCombo, ColourPicker };

struct ControlSpec {
    std::string_view key;
    Kind kind;
    Group group;
    std::string_view caption;  // a lookup key: the label's text, or the control's name
};

// The skin's lighting controls this panel has a use for; the skin places others (number
// fields, colour wells, further colour groups) that nothing in this tool reads.
constexpr std::array kControls = std::to_array<ControlSpec>({
    {"CONTROL_DengStatic", Kind::Label, Group::Always, ui::kIdsKeyboardFuncDeng},
    {"CONTROL_DengStaPic", Kind::Picture, Group::Always, ui::kIdsKeyboardFuncDeng},
    {"CONTROL_XGcombox", Kind::ModeCombo, Group::ModeCombo, ui::kIdsKeyboardFuncDeng},
    {"CONTROL_LightStatic", Kind::Label, Group::Brightness, ui::kIdsKeyboardFuncTextLight},
    {"CONTROL_LightSlider", Kind::Slider, Group::Brightness, ui::kIdsKeyboardFuncTextLight},
    {"CONTROL_SpeedStatic", Kind::Label, Group::Speed, ui::kIdsKeyboardFuncSpeed},
    {"CONTROL_SpeedSlider", Kind::Slider, Group::Speed, ui::kIdsKeyboardFuncSpeed},
    {"CONTROL_BLFXStatic", Kind::Label, Group::Direction, ui::kIdsKeyboardFuncFx},
    {"CONTROL_BLFXLStaPic", Kind::Picture, Group::Direction, ui::kIdsKeyboardFuncFx},
    {"CONTROL_BLFXRStaPic", Kind::Picture, Group::Direction, ui::kIdsKeyboardFuncFx},
    {"CONTROL_HXysStatic", Kind::Label, Group::SingleColourB, ui::kIdsKeyboardFuncColor},
    {"CONTROL_HXysButton", Kind::ColourPicker, Group::SingleColourB, ui::kIdsKeyboardFuncColor},
    {"CONTROL_HXsjsStatic", Kind::Label, Group::SingleColourB, ui::kIdsKeyboardFuncColourful},
    {"CONTROL_HXsjsStaPic", Kind::Picture, Group::SingleColourB, ui::kIdsKeyboardFuncColourful},
    {"CONTROL_FYYSStatic", Kind::Label, Group::SingleColourA, ui::kIdsKeyboardFuncColor},
    {"CONTROL_FYYSButton", Kind::ColourPicker, Group::SingleColourA, ui::kIdsKeyboardFuncColor},
    {"CONTROL_FYSJSStatic", Kind::Label, Group::SingleColourA, ui::kIdsKeyboardFuncColourful},
    {"CONTROL_FYSJSStaPic", Kind::Picture, Group::SingleColourA, ui::kIdsKeyboardFuncColourful},
    {"CONTROL_HONGPIC", Kind::Picture, Group::Presets, ui::kIdsKeyboardFuncColor},
    {"CONTROL_HUANGPIC", Kind::Picture, Group::Presets, ui::kIdsKeyboardFuncColor},
    {"CONTROL_LVPIC", Kind::Picture, Group::Presets, ui::kIdsKeyboardFuncColor},
    {"CONTROL_LANPIC", Kind::Picture, Group::Presets, ui::kIdsKeyboardFuncColor},
    {"CONTROL_USERysStatic", Kind::Label, Group::Schemes, ui::kIdsKeyboardFuncColor},
    {"CONTROL_USERysButton", Kind::ColourPicker, Group::Schemes, ui::kIdsKeyboardFuncColor},
    {"CONTROL_USERjsStatic", Kind::Label, Group::Schemes, ui::kIdsKeyboardFuncJColor},
    {"CONTROL_USERjsButton", Kind::ColourPicker, Group::Schemes, ui::kIdsKeyboardFuncJColor},
    {"CONTROL_USERgjStatic", Kind::Label, Group::Schemes, ui::kIdsKeyboardFuncTool},
    {"CONTROL_USERgjStaPic1", Kind::Picture, Group::Schemes, ui::kIdsKeyboardFuncTool},
    {"CONTROL_USERgjStaPic2", Kind::Picture, Group::Schemes, ui::kIdsKeyboardFuncTool},
    {"CONTROL_umCombo", Kind::SchemeCombo, Group::Schemes, ui::kIdsKeyboardFuncColor},
});

constexpr std::string_view kLamp = "CONTROL_DengStaPic";
constexpr std::string_view kModeCombo = "CONTROL_XGcombox";
constexpr std::string_view kBrightness = "CONTROL_LightSlider";
constexpr std::string_view kSpeed = "CONTROL_SpeedSlider";
constexpr std::string_view kDirectionCaption = "CONTROL_BLFXStatic";
constexpr std::string_view kFirstDirection = "CONTROL_BLFXLStaPic";
constexpr std::string_view kSecondDirection = "CONTROL_BLFXRStaPic";
constexpr std::string_view kColourB = "CONTROL_HXysButton";
constexpr std::string_view kMulticolourB = "CONTROL_HXsjsStaPic";
constexpr std::string_view kColourA = "CONTROL_FYYSButton";
constexpr std::string_view kMulticolourA = "CONTROL_FYSJSStaPic";
constexpr std::string_view kKeyColour = "CONTROL_USERysButton";
constexpr std::string_view kBaseColour = "CONTROL_USERjsButton";
constexpr std::array<std::string_view, 2> kTools = {"CONTROL_USERgjStaPic1",
                                                    "CONTROL_USERgjStaPic2"};
constexpr std::string_view kSchemeCombo = "CONTROL_umCombo";

struct PresetPictures {
    std::string_view key;
    std::string_view plain;
    std::string_view selected;
};
constexpr std::array<PresetPictures, LightingPanelModel::kPresetCount> kPresets{{
    {"CONTROL_HONGPIC", "hong.bmp", "hongok.bmp"},
    {"CONTROL_HUANGPIC", "huang.bmp", "huangok.bmp"},
    {"CONTROL_LVPIC", "lv.bmp", "lvok.bmp"},
    {"CONTROL_LANPIC", "lan.bmp", "lanok.bmp"},
}};

struct TwoPictures {
    std::string_view off;
    std::string_view on;
};
constexpr TwoPictures kLampPictures{"dengup.bmp", "dengdown.bmp"};
constexpr TwoPictures kMulticolourPictures{"sjsup.bmp", "sjsdown.bmp"};
constexpr std::array<TwoPictures, 2> kToolPictures{
    {{"user1up.bmp", "user1down.bmp"}, {"user2up.bmp", "user2down.bmp"}}};
constexpr std::array<std::string_view, 12> kDirectionPictures{
    "leftup.bmp", "leftdown.bmp", "rightup.bmp", "rightdown.bmp",  "upup.bmp",   "updown.bmp",
    "downup.bmp", "downdown.bmp", "kuosan.bmp",  "kuosandown.bmp", "julong.bmp", "julongdown.bmp"};
// Slider pictures: brightness n shows n.bmp, speed position n shows (5 + n).bmp.
constexpr int kSpeedPictureBase = LightingPanelModel::kMaxLevel + 1;

// The captions' colour is their palette's, which the style sheet leaves alone.
const QColor kCaptionColour(0xc9, 0xd0, 0xdb);
constexpr const char* kPanelStyle =
    "QComboBox { background: #1b1e24; color: #e8ecf2; border: 1px solid #3d4450;"
    "  border-radius: 3px; padding: 1px 6px; }"
    "QComboBox:focus { border: 2px solid #19c3b3; }"
    "QComboBox QLineEdit { background: transparent; color: #e8ecf2; border: none; }"
    "QComboBox QAbstractItemView { background: #1b1e24; color: #e8ecf2;"
    "  selection-background-color: #15917f; selection-color: #ffffff; }";

QColor ToQColor(lighting::Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

lighting::Colour FromQColor(const QColor& colour) {
    return static_cast<lighting::Colour>(colour.red()) |
           static_cast<lighting::Colour>(colour.green()) << 8 |
           static_cast<lighting::Colour>(colour.blue()) << 16;
}

bool Shown(Group group, const lighting::PanelVisibility& visible) {
    switch (group) {
        case Group::Always:
            return true;
        case Group::ModeCombo:
            return visible.modeCombo;
        case Group::Brightness:
            return visible.brightness;
        case Group::Speed:
            return visible.speed;
        case Group::Direction:
            return visible.direction;
        case Group::SingleColourB:
            return visible.singleColourGroupB;
        case Group::SingleColourA:
            return visible.singleColourGroupA;
        case Group::Presets:
            return visible.presetColours;
        case Group::Schemes:
            return visible.schemes;
    }
    return false;
}

const ControlSpec* SpecOf(std::string_view key) {
    const auto spec = std::find_if(kControls.begin(), kControls.end(),
                                   [key](const ControlSpec& c) { return c.key == key; });
    return spec != kControls.end() ? &*spec : nullptr;
}

lighting::DirectionPair DirectionPairOf(int mode) {
    const auto traits = lighting::CatalogueEntry(mode);
    return traits ? traits->direction : lighting::DirectionPair::None;
}

}  // namespace

LightingPanel::LightingPanel(QWidget* window, std::filesystem::path skinFolder)
    : QWidget(window), skinFolder_(std::move(skinFolder)) {
    setObjectName(QStringLiteral("LightingPanel"));
    // Until the set-up ends the panel lies over the whole window, so that the skin's window
    // coordinates place its controls.
    if (window != nullptr) {
        setGeometry(window->rect());
    }
}

LightingPanel::~LightingPanel() = default;

void LightingPanel::Place(const ui::PlacedControl& placed) {
    if (const auto* control = std::get_if<ui::ControlPlacement>(&placed.placement)) {
        CreateControl(placed.key, control->geometry);
    }
}

void LightingPanel::CreateControl(std::string_view key, const ui::SkinRect& geometry) {
    const ControlSpec* spec = SpecOf(key);
    if (spec == nullptr || PlacedArea(key)) {
        return;
    }
    const QRect area(geometry.x, geometry.y, geometry.width, geometry.height);
    // The lamp shows in the closed panel; the rest waits until the panel first opens.
    if (spec->group == Group::Always) {
        MakeControl(key, area);
    } else {
        planned_.push_back({std::string(key), area});
    }
}

void LightingPanel::MakeControl(std::string_view key, const QRect& geometry) {
    QWidget* widget = nullptr;
    switch (SpecOf(key)->kind) {
        case Kind::Label: {
            auto* label = new QLabel(this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, kCaptionColour);
            label->setPalette(palette);
            widget = label;
            break;
        }
        case Kind::Picture:
            widget = new PictureButton(this);
            break;
        case Kind::Slider:
            widget = new PictureSlider(LightingPanelModel::kMaxLevel, this);
            break;
        case Kind::ModeCombo: {
            auto* combo = new QComboBox(this);
            // The arrow keys would step through the modes, writing each one on the way.
            combo->installEventFilter(this);
            widget = combo;
            break;
        }
        case Kind::SchemeCombo: {
            auto* combo = new QComboBox(this);
            combo->setEditable(true);
            // The edit text renames the scheme in use; Enter must not add an entry.
            combo->setInsertPolicy(QComboBox::NoInsert);
            // Qt counts UTF-16 units, as the name's limit does.
            combo->lineEdit()->setMaxLength(static_cast<int>(lighting::kMaxSchemeNameLength));
            widget = combo;
            break;
        }
        case Kind::ColourPicker:
            widget = new SkinColorButton(this);
            break;
    }
    widget->setObjectName(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    widget->setGeometry(geometry);
    widget->hide();
    controls_.emplace(std::string(key), widget);
}

void LightingPanel::BuildControls() {
    if (built_) {
        return;
    }
    built_ = true;
    setStyleSheet(QString::fromLatin1(kPanelStyle));
    for (const PlannedControl& planned : planned_) {
        MakeControl(planned.key, planned.geometry);
    }
    planned_.clear();

    // Every picture once; a missing file leaves that picture empty.
    std::vector<std::string_view> names;
    for (const TwoPictures& pair : {kMulticolourPictures, kToolPictures[0], kToolPictures[1]}) {
        names.push_back(pair.off);
        names.push_back(pair.on);
    }
    for (const PresetPictures& preset : kPresets) {
        names.push_back(preset.plain);
        names.push_back(preset.selected);
    }
    names.insert(names.end(), kDirectionPictures.begin(), kDirectionPictures.end());
    std::vector<std::string> levels;
    for (int n = 0; n < kSpeedPictureBase * 2; ++n) {
        levels.push_back(std::to_string(n) + ".bmp");
    }
    names.insert(names.end(), levels.begin(), levels.end());
    LoadPictures(names);
    std::vector<QPixmap> brightness;
    std::vector<QPixmap> speed;
    for (int n = 0; n < kSpeedPictureBase; ++n) {
        brightness.push_back(Picture(levels[static_cast<std::size_t>(n)]));
        speed.push_back(Picture(levels[static_cast<std::size_t>(kSpeedPictureBase + n)]));
    }
    if (auto* slider = Find<PictureSlider>(kBrightness)) {
        slider->SetPictures(std::move(brightness));
    }
    if (auto* slider = Find<PictureSlider>(kSpeed)) {
        slider->SetPictures(std::move(speed));
    }
    ConnectControls();
    LoadTexts();
    emit ControlsBuilt();
}

void LightingPanel::LoadPictures(std::span<const std::string_view> names) {
    const QDir folder(QString::fromStdString(skinFolder_.string()));
    for (const std::string_view name : names) {
        pictures_[std::string(name)] = QPixmap(
            folder.filePath(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
    }
}

template <typename Widget>
Widget* LightingPanel::Find(std::string_view key) const {
    const auto found = controls_.find(key);
    return found != controls_.end() ? qobject_cast<Widget*>(found->second) : nullptr;
}

QWidget* LightingPanel::Control(std::string_view skinKey) {
    if (!built_) {
        BuildControls();
        ShowAll();
    }
    return Find<QWidget>(skinKey);
}

QPixmap LightingPanel::Picture(std::string_view name) const {
    const auto found = pictures_.find(name);
    return found != pictures_.end() ? found->second : QPixmap();
}

void LightingPanel::FinishPlacement(const ui::SkinFile& skin, const ui::TextLookup& lookup) {
    skin_ = skin;
    lookup_ = &lookup;

    LoadPictures(std::array{kLampPictures.off, kLampPictures.on});

    // The panel then covers its controls alone, wherever the direction group may move to.
    QRect bounds;
    for (const auto& [key, widget] : controls_) {
        bounds |= widget->geometry();
    }
    for (const PlannedControl& planned : planned_) {
        bounds |= planned.geometry;
    }
    for (const lighting::DirectionPair pair :
         {lighting::DirectionPair::LeftRight, lighting::DirectionPair::UpDown,
          lighting::DirectionPair::SpreadGather}) {
        const lighting::DirectionPlacement placement = lighting::DirectionPlacementFor(pair);
        for (const auto& [control, key] : {std::pair{kDirectionCaption, placement.caption},
                                           std::pair{kFirstDirection, placement.first},
                                           std::pair{kSecondDirection, placement.second}}) {
            if (const std::optional<QRect> area = PlacedArea(control)) {
                const ui::MovePlacement moved =
                    ui::MoveControl(skin_, ui::kSkinButtonInfoSection, key);
                bounds |= QRect(QPoint(moved.position.x, moved.position.y), area->size());
            }
        }
    }
    if (!bounds.isEmpty()) {
        setGeometry(bounds);
        for (const auto& [key, widget] : controls_) {
            widget->move(widget->pos() - bounds.topLeft());
        }
        for (PlannedControl& planned : planned_) {
            planned.geometry.translate(-bounds.topLeft());
        }
    }
    if (auto* lamp = Find<PictureButton>(kLamp)) {
        connect(lamp, &QAbstractButton::clicked, this, &LightingPanel::ToggleLamp);
    }
    LoadTexts();
    ShowAll();
}

void LightingPanel::LoadTexts() {
    if (lookup_ == nullptr) {
        return;
    }
    for (const ControlSpec& spec : kControls) {
        QWidget* widget = Find<QWidget>(spec.key);
        if (widget == nullptr) {
            continue;
        }
        const QString text = QString::fromStdString(ui::LookupUserText(*lookup_, spec.caption));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(text);
        } else {
            widget->setAccessibleName(text);
            widget->setToolTip(text);
        }
    }
    ShowModes();
}

std::optional<QRect> LightingPanel::PlacedArea(std::string_view key) const {
    if (const QWidget* widget = Find<QWidget>(key)) {
        return widget->geometry();
    }
    const auto planned = std::find_if(planned_.begin(), planned_.end(),
                                      [key](const PlannedControl& p) { return p.key == key; });
    return planned != planned_.end() ? std::optional(planned->geometry) : std::nullopt;
}

void LightingPanel::ConnectControls() {
    if (auto* combo = Find<QComboBox>(kModeCombo)) {
        connect(combo, &QComboBox::activated, this, &LightingPanel::OnModeChosen);
    }
    if (auto* slider = Find<PictureSlider>(kBrightness)) {
        connect(slider, &QSlider::valueChanged, this,
                [this](int value) { Send(lighting::LightingChange::Control::Brightness, value); });
    }
    if (auto* slider = Find<PictureSlider>(kSpeed)) {
        connect(slider, &QSlider::valueChanged, this, [this](int position) {
            Send(lighting::LightingChange::Control::Speed,
                 LightingPanelModel::kMaxLevel - position);
        });
    }
    const std::pair<std::string_view, std::uint8_t> directions[] = {
        {kFirstDirection, lighting::kDirectionFirst},
        {kSecondDirection, lighting::kDirectionSecond}};
    for (const auto& [key, direction] : directions) {
        if (auto* button = Find<PictureButton>(key)) {
            connect(button, &QAbstractButton::clicked, this, [this, direction] {
                Send(lighting::LightingChange::Control::Direction, direction);
            });
        }
    }
    for (const std::string_view key : {kColourA, kColourB}) {
        if (auto* picker = Find<SkinColorButton>(key)) {
            connect(picker, &SkinColorButton::ColourChanged, this, &LightingPanel::OnColourChosen);
        }
    }
    for (const std::string_view key : {kMulticolourA, kMulticolourB}) {
        if (auto* toggle = Find<PictureButton>(key)) {
            connect(toggle, &QAbstractButton::clicked, this, [this] {
                Send(lighting::LightingChange::Control::Multicolour,
                     lighting::LightingChange::kToggle);
            });
        }
    }
    for (int preset = 0; preset < LightingPanelModel::kPresetCount; ++preset) {
        if (auto* button = Find<PictureButton>(kPresets[static_cast<std::size_t>(preset)].key)) {
            connect(button, &QAbstractButton::clicked, this, [this, preset] {
                Send(lighting::LightingChange::Control::PresetColour, preset);
            });
        }
    }
    for (int tool = 0; tool < static_cast<int>(kTools.size()); ++tool) {
        if (auto* button = Find<PictureButton>(kTools[static_cast<std::size_t>(tool)])) {
            connect(button, &QAbstractButton::clicked, this, [this, tool] { OnPaintTool(tool); });
        }
    }
    if (auto* picker = Find<SkinColorButton>(kKeyColour)) {
        connect(picker, &SkinColorButton::ColourChanged, this, &LightingPanel::OnKeyColour);
    }
    if (auto* picker = Find<SkinColorButton>(kBaseColour)) {
        connect(picker, &SkinColorButton::ColourChanged, this, &LightingPanel::OnBaseColour);
    }
    if (auto* combo = Find<QComboBox>(kSchemeCombo)) {
        connect(combo, &QComboBox::activated, this, &LightingPanel::OnSchemeChosen);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, &LightingPanel::OnSchemeRenamed);
    }
}

// ---- What the keyboard holds ----------------------------------------------------------------

void LightingPanel::ShowKeyboardLighting(const service::LightingSnapshot& snapshot) {
    const bool wasOpen = IsOpen();
    const bool modesChanged =
        snapshot.mirror.settings.ModeList().size() != shown_.mirror.settings.ModeList().size() ||
        !std::ranges::equal(snapshot.mirror.settings.ModeList(),
                            shown_.mirror.settings.ModeList()) ||
        snapshot.reads != shown_.reads;
    shown_ = snapshot;
    if (Model().PerKeyModeSupported()) {
        ReportColourFileProblem();
    }
    if (modesChanged) {
        ShowModes();
    }
    ShowAll();
    if (IsOpen() != wasOpen) {
        emit OpenChanged(IsOpen());
    }
    emit PreviewChanged();
}

// ---- Lamp, painting -----------------------------------------------------------------------

void LightingPanel::OpenPanel() {
    if (!IsOpen()) {
        emit LampRequested(true);
    }
}

void LightingPanel::ClosePanel() {
    if (IsOpen()) {
        emit LampRequested(false);
    }
}

void LightingPanel::ToggleLamp() {
    emit LampRequested(!IsOpen());
}

void LightingPanel::PaintKey(lighting::ViewKey key) {
    if (Model().PerKeyModeSelected()) {
        Send(lighting::ColourChange::Of(lighting::ColourChange::Kind::PaintKey).WithKey(key));
    }
}

std::optional<QColor> LightingPanel::PreviewOf(lighting::ViewKey key) const {
    const std::optional<lighting::Colour> colour = lighting::PreviewColour(
        {Model().State(), Colours().Page(Model().CurrentProfile()), Model().IsOpen()}, key);
    return colour ? std::optional(ToQColor(*colour)) : std::nullopt;
}

// ---- Control changes ----------------------------------------------------------------------

void LightingPanel::Send(lighting::LightingChange::Control control, int value) {
    emit LightingChangeRequested(Model().CurrentProfile(), {control, value});
}

void LightingPanel::Send(lighting::ColourChange change) {
    change.profile = Model().CurrentProfile();
    emit ColourChangeRequested(change);
}

void LightingPanel::OnModeChosen(int position) {
    const int mode = Model().Modes().ModeAtPosition(position);
    if (mode != 0) {
        Send(lighting::LightingChange::Control::Mode, mode);
    }
}

void LightingPanel::OnColourChosen(const QColor& colour) {
    Send(lighting::LightingChange::Control::SingleColour, static_cast<int>(FromQColor(colour)));
}

void LightingPanel::OnSchemeChosen(int scheme) {
    Send(lighting::ColourChange::Of(lighting::ColourChange::Kind::SelectScheme).WithValue(scheme));
}

void LightingPanel::OnSchemeRenamed(const QString& name) {
    Send(lighting::ColourChange::Of(lighting::ColourChange::Kind::RenameScheme)
             .WithName(name.toStdString()));
    auto* combo = Find<QComboBox>(kSchemeCombo);
    if (combo != nullptr && combo->currentIndex() >= 0) {
        // The list keeps the new name; the edit text stays as typed.
        const QSignalBlocker blocker(combo);
        const int at = combo->currentIndex();
        const int cursor = combo->lineEdit()->cursorPosition();
        combo->setItemText(at, name);
        combo->lineEdit()->setText(name);
        combo->lineEdit()->setCursorPosition(cursor);
    }
}

void LightingPanel::OnPaintTool(int tool) {
    Send(lighting::ColourChange::Of(lighting::ColourChange::Kind::PaintTool).WithValue(tool));
}

void LightingPanel::OnKeyColour(const QColor& colour) {
    Send(lighting::ColourChange::Of(lighting::ColourChange::Kind::KeyColour)
             .WithColour(FromQColor(colour)));
}

void LightingPanel::OnBaseColour(const QColor& colour) {
    Send(lighting::ColourChange::Of(lighting::ColourChange::Kind::BaseColour)
             .WithColour(FromQColor(colour)));
}

void LightingPanel::ReportColourFileProblem() {
    const std::optional<std::string>& problem = Colours().Problem();
    if (problem == problemShown_) {
        return;
    }
    problemShown_ = problem;
    if (problem) {
        emit ColourFileProblem(QString::fromStdString(*problem));
    }
}

// ---- What the controls show ---------------------------------------------------------------

void LightingPanel::ShowAll() {
    if (IsOpen()) {
        BuildControls();
    }
    ShowModeSelection();
    ShowValues();
    ShowDirection();
    ShowSchemeControls();
    ShowVisibility();
}

void LightingPanel::ShowModes() {
    auto* combo = Find<QComboBox>(kModeCombo);
    if (combo == nullptr || lookup_ == nullptr) {
        return;
    }
    const QSignalBlocker blocker(combo);
    combo->clear();
    const lighting::ModeIndexTable& modes = Model().Modes();
    for (int position = 0; position < modes.size(); ++position) {
        combo->addItem(
            QString::fromStdString(ui::ModeName(*lookup_, modes.ModeAtPosition(position))));
    }
    ShowModeSelection();
}

void LightingPanel::ShowModeSelection() {
    if (auto* combo = Find<QComboBox>(kModeCombo)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(Model().SelectedPosition());
    }
}

void LightingPanel::ShowValues() {
    const lighting::LightingState& state = Model().State();
    if (auto* lamp = Find<PictureButton>(kLamp)) {
        lamp->SetPicture(Picture(IsOpen() ? kLampPictures.on : kLampPictures.off));
    }
    // A slider being dragged shows where the pointer is; what the service publishes meanwhile
    // lags behind it.
    if (auto* slider = Find<PictureSlider>(kBrightness); slider && !slider->isSliderDown()) {
        const QSignalBlocker blocker(slider);
        slider->setValue(std::clamp(state.brightness, 0, LightingPanelModel::kMaxLevel));
    }
    if (auto* slider = Find<PictureSlider>(kSpeed); slider && !slider->isSliderDown()) {
        const QSignalBlocker blocker(slider);
        slider->setValue(std::clamp(Model().SpeedPosition(), 0, LightingPanelModel::kMaxLevel));
    }
    for (const std::string_view key : {kColourA, kColourB}) {
        if (auto* picker = Find<SkinColorButton>(key)) {
            // While multicolour is on the picker holds no colour of its own (it shows the
            // colour as its automatic one), so choosing even the colour shown is a choice:
            // it turns multicolour off.
            picker->SetAutomaticColour(ToQColor(state.colour));
            picker->SetColour(state.multicolour ? QColor() : ToQColor(state.colour));
        }
    }
    for (const std::string_view key : {kMulticolourA, kMulticolourB}) {
        if (auto* toggle = Find<PictureButton>(key)) {
            toggle->SetPicture(
                Picture(state.multicolour ? kMulticolourPictures.on : kMulticolourPictures.off));
        }
    }
    const int preset = Model().ShownPresetColour();
    for (int n = 0; n < LightingPanelModel::kPresetCount; ++n) {
        const PresetPictures& pictures = kPresets[static_cast<std::size_t>(n)];
        if (auto* button = Find<PictureButton>(pictures.key)) {
            button->SetPicture(Picture(n == preset ? pictures.selected : pictures.plain));
        }
    }
}

void LightingPanel::ShowDirection() {
    const lighting::DirectionPair pair = DirectionPairOf(Model().State().mode);
    const lighting::DirectionPictures pictures =
        lighting::DirectionPicturesFor(pair, Model().State().direction);
    auto* first = Find<PictureButton>(kFirstDirection);
    auto* second = Find<PictureButton>(kSecondDirection);
    if (first != nullptr) {
        first->SetPicture(Picture(pictures.first));
    }
    if (second != nullptr) {
        second->SetPicture(Picture(pictures.second));
    }
    // Each pair has its own place in the skin; only the position is taken.
    const lighting::DirectionPlacement placement = lighting::DirectionPlacementFor(pair);
    const std::pair<QWidget*, std::string_view> moves[] = {
        {Find<QWidget>(kDirectionCaption), placement.caption},
        {first, placement.first},
        {second, placement.second}};
    for (const auto& [widget, key] : moves) {
        if (widget != nullptr) {
            const ui::MovePlacement moved = ui::MoveControl(skin_, ui::kSkinButtonInfoSection, key);
            widget->move(QPoint(moved.position.x, moved.position.y) - pos());
        }
    }
}

void LightingPanel::ShowSchemeControls() {
    if (!Model().PerKeyModeSupported()) {
        return;
    }
    ShowSchemeNames();
    const lighting::SchemeTools& tools = Colours().Tools();
    for (int tool = 0; tool < static_cast<int>(kTools.size()); ++tool) {
        if (auto* button = Find<PictureButton>(kTools[static_cast<std::size_t>(tool)])) {
            const TwoPictures& pictures = kToolPictures[static_cast<std::size_t>(tool)];
            button->SetPicture(Picture(tools.paintTool == tool ? pictures.on : pictures.off));
        }
    }
    if (auto* picker = Find<SkinColorButton>(kKeyColour)) {
        picker->SetColour(ToQColor(tools.keyColour));
    }
    if (auto* picker = Find<SkinColorButton>(kBaseColour)) {
        picker->SetColour(ToQColor(tools.baseColour));
    }
}

void LightingPanel::ShowSchemeNames() {
    auto* combo = Find<QComboBox>(kSchemeCombo);
    if (combo == nullptr) {
        return;
    }
    const QSignalBlocker blocker(combo);
    const auto names = Colours().SchemeNames();
    // While a name is being typed, the names published lag behind the edit text.
    const bool typing = combo->lineEdit() != nullptr && combo->lineEdit()->hasFocus();
    for (int scheme = 0; scheme < lighting::kSchemeCount; ++scheme) {
        const QString name = QString::fromStdString(names[static_cast<std::size_t>(scheme)]);
        if (typing && scheme == combo->currentIndex()) {
            continue;
        }
        if (scheme < combo->count()) {
            combo->setItemText(scheme, name);
        } else {
            combo->addItem(name);
        }
    }
    if (combo->currentIndex() != Colours().CurrentScheme()) {
        combo->setCurrentIndex(Colours().CurrentScheme());
    }
}

void LightingPanel::ShowVisibility() {
    const lighting::PanelVisibility visible = Model().Visibility();
    for (const ControlSpec& spec : kControls) {
        if (QWidget* widget = Find<QWidget>(spec.key)) {
            widget->setVisible(Shown(spec.group, visible));
        }
    }
}

bool LightingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == Find<QWidget>(kModeCombo)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool stepping = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                              key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown ||
                              key->key() == Qt::Key_Home || key->key() == Qt::Key_End;
        // Alt with an arrow opens the list, from which a mode is chosen with Enter.
        if (stepping && (key->modifiers() & Qt::AltModifier) == 0) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qv::gui
