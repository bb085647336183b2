#pragma once
// Numbers in the keying settings files: a value no box could hold goes back to its default
// and is named in a note, so a damaged file never carries an absurd number into the keyers.

#include "common/quoted_values.h"

#include <QString>
#include <QStringList>

#include <cmath>

namespace zev {

// True when `text` is a number from `low` to `high` (whole when asked). Compared as a
// double, never converted first.
inline bool NumberWithin(const QString &text, double low, double high, bool whole)
{
    if (!IsNumeric(text))
        return false;
    const double v = NumericValue(text);
    return std::isfinite(v) && v >= low && v <= high && (!whole || v == std::floor(v));
}

// A number box read from a file: a numeric text outside the range becomes `fallback` and
// `name` goes into `notes`. Other text is left for the box's own rules.
inline void KeepNumberInRange(QString &value, double low, double high, bool whole, const QString &fallback,
                              const QString &name, QStringList *notes)
{
    if (!IsNumeric(value) || NumberWithin(value, low, high, whole))
        return;
    value = fallback;
    if (notes)
        notes->append(name);
}

// The note the operator sees for a file with values set back.
inline QString OutOfRangeNote(const QString &file, const QStringList &names)
{
    return QStringLiteral("%1 had values out of range; these were set back to their defaults: %2.")
        .arg(file, names.join(QStringLiteral(", ")));
}

}  // namespace zev
