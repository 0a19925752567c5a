#pragma once

// The rules of switching the keyboard's active profile from the main window: what a click on
// a profile slot does, when it is refused, when the user is asked about changes not yet
// applied, and what each answer does. The keyboard service carries the switch out
// (service::KeyboardSession::SwitchProfile); the window only asks and shows.

#include "service/keyboard_session.h"

namespace qv::app {

inline constexpr int kProfileSlotCount = 4;

// A profile index as the switch takes it: 4 and above name profile 0; -1 (none known) stays.
[[nodiscard]] int NormaliseProfileIndex(int index) noexcept;

// What the window knows when a slot is clicked.
struct SwitchState {
    int target = 0;           // the slot clicked, 0..3
    int activeProfile = -1;   // the keyboard's active profile as last reported; -1 unknown
    bool editorOpen = false;  // the assignment dialog is open
    bool pending = false;     // changes wait for Apply
    int pendingProfile = -1;  // the profile they were made for; -1 when unknown
};

enum class SwitchStep {
    // The keyboard already runs the profile: its lighting is read again, nothing is switched.
    ReadLightingOnly,
    // The assignment dialog edits a key of the profile shown: the switch is refused with a
    // message and nothing changes.
    Refuse,
    // Changes made for another profile wait: ask whether to apply them first, drop them, or
    // stay on the profile.
    Ask,
    // Switch; pending changes (made for the target profile itself) stay pending.
    Switch,
};

[[nodiscard]] SwitchStep DecideSwitch(const SwitchState& state) noexcept;

// The question's three answers.
enum class SwitchAnswer { Yes, No, Cancel };

// What the keyboard service does for an answer; nothing for Cancel, which leaves the keyboard,
// the changes and the window as they were.
struct SwitchPlan {
    bool go = false;
    service::PendingChoice pending = service::PendingChoice::Keep;
};

[[nodiscard]] SwitchPlan PlanForAnswer(SwitchAnswer answer) noexcept;

}  // namespace qv::app
