#pragma once

// A slider of the lighting panel drawn with one skin picture per position (the picture shows
// the knob where it is). The arrow keys, Home, End and the wheel step it; a click or a drag
// puts it at the position nearest the pointer. Every position it passes is a value change.

#include <QPixmap>
#include <QSlider>

#include <vector>

namespace qv::gui {

class PictureSlider final : public QSlider {
    Q_OBJECT

public:
    // The positions are 0..`maximum`.
    explicit PictureSlider(int maximum, QWidget* parent = nullptr);

    // Picture i is shown at position i; a missing one leaves the slider empty there.
    void SetPictures(std::vector<QPixmap> pictures);

    // The skin's slider pictures run their track this far in from either end.
    static constexpr int kTrackInset = 10;
    // The position a pointer at `x` (in the slider) points at.
    [[nodiscard]] int PositionAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<QPixmap> pictures_;
    bool dragging_ = false;
};

}  // namespace qv::gui
