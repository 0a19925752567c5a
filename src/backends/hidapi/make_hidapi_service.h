#pragma once

// The HID service for a real keyboard, for programs that choose a backend at run time and need
// nothing else of it.

#include <memory>

#include "device/hid_service.h"

namespace qv::device {

// Never null. Init reports whether the platform's HID layer started.
[[nodiscard]] std::unique_ptr<HidService> MakeHidapiService();

}  // namespace qv::device
