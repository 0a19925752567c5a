#pragma once

// One Qt Test class per widget, all run by one program under one QApplication. Each maker is
// named Make and its class's name: tests/gui/CMakeLists.txt reads the class names from here.

#include <QObject>

#include <memory>
#include <vector>

namespace qv::gui::test {

std::unique_ptr<QObject> MakeBaseDialogTest();
std::unique_ptr<QObject> MakeDesktopAppTest();
std::unique_ptr<QObject> MakeEditParityTest();
std::unique_ptr<QObject> MakeIniFileTest();
std::unique_ptr<QObject> MakeKeyboardViewTest();
std::unique_ptr<QObject> MakeLightingPanelTest();
std::unique_ptr<QObject> MakeMacroPageTest();
std::unique_ptr<QObject> MakePngButtonTest();
std::unique_ptr<QObject> MakeProfilesTest();
std::unique_ptr<QObject> MakeRenderingTest();
std::unique_ptr<QObject> MakeSkinColorBtnTest();

}  // namespace qv::gui::test
