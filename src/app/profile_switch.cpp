#include "app/profile_switch.h"

namespace qv::app {

int NormaliseProfileIndex(int index) noexcept {
    return index >= kProfileSlotCount ? 0 : index;
}

SwitchStep DecideSwitch(const SwitchState& state) noexcept {
    const int target = NormaliseProfileIndex(state.target);
    if (target == state.activeProfile) {
        return SwitchStep::ReadLightingOnly;
    }
    if (state.editorOpen) {
        return SwitchStep::Refuse;
    }
    // Changes made for the target itself go with it: back on their profile they can be applied.
    if (state.pending && state.pendingProfile != target) {
        return SwitchStep::Ask;
    }
    return SwitchStep::Switch;
}

SwitchPlan PlanForAnswer(SwitchAnswer answer) noexcept {
    switch (answer) {
        case SwitchAnswer::Yes:
            return {true, service::PendingChoice::ApplyFirst};
        case SwitchAnswer::No:
            return {true, service::PendingChoice::Drop};
        case SwitchAnswer::Cancel:
            break;
    }
    return {};
}

}  // namespace qv::app
