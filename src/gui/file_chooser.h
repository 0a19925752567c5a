#pragma once

// How the desktop app asks the user for a profile file: the system's file dialog, or what a
// test or tool puts in its place.

#include <QString>

#include <functional>

class QWidget;

namespace qv::gui {

enum class FileChoice {
    Open,  // an existing file
    Save,  // a file to write; the dialog asks before it replaces one
};

// The chosen file, or an empty text when the user cancelled. `suggestion` is the folder or file
// the dialog starts at.
using FileChooser =
    std::function<QString(QWidget* parent, FileChoice choice, const QString& suggestion)>;

// The file dialogs of the toolkit, showing profile files first and every file second.
[[nodiscard]] FileChooser SystemFileChooser();

}  // namespace qv::gui
