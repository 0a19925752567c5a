#pragma once

// What the device worker and the apply pipeline ask of the profile files, on the user-interface
// thread. The profile store implements it; the worker's tests may stand in for it.

#include "profiles/profile_image.h"

namespace qv::profiles {

class ProfileActions {
public:
    virtual ~ProfileActions() = default;

    // After every attach: capture the keyboard into the current profile file and load it (or
    // install the default image when that fails), then report the image changed.
    virtual void ReloadProfileFromDevice() = 0;

    // The apply pipeline's save, with the image lock already held by the caller. Writes only
    // when the current profile file exists.
    [[nodiscard]] virtual bool SaveImageToCurrentProfileFile(const ImageContents& image) = 0;
};

}  // namespace qv::profiles
