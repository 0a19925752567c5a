#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <QToolTip>

#include <vector>

#include "gui/widgets/png_button.h"
#include "gui_tests.h"

namespace qv::gui::test {
namespace {

// Whole-window pictures 40 x 30 in one colour, with the button's part (8 x 6 at (10, 5)) in
// another; a button that shows the wrong part shows the frame colour.
constexpr QPoint kOrigin(10, 5);
constexpr QSize kButtonSize(8, 6);
const QColor kFrame(10, 10, 10);

QPixmap WindowPicture(const QColor& part) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(kFrame);
    for (int y = 0; y < kButtonSize.height(); ++y) {
        for (int x = 0; x < kButtonSize.width(); ++x) {
            picture.setPixelColor(kOrigin.x() + x, kOrigin.y() + y, part);
        }
    }
    return QPixmap::fromImage(picture);
}

const QColor kNormal(200, 0, 0);
const QColor kHover(0, 200, 0);
const QColor kPressed(0, 0, 200);
const QColor kDisabled(200, 200, 0);
const QColor kChecked(0, 200, 200);
const QColor kOverride(200, 0, 200);
const QColor kSecondOverride(120, 60, 30);

void MakePictured(PngButton& button) {
    button.resize(kButtonSize);
    button.SetPictures(kOrigin.x(), kOrigin.y(), WindowPicture(kNormal), WindowPicture(kHover),
                       WindowPicture(kPressed), WindowPicture(kDisabled), WindowPicture(kChecked));
}

void Enter(QWidget& widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(widget.mapToGlobal(QPoint(2, 2))));
    QApplication::sendEvent(&widget, &event);
}

void Leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

QColor Shown(PngButton& button,
             QPoint at = QPoint(kButtonSize.width() / 2, kButtonSize.height() / 2)) {
    return button.grab().toImage().pixelColor(at);
}

// Pixels of a caption drawn over black in a pure colour: the colour's channels lit, the rest dark
// (edges are blended, so a margin is allowed).
bool Tinted(const QColor& pixel, const QColor& colour) {
    const auto near = [](int value, int target) { return target == 0 ? value < 60 : value > 120; };
    return near(pixel.red(), colour.red()) && near(pixel.green(), colour.green()) &&
           near(pixel.blue(), colour.blue());
}

int CountTinted(PngButton& button, const QColor& colour) {
    const QImage shot = button.grab().toImage();
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            count += Tinted(shot.pixelColor(x, y), colour) ? 1 : 0;
        }
    }
    return count;
}

