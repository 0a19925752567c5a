#pragma once

// Sends what the lighting panel and the per-key colours decide to the keyboard through the
// keyboard service, each change at once, with the writes of a dragged control merged. The
// lighting the session publishes afterwards carries the values written.

#include "lighting/lighting_write.h"
#include "lighting/per_key_paint.h"
#include "service/keyboard_service.h"
#include "service/write_coalescer.h"

namespace qv::service {

class LightingWriter {
public:
    explicit LightingWriter(KeyboardService& service) : coalescer_(service) {}

    // Nothing for an empty write.
    void Write(const lighting::LightingWrite& write);
    void Write(const lighting::ColourWrite& write);

private:
    WriteCoalescer coalescer_;
};

}  // namespace qv::service
