#pragma once

// In-place editors of the macro page's action list: the delay cell takes digits only, the key
// cell offers the key choice list, the action cell the two signs of press and release. The
// delegate writes nothing itself: it hands what was chosen to the page, which edits its macro
// copy and shows the row again.

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>

#include <cstdint>
#include <functional>

namespace qv::gui {

// The columns of the action list.
enum class ActionColumn : int { Key = 0, State = 1, Delay = 2 };

// The data role under which each cell keeps its raw value: the key code, the state (0 press,
// 1 release) and the delay in milliseconds.
inline constexpr int kActionValueRole = Qt::UserRole + 1;

class ActionCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    struct Hooks {
        // An editor opens over a cell of this column.
        std::function<void(ActionColumn column)> opening;
        // A row's cell got a new value: the key choice list position, the state, or the
        // typed delay (digits beyond the largest number stop there).
        std::function<void(int row, ActionColumn column, std::uint64_t value)> chosen;
    };

    // `keyNames`: the key choice list in order; `stateSigns`: press, then release.
    ActionCellDelegate(QObject* parent, QStringList keyNames, QStringList stateSigns, Hooks hooks);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // The editor last opened and its cell; the view knows whether it is still open.
    [[nodiscard]] QWidget* LastEditor() const { return editor_; }
    [[nodiscard]] QModelIndex LastEditedCell() const { return cell_; }

private:
    QStringList keyNames_;
    QStringList stateSigns_;
    Hooks hooks_;
    mutable QPointer<QWidget> editor_;
    mutable QPersistentModelIndex cell_;
};

}  // namespace qv::gui
