#pragma once

// The picture buttons of a skinned window show parts of window-sized state pictures. Holding
// those whole pictures for the life of a window costs megabytes each, so a window hands each
// button its cuts when it opens, decoding one whole picture at a time, and takes them away when
// it hides.

#include <QPixmap>
#include <QPoint>

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "gui/widgets/button_face.h"

namespace qv::gui {

class PngButton;

// A picture button, its origin in the window-sized pictures and the files of its normal, hover,
// pressed, disabled and checked looks. An empty name gives that look no picture.
struct ButtonPictureSource {
    PngButton* button = nullptr;
    QPoint origin;
    PictureNames pictures;
};

using PictureFileOf = std::function<std::filesystem::path(std::string_view name)>;
using WholePictureUse = std::function<void(std::string_view name, const QPixmap& whole)>;

// Decodes every file the sources name, and each of `alsoNames`, one at a time, in the order
// first named; hands every button its cuts (a file named for several looks is cut once), and
// shows each whole picture to `also` before it is dropped. A file that cannot be read leaves
// the looks it was for without a picture.
void CutButtonPictures(std::span<const ButtonPictureSource> sources,
                       std::span<const std::string> alsoNames, const PictureFileOf& file,
                       const WholePictureUse& also = {});

// Takes the buttons' pictures away; they keep their origins in the whole pictures.
void DropButtonPictures(std::span<const ButtonPictureSource> sources);

}  // namespace qv::gui
