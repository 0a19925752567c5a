#include "gui/widgets/button_cuts.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "gui/widgets/png_button.h"

namespace qv::gui {

void CutButtonPictures(std::span<const ButtonPictureSource> sources,
                       std::span<const std::string> alsoNames, const PictureFileOf& file,
                       const WholePictureUse& also) {
    std::vector<std::string> names;
    const auto add = [&names](const std::string& name) {
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    };
    for (const ButtonPictureSource& source : sources) {
        std::for_each(source.pictures.begin(), source.pictures.end(), add);
    }
    std::for_each(alsoNames.begin(), alsoNames.end(), add);

    std::vector<std::array<QPixmap, 5>> cuts(sources.size());
    for (const std::string& name : names) {
        const QPixmap whole =
            QPixmap::fromImage(QImage(QString::fromStdString(file(name).string())));
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const ButtonPictureSource& source = sources[i];
            const auto first = std::find(source.pictures.begin(), source.pictures.end(), name);
            if (first == source.pictures.end()) {
                continue;
            }
            const QPixmap cut = CutPicture(whole, source.origin, source.button->size());
            for (auto look = first; look != source.pictures.end(); ++look) {
                if (*look == name) {
                    cuts[i][static_cast<std::size_t>(look - source.pictures.begin())] = cut;
                }
            }
        }
        if (also) {
            also(name, whole);
        }
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const ButtonPictureSource& source = sources[i];
        const QPoint origin = source.origin - CutCorner(source.origin);
        source.button->SetPictures(origin.x(), origin.y(), cuts[i][0], cuts[i][1], cuts[i][2],
                                   cuts[i][3], cuts[i][4]);
    }
}

void DropButtonPictures(std::span<const ButtonPictureSource> sources) {
    for (const ButtonPictureSource& source : sources) {
        const QPoint origin = source.button->PictureOrigin();
        source.button->SetPictures(origin.x(), origin.y(), QPixmap(), QPixmap(), QPixmap(),
                                   QPixmap(), QPixmap(), false);
    }
}

}  // namespace qv::gui
