#include "gui/action_cell_delegate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <utility>

#include "editing/action_list_edits.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::gui {
namespace {

// More digits than the longest delay has, so that a typed 45678 still reads as too long.
constexpr int kDelayDigits = 9;

ActionColumn ColumnOf(const QModelIndex& index) {
    return static_cast<ActionColumn>(index.column());
}

}  // namespace

ActionCellDelegate::ActionCellDelegate(QObject* parent, QStringList keyNames,
                                       QStringList stateSigns, Hooks hooks)
    : QStyledItemDelegate(parent),
      keyNames_(std::move(keyNames)),
      stateSigns_(std::move(stateSigns)),
      hooks_(std::move(hooks)) {}

QWidget* ActionCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    const ActionColumn column = ColumnOf(index);
    if (hooks_.opening) {
        hooks_.opening(column);
    }
    cell_ = index;
    if (column == ActionColumn::Delay) {
        auto* edit = new QLineEdit(parent);
        editor_ = edit;
        edit->setObjectName(QStringLiteral("DelayEditor"));
        edit->setMaxLength(kDelayDigits);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        return edit;
    }
    auto* combo = new QComboBox(parent);
    combo->setObjectName(column == ActionColumn::Key ? QStringLiteral("KeyEditor")
                                                     : QStringLiteral("StateEditor"));
    combo->addItems(column == ActionColumn::Key ? keyNames_ : stateSigns_);
    editor_ = combo;
    // A choice is taken at once, as a click in the list closes it.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        emit const_cast<ActionCellDelegate*>(this)->commitData(combo);
        emit const_cast<ActionCellDelegate*>(this)->closeEditor(combo);
    });
    return combo;
}

void ActionCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const auto value = index.data(kActionValueRole).toUInt();
    switch (ColumnOf(index)) {
        case ActionColumn::Delay:
            static_cast<QLineEdit*>(editor)->setText(QString::number(value));
            break;
        case ActionColumn::Key: {
            // Mouse buttons have no place in the list: nothing is preselected for them.
            const keys::KeyListId id = keys::ListIdFromKeyCode(static_cast<keys::KeyCode>(value));
            static_cast<QComboBox*>(editor)->setCurrentIndex(
                id < keys::kKeyChoiceCount ? static_cast<int>(id) : -1);
            break;
        }
        case ActionColumn::State:
            static_cast<QComboBox*>(editor)->setCurrentIndex(value == 0 ? 0 : 1);
            break;
    }
}

void ActionCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const {
    if (!hooks_.chosen) {
        return;
    }
    const ActionColumn column = ColumnOf(index);
    if (column == ActionColumn::Delay) {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        hooks_.chosen(index.row(), column, macros::LeadingDigitsValue(text.toStdString()));
        return;
    }
    const int choice = static_cast<QComboBox*>(editor)->currentIndex();
    if (choice >= 0) {
        hooks_.chosen(index.row(), column, static_cast<std::uint64_t>(choice));
    }
}

}  // namespace qv::gui
