#pragma once
// The spot list on the main window: newest row on top, at most 200 rows.

#include "spotting/spot_intake.h"

class QTreeWidget;

namespace zev {

inline constexpr int kSpotListRows = 200;

// Column captions and widths, each a share of the main window's width; "Status" hidden.
void SetupSpotList(QTreeWidget *list, int windowWidth);
// Puts the spot on top; the oldest row goes when the list is full.
void AddSpotRow(QTreeWidget *list, const SpotRow &row);

}  // namespace zev
