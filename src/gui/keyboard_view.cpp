#include "gui/keyboard_view.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

#include "gui/widgets/button_face.h"
#include "gui/widgets/png_button.h"

namespace qv::gui {
namespace {

constexpr std::string_view kFnKey = "KEY_FN";
constexpr std::string_view kFlipKeys[] = {"FLIP_0", "FLIP_1", "FLIP_2"};
constexpr std::string_view kBankIndicator = "LOCK_AB";
// G keys 1..5 carry their bank's caption as text over the picture.
constexpr std::size_t kCaptionedGKeys = 5;
// Caption colours that read on the skin's key caps in each state.
const QColor kCaptionNormal(0xdf, 0xe4, 0xec);
const QColor kCaptionPressed(0xff, 0xff, 0xff);
const QColor kCaptionDisabled(0x4c, 0x52, 0x5c);
// A preview colour covers the key's face at half strength, so that its legend still reads.
constexpr int kPreviewAlpha = 128;
// The hatch over keys the keyboard cannot remap: dark enough to see on every key picture.
constexpr int kNotRemappableAlpha = 150;
constexpr qreal kPreviewInset = 2.5;
constexpr qreal kPreviewRadius = 4;

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// D1..D6 as 1..6, or nothing.
std::optional<int> ExtraKeyNumber(std::string_view key) {
    const auto found = std::find(ui::kMainExtraKeyKeys.begin(), ui::kMainExtraKeyKeys.end(), key);
    if (found == ui::kMainExtraKeyKeys.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - ui::kMainExtraKeyKeys.begin()) + 1;
}

bool IsExtraKey(std::string_view key) {
    return ExtraKeyNumber(key).has_value();
}

std::optional<std::size_t> GKeyPosition(std::string_view key) {
    for (int n = 1; n <= ui::kSkinGKeyCount; ++n) {
        if (key == *ui::GKeySkinKey(n)) {
            return static_cast<std::size_t>(n - 1);
        }
    }
    return std::nullopt;
}

}  // namespace

KeyboardView::KeyboardView(QWidget* parent, ui::SkinFile skin, platform::SettingsStore* settings)
    : QWidget(parent), skin_(std::move(skin)), settings_(settings) {
    setObjectName(QStringLiteral("KeyboardView"));
    for (const unsigned code : ui::kMainKeyCodes) {
        mainKeys_[ui::MainKeySkinKey(code)] = static_cast<keys::KeyCode>(code);
    }
    // Until the set-up ends the view lies over the whole window, so that the skin's window
    // coordinates place its buttons.
    if (parent != nullptr) {
        setGeometry(parent->rect());
    }
}

KeyboardView::~KeyboardView() = default;

bool KeyboardView::OwnsSkinKey(std::string_view key) {
    return StartsWith(key, "KEY_") || StartsWith(key, "FUNC_G") || StartsWith(key, "FLIP_") ||
           StartsWith(key, "LOCK_") || key == ui::kLeftArrowKey || key == ui::kRightArrowKey;
}

void KeyboardView::Place(const ui::PlacedControl& placed) {
    auto* button = new PngButton(this);
    const std::string& key = placed.key;
    button->setObjectName(QString::fromStdString(key));
    buttons_[key] = button;
    if (const auto* arrow = std::get_if<ui::ArrowButtonPlacement>(&placed.placement)) {
        button->setGeometry(arrow->geometry.x, arrow->geometry.y, arrow->geometry.width,
                            arrow->geometry.height);
        plans_[key] = {QPoint(arrow->origin.x, arrow->origin.y), NamesOf(arrow->pictures.normal),
                       true};
        button->SetPictureOrigin(arrow->origin.x, arrow->origin.y, false);
        // A picture of the flip direction, not a button.
        button->setEnabled(false);
        return;
    }
    const auto* image = std::get_if<ui::ImageButtonPlacement>(&placed.placement);
    if (image == nullptr) {
        return;
    }
    button->setGeometry(image->geometry.x, image->geometry.y, image->geometry.width,
                        image->geometry.height);
    plans_[key] = {QPoint(image->origin.x, image->origin.y), NamesOf(image->pictures)};
    button->SetPictureOrigin(image->origin.x, image->origin.y, false);
    button->setVisible(image->visible);
    button->setEnabled(image->enabled);

    if (StartsWith(key, "LOCK_")) {
        // Indicators: never clicked; lit by the state they show. Their pictures come with the
        // others.
        indicators_[key] = {};
        button->setEnabled(false);
        ShowIndicator(key, false);
        return;
    }
    if (key == kFlipKeys[0]) {
        button->setEnabled(false);
        return;
    }
    if (key == kFlipKeys[1] || key == kFlipKeys[2]) {
        connect(button, &QAbstractButton::clicked, this, [this] { ToggleFlip(); });
        button->installEventFilter(this);
        return;
    }
    if (const auto position = GKeyPosition(key)) {
        if (*position >= app::kFirstDisabledGKey) {
            button->setEnabled(false);
        }
        if (*position < kCaptionedGKeys) {
            button->SetCaptionFont();
            button->SetTextColours(kCaptionNormal, kCaptionNormal, kCaptionPressed,
                                   kCaptionDisabled);
        }
    }
    connect(button, &QAbstractButton::clicked, this, [this, key] { OnKeyClicked(key); });
    button->SetPaintCallback([this, key](PngButton& keyButton, bool) {
        DrawKeyColour(keyButton, key);
        DrawNotRemappable(keyButton, key);
    });
}

std::vector<ButtonPictureSource> KeyboardView::PictureSources() const {
    std::vector<ButtonPictureSource> sources;
    for (const auto& [key, plan] : plans_) {
        if (!plan.arrow) {
            sources.push_back({buttons_.at(key), plan.origin, plan.pictures});
        }
    }
    return sources;
}

std::vector<std::string> KeyboardView::OwnPictureNames() const {
    std::vector<std::string> names{std::string(ui::kMainStatePictures.normal),
                                   std::string(ui::kMainStatePictures.hover)};
    for (const auto& [key, plan] : plans_) {
        if (plan.arrow) {
            names.push_back(plan.pictures[0]);
        }
    }
    return names;
}

void KeyboardView::CutFrom(std::string_view name, const QPixmap& whole) {
    for (const auto& [key, plan] : plans_) {
        if (plan.arrow) {
            if (plan.pictures[0] == name) {
                CutArrow(key == ui::kLeftArrowKey ? ui::ArrowSide::Left : ui::ArrowSide::Right,
                         whole);
            }
            continue;
        }
        const QSize size = buttons_.at(key)->size();
        const auto indicator = indicators_.find(key);
        if (name == ui::kMainStatePictures.hover) {
            highlights_[key] = CutPicture(whole, plan.origin, size);
            if (indicator != indicators_.end()) {
                indicator->second.lit = highlights_[key];
            }
        }
        if (name == ui::kMainStatePictures.normal && indicator != indicators_.end()) {
            indicator->second.normal = CutPicture(whole, plan.origin, size);
        }
    }
}

void KeyboardView::ShowCuts() {
    for (const auto& [key, plan] : plans_) {
        PngButton* button = buttons_.at(key);
        if (plan.arrow) {
            const ui::ArrowSide side =
                key == ui::kLeftArrowKey ? ui::ArrowSide::Left : ui::ArrowSide::Right;
            const QPixmap& cut = arrowCuts_[side == ui::ArrowSide::Left ? 0 : 1].picture;
            const QPoint origin = button->PictureOrigin();
            button->SetPictures(origin.x(), origin.y(), cut, cut, cut, cut, cut);
            ShowArrow(side);
        } else if (indicators_.contains(key)) {
            ShowIndicator(key, button->IsCheckedLook());
        }
    }
    for (const std::string& key : edited_) {
        ShowEdited(key, true);
    }
}

void KeyboardView::CutArrow(ui::ArrowSide side, const QPixmap& whole) {
    ArrowCut& cut = arrowCuts_[side == ui::ArrowSide::Left ? 0 : 1];
    const PngButton* arrow =
        Button(side == ui::ArrowSide::Left ? ui::kLeftArrowKey : ui::kRightArrowKey);
    QRect area;
    for (const bool flip : {false, true}) {
        const ui::SkinRect origin =
            skin_.Rect(ui::kSkinButtonInfo2Section, ui::ArrowOriginKey(side, flip, 0));
        area |= QRect(QPoint(origin.x, origin.y), arrow->size());
    }
    cut.corner = CutCorner(area.topLeft());
    cut.picture = CutPicture(whole, area.topLeft(), area.size());
}

void KeyboardView::FinishPlacement() {
    QRect bounds;
    for (const auto& [key, button] : buttons_) {
        if (!button->isHidden()) {
            bounds |= button->geometry();
        }
    }
    if (bounds.isEmpty()) {
        return;
    }
    setGeometry(bounds);
    for (const auto& [key, button] : buttons_) {
        button->move(button->pos() - bounds.topLeft());
    }
    ApplyFlip();
}

PngButton* KeyboardView::Button(std::string_view skinKey) const {
    const auto found = buttons_.find(skinKey);
    return found != buttons_.end() ? found->second : nullptr;
}

void KeyboardView::ShowLooks(const app::KeyboardLooks& looks) {
    looks_ = looks;
    const auto showRemappable = [this](PngButton& button, const std::string& key, bool can) {
        const bool was = !notRemappable_.contains(key);
        if (can) {
            notRemappable_.erase(key);
        } else {
            notRemappable_.insert(key);
        }
        if (was != can) {
            button.update();
        }
    };
    for (std::size_t i = 0; i < ui::kMainKeyCodes.size() && i < looks.mainKeys.size(); ++i) {
        const std::string key(ui::MainKeySkinKey(ui::kMainKeyCodes[i]));
        if (PngButton* button = Button(key)) {
            button->SetChecked(looks.mainKeys[i].assigned);
            button->SetTooltipText(QString::fromStdString(looks.mainKeys[i].tooltip), true);
            showRemappable(*button, key, looks.mainKeys[i].remappable);
        }
    }
    for (std::size_t i = 0; i < looks.gKeys.size(); ++i) {
        const std::string key(*ui::GKeySkinKey(static_cast<int>(i) + 1));
        PngButton* button = Button(key);
        if (button == nullptr) {
            continue;
        }
        showRemappable(*button, key, looks.gKeys[i].remappable || !button->isEnabled());
        button->SetChecked(looks.gKeys[i].assigned);
        button->SetTooltipText(QString::fromStdString(looks.gKeys[i].tooltip), true);
        if (i < kCaptionedGKeys) {
            button->setText(QString::fromStdString(looks.bank.captions[i]));
        }
    }
    ShowIndicator(kBankIndicator, looks.bank.bankB);
}

void KeyboardView::ShowIndicator(std::string_view skinKey, bool lit) {
    PngButton* button = Button(skinKey);
    const auto found = indicators_.find(skinKey);
    if (button == nullptr || found == indicators_.end()) {
        return;
    }
    // A disabled button shows its disabled picture: that is the one the state chooses. Without
    // its pictures loaded it shows none, but keeps the state.
    const QPixmap& face = lit ? found->second.lit : found->second.normal;
    const QPoint origin = button->PictureOrigin();
    button->SetPictures(origin.x(), origin.y(), face, face, face, face, face, false);
    // The checked state says the same for whoever asks the button.
    button->SetChecked(lit);
}

void KeyboardView::ApplyFlip() {
    if (settings_ != nullptr) {
        flip_ = app::ReadFlip(*settings_);
    }
    ShowFlip();
}

void KeyboardView::ShowFlip() {
    for (const auto& [key, code] : mainKeys_) {
        if (app::IsFlipKey(code)) {
            if (PngButton* button = Button(key)) {
                button->setEnabled(app::MainKeyEnabled(code, flip_));
            }
        }
    }
    for (const std::string_view key : ui::kMainExtraKeyKeys) {
        if (PngButton* button = Button(key)) {
            button->setEnabled(app::ExtraKeysEnabled(flip_));
        }
    }
    ShowArrow(ui::ArrowSide::Left);
    ShowArrow(ui::ArrowSide::Right);
}

void KeyboardView::ToggleFlip() {
    flip_ = !(settings_ != nullptr ? app::ReadFlip(*settings_) : flip_);
    // A setting that cannot be kept still holds until the program ends.
    if (settings_ != nullptr) {
        (void)app::WriteFlip(*settings_, flip_);
    }
    ShowFlip();
}

void KeyboardView::ShowArrow(ui::ArrowSide side) {
    const std::string_view arrowKey =
        side == ui::ArrowSide::Left ? ui::kLeftArrowKey : ui::kRightArrowKey;
    PngButton* arrow = Button(arrowKey);
    if (arrow == nullptr) {
        return;
    }
    const ui::SkinRect origin =
        skin_.Rect(ui::kSkinButtonInfo2Section, ui::ArrowOriginKey(side, flip_, 0));
    // The arrow's picture is cut to cover both origins, from its corner on.
    const QPoint corner = arrowCuts_[side == ui::ArrowSide::Left ? 0 : 1].corner;
    arrow->SetPictureOrigin(origin.x - corner.x(), origin.y - corner.y());
}

void KeyboardView::MarkEdited(const QString& skinKey, bool on) {
    const std::string key = skinKey.toStdString();
    if (on) {
        edited_.insert(key);
    } else {
        edited_.erase(key);
    }
    ShowEdited(key, on);
}

void KeyboardView::ShowEdited(const std::string& skinKey, bool on) {
    if (PngButton* button = Button(skinKey)) {
        const auto found = highlights_.find(skinKey);
        const QPixmap highlight = found != highlights_.end() ? found->second : QPixmap();
        button->SetOverride(highlight, highlight, on, false);
    }
}

void KeyboardView::RequestMacroKey() {
    const std::string key = *ui::GKeySkinKey(static_cast<int>(app::kMacroOnlyGKey) + 1);
    emit AssignmentRequested(app::GKeySlot(app::kMacroOnlyGKey, looks_.bank.bankB), true,
                             QString::fromStdString(key));
}

std::optional<lighting::ViewKey> KeyboardView::ViewKeyOf(std::string_view skinKey) const {
    if (skinKey == kFnKey) {
        return lighting::ViewKey::FnKey();
    }
    if (const auto position = GKeyPosition(skinKey)) {
        return lighting::ViewKey::G(static_cast<int>(*position) + 1);
    }
    if (const auto number = ExtraKeyNumber(skinKey)) {
        return lighting::ViewKey::D(*number);
    }
    if (const auto found = mainKeys_.find(skinKey); found != mainKeys_.end()) {
        return lighting::ViewKey::Main(found->second);
    }
    return std::nullopt;
}

void KeyboardView::ShowKeyColours(const KeyColourFn& colourOf) {
    for (const auto& [key, button] : buttons_) {
        const std::optional<lighting::ViewKey> viewKey = ViewKeyOf(key);
        if (!viewKey) {
            continue;
        }
        const std::optional<QColor> colour = colourOf(*viewKey);
        const auto shown = keyColours_.find(key);
        const std::optional<QColor> before =
            shown != keyColours_.end() ? std::optional(shown->second) : std::nullopt;
        if (colour == before) {
            continue;
        }
        if (colour) {
            keyColours_[key] = *colour;
        } else {
            keyColours_.erase(shown);
        }
        button->update();
    }
}

std::optional<QColor> KeyboardView::KeyColourShown(std::string_view skinKey) const {
    const auto found = keyColours_.find(skinKey);
    return found != keyColours_.end() ? std::optional(found->second) : std::nullopt;
}

void KeyboardView::DrawKeyColour(PngButton& button, std::string_view skinKey) const {
    const auto found = keyColours_.find(skinKey);
    if (found == keyColours_.end()) {
        return;
    }
    QColor wash = found->second;
    wash.setAlpha(kPreviewAlpha);
    QPainter painter(&button);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(wash);
    painter.drawRoundedRect(
        QRectF(button.rect())
            .adjusted(kPreviewInset, kPreviewInset, -kPreviewInset, -kPreviewInset),
        kPreviewRadius, kPreviewRadius);
}

void KeyboardView::DrawNotRemappable(PngButton& button, std::string_view skinKey) const {
    if (!notRemappable_.contains(skinKey)) {
        return;
    }
    QPainter painter(&button);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(QColor(0, 0, 0, kNotRemappableAlpha), Qt::BDiagPattern));
    painter.drawRect(QRectF(button.rect())
                         .adjusted(kPreviewInset, kPreviewInset, -kPreviewInset, -kPreviewInset));
}

