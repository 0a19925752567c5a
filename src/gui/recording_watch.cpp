#include "gui/recording_watch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <optional>
#include <utility>

#include "gui/key_capture_edit.h"
#include "keys/key_lookup.h"

namespace qv::gui {
namespace {

std::uint64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::optional<macros::MouseButton> RecordedButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return macros::MouseButton::Left;
        case Qt::RightButton:
            return macros::MouseButton::Right;
        case Qt::MiddleButton:
            return macros::MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

}  // namespace

RecordingWatch::RecordingWatch(QWidget& window, macros::MacroRecorder& recorder, QObject* parent)
    : QObject(parent), window_(window), recorder_(recorder), clock_(SteadyMilliseconds) {}

RecordingWatch::~RecordingWatch() {
    Stop();
}

void RecordingWatch::Start() {
    if (watching_) {
        return;
    }
    watching_ = true;
    windowHandle_ = window_.windowHandle();
    qApp->installEventFilter(this);
}

void RecordingWatch::Stop() {
    if (!watching_) {
        return;
    }
    watching_ = false;
    qApp->removeEventFilter(this);
    windowHandle_ = nullptr;
}

bool RecordingWatch::eventFilter(QObject* watched, QEvent* event) {
    if (!watching_) {
        return false;
    }
    const bool window = watched != nullptr && watched == windowHandle_;
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return window && OnKey(static_cast<const QKeyEvent&>(*event));
        case QEvent::ShortcutOverride: {
            // A key the macro takes is no shortcut's.
            auto* widget = qobject_cast<QWidget*>(watched);
            const keys::KeyCode code =
                KeyCaptureEdit::KeyCodeOf(static_cast<const QKeyEvent&>(*event));
            if (widget != nullptr && widget->window() == &window_ && code != keys::kNoKey &&
                !keys::IsMediaKeyCode(code)) {
                event->accept();
                return true;
            }
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (window) {
                OnMouse(static_cast<const QMouseEvent&>(*event));
            }
            return false;
        case QEvent::WindowDeactivate:
            if (watched == &window_) {
                emit FocusLeft();
            }
            return false;
        default:
            return false;
    }
}

bool RecordingWatch::OnKey(const QKeyEvent& event) {
    const macros::EventUse use =
        recorder_.OnKey(KeyCaptureEdit::KeyCodeOf(event), event.type() == QEvent::KeyPress,
                        clock_(), event.isAutoRepeat());
    if (use == macros::EventUse::Recorded) {
        emit Recorded();
    }
    return use != macros::EventUse::PassedOn;
}

void RecordingWatch::OnMouse(const QMouseEvent& event) {
    const auto button = RecordedButton(event.button());
    if (!button) {
        return;
    }
    QWidget* under = window_.childAt(event.position().toPoint());
    const bool onRecord = under != nullptr && recordButton_ != nullptr &&
                          (under == recordButton_ || recordButton_->isAncestorOf(under));
    const macros::EventUse use = recorder_.OnMouseButton(
        *button, event.type() == QEvent::MouseButtonPress, clock_(),
        onRecord ? macros::PointerPlace::RecordButton : macros::PointerPlace::Elsewhere);
    if (use == macros::EventUse::Recorded) {
        emit Recorded();
    }
}

}  // namespace qv::gui
