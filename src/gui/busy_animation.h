#pragma once

// The progress image shown while the keyboard service works: it appears 100 ms after the work
// started, shows the ten frames jdt1..jdt10 in turn, one every 50 ms, and goes 100 ms after the
// work ended (counted from its appearance when the work was shorter than that, so that even
// work that had nothing to do shows it).

#include <QObject>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <functional>

class QLabel;

namespace qv::gui {

class BusyAnimation final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kShowDelay{100};
    static constexpr std::chrono::milliseconds kFramePeriod{50};
    static constexpr std::chrono::milliseconds kHideDelay{100};
    static constexpr int kFrameCount = 10;

    // `frame` gives the picture of frame 1..kFrameCount.
    BusyAnimation(QLabel& image, std::function<QPixmap(int frame)> frame,
                  QObject* parent = nullptr);

    void SetBusy(bool busy);

    // 1..kFrameCount while shown, 0 while hidden.
    [[nodiscard]] int FrameShown() const { return frame_; }

private:
    void Show();
    void NextFrame();
    void Hide();

    QLabel& image_;
    std::function<QPixmap(int)> framePicture_;
    QTimer showTimer_;
    QTimer frameTimer_;
    QTimer hideTimer_;
    bool busy_ = false;
    int frame_ = 0;
};

}  // namespace qv::gui
