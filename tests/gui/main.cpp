// QTEST_MAIN runs a single class; this runs the widgets' classes under the one QApplication a
// process may have. A class name as the first argument (IniFileTest, say) runs that class
// alone, which is how ctest runs them, one entry per class, so that a failure names its class;
// without one every class runs, and the program fails when any of them fails. Qt Test's own
// arguments follow.

#include <QApplication>
#include <QMetaObject>
#include <QTest>

#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "gui_tests.h"

namespace {

// The class name without its namespace.
std::string_view ClassName(const QObject& test) {
    const std::string_view name = test.metaObject()->className();
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

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

    std::vector<char*> arguments(argv, argv + argc);
    std::string_view only;
    if (arguments.size() > 1 && arguments[1][0] != '-') {
        only = arguments[1];
        arguments.erase(arguments.begin() + 1);
    }
    int failures = 0;
    bool ran = false;
    for (const auto& test : tests) {
        if (!only.empty() && ClassName(*test) != only) {
            continue;
        }
        ran = true;
        failures += QTest::qExec(test.get(), static_cast<int>(arguments.size()), arguments.data());
    }
    if (!ran) {
        std::fprintf(stderr, "no Qt Test class %.*s; the classes are:\n",
                     static_cast<int>(only.size()), only.data());
        for (const auto& test : tests) {
            const std::string_view name = ClassName(*test);
            std::fprintf(stderr, "  %.*s\n", static_cast<int>(name.size()), name.data());
        }
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
