#include "gui/file_chooser.h"

#include <QFileDialog>

namespace qv::gui {

FileChooser SystemFileChooser() {
    return [](QWidget* parent, FileChoice choice, const QString& suggestion) {
        const QString filter = QStringLiteral("(*.fwc) (*.fwc);;(*.*) (*)");
        return choice == FileChoice::Open
                   ? QFileDialog::getOpenFileName(parent, QString(), suggestion, filter)
                   : QFileDialog::getSaveFileName(parent, QString(), suggestion, filter);
    };
}

}  // namespace qv::gui
