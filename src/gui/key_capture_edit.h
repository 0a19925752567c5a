#pragma once

// The key box of the assignment dialog's single-key page: it shows the chosen key's name and,
// once armed, takes the next key pressed as the new choice. It is armed by a click, or by Enter
// or Space while it has the focus, so that Tab still moves through the dialog and Escape still
// closes it; after one key it is back to normal.

#include <QLineEdit>
#include <QString>

#include "keys/key_code.h"

class QKeyEvent;

namespace qv::gui {

class KeyCaptureEdit final : public QLineEdit {
    Q_OBJECT

public:
    explicit KeyCaptureEdit(QWidget* parent = nullptr);

    // What the empty box says while it waits for a key, and while it does not.
    void SetPrompts(const QString& armed, const QString& idle);
    void Arm(bool on);
    [[nodiscard]] bool Armed() const { return armed_; }

    // The key a key event names. On Linux the native scan code is the XKB key code.
    [[nodiscard]] static keys::KeyCode KeyCodeOf(const QKeyEvent& event);

signals:
    void KeyCaptured(keys::KeyCode code);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool armed_ = false;
    QString armedPrompt_;
    QString idlePrompt_;
};

}  // namespace qv::gui
