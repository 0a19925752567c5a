// What the skinned windows look like, pixel for pixel, against renderings kept in the source
// tree: the main window, the assignment dialog on its key page and on its macro page, and the
// profile manager, each with its picture buttons at rest and with all of them hovered, pressed,
// disabled and checked. How the windows keep their pictures may change; what they show may not.
//
// The captions are drawn with the fonts tools/install-deps.sh installs; with other fonts the
// text differs.
//
// A state's rendering is kept as its difference (XOR) from the resting one, which is mostly zero
// and so stays small. QUORVANE_WRITE_GOLDEN=1 writes the files instead of comparing, for a look
// that changes on purpose.

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "desktop_fixture.h"
#include "gui/assignment_dialog.h"
#include "gui/lighting_panel.h"
#include "gui/main_window.h"
#include "gui/profile_manager.h"
#include "gui/widgets/png_button.h"
#include "gui_tests.h"

namespace qv::gui::test {
namespace {

const char* const kStates[] = {"hover", "pressed", "disabled", "checked"};

// What is left out of the comparison: tables (they list files under a temporary folder) and
// the busy animation's picture (whether it shows depends on when the keyboard service works).
std::vector<QRect> Unstable(QWidget& window) {
    std::vector<QRect> areas;
    for (const QTableWidget* table : window.findChildren<QTableWidget*>()) {
        areas.emplace_back(table->mapTo(&window, QPoint(0, 0)), table->size());
    }
    if (auto* main = qobject_cast<MainWindow*>(&window)) {
        areas.push_back(main->ProgressImage()->geometry());
    }
    return areas;
}

void Blank(QImage& image, const std::vector<QRect>& areas) {
    QPainter painter(&image);
    for (const QRect& area : areas) {
        painter.fillRect(area, Qt::black);
    }
}

// The window as drawn, without a focus frame (where the focus lands depends on when the window
// became active) and with its unstable parts blanked.
QImage Rendering(QWidget& window) {
    QWidget* focused = QApplication::focusWidget();
    const bool inWindow = focused != nullptr && focused->window() == &window;
    if (inWindow) {
        focused->clearFocus();
    }
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (inWindow) {
        focused->setFocus();
    }
    Blank(image, Unstable(window));
    return image;
}

QImage Xor(const QImage& a, const QImage& b) {
    QImage out = a.copy();
    if (a.size() != b.size()) {
        return {};
    }
    for (int y = 0; y < a.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* other = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            line[x] = 0xFF000000u | ((line[x] ^ other[x]) & 0xFFFFFFu);
        }
    }
    return out;
}

// Puts every picture button of `window` (not of its child windows) into `state`, renders, and
// puts them back.
QImage RenderingInState(QWidget& window, const std::string& state) {
    QList<PngButton*> buttons;
    for (PngButton* button : window.findChildren<PngButton*>()) {
        if (button->window() == &window) {
            buttons.push_back(button);
        }
    }
    std::map<PngButton*, std::pair<bool, bool>> was;
    for (PngButton* button : buttons) {
        was[button] = {button->isEnabled(), button->IsCheckedLook()};
        if (state == "hover") {
            QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QCoreApplication::sendEvent(button, &enter);
        } else if (state == "pressed") {
            button->setDown(true);
        } else if (state == "disabled") {
            button->setEnabled(false);
        } else if (state == "checked") {
            button->SetChecked(true);
        }
    }
    const QImage image = Rendering(window);
    for (PngButton* button : buttons) {
        if (state == "hover") {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(button, &leave);
        }
        button->setDown(false);
        button->setEnabled(was[button].first);
        button->SetChecked(was[button].second);
    }
    return image;
}

QString GoldenPath(const QString& name) {
    return QDir(QStringLiteral(QUORVANE_GOLDEN_DIR)).filePath(name + QStringLiteral(".png"));
}

bool Writing() {
    return qEnvironmentVariableIntValue("QUORVANE_WRITE_GOLDEN") == 1;
}

// The first differing pixel, for the failure message; empty when the images are equal.
QString FirstDifference(const QImage& got, const QImage& want) {
    if (got.size() != want.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(got.width())
            .arg(got.height())
            .arg(want.width())
            .arg(want.height());
    }
    for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
            if ((got.pixel(x, y) & 0xFFFFFFu) != (want.pixel(x, y) & 0xFFFFFFu)) {
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(got.pixel(x, y), 8, 16)
                    .arg(want.pixel(x, y), 8, 16);
            }
        }
    }
    return {};
}

void Compare(const QImage& got, const QString& name, const std::vector<QRect>& unstable) {
    const QString path = GoldenPath(name);
    if (Writing()) {
        QVERIFY2(got.save(path, "PNG", 0), qPrintable(path));
        return;
    }
    QImage want = QImage(path).convertToFormat(QImage::Format_RGB32);
    Blank(want, unstable);
    QVERIFY2(!want.isNull(), qPrintable(QStringLiteral("no rendering at ") + path));
    const QString difference = FirstDifference(got, want);
    QVERIFY2(difference.isEmpty(), qPrintable(name + QStringLiteral(": ") + difference));
}

