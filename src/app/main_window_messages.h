#pragma once

// The main window's private messages and the port through which workers reach the window.
//
// Workers never touch windows: they send (and wait) or post these messages, and the window
// handles them on its own thread. Every message carries a tag; a message whose tag is not the
// one expected with its number is ignored, so a stray number from another program or a
// mistaken sender does nothing.

#include <cstdint>
#include <functional>

#include "core/fourcc.h"
#include "device/hid_service.h"  // TAG_LED, shared with the LED report

namespace qv::device {

// Numbers of the messages other instances and the workers send.
inline constexpr std::uint32_t MSG_KILL = 0x4D4B;
inline constexpr std::uint32_t MSG_OPEN = 0x5350;
inline constexpr std::uint32_t MSG_INIT = 0x4D4E;
inline constexpr std::uint32_t MSG_PROFILE = 0x5452;
inline constexpr std::uint32_t MSG_BANK = 0x5045;
inline constexpr std::uint32_t MSG_LANGUAGE = 0x5041;
inline constexpr std::uint32_t MSG_DEVICE_GONE = 0x4753;

// Their tags.
// KILL's value, unlike the other tags, holds its characters last-first ("LLIK"); a second
// instance sends exactly this value.
inline constexpr std::uint32_t TAG_KILL = 0x4C4C494B;
inline constexpr std::uint32_t TAG_OPEN = FourCC("OPEN");
inline constexpr std::uint32_t TAG_VER = FourCC("VER");
inline constexpr std::uint32_t TAG_INIT = FourCC("INIT");
inline constexpr std::uint32_t TAG_PROF = FourCC("PROF");
inline constexpr std::uint32_t TAG_LANG = FourCC("LANG");
inline constexpr std::uint32_t TAG_DEVICE_GONE = 0;

static_assert(TAG_OPEN == 0x4F50454E && TAG_INIT == 0x494E4954 && TAG_LED == 0x004C4544);
static_assert(TAG_PROF == 0x50524F46 && TAG_LANG == 0x4C414E47);

// Messages of our own. A worker here never calls a window (the tray icon, the progress image,
// a hide) directly, as a GUI toolkit only allows that on the window's thread; it asks the
// window with one of these instead, in the order it would have acted.
inline constexpr std::uint32_t MSG_TIMER = 0x0113;      // tag: the timer id
inline constexpr std::uint32_t MSG_TRAY_ICON = 0x5449;  // lParam: an icon request (below)
inline constexpr std::uint32_t MSG_HIDE_WINDOW = 0x4857;
inline constexpr std::uint32_t MSG_PROGRESS = 0x4250;  // hide; lParam: the apply it ends
inline constexpr std::uint32_t TAG_TRAY = FourCC("TRAY");
inline constexpr std::uint32_t TAG_HIDE = FourCC("HIDE");
inline constexpr std::uint32_t TAG_BUSY = FourCC("BUSY");

// The main window's timers, delivered as MSG_TIMER with the id as tag.
inline constexpr std::uint32_t kTimerProgressFrame = 1050;
inline constexpr std::uint32_t kTimerResynchronise = 1051;
inline constexpr std::uint32_t kTimerPerKeyReset = 1052;

// The notification-area icons.
inline constexpr int kIconNoKeyboard = 128;
inline constexpr int kIconKeyboard = 141;
inline constexpr int kIconPlay = 142;
// lParam of MSG_TRAY_ICON: a device-state icon (kIconNoKeyboard, kIconKeyboard) is shown and
// remembered; kIconPlay is shown without remembering it; this one shows the remembered one.
inline constexpr std::intptr_t kTrayRestoreStateIcon = 0;

struct Message {
    std::uint32_t number = 0;
    std::uint32_t tag = 0;  // wParam
    std::intptr_t lparam = 0;
    friend bool operator==(const Message&, const Message&) = default;
};

enum class MessageReply : std::uint8_t {
    Handled,
    Ignored,       // not a message of the window, or not with its tag
    EndProgram,    // the handling decided that the program ends (a firmware too old)
    NotDelivered,  // the window is gone; nothing was handled
};

// True when the sender of a reply should not go on.
[[nodiscard]] constexpr bool SenderStops(MessageReply reply) {
    return reply == MessageReply::EndProgram || reply == MessageReply::NotDelivered;
}

// The window's side: handles one message on the window's thread.
class MessageHandler {
public:
    virtual MessageReply Handle(const Message& message) = 0;

protected:
    ~MessageHandler() = default;
};

// The workers' side of the window. Thread-safe.
class MainWindowPort {
public:
    // Handles the message on the window's thread and waits until it is done; a direct call when
    // already on that thread. NotDelivered once the port is shut down, also for a Send that
    // was waiting then, so a worker never hangs on a window that is gone.
    virtual MessageReply Send(const Message& message) = 0;
    // Queues the message; dropped once the port is shut down.
    virtual void Post(const Message& message) = 0;

    // On the window's thread: runs `work` while the window keeps repainting. The work runs on
    // another thread while this one waits in a local loop that ignores user input and handles
    // only what HandledWhileBusy() lets through; every other message waits, in order, until
    // the work is done, so effects happen in the same order as if the work ran right here.
    // The work must therefore not Send to the window. Elsewhere than on the window's thread
    // the work simply runs.
    virtual void RunWhileBusy(const std::function<void()>& work) = 0;

protected:
    ~MainWindowPort() = default;
};

// What a window busy with a device operation still handles: the busy animation.
[[nodiscard]] constexpr bool HandledWhileBusy(const Message& message) {
    return message.number == MSG_PROGRESS ||
           (message.number == MSG_TIMER && message.tag == kTimerProgressFrame);
}

}  // namespace qv::device
