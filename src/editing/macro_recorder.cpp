#include "editing/macro_recorder.h"

#include <algorithm>

#include "keys/key_lookup.h"

namespace qv::macros {
namespace {

keys::KeyCode MouseKey(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return keys::kKeyMouseLeft;
        case MouseButton::Right:
            return keys::kKeyMouseRight;
        case MouseButton::Middle:
            return keys::kKeyMouseMiddle;
    }
    return keys::kNoKey;
}

}  // namespace

RecordStart MacroRecorder::Toggle(std::uint64_t nowMs) {
    if (Recording()) {
        Stop();
        return RecordStart::Stopped;
    }
    return Start(nowMs);
}

RecordStart MacroRecorder::Start(std::uint64_t nowMs) {
    if (manager_.ShownMacro() == nullptr) {
        return RecordStart::NoMacroShown;
    }
    lastTick_ = nowMs;
    held_.reset();
    manager_.LockForRecording(true);
    return RecordStart::Started;
}

void MacroRecorder::Stop() {
    manager_.LockForRecording(false);
}

void MacroRecorder::Add(std::uint32_t delay, keys::KeyCode key, KeyState state) {
    // A full list drops the action; there is nothing to tell while the user is typing.
    (void)manager_.InsertAction({recordDelays_ ? delay : kFixedRecordedDelayMs, key, state});
}

void MacroRecorder::Record(keys::KeyCode key, KeyState state, std::uint64_t timestampMs) {
    const std::uint64_t pause = timestampMs > lastTick_ ? timestampMs - lastTick_ : 0;
    Add(static_cast<std::uint32_t>(std::min<std::uint64_t>(pause, kMaxMacroDelayMs)), key, state);
    lastTick_ = timestampMs;
}

EventUse MacroRecorder::OnKey(keys::KeyCode key, bool pressed, std::uint64_t timestampMs,
                              bool autoRepeat) {
    if (!Recording() || key == keys::kNoKey || key >= held_.size() || keys::IsMediaKeyCode(key)) {
        return EventUse::PassedOn;
    }
    if (autoRepeat || (pressed && held_.test(key))) {
        return EventUse::Swallowed;
    }
    held_.set(key, pressed);
    if (keys::IsReleaseOnlyKey(key)) {
        // Such a key is recorded whole at its release, where some systems report it alone.
        if (pressed) {
            return EventUse::Swallowed;
        }
        Add(kReleaseOnlyPressDelayMs, key, KeyState::Press);
    }
    Record(key, pressed ? KeyState::Press : KeyState::Release, timestampMs);
    return EventUse::Recorded;
}

EventUse MacroRecorder::OnMouseButton(MouseButton button, bool pressed, std::uint64_t timestampMs,
                                      PointerPlace place) {
    if (!Recording() || (button == MouseButton::Left && place == PointerPlace::RecordButton)) {
        return EventUse::PassedOn;
    }
    Record(MouseKey(button), pressed ? KeyState::Press : KeyState::Release, timestampMs);
    return EventUse::Recorded;
}

}  // namespace qv::macros
