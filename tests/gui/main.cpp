// QTEST_MAIN runs a single class; this runs every widget's class under the one QApplication a
// process may have, and fails when any of them fails.

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

#include "gui_tests.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(qv::gui::test::MakeIniFileTest());
    tests.push_back(qv::gui::test::MakeBaseDialogTest());
    tests.push_back(qv::gui::test::MakePngButtonTest());
    tests.push_back(qv::gui::test::MakeSkinColorBtnTest());
    tests.push_back(qv::gui::test::MakeDesktopAppTest());
    tests.push_back(qv::gui::test::MakeKeyboardViewTest());
    tests.push_back(qv::gui::test::MakeEditParityTest());
    tests.push_back(qv::gui::test::MakeLightingPanelTest());
    tests.push_back(qv::gui::test::MakeProfilesTest());
    tests.push_back(qv::gui::test::MakeMacroPageTest());
    tests.push_back(qv::gui::test::MakeRenderingTest());
    int failures = 0;
    for (const auto& test : tests) {
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
