#pragma once

// The macro page's memory meter: a bar of the share of the keyboard's macro memory the macros
// take, that figure in words, and what Apply will do about the memory when it is more than a
// plain write (drop the names, or refuse the macros). The words come from the caller.

#include <QString>
#include <QWidget>

#include "editing/macro_memory_meter.h"

class QLabel;
class QProgressBar;

namespace qv::gui {

class MacroMemoryView final : public QWidget {
    Q_OBJECT

public:
    explicit MacroMemoryView(QWidget* parent = nullptr);

    void Show(const macros::MacroMemoryMeter& meter, const QString& figure, const QString& warning);

    // ---- What tests look at ----
    [[nodiscard]] QProgressBar* Bar() const { return bar_; }
    [[nodiscard]] QLabel* Figure() const { return figure_; }
    [[nodiscard]] QLabel* Warning() const { return warning_; }

private:
    QProgressBar* bar_;
    QLabel* figure_;
    QLabel* warning_;
};

}  // namespace qv::gui
