#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegion>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gui/widgets/base_dialog.h"
#include "gui_tests.h"

namespace qv::gui::test {
namespace {

// A skin folder with one window's skin file, a background picture and a mask picture.
class SkinFolder {
public:
    explicit SkinFolder(
        const QString& iniText = QStringLiteral("[SCREEN]\nMain=back.jpg\nMask=mask.bmp\n")) {
        QFile file(IniPath());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(iniText.toUtf8());
        }
    }

    [[nodiscard]] QString Path() const { return dir_.path(); }
    [[nodiscard]] QString IniPath() const { return dir_.filePath(QStringLiteral("Test.ini")); }

    bool WriteBackground(QSize size, QColor colour) const {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        return picture.save(dir_.filePath(QStringLiteral("back.jpg")), "JPG", 100);
    }

    // Rows of '#' (inside, black) and '.' (outside, white) as a BMP, which keeps colours exact.
    bool WriteMask(const std::vector<const char*>& rows) const {
        const int height = static_cast<int>(rows.size());
        const int width = height == 0 ? 0 : static_cast<int>(std::strlen(rows.front()));
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                picture.setPixel(
                    x, y, rows[static_cast<std::size_t>(y)][x] == '.' ? 0xFFFFFFFFu : 0xFF000000u);
            }
        }
        return picture.save(dir_.filePath(QStringLiteral("mask.bmp")), "BMP");
    }

private:
    QTemporaryDir dir_;
};

// A dialog whose failed skin is recorded instead of ending the test program.
struct Dialog {
    explicit Dialog(const SkinFolder& folder) : dialog(nullptr, folder.IniPath(), folder.Path()) {
        dialog.SetSkinFailureHandler([this](const QString& path) { failedPicture = path; });
    }
    BaseDialog dialog;
    QString failedPicture;
};

QRegion RegionOf(std::initializer_list<QRect> rects) {
    QRegion region;
    for (const QRect& rect : rects) {
        region += rect;
    }
    return region;
}

