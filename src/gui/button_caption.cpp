#include "gui/button_caption.h"

#include <QColor>

#include "gui/widgets/png_button.h"

namespace qv::gui {

void SetUpCaption(PngButton& button, int points, const QString& face) {
    const QColor normal(0xdf, 0xe4, 0xec);
    const QColor lit(0xff, 0xff, 0xff);
    const QColor disabled(0x6c, 0x72, 0x7c);
    button.SetCaptionFont(face.isEmpty() ? QString::fromLatin1(PngButton::kDefaultFontFace) : face,
                          points);
    button.SetTextColours(normal, lit, lit, disabled);
}

}  // namespace qv::gui
