#include "gui/dialog_prompt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include <memory>
#include <utility>

namespace qv::gui {

DialogPrompt::DialogPrompt(QWidget* owner) : owner_(owner) {}

void DialogPrompt::ShowMessage(const std::string& text, bool topMost) {
    // The message boxes of the tool have an empty caption.
    (void)Ask(Kind::Message, QString::fromStdString(text), QString(), topMost);
}

bool DialogPrompt::AskOkCancel(const std::string& text) {
    return Ask(Kind::OkCancel, QString::fromStdString(text), QString(), false);
}

bool DialogPrompt::AskOkCancelTitled(const std::string& text, const std::string& caption) {
    return Ask(Kind::OkCancel, QString::fromStdString(text), QString::fromStdString(caption),
               false);
}

bool DialogPrompt::AskYesNo(const std::string& text) {
    return Ask(Kind::YesNo, QString::fromStdString(text), QString(), false);
}

bool DialogPrompt::AskYesNoDefaultNo(const std::string& text) {
    return Ask(Kind::YesNoDefaultNo, QString::fromStdString(text), QString(), false);
}

DialogPrompt::Answer DialogPrompt::AskYesNoCancel(const std::string& text) {
    switch (RunBox(Kind::YesNoCancel, QString::fromStdString(text), QString(), false)) {
        case QMessageBox::Yes:
        case QMessageBox::Ok:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool DialogPrompt::Ask(Kind kind, const QString& text, const QString& caption, bool topMost) {
    if (QThread::currentThread() == thread()) {
        return ShowBox(kind, text, caption, topMost);
    }
    struct Exchange {
        bool done = false;
        bool answer = false;
    };
    auto exchange = std::make_shared<Exchange>();
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [this, exchange, kind, text, caption, topMost] {
            const bool answer = ShowBox(kind, text, caption, topMost);
            {
                std::lock_guard lock(mutex_);
                exchange->answer = answer;
                exchange->done = true;
            }
            answered_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return exchange->done || closed_; });
    return exchange->done && exchange->answer;
}

bool DialogPrompt::ShowBox(Kind kind, const QString& text, const QString& caption, bool topMost) {
    const int answer = RunBox(kind, text, caption, topMost);
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

int DialogPrompt::RunBox(Kind kind, const QString& text, const QString& caption, bool topMost) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return QMessageBox::Cancel;
        }
    }
    QWidget* parent = owner_ != nullptr && owner_->isVisible() ? owner_ : nullptr;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, parent);
    switch (kind) {
        case Kind::Message:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setIcon(QMessageBox::Question);
            break;
        case Kind::YesNo:
        case Kind::YesNoDefaultNo:
            // The questions that ask Yes or No are about dropping something: No is the safe
            // answer, so Enter gives it.
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            box.setIcon(QMessageBox::Question);
            break;
        case Kind::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setIcon(QMessageBox::Question);
            break;
    }
    if (kind == Kind::YesNoDefaultNo || kind == Kind::YesNoCancel) {
        box.setDefaultButton(QMessageBox::No);
    }
    const std::pair<QMessageBox::StandardButton, const QString*> words[] = {
        {QMessageBox::Ok, &buttonTexts_.ok},
        {QMessageBox::Cancel, &buttonTexts_.cancel},
        {QMessageBox::Yes, &buttonTexts_.yes},
        {QMessageBox::No, &buttonTexts_.no}};
    for (const auto& [which, word] : words) {
        if (QAbstractButton* button = box.button(which); button != nullptr && !word->isEmpty()) {
            button->setText(*word);
        }
    }
    if (topMost) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    showing_ = &box;
    if (boxShown_) {
        boxShown_(box);
    }
    const int answer = box.exec();
    showing_ = nullptr;
    return answer;
}

void DialogPrompt::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    answered_.notify_all();
    if (showing_) {
        showing_->reject();
    }
}

}  // namespace qv::gui
