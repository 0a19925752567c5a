#pragma once

// Captions the windows write over the skin's button pictures (which carry none, so that they
// follow the interface language), in colours that read on the skin's caps in every state.

#include <QString>

namespace qv::gui {

class PngButton;

inline constexpr int kCaptionPoints = 9;

// Turns caption drawing on with the caption colours; `face` empty keeps the button's face.
void SetUpCaption(PngButton& button, int points = kCaptionPoints, const QString& face = {});

}  // namespace qv::gui