void KeyboardView::ReleasePictures() {
    for (auto& [key, button] : buttons_) {
        const QPoint origin = button->PictureOrigin();
        button->SetPictures(origin.x(), origin.y(), QPixmap(), QPixmap(), QPixmap(), QPixmap(),
                            QPixmap(), false);
    }
    for (auto& [key, indicator] : indicators_) {
        indicator = {};
    }
    highlights_.clear();
    for (const std::string& key : edited_) {
        ShowEdited(key, true);
    }
    for (const ui::ArrowSide side : {ui::ArrowSide::Left, ui::ArrowSide::Right}) {
        arrowCuts_[side == ui::ArrowSide::Left ? 0 : 1] = {};
        ShowArrow(side);
    }
}

void KeyboardView::OnKeyClicked(const std::string& key) {
    if (paintMode_) {
        emit PaintRequested(QString::fromStdString(key));
        return;
    }
    // Fn and the extra keys have no assignment: they only take colours.
    if (key == kFnKey || IsExtraKey(key)) {
        return;
    }
    if (const auto position = GKeyPosition(key)) {
        emit AssignmentRequested(app::GKeySlot(*position, looks_.bank.bankB),
                                 *position == app::kMacroOnlyGKey, QString::fromStdString(key));
        return;
    }
    if (const auto found = mainKeys_.find(key); found != mainKeys_.end()) {
        emit AssignmentRequested(app::MainKeySlot(found->second), false,
                                 QString::fromStdString(key));
    }
}

bool KeyboardView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        if (watched == Button(kFlipKeys[1])) {
            ShowArrow(ui::ArrowSide::Left);
        } else if (watched == Button(kFlipKeys[2])) {
            ShowArrow(ui::ArrowSide::Right);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qv::gui
