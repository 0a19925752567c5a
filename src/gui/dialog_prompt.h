#pragma once

// Messages and questions as message boxes. Asked on the GUI thread they show at once; asked on
// a worker they are handed to the GUI thread and the worker waits for the answer. At exit the
// prompt is closed: a worker still waiting then gets the cautious answer (Cancel, No) instead
// of waiting for a window that will never come.

#include <QObject>
#include <QPointer>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/user_prompt.h"

class QMessageBox;
class QWidget;

namespace qv::gui {

// The words on the boxes' buttons, in the interface language; an empty one keeps the
// toolkit's own.
struct BoxButtonTexts {
    QString ok;
    QString cancel;
    QString yes;
    QString no;
};

class DialogPrompt final : public QObject, public platform::UserPrompt {
    Q_OBJECT

public:
    // On the GUI thread. Boxes are centred on `owner` when it is shown.
    explicit DialogPrompt(QWidget* owner = nullptr);

    void ShowMessage(const std::string& text, bool topMost = false) override;
    bool AskOkCancel(const std::string& text) override;
    bool AskOkCancelTitled(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text) override;
    // Yes/No with No as the default button: for questions whose Yes changes the keyboard.
    bool AskYesNoDefaultNo(const std::string& text);
    // Yes, No or Cancel (also closing the box), No as the default button. GUI thread only.
    enum class Answer { Yes, No, Cancel };
    Answer AskYesNoCancel(const std::string& text);

    void SetButtonTexts(BoxButtonTexts texts) { buttonTexts_ = std::move(texts); }

    // Closes a box that is showing (as if cancelled) and answers every later question at once.
    void Close();

    // For tests: called with each box just before it shows, on the GUI thread.
    using BoxShown = std::function<void(QMessageBox& box)>;
    void SetBoxShown(BoxShown hook) { boxShown_ = std::move(hook); }

private:
    enum class Kind { Message, OkCancel, YesNo, YesNoDefaultNo, YesNoCancel };
    // True for OK and Yes.
    bool Ask(Kind kind, const QString& text, const QString& caption, bool topMost);
    bool ShowBox(Kind kind, const QString& text, const QString& caption, bool topMost);
    // The button that ended the box; Cancel when it was closed otherwise.
    int RunBox(Kind kind, const QString& text, const QString& caption, bool topMost);

    QWidget* owner_;
    BoxShown boxShown_;
    BoxButtonTexts buttonTexts_;
    QPointer<QMessageBox> showing_;

    std::mutex mutex_;
    std::condition_variable answered_;
    bool closed_ = false;
};

}  // namespace qv::gui
