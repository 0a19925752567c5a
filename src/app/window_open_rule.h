#pragma once

// When the main window opens by itself: once, at the keyboard's first arrival, and only when
// the program started with the keyboard attached and without /Start. A start without a
// keyboard, or a hidden start, leaves the window to the user (tray, or starting the program
// again); so does every later arrival.

namespace qv::app {

class WindowOpenRule {
public:
    explicit WindowOpenRule(bool startHidden = false) : decided_(startHidden) {}

    // The keyboard count found at start has been handled: an arrival after this is a replug.
    void StartCountHandled() { decided_ = true; }

    // A keyboard arrived (and was read): whether the window opens now.
    [[nodiscard]] bool OpenOnArrival() {
        const bool open = !decided_;
        decided_ = true;
        return open;
    }

private:
    bool decided_;
};

}  // namespace qv::app