void SendMouse(QWidget& widget, QEvent::Type type, QPoint local, QPoint global,
               Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

class BaseDialogTest : public QObject {
    Q_OBJECT

private slots:
    void skinSizesWindowAndCutsWhiteFromOutline_data() {
        QTest::addColumn<QStringList>("mask");
        QTest::addColumn<QRegion>("outline");
        QTest::newRow("white middle of 3x1")
            << QStringList{"#.#"} << RegionOf({{0, 0, 1, 1}, {2, 0, 1, 1}});
        QTest::newRow("runs per row") << QStringList{"##..#", ".....", ".###."}
                                      << RegionOf({{0, 0, 2, 1}, {4, 0, 1, 1}, {1, 2, 3, 1}});
        QTest::newRow("all white") << QStringList{"...", "..."} << QRegion();
    }

    void skinSizesWindowAndCutsWhiteFromOutline() {
        QFETCH(QStringList, mask);
        QFETCH(QRegion, outline);
        SkinFolder folder;
        QVERIFY(folder.WriteBackground({30, 20}, Qt::darkCyan));
        std::vector<QByteArray> bytes;
        std::vector<const char*> rows;
        for (const QString& row : mask) {
            bytes.push_back(row.toLatin1());
        }
        for (const QByteArray& row : bytes) {
            rows.push_back(row.constData());
        }
        QVERIFY(folder.WriteMask(rows));

        Dialog d(folder);
        d.dialog.move(40, 50);
        QVERIFY(d.dialog.ApplySkin());
        QVERIFY(!d.dialog.IsSkinning());
        QCOMPARE(d.dialog.size(), QSize(30, 20));
        QCOMPARE(d.dialog.pos(), QPoint(40, 50));
        QCOMPARE(d.dialog.Outline(), outline);
        if (outline.isEmpty()) {
            // Still masked, and nothing of the window is left inside the mask.
            QVERIFY(!d.dialog.mask().isEmpty());
            QVERIFY(!d.dialog.mask().intersects(d.dialog.rect()));
        } else {
            QCOMPARE(d.dialog.mask(), outline);
        }
    }

    void largeMaskCrossesBatches() {
        // 100 x 50 checkerboard columns: 2500 runs, more than one batch of rectangles.
        QImage mask(100, 50, QImage::Format_RGB32);
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 100; ++x) {
                mask.setPixel(x, y, x % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
            }
        }
        const QRegion outline = BaseDialog::OutlineFromMask(mask);
        QCOMPARE(outline.rectCount(), 50 * 50);
        QVERIFY(outline.contains(QPoint(98, 49)));
        QVERIFY(!outline.contains(QPoint(99, 49)));
    }

    void paintsBackgroundAndFreesItOnClose() {
        SkinFolder folder;
        QVERIFY(folder.WriteBackground({30, 20}, QColor(0, 0, 255)));
        QVERIFY(folder.WriteMask({"###"}));
        Dialog d(folder);
        QVERIFY(d.dialog.ApplySkin());
        const QImage shot = d.dialog.grab().toImage();
        const QColor pixel = shot.pixelColor(15, 10);
        QVERIFY2(pixel.blue() > 240 && pixel.red() < 16 && pixel.green() < 16,
                 qPrintable(pixel.name()));
        d.dialog.accept();
        QVERIFY(d.dialog.Background().isNull());
        QCOMPARE(d.dialog.result(), int{QDialog::Accepted});
    }

    void everyOpeningLoadsSkinAgain() {
        SkinFolder folder;
        QVERIFY(folder.WriteBackground({30, 20}, Qt::white));
        QVERIFY(folder.WriteMask({"###"}));
        Dialog d(folder);
        for (int opening = 0; opening < 2; ++opening) {
            d.dialog.show();
            QVERIFY(!d.dialog.Background().isNull());
            QCOMPARE(d.dialog.size(), QSize(30, 20));
            d.dialog.reject();
            QVERIFY(d.dialog.Background().isNull());
        }
        QVERIFY(d.failedPicture.isEmpty());
    }

    void unreadablePictureCallsFailureHandler_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("writeMask");
        QTest::addColumn<QString>("failedName");
        QTest::newRow("mask missing on disk")
            << QStringLiteral("[SCREEN]\nMain=back.jpg\nMask=mask.bmp\n") << false
            << QStringLiteral("mask.bmp");
        QTest::newRow("no Mask key")
            << QStringLiteral("[SCREEN]\nMain=back.jpg\n") << true << QString();
        QTest::newRow("no skin file section") << QStringLiteral("[OTHER]\n") << true << QString();
    }

    void unreadablePictureCallsFailureHandler() {
        QFETCH(QString, ini);
        QFETCH(bool, writeMask);
        QFETCH(QString, failedName);
        SkinFolder folder(ini);
        QVERIFY(folder.WriteBackground({10, 10}, Qt::red));
        if (writeMask) {
            QVERIFY(folder.WriteMask({"#"}));
        }
        Dialog d(folder);
        const QSize before = d.dialog.size();
        QVERIFY(!d.dialog.ApplySkin());
        QVERIFY(!d.failedPicture.isEmpty());
        // A missing name leaves the folder's own path, which is no picture.
        QVERIFY(d.failedPicture.endsWith(failedName));
        QVERIFY(!d.dialog.IsSkinning());
        QCOMPARE(d.dialog.size(), before);
        // Reading the headers alone finds the same picture missing.
        d.failedPicture.clear();
        QVERIFY(!d.dialog.SizeFromSkin());
        QVERIFY(d.failedPicture.endsWith(failedName));
        QCOMPARE(d.dialog.size(), before);
    }

    void sizeFromSkinLeavesDecodingToFirstShow() {
        SkinFolder folder;
        QVERIFY(folder.WriteBackground({30, 20}, QColor(0, 0, 255)));
        QVERIFY(folder.WriteMask({"##.", "###"}));
        Dialog d(folder);
        QVERIFY(d.dialog.SizeFromSkin());
        QCOMPARE(d.dialog.size(), QSize(30, 20));
        QVERIFY(d.dialog.Background().isNull());
        QVERIFY(d.dialog.Outline().isEmpty());
        d.dialog.show();
        QVERIFY(!d.dialog.Background().isNull());
        QVERIFY(!d.dialog.Outline().isEmpty());
        const QColor pixel = d.dialog.grab().toImage().pixelColor(5, 15);
        QVERIFY2(pixel.blue() > 240 && pixel.red() < 16, qPrintable(pixel.name()));
        QVERIFY(d.failedPicture.isEmpty());
    }

    void pressOnSurfaceDragsWindowButNotOnChild() {
        SkinFolder folder;
        QVERIFY(folder.WriteBackground({60, 40}, Qt::gray));
        // Presses outside the outline never reach the window, so the outline covers it all.
        const std::string row(60, '#');
        QVERIFY(folder.WriteMask(std::vector<const char*>(40, row.c_str())));
        Dialog d(folder);
        QVERIFY(d.dialog.ApplySkin());
        auto* child = new QLabel(QStringLiteral("label"), &d.dialog);
        child->setGeometry(40, 0, 20, 20);
        child->show();
        d.dialog.move(100, 100);

        // On the surface: the window follows the mouse.
        SendMouse(d.dialog, QEvent::MouseButtonPress, {5, 5}, {105, 105}, Qt::LeftButton,
                  Qt::LeftButton);
        SendMouse(d.dialog, QEvent::MouseMove, {5, 5}, {135, 125}, Qt::NoButton, Qt::LeftButton);
        SendMouse(d.dialog, QEvent::MouseButtonRelease, {35, 25}, {135, 125}, Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(d.dialog.pos(), QPoint(130, 120));

        // Released: moves no longer drag.
        SendMouse(d.dialog, QEvent::MouseMove, {5, 5}, {200, 200}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(d.dialog.pos(), QPoint(130, 120));

        // A press that reaches the dialog over a child (a label passes presses on) is no drag.
        SendMouse(d.dialog, QEvent::MouseButtonPress, {45, 5}, {175, 125}, Qt::LeftButton,
                  Qt::LeftButton);
        SendMouse(d.dialog, QEvent::MouseMove, {45, 5}, {195, 145}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(d.dialog.pos(), QPoint(130, 120));
    }
};

}  // namespace

std::unique_ptr<QObject> MakeBaseDialogTest() {
    return std::make_unique<BaseDialogTest>();
}

}  // namespace qv::gui::test

#include "base_dialog_test.moc"
