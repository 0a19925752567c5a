#pragma once

// The colour button of the lighting panel: its face shows the current colour, a click opens a
// palette of swatches with an "other" button for any colour.

#include <QAbstractButton>
#include <QColor>
#include <QFrame>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

namespace qv::gui {

class SkinColorButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kPaletteColumns = 10;
    static constexpr int kPaletteRows = 4;
    using Palette = std::array<QColor, kPaletteColumns * kPaletteRows>;

    // Asked for a colour beyond the palette, starting from the current one; an invalid colour
    // means the user gave up. The default asks with the platform's colour dialog.
    using OtherColourChooser = std::function<QColor(const QColor& current, QWidget* parent)>;

    explicit SkinColorButton(QWidget* parent = nullptr);
    ~SkinColorButton() override;

    // An invalid colour stands for "automatic": the face then shows the automatic colour.
    void SetColour(const QColor& colour);
    [[nodiscard]] QColor Colour() const { return colour_; }
    void SetAutomaticColour(const QColor& colour);
    // The colour the face is filled with.
    [[nodiscard]] QColor FaceColour() const { return colour_.isValid() ? colour_ : automatic_; }

    void SetOtherColourChooser(OtherColourChooser chooser) { chooseOther_ = std::move(chooser); }

    // The swatch part of a face of this size: from the left edge to half the width plus 5.
    [[nodiscard]] static QRect FaceRect(QSize size);
    [[nodiscard]] static const Palette& PaletteColours();

    // The palette pop-up while it is open, else null.
    [[nodiscard]] QFrame* PalettePopup() const { return popup_; }

public slots:
    void OpenPalette();

signals:
    void ColourChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Choose(const QColor& colour);
    void ChooseOther();

    QColor colour_;
    QColor automatic_ = Qt::black;
    QString otherText_ = QStringLiteral("Other...");
    OtherColourChooser chooseOther_;
    QPointer<QFrame> popup_;
};

}  // namespace qv::gui
