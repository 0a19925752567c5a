#pragma once

// The base of every skinned window: its look is the background picture of its skin file, its
// shape the non-white part of the mask picture, and it is dragged by its surface since it has no
// caption.

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QString>

#include <functional>

#include "gui/widgets/ini_file_reader.h"

namespace qv::gui {

class BaseDialog : public QDialog {
    Q_OBJECT

public:
    // Called with the picture's path when a SCREEN picture cannot be read. The program cannot
    // show a window without its look, so the default ends the process with exit code 0 and no
    // message; tests and tools install their own.
    using SkinFailureHandler = std::function<void(const QString& picturePath)>;

    BaseDialog(QWidget* parent, QString skinFile, QString skinFolder);
    ~BaseDialog() override;

    // Loads the SCREEN pictures, sizes the window to the background and cuts it to the mask.
    // False when a picture could not be read (after the failure handler returned).
    bool ApplySkin();
    // Sizes the window to the background from the files' headers alone and checks that both
    // SCREEN pictures can be read; the pictures are decoded when the window is first shown.
    // False, after the failure handler returned, when either cannot be read.
    bool SizeFromSkin();

    void SetSkinFailureHandler(SkinFailureHandler handler) { onSkinFailure_ = std::move(handler); }

    [[nodiscard]] const QString& SkinFolder() const { return skinFolder_; }
    [[nodiscard]] bool IsSkinning() const { return skinning_; }
    [[nodiscard]] const QPixmap& Background() const { return background_; }
    // The shape the mask gave; empty when the mask is all white.
    [[nodiscard]] const QRegion& Outline() const { return outline_; }

    // Every pixel that is not exactly white, as a region of one-pixel-high rows.
    [[nodiscard]] static QRegion OutlineFromMask(const QImage& mask);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Drops the background; the next show reads the SCREEN pictures again.
    void FreePictures();

private:
    struct ScreenPictures {
        QString background;
        QString mask;
    };
    // The paths of the SCREEN pictures named by the skin file, read anew.
    ScreenPictures ReadScreenPictures();

    QString skinFile_;
    QString skinFolder_;
    SkinIniFile ini_;
    QPixmap background_;
    QRegion outline_;
    bool skinning_ = false;
    SkinFailureHandler onSkinFailure_;
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace qv::gui
