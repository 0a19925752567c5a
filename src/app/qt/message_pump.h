#pragma once

// Runs the main window's message queue inside Qt's event loop: queued messages are handled on
// the GUI thread as soon as it gets to them, and while a device operation runs on a worker the
// GUI thread waits in a local event loop that keeps painting but takes no user input.

#include <QObject>

#include <atomic>
#include <functional>
#include <vector>

#include "app/message_loop.h"

class QEventLoop;

namespace qv::gui {

class MessagePump final : public QObject, public device::LoopHost {
    Q_OBJECT

public:
    // On the GUI thread; the pump becomes the loop's host. The loop's threads may still wake
    // the pump while the loop is being destroyed, so the pump goes after it, and is detached
    // from it first.
    explicit MessagePump(device::MessageLoop& loop, QObject* parent = nullptr);

    // Handles nothing more; the loop may go now.
    void Detach() { loop_ = nullptr; }

    void Wake() override;
    void WaitWhileBusy(const std::function<bool()>& done) override;

    // Whether the GUI thread is waiting for a device operation now.
    [[nodiscard]] bool Busy() const { return !busyLoops_.empty(); }

private:
    struct BusyWait {
        QEventLoop* loop;
        const std::function<bool()>* done;
    };

    void Drain();

    device::MessageLoop* loop_;
    // One queued drain at a time is enough: it handles everything queued by then.
    std::atomic<bool> drainQueued_{false};
    std::vector<BusyWait> busyLoops_;
};

}  // namespace qv::gui
