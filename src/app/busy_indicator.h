#pragma once

// The busy indicator of the apply pipeline: a thread of its own that keeps the frame timer
// (1050) ticking while the window's thread waits for the device, and hides the progress image a
// little after the pipeline is done. One serves every apply of the window's life; it is joined
// when the window goes.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "app/main_window_messages.h"

namespace qv::app {

struct BusyTiming {
    std::chrono::milliseconds showDelay{100};   // the pipeline's pause before showing
    std::chrono::milliseconds hideDelay{100};   // the indicator's pause before hiding
    std::chrono::milliseconds framePeriod{50};  // timer 1050
};

class BusyIndicator {
public:
    BusyIndicator(device::MainWindowPort& window, BusyTiming timing);
    ~BusyIndicator();
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

    // Message 0x401, after the window showed the progress image: start the frame timer.
    void Show();
    // Message 0x402: after hideDelay, stop the timer and have the window hide the progress
    // image of apply `generation` (MSG_PROGRESS), unless a later apply has shown it since.
    void Hide(std::intptr_t generation);
    // The window handled a frame tick. Ticks are not queued up behind a window that is slow to
    // handle them: the next one waits until this.
    void FrameHandled();
    // Ends the thread; a hide still waiting is dropped.
    void Stop();

    [[nodiscard]] const BusyTiming& timing() const { return timing_; }

private:
    struct Command {
        bool show;
        std::intptr_t generation;
    };
    void Thread();

    device::MainWindowPort& window_;
    const BusyTiming timing_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Command> commands_;
    bool animating_ = false;
    bool tickPending_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace qv::app
