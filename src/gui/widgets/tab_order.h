#pragma once

// Tab order for skinned windows, whose controls are created in skin-file order rather than
// where they appear: reading order, by rows from the top, each row from the left.

class QWidget;

namespace qv::gui {

// Chains every descendant of `window` that takes focus by Tab in reading order. Two controls
// whose tops lie within `rowTolerance` pixels count as one row.
void SetReadingTabOrder(QWidget& window, int rowTolerance = 4);

}  // namespace qv::gui
