#pragma once

// A clickable picture of the lighting panel (the lamp, the direction pair, the multicolour
// switches, the preset colours, the paint tools). Which picture it shows says its state; the
// owner swaps pictures as the state changes. It takes the keyboard focus, shows it with a
// frame, and Enter or Space click it.

#include <QAbstractButton>
#include <QPixmap>

namespace qv::gui {

class PictureButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

    // Drawn to the button's size; a null picture leaves the button empty.
    void SetPicture(const QPixmap& picture);
    [[nodiscard]] const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace qv::gui