// The window at rest and in every button state, all drawn before any is compared. The mouse is
// taken away first: a window that opens under it would show a hovered button.
void CompareWindow(QWidget& window, const QString& name) {
    QCursor::setPos(-1000, -1000);
    for (PngButton* button : window.findChildren<PngButton*>()) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
    }
    QCoreApplication::processEvents();
    const QImage resting = Rendering(window);
    std::vector<std::pair<QString, QImage>> renderings{{name, resting}};
    for (const char* state : kStates) {
        renderings.emplace_back(name + QStringLiteral("_") + QString::fromLatin1(state),
                                Xor(RenderingInState(window, state), resting));
    }
    for (const auto& [file, image] : renderings) {
        Compare(image, file, Unstable(window));
        if (QTest::currentTestFailed()) {
            return;
        }
    }
}

class RenderingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Desktop> desktop_;

    MainWindow& Window() { return desktop_->Window(); }

private slots:
    void init() {
        home_ = MakeHomeFolder();
        desktop_ = StartDesktop(*home_, {});
        QTRY_VERIFY_WITH_TIMEOUT(Window().isVisible(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!Window().ProgressImage()->isVisible(), kWait);
    }
    void cleanup() {
        desktop_.reset();
        home_.reset();
    }

    void theMainWindowLooksAsItDid() { CompareWindow(Window(), QStringLiteral("main_window")); }

    void theMainWindowLooksAsItDidAfterBeingHiddenAndOpenedAgain() {
        Window().Button("CONTROL_CANCEL")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Window().isVisible(), kWait);
        Window().OpenWindow();
        QTRY_VERIFY_WITH_TIMEOUT(Window().isVisible(), kWait);
        // Opening may set the keyboard service working: its progress image comes and goes.
        QVERIFY(desktop_->Settle());
        QTRY_VERIFY_WITH_TIMEOUT(!Window().ProgressImage()->isVisible(), kWait);
        // Kept apart: the focus does not come back to where it was at the first opening.
        CompareWindow(Window(), QStringLiteral("main_window_reopened"));
    }

    void theLightingPanelLooksAsItDidInASingleColourModeAndThePerKeyMode() {
        LightingPanel& panel = Window().Lighting();
        QTest::mouseClick(panel.Control("CONTROL_DengStaPic"), Qt::LeftButton);
        QVERIFY(desktop_->Settle());
        QVERIFY(panel.IsOpen());
        for (const auto& [mode, name] :
             {std::pair{1, "main_window_lighting"},
              std::pair{lighting::kPerKeyColourMode, "main_window_lighting_per_key"}}) {
            auto* combo = qobject_cast<QComboBox*>(panel.Control("CONTROL_XGcombox"));
            QVERIFY(combo != nullptr);
            const int position = panel.Model().Modes().ModePositionOf(mode);
            QVERIFY(position >= 0);
            combo->setCurrentIndex(position);
            emit combo->activated(position);
            QVERIFY(desktop_->Settle());
            CompareWindow(Window(), QString::fromLatin1(name));
        }
    }

    void theWindowsKeepNoPictureWhileHidden() {
        // The picture buttons drawn from the skin's state pictures, those with an origin in them.
        const auto pictures = [](QWidget& window) {
            int held = 0;
            for (const PngButton* button : window.findChildren<PngButton*>()) {
                held += button->window() == &window && button->HasPicture() ? 1 : 0;
            }
            return held;
        };
        QVERIFY(pictures(Window()) > 0);
        Window().Button("KEY_01E")->click();
        AssignmentDialog* dialog = Window().Assignment();
        QVERIFY(dialog != nullptr && dialog->IsOpen());
        QVERIFY(pictures(*dialog) > 0);
        QVERIFY(!dialog->Background().isNull());
        dialog->CloseIfOpen();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kWait);
        QCOMPARE(pictures(*dialog), 0);
        QVERIFY(dialog->Background().isNull());

        Window().Button("FUNC_PROFILES")->click();
        QVERIFY(desktop_->Settle());
        ProfileManagerDialog* manager = Window().ProfileManager();
        QVERIFY(manager != nullptr && manager->IsOpen());
        QVERIFY(pictures(*manager) > 0);
        manager->Button("CONTROL_CANCEL")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!manager->isVisible(), kWait);
        QCOMPARE(pictures(*manager), 0);
        QVERIFY(manager->Background().isNull());

        Window().Button("CONTROL_CANCEL")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Window().isVisible(), kWait);
        QCOMPARE(pictures(Window()), 0);
        QVERIFY(Window().Background().isNull());
    }

    void theAssignmentDialogLooksAsItDidOnBothPages() {
        Window().Button("KEY_01E")->click();
        AssignmentDialog* dialog = Window().Assignment();
        QVERIFY(dialog != nullptr && dialog->IsOpen());
        CompareWindow(*dialog, QStringLiteral("assignment_keys"));
        dialog->Button("CONTROL_MACRO")->click();
        CompareWindow(*dialog, QStringLiteral("assignment_macros"));
    }

    void theProfileManagerLooksAsItDid() {
        Window().Button("FUNC_PROFILES")->click();
        QVERIFY(desktop_->Settle());
        ProfileManagerDialog* manager = Window().ProfileManager();
        QVERIFY(manager != nullptr && manager->IsOpen());
        CompareWindow(*manager, QStringLiteral("profile_manager"));
    }
};

}  // namespace

std::unique_ptr<QObject> MakeRenderingTest() {
    return std::make_unique<RenderingTest>();
}

}  // namespace qv::gui::test

#include "rendering_test.moc"
