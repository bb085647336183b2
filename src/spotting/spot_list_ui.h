#pragma once
// The spot list on the main window: newest row on top, at most 200 rows.

#include "spotting/spot_intake.h"
#include "spotting/spot_status.h"

#include <functional>

class QTreeWidget;

namespace zev {

inline constexpr int kSpotListRows = 200;

// Column captions and widths, each a share of the main window's width.
void SetupSpotList(QTreeWidget *list, int windowWidth);
// Puts the spot on top; the oldest row goes when the list is full.
void AddSpotRow(QTreeWidget *list, const SpotRow &row);

// What the log says of a spot, from its call and frequency (MHz).
using SpotMarker = std::function<SpotMark(const QString &call, float mhz)>;
// Writes the "Status" ("dupe", "mult" or nothing) of the top `rows` rows (-1: every row):
// dupes grey, multipliers bold.
void MarkSpotRows(QTreeWidget *list, const SpotMarker &marker, int rows = -1);

}  // namespace zev
