#pragma once

// The keyboard service's observer for the desktop app: every report of the service's worker
// becomes a signal on the GUI thread, in the order the service reported. Questions block the
// worker until the GUI thread has answered, or until the adapter is closed at exit.

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "service/service_observer.h"

namespace qv::gui {

class ServiceAdapter final : public QObject, public service::ServiceObserver {
    Q_OBJECT

public:
    // On the GUI thread; the signals come on it.
    explicit ServiceAdapter(QObject* parent = nullptr);
    ~ServiceAdapter() override;

    // ---- ServiceObserver, on the service's worker ----
    void KeyboardArrived() override;
    void KeyboardRemoved() override;
    void BusyChanged(bool busy) override;
    void ImageReplaced() override;
    void ApplyPendingChanged(bool pending) override;
    void ActiveProfileChanged(int profile) override;
    void ProfileChangedOnKeyboard(int profile) override;
    void LightingChanged() override;
    void BankChanged(bool bankB) override;
    void PlaybackChanged(bool playing) override;
    void Notify(const service::ServiceNotice& notice) override;
    [[nodiscard]] bool Ask(service::Question question) override;
    void ProgramMustEnd() override;

    // Runs `work` on the GUI thread after everything reported before it; from any thread.
    // Results of work posted to the service come back this way.
    void Deliver(std::function<void()> work);

    // Nothing reported is still on its way to the GUI thread.
    [[nodiscard]] bool Drained() const { return inFlight_.load() == 0; }

    // The program is closing: a question waiting now, and every later one, is answered no at
    // once, so the worker can be stopped.
    void Close();

signals:
    void Arrived();
    void Removed();
    void Busy(bool busy);
    void ImageChanged();
    void PendingChanged(bool pending);
    void ActiveProfile(int profile);
    void KeyboardSwitchedProfile(int profile);
    void LightingRead();
    void Bank(bool bankB);
    void Playback(bool playing);
    void Noticed(const qv::service::ServiceNotice& notice);
    // Connected on the GUI thread; the receiver sets *answer (it starts as no).
    void Asked(qv::service::Question question, bool* answer);
    void MustEnd();

private:
    std::atomic<int> inFlight_{0};
    std::mutex mutex_;
    std::condition_variable answered_;
    bool closed_ = false;
};

}  // namespace qv::gui
