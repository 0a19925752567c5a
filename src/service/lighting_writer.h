#pragma once

// Sends the lighting panel's control changes to the keyboard service, each at once, with the
// changes of a dragged control merged: a change that waits behind the running one is replaced by
// a later change of the same control. The session plans each change when it runs, against what
// the keyboard holds by then, and publishes the lighting afterwards.

#include <functional>

#include "lighting/lighting_change.h"
#include "service/keyboard_service.h"
#include "service/write_coalescer.h"

namespace qv::service {

class LightingWriter {
public:
    // `colourOutcome` hears every per-key colour change's result, on the service's worker.
    using ColourOutcome = std::function<void(const ColourChangeResult&)>;

    explicit LightingWriter(KeyboardService& service) : coalescer_(service) {}

    // Set before the first change.
    void OnColourOutcome(ColourOutcome outcome) { colourOutcome_ = std::move(outcome); }

    void Change(int profile, const lighting::LightingChange& change);
    void Change(const lighting::ColourChange& change);

private:
    WriteCoalescer coalescer_;
    ColourOutcome colourOutcome_;
    // Toggles never replace each other: two clicks are two changes.
    unsigned toggles_ = 0;
};

}  // namespace qv::service
