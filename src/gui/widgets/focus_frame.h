#pragma once

// The frame a focused picture control draws: its pictures have no focused look of their own,
// so the frame shows where the keyboard acts.

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>

namespace qv::gui {

inline constexpr int kFocusFrameWidth = 2;

inline void DrawFocusFrame(QPainter& painter, const QRect& area, const QColor& colour) {
    QPen pen(colour, kFocusFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int half = kFocusFrameWidth / 2;
    painter.drawRect(area.adjusted(half, half, -half - 1, -half - 1));
}

}  // namespace qv::gui
