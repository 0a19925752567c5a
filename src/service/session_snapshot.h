#pragma once

// What the keyboard service publishes for its front ends: an immutable picture of everything
// it knows about the keyboard, taken after every change. A front end reads the newest one on
// any thread and renders it; it never holds a copy that it edits itself. The version grows
// with every change, so that a front end can tell whether what it shows is still current.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "driver/device_lighting.h"
#include "keys/key_page.h"
#include "lighting/lighting_panel_model.h"
#include "lighting/per_key_paint.h"
#include "profiles/profile_image.h"

namespace qv::service {

// The lighting as last read or written.
struct LightingSnapshot {
    lighting::LightingMirror mirror;
    lighting::LightingState state;
    int currentProfile = 0;
    // Counts the reads of the keyboard's lighting, so that a front end can tell a read (which
    // brings the panel in line) from its own writes.
    int reads = 0;
    // The last read followed the keyboard's arrival.
    bool arrivalRead = false;
    // What the lighting panel shows: the lamp, the modes offered, the current profile's values
    // with the selection, and the per-key colours of the profile shown with their schemes.
    lighting::LightingPanelModel panel;
    lighting::PerKeyPaint colours;
};

// The edits that wait for Apply.
struct PendingSnapshot {
    bool pending = false;
    // The profile they were made for (0..3); -1 when nothing is pending.
    int profile = -1;
};

struct SessionSnapshot {
    std::uint64_t version = 0;
    bool present = false;
    // The keyboard's active profile as last known (0..3); -1 when unknown or no keyboard.
    int activeProfile = -1;
    // The working image is what the keyboard held at its last read, with the pending edits.
    profiles::ImageContents image;
    bool imageFromKeyboard = false;
    // What was learnt at arrival.
    keys::KeyDefaultTable keyDefaults = keys::kBuiltInKeyDefaultTable;
    bool keyDefaultsRead = false;
    // Bytes of macro area; 0 when the settings block could not be read.
    std::size_t macroCapacity = 0;
    PendingSnapshot pending;
    LightingSnapshot lighting;
};

using SnapshotPtr = std::shared_ptr<const SessionSnapshot>;

}  // namespace qv::service
