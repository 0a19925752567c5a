#pragma once

// The picture button of the skinned windows. Its five state pictures are pictures of the whole
// window, shared by every button of it; a button shows the part under its picture origin, so a
// skin draws all its buttons in one picture per state.

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <functional>

#include "texts/widget_rules.h"

namespace qv::gui {

class PngButton : public QAbstractButton {
    Q_OBJECT

public:
    // Called after every paint, with whether the normal picture was the one shown (owners lay
    // their own marks over a button in its resting look).
    using PaintCallback = std::function<void(PngButton& button, bool usedNormal)>;

    // Left, top, right and bottom adjustments of the caption's rectangle.
    struct TextOffsets {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    static constexpr const char* kDefaultFontFace = "Tahoma Unicode MS";
    static constexpr int kDefaultFontPoints = 8;

    explicit PngButton(QWidget* parent = nullptr);
    ~PngButton() override;

    void SetPictures(int x, int y, const QPixmap& normal, const QPixmap& hover,
                     const QPixmap& pressed, const QPixmap& disabled, const QPixmap& checked,
                     bool redraw = true);
    void SetPictureOrigin(int x, int y, bool redraw = true);
    // While `on`, the first picture (or the second with `useSecond`) stands in for the pressed,
    // hover, checked and normal looks; a disabled button still looks disabled.
    void SetOverride(const QPixmap& first, const QPixmap& second, bool on, bool useSecond,
                     bool redraw = true);
    void SetChecked(bool on, bool redraw = true);
    void SetOutline(const QColor& colour, int percent, bool on);
    // An empty text is ignored, so a missing translation never wipes a tooltip set before.
    void SetTooltipText(const QString& text, bool activate);
    void SetPaintCallback(PaintCallback callback) { paintCallback_ = std::move(callback); }

    void SetTextColours(const QColor& normal, const QColor& hoverOrChecked, const QColor& pressed,
                        const QColor& disabled);
    // Turns caption drawing on. `escapement` is the caption's angle in tenths of a degree,
    // counter-clockwise; `flags` are Qt::AlignmentFlag and Qt::TextFlag values.
    void SetCaptionFont(const QString& face = QString::fromLatin1(kDefaultFontFace),
                        int pointSize = kDefaultFontPoints, int escapement = 0,
                        int flags = Qt::AlignCenter | Qt::TextSingleLine);
    void SetTextOffsets(TextOffsets offsets);

    [[nodiscard]] qv::ui::ButtonLook CurrentLook() const;
    [[nodiscard]] bool IsHover() const { return hover_; }
    [[nodiscard]] bool IsCheckedLook() const { return checked_; }
    [[nodiscard]] QPoint PictureOrigin() const { return origin_; }
    // Whether the button holds a picture of its normal look.
    [[nodiscard]] bool HasPicture() const { return !normal_.isNull(); }
    [[nodiscard]] bool OutlineOn() const { return outlineOn_; }
    [[nodiscard]] int OutlinePercent() const { return outlinePercent_; }
    [[nodiscard]] const qv::ui::TooltipState& Tooltip() const { return tooltip_; }
    [[nodiscard]] const QString& TooltipText() const { return tooltipText_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnHover();
    void ShowTooltip(const QPoint& globalPos);
    [[nodiscard]] const QPixmap& PictureFor(qv::ui::ButtonPicture picture) const;
    [[nodiscard]] QColor ColourFor(qv::ui::ButtonTextColour colour) const;
    void DrawCaption(QPainter& painter, const QColor& colour);

    QPixmap normal_;
    QPixmap hoverPicture_;
    QPixmap pressed_;
    QPixmap disabled_;
    QPixmap checkedPicture_;
    QPixmap override_;
    QPixmap secondOverride_;
    QPoint origin_;
    bool overrideOn_ = false;
    bool useSecondOverride_ = false;

    bool hover_ = false;
    // A hover is taken once per visit; a new one needs the mouse to move again.
    bool tracking_ = false;
    bool checked_ = false;

    QColor textNormal_ = Qt::black;
    QColor textHover_ = Qt::black;
    QColor textPressed_ = Qt::black;
    QColor textDisabled_ = Qt::gray;
    bool captionOn_ = false;
    QString fontFace_ = QString::fromLatin1(kDefaultFontFace);
    int fontPoints_ = kDefaultFontPoints;
    int escapement_ = 0;
    int textFlags_ = Qt::AlignCenter | Qt::TextSingleLine;
    TextOffsets offsets_;

    bool outlineOn_ = false;
    QColor outlineColour_;
    int outlinePercent_ = 0;

    PaintCallback paintCallback_;
    qv::ui::TooltipState tooltip_;
    QString tooltipText_;
    QTimer tooltipTimer_;
};

}  // namespace qv::gui
