#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "gui/widgets/skin_color_button.h"
#include "gui_tests.h"

namespace qv::gui::test {
namespace {

QColor FaceShown(SkinColorButton& button) {
    const QRect face = SkinColorButton::FaceRect(button.size());
    return button.grab().toImage().pixelColor(face.center());
}

class SkinColorBtnTest : public QObject {
    Q_OBJECT

private slots:
    void faceShowsCurrentOrAutomaticColour() {
        SkinColorButton button;
        button.resize(60, 24);
        QCOMPARE(SkinColorButton::FaceRect(button.size()).right(), 60 / 2 + 5 - 1);

        button.SetColour(QColor(10, 120, 230));
        QCOMPARE(FaceShown(button), QColor(10, 120, 230));

        button.SetAutomaticColour(QColor(250, 250, 0));
        button.SetColour(QColor());
        QCOMPARE(FaceShown(button), QColor(250, 250, 0));

        // A disabled button shows no colour at all.
        button.SetColour(QColor(10, 120, 230));
        button.setEnabled(false);
        QVERIFY(FaceShown(button) != QColor(10, 120, 230));
    }

    void paletteChoiceChangesColour() {
        SkinColorButton button;
        button.resize(60, 24);
        button.SetColour(Qt::black);
        QSignalSpy changed(&button, &SkinColorButton::ColourChanged);

        button.click();
        QFrame* popup = button.PalettePopup();
        QVERIFY(popup != nullptr);
        const auto swatches = popup->findChildren<QToolButton*>(QStringLiteral("swatch"));
        QCOMPARE(swatches.size(), static_cast<qsizetype>(SkinColorButton::PaletteColours().size()));
        auto* grid = qobject_cast<QGridLayout*>(popup->layout());
        QVERIFY(grid != nullptr);
        QCOMPARE(grid->columnCount(), SkinColorButton::kPaletteColumns);

        const QColor wanted = SkinColorButton::PaletteColours()[13];
        swatches[13]->click();
        QCOMPARE(button.Colour(), wanted);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).value<QColor>(), wanted);
        QTRY_VERIFY(button.PalettePopup() == nullptr);

        // The same colour again is no change.
        button.click();
        button.PalettePopup()->findChildren<QToolButton*>(QStringLiteral("swatch"))[13]->click();
        QCOMPARE(changed.size(), 1);
    }

    void otherButtonAsksForAnyColour() {
        SkinColorButton button;
        button.SetColour(QColor(1, 2, 3));
        QSignalSpy changed(&button, &SkinColorButton::ColourChanged);
        QColor answer;
        QColor askedWith;
        button.SetOtherColourChooser([&](const QColor& current, QWidget*) {
            askedWith = current;
            return answer;
        });

        // Giving up changes nothing.
        button.click();
        button.PalettePopup()->findChild<QPushButton*>(QStringLiteral("other"))->click();
        QCOMPARE(askedWith, QColor(1, 2, 3));
        QCOMPARE(button.Colour(), QColor(1, 2, 3));
        QCOMPARE(changed.size(), 0);

        answer = QColor(77, 88, 99);
        button.click();
        button.PalettePopup()->findChild<QPushButton*>(QStringLiteral("other"))->click();
        QCOMPARE(button.Colour(), answer);
        QCOMPARE(changed.size(), 1);
    }
};

}  // namespace

std::unique_ptr<QObject> MakeSkinColorBtnTest() {
    return std::make_unique<SkinColorBtnTest>();
}

}  // namespace qv::gui::test

#include "skin_color_button_test.moc"
