#include "app/qt/dialog_prompt.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include <memory>

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
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
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
            // The questions that ask Yes or No are about dropping something: No is the safe
            // answer, so Enter gives it.
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            box.setIcon(QMessageBox::Question);
            break;
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
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
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
