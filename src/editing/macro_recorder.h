#pragma once

// Recording a macro into the macro shown by a MacroManager: each fresh key press and release
// and each press and release of a mouse button becomes an action, inserted where the page's
// insertion rule puts it, and the pause since the previous recorded event becomes the delay of
// the action before it. With record delays off every pause is 50 ms.
//
// The front end hands in the events its window receives, with their times in milliseconds from
// any fixed start (nothing here reads a clock), and does with each event what the recorder
// says: a recorded key is swallowed so the window never acts on it; keys that cannot be
// recorded pass on; mouse events always pass on.

#include <bitset>
#include <cstdint>

#include "editing/macro_manager.h"
#include "keys/key_code.h"

namespace qv::macros {

// The pause every recorded action gets when delays are not recorded.
inline constexpr std::uint32_t kFixedRecordedDelayMs = 50;
// The pause between the press and the release of a key that only reports its release.
inline constexpr std::uint32_t kReleaseOnlyPressDelayMs = 2;

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Where the pointer is when a mouse button event arrives.
enum class PointerPlace : std::uint8_t {
    Elsewhere,
    // On the record button: its own left clicks (the one that stops) are not part of the macro.
    RecordButton,
};

enum class RecordStart : std::uint8_t {
    Started,
    Stopped,      // Toggle stopped a running recording
    NoMacroShown  // nothing to record into: the record button is disabled then
};

enum class EventUse : std::uint8_t {
    // Became an action (or was dropped by the 2000-action limit). A key event is swallowed; a
    // mouse event still passes on.
    Recorded,
    Swallowed,  // not recorded, but the window must not act on it either (auto-repeat)
    PassedOn,   // not recorded; the window handles it as usual
};

class MacroRecorder {
public:
    explicit MacroRecorder(MacroManager& manager) : manager_(manager) {}

    // The record-delays option: measured pauses (true) or 50 ms each (false).
    void SetRecordDelays(bool on) { recordDelays_ = on; }
    [[nodiscard]] bool RecordDelays() const { return recordDelays_; }

    // The manager keeps the state, so that opening or closing the page ends a recording.
    [[nodiscard]] bool Recording() const { return manager_.Recording(); }
    // The record button: starts at `nowMs` (the first pause is measured from here) or stops.
    RecordStart Toggle(std::uint64_t nowMs);
    RecordStart Start(std::uint64_t nowMs);
    // Stops a running recording; also what Apply, leaving the page, closing and the start of a
    // delay edit do. Harmless when none runs.
    void Stop();

    // A key event with its set-1 KeyCode (kNoKey when the key has none). `autoRepeat` marks
    // the events a held key repeats, which the window system may flag; a press of a key that
    // is already down counts as one too.
    EventUse OnKey(keys::KeyCode key, bool pressed, std::uint64_t timestampMs,
                   bool autoRepeat = false);
    EventUse OnMouseButton(MouseButton button, bool pressed, std::uint64_t timestampMs,
                           PointerPlace place = PointerPlace::Elsewhere);

private:
    void Record(keys::KeyCode key, KeyState state, std::uint64_t timestampMs);
    void Add(std::uint32_t delay, keys::KeyCode key, KeyState state);

    MacroManager& manager_;
    bool recordDelays_ = false;
    std::uint64_t lastTick_ = 0;
    // Keys seen pressed and not yet released, so that a second press is known as a repeat.
    std::bitset<0x200> held_;
};

}  // namespace qv::macros
