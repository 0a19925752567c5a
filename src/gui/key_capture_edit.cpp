#include "gui/key_capture_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "assignments/assignment_choice.h"
#include "keys/evdev_key_codes.h"

namespace qv::gui {

KeyCaptureEdit::KeyCaptureEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void KeyCaptureEdit::SetPrompts(const QString& armed, const QString& idle) {
    armedPrompt_ = armed;
    idlePrompt_ = idle;
    setPlaceholderText(armed_ ? armedPrompt_ : idlePrompt_);
}

void KeyCaptureEdit::Arm(bool on) {
    armed_ = on;
    setPlaceholderText(on ? armedPrompt_ : idlePrompt_);
    if (on) {
        // The name of the key chosen before gives way to the prompt.
        clear();
    }
}

keys::KeyCode KeyCaptureEdit::KeyCodeOf(const QKeyEvent& event) {
    return keys::KeyCodeFromXkbKeycode(event.nativeScanCode());
}

bool KeyCaptureEdit::event(QEvent* event) {
    const QEvent::Type type = event->type();
    const bool keyEvent =
        type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
    if (!keyEvent) {
        return QLineEdit::event(event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (!armed_) {
        const bool arming = type == QEvent::KeyPress && key->modifiers() == Qt::NoModifier &&
                            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                             key->key() == Qt::Key_Space);
        if (arming) {
            Arm(true);
            return true;
        }
        return QLineEdit::event(event);
    }
    const keys::KeyCode code = KeyCodeOf(*key);
    // Keys the table does not name, and media keys, are never taken: they go on to whatever
    // acts on them.
    const bool takeable = keys::CapturedKey(code, keys::KeyEventKind::Press).has_value();
    if (!takeable) {
        return QLineEdit::event(event);
    }
    if (type == QEvent::ShortcutOverride) {
        // While armed the key is ours, not a shortcut's.
        event->accept();
        return true;
    }
    const keys::KeyEventKind kind = key->isAutoRepeat()        ? keys::KeyEventKind::AutoRepeat
                                    : type == QEvent::KeyPress ? keys::KeyEventKind::Press
                                                               : keys::KeyEventKind::Release;
    if (const auto captured = keys::CapturedKey(code, kind)) {
        Arm(false);
        emit KeyCaptured(*captured);
    }
    // Repeats and releases of an armed box are swallowed too.
    return true;
}

void KeyCaptureEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        Arm(true);
    }
}

void KeyCaptureEdit::focusOutEvent(QFocusEvent* event) {
    Arm(false);
    QLineEdit::focusOutEvent(event);
}

}  // namespace qv::gui
