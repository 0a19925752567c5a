#pragma once

// What a recording takes from the desktop: the key and mouse events the dialog's window
// receives while it runs, handed to the recorder as they arrive. Keys go by their native scan
// code and are swallowed when recorded (the dialog never acts on them, Escape and Tab
// included); the left, right and middle mouse buttons go as Qt reports them and always pass
// on. Both are taken where they reach the window, once each, before any of its widgets sees
// them. The focus leaving the window ends the recording: its keys go elsewhere then.

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>

#include "editing/macro_recorder.h"

class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace qv::gui {

class RecordingWatch final : public QObject {
    Q_OBJECT

public:
    // Milliseconds from any fixed start; the pauses between recorded events are measured on it.
    using Clock = std::function<std::uint64_t()>;

    // `recorder` outlives the watch, which `parent` owns.
    RecordingWatch(QWidget& window, macros::MacroRecorder& recorder, QObject* parent);
    ~RecordingWatch() override;

    // Tests measure on a clock of their own.
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    [[nodiscard]] std::uint64_t Now() const { return clock_(); }
    // The button whose own left clicks (the one that stops) are no part of the macro.
    void SetRecordButton(QWidget* button) { recordButton_ = button; }

    // Watches while the recorder records; harmless when already so.
    void Start();
    void Stop();
    [[nodiscard]] bool Watching() const { return watching_; }

signals:
    // An event went into the macro (or was dropped by its limit).
    void Recorded();
    void FocusLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool OnKey(const QKeyEvent& event);
    void OnMouse(const QMouseEvent& event);

    QWidget& window_;
    macros::MacroRecorder& recorder_;
    Clock clock_;
    QPointer<QWidget> recordButton_;
    QPointer<QObject> windowHandle_;
    bool watching_ = false;
};

}  // namespace qv::gui
