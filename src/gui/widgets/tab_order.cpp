#include "gui/widgets/tab_order.h"

#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace qv::gui {

void SetReadingTabOrder(QWidget& window, int rowTolerance) {
    struct Placed {
        QWidget* widget;
        QPoint at;
    };
    std::vector<Placed> placed;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        // Children of a pop-up (a combo box's list) live in a window of their own.
        if ((child->focusPolicy() & Qt::TabFocus) != 0 && child->window() == window.window() &&
            child->focusProxy() == nullptr) {
            placed.push_back({child, child->mapTo(&window, QPoint(0, 0))});
        }
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [rowTolerance](const Placed& a, const Placed& b) {
                         if (std::abs(a.at.y() - b.at.y()) > rowTolerance) {
                             return a.at.y() < b.at.y();
                         }
                         return a.at.x() < b.at.x();
                     });
    for (std::size_t i = 1; i < placed.size(); ++i) {
        QWidget::setTabOrder(placed[i - 1].widget, placed[i].widget);
    }
}

}  // namespace qv::gui
