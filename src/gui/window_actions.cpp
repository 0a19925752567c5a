#include "gui/window_actions.h"

#include <QAction>
#include <QString>

namespace qv::gui {

namespace {

QAction* NamedAction(QObject* owner, const char* name) {
    auto* action = new QAction(owner);
    // Tests and tools find a command by its name, whatever the language shown.
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

WindowActions MakeWindowActions(QObject* owner) {
    return {.open = NamedAction(owner, "OpenAction"),
            .about = NamedAction(owner, "AboutAction"),
            .exit = NamedAction(owner, "ExitAction"),
            .importProfile = NamedAction(owner, "ImportAction"),
            .exportProfile = NamedAction(owner, "ExportAction")};
}

}  // namespace qv::gui