QRect TintedBounds(PngButton& button, const QColor& colour) {
    const QImage shot = button.grab().toImage();
    QRect bounds;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (Tinted(shot.pixelColor(x, y), colour)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

class PngButtonTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QToolTip::hideText(); }

    void stateChoosesPicture_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("override");  // 0 off, 1 first, 2 second
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QColor>("shown");
        QTest::newRow("normal") << true << 0 << false << false << false << kNormal;
        QTest::newRow("disabled beats all") << false << 1 << true << true << true << kDisabled;
        QTest::newRow("disabled and checked") << false << 0 << false << false << true << kDisabled;
        QTest::newRow("override beats pressed") << true << 1 << true << true << true << kOverride;
        QTest::newRow("second override") << true << 2 << false << false << false << kSecondOverride;
        QTest::newRow("pressed beats hover") << true << 0 << true << true << true << kPressed;
        QTest::newRow("hover beats checked") << true << 0 << false << true << true << kHover;
        QTest::newRow("checked") << true << 0 << false << false << true << kChecked;
    }

    void stateChoosesPicture() {
        QFETCH(bool, enabled);
        QFETCH(int, override);
        QFETCH(bool, pressed);
        QFETCH(bool, hover);
        QFETCH(bool, checked);
        QFETCH(QColor, shown);
        PngButton button;
        MakePictured(button);
        if (override != 0) {
            button.SetOverride(WindowPicture(kOverride), WindowPicture(kSecondOverride), true,
                               override == 2);
        }
        // Override and pictures drop hover and pressed, so the states come after them.
        if (hover) {
            Enter(button);
        }
        button.setDown(pressed);
        button.SetChecked(checked);
        button.setEnabled(enabled);
        QCOMPARE(Shown(button), shown);
        // The part outside the button never shows.
        QCOMPARE(Shown(button, {0, 0}), shown);
        QCOMPARE(Shown(button, {kButtonSize.width() - 1, kButtonSize.height() - 1}), shown);
    }

    void hoverComesAndGoesWithTheMouse() {
        PngButton button;
        MakePictured(button);
        int paints = 0;
        bool lastUsedNormal = false;
        button.SetPaintCallback([&](PngButton& painted, bool usedNormal) {
            QCOMPARE(&painted, &button);
            ++paints;
            lastUsedNormal = usedNormal;
        });
        Enter(button);
        QVERIFY(button.IsHover());
        QCOMPARE(Shown(button), kHover);
        QVERIFY(!lastUsedNormal);
        Leave(button);
        QVERIFY(!button.IsHover());
        QCOMPARE(Shown(button), kNormal);
        QVERIFY(lastUsedNormal);
        QCOMPARE(paints, 2);

        // New pictures drop the hover until the mouse moves again.
        Enter(button);
        MakePictured(button);
        QVERIFY(!button.IsHover());
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3),
                         QPointF(button.mapToGlobal(QPoint(3, 3))), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&button, &move);
        QVERIFY(button.IsHover());
    }

    void originPicksPartOfPicture() {
        PngButton button;
        MakePictured(button);
        button.SetPictureOrigin(0, 0);
        QCOMPARE(Shown(button), kFrame);
        button.SetPictureOrigin(kOrigin.x() - 4, kOrigin.y());
        QCOMPARE(Shown(button, {1, 1}), kFrame);
        QCOMPARE(Shown(button, {5, 1}), kNormal);
    }

    void outlineIsClampedAndDrawnHollow() {
        PngButton button;
        MakePictured(button);
        button.resize(20, 12);
        button.SetOutline(Qt::red, 150, true);
        QVERIFY(button.OutlineOn());
        QCOMPARE(button.OutlinePercent(), 100);
        const QImage shot = button.grab().toImage();
        const QColor red(Qt::red);
        for (const QPoint& p : {QPoint(1, 1), QPoint(2, 2), QPoint(18, 10), QPoint(17, 6),
                                QPoint(10, 1), QPoint(1, 6)}) {
            QCOMPARE(shot.pixelColor(p), red);
        }
        for (const QPoint& p : {QPoint(0, 0), QPoint(19, 11), QPoint(3, 3), QPoint(10, 6)}) {
            QVERIFY2(shot.pixelColor(p) != red,
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        }

        button.SetOutline(Qt::red, 150, false);
        QCOMPARE(button.OutlinePercent(), 150);
        QCOMPARE(Shown(button, {1, 1}), kNormal);  // the picture again
        button.SetOutline(Qt::blue, 60, true);
        QCOMPARE(button.OutlinePercent(), 60);
    }

    void captionTakesColourOfChosenLook() {
        PngButton button;
        button.resize(60, 20);
        const QPixmap black = [] {
            QPixmap picture(100, 60);
            picture.fill(Qt::black);
            return picture;
        }();
        button.SetPictures(0, 0, black, black, black, black, black);
        button.setText(QStringLiteral("WWW"));
        button.SetTextColours(Qt::red, Qt::green, Qt::blue, Qt::yellow);

        // No font from the owner: no caption.
        QCOMPARE(CountTinted(button, Qt::red), 0);
        button.SetCaptionFont();
        QVERIFY(CountTinted(button, Qt::red) > 0);
        button.SetChecked(true);
        QVERIFY(CountTinted(button, Qt::green) > 0);
        QCOMPARE(CountTinted(button, Qt::red), 0);
        button.setDown(true);
        QVERIFY(CountTinted(button, Qt::blue) > 0);
        button.setEnabled(false);
        QVERIFY(CountTinted(button, Qt::yellow) > 0);
        QCOMPARE(CountTinted(button, Qt::blue), 0);

        // Turned a quarter, the caption stands upright: taller than wide.
        button.setEnabled(true);
        button.setDown(false);
        button.SetChecked(false);
        button.resize(60, 60);
        button.SetCaptionFont(QString::fromLatin1(PngButton::kDefaultFontFace), 12, 900);
        const QRect upright = TintedBounds(button, Qt::red);
        QVERIFY(upright.isValid());
        QVERIFY2(upright.height() > upright.width(),
                 qPrintable(QStringLiteral("%1x%2").arg(upright.width()).arg(upright.height())));
    }

    void tooltipFollowsItsRules() {
        PngButton button;
        MakePictured(button);
        button.SetTooltipText(QString(), true);
        QVERIFY(!button.Tooltip().created);

        button.SetTooltipText(QStringLiteral("Apply"), true);
        QVERIFY(button.Tooltip().created);
        QCOMPARE(button.Tooltip().delayMs, 300);
        QCOMPARE(QString::fromStdString(button.Tooltip().text), QStringLiteral("Apply"));

        // An empty text leaves the tooltip as it was.
        button.SetTooltipText(QString(), false);
        QCOMPARE(QString::fromStdString(button.Tooltip().text), QStringLiteral("Apply"));
        QVERIFY(button.Tooltip().active);

        // Hovering shows it at once.
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        Enter(button);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("Apply"));
        Leave(button);
        QToolTip::hideText();

        // A deactivated tooltip stays hidden on hover.
        button.SetTooltipText(QStringLiteral("Close"), false);
        Enter(button);
        QTest::qWait(50);
        QVERIFY(!QToolTip::isVisible() || QToolTip::text() != QStringLiteral("Close"));
    }
};

}  // namespace

std::unique_ptr<QObject> MakePngButtonTest() {
    return std::make_unique<PngButtonTest>();
}

}  // namespace qv::gui::test

#include "png_button_test.moc"
