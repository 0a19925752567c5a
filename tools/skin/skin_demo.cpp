// quorvane_skin_demo: shows the main window's skin with every image button placed the way the
// app places it, and can save a picture of it.
//
//   quorvane_skin_demo [--skins DIR] [--checked KEY,KEY...] [--marked KEY] [--screenshot FILE]
//
// --checked gives keys their remapped look, --marked the highlighted look of a key whose
// assignment dialog is open; with --screenshot the window is saved as a PNG and the program ends.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/widgets/base_dialog.h"
#include "gui/widgets/png_button.h"
#include "texts/skin_layout.h"
#include "texts/skin_placement.h"

namespace {

QString Option(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const qsizetype at = args.indexOf(name);
    return at > 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

bool IsKeyButton(const std::string& key) {
    return key.rfind("KEY_", 0) == 0 || key.rfind("FUNC_G", 0) == 0;
}

bool IsMainImageButton(const std::string& key) {
    for (const std::string_view entry : qv::ui::kMainImageButtonKeys) {
        if (entry == key) {
            return true;
        }
    }
    return IsKeyButton(key);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString skins =
        Option(args, QStringLiteral("--skins"),
               QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("Skins")));
    const QString screenshot = Option(args, QStringLiteral("--screenshot"));
    const QStringList checked =
        Option(args, QStringLiteral("--checked")).split(',', Qt::SkipEmptyParts);
    const QString marked = Option(args, QStringLiteral("--marked"));

    const QDir folder(skins);
    const QString skinPath = folder.filePath(
        QString::fromUtf8(qv::ui::kMainSkinFileName.data(), qv::ui::kMainSkinFileName.size()));
    qv::gui::BaseDialog dialog(nullptr, skinPath, skins);
    dialog.SetSkinFailureHandler([](const QString& path) {
        std::fprintf(stderr, "quorvane_skin_demo: cannot read %s\n", qPrintable(path));
    });
    if (!dialog.ApplySkin()) {
        return 1;
    }
    const qv::ui::SkinFile skin = qv::ui::SkinFile::Load(skinPath.toStdString());

    std::map<std::string_view, QPixmap> pictures;
    for (const std::string_view name : qv::ui::StatePictureFiles(qv::ui::SkinWindow::Main)) {
        QPixmap picture(folder.filePath(QString::fromUtf8(name.data(), name.size())));
        if (picture.isNull()) {
            std::fprintf(stderr, "quorvane_skin_demo: cannot read %s\n", std::string(name).c_str());
            return 1;
        }
        pictures[name] = picture;
    }
    const auto pixmap = [&pictures](std::string_view name) { return pictures.at(name); };

    // The extra keys D1..D6 follow the listed ones; with Flip off (the default) they are
    // shown disabled.
    std::vector<std::string> keys = qv::ui::AllButtonInfoKeys(qv::ui::SkinWindow::Main);
    for (int n = 1; n <= 6; ++n) {
        keys.push_back("KEY_D" + std::to_string(n));
    }
    for (const std::string& key : keys) {
        if (!IsMainImageButton(key)) {
            continue;
        }
        auto* button = new qv::gui::PngButton(&dialog);
        if (key == qv::ui::kLeftArrowKey || key == qv::ui::kRightArrowKey) {
            const qv::ui::ArrowSide side =
                key == qv::ui::kLeftArrowKey ? qv::ui::ArrowSide::Left : qv::ui::ArrowSide::Right;
            const qv::ui::ArrowButtonPlacement place = qv::ui::PlaceArrowButton(
                skin, qv::ui::kSkinButtonInfoSection, key, qv::ui::kSkinButtonInfo2Section,
                qv::ui::ArrowOriginKey(side, false, 0), qv::ui::kArrowPicture);
            button->setGeometry(place.geometry.x, place.geometry.y, place.geometry.width,
                                place.geometry.height);
            const QPixmap arrow = pixmap(qv::ui::kArrowPicture);
            button->SetPictures(place.origin.x, place.origin.y, arrow, arrow, arrow, arrow, arrow);
            button->setEnabled(false);
            continue;
        }
        const qv::ui::ButtonPictures set =
            IsKeyButton(key) ? qv::ui::MainKeyButtonPictures()
                             : qv::ui::StraightPictures(qv::ui::kMainStatePictures);
        const qv::ui::ImageButtonPlacement place =
            qv::ui::PlaceImageButton(skin, qv::ui::kSkinButtonInfoSection, key, set);
        button->setGeometry(place.geometry.x, place.geometry.y, place.geometry.width,
                            place.geometry.height);
        button->SetPictures(place.origin.x, place.origin.y, pixmap(set.normal), pixmap(set.hover),
                            pixmap(set.pressed), pixmap(set.disabled), pixmap(set.checked));
        button->setVisible(place.visible);
        button->setEnabled(place.enabled && key.rfind("KEY_D", 0) != 0);
        const QString name = QString::fromStdString(key);
        button->SetChecked(checked.contains(name));
        if (name == marked) {
            const QPixmap hover = pixmap(set.hover);
            button->SetOverride(hover, hover, true, false);
        }
    }

    dialog.show();
    if (screenshot.isEmpty()) {
        return dialog.exec();
    }
    int result = 1;
    QTimer::singleShot(0, &dialog, [&] {
        result = dialog.grab().save(screenshot) ? 0 : 1;
        if (result != 0) {
            std::fprintf(stderr, "quorvane_skin_demo: cannot write %s\n", qPrintable(screenshot));
        }
        dialog.done(0);
    });
    dialog.exec();
    return result;
}
