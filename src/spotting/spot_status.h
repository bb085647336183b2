#pragma once
// What the log says of a spotted station: already worked here (a duplicate), or a
// province still missing on this band and mode (a new multiplier).

#include <QString>

namespace zev {

class ContactLog;

enum class SpotMark { None, Dupe, Mult };

// The province a spotted call would give: the exchange of an earlier contact with it,
// else the province of its prefix; empty when neither gives one.
QString SpotProvince(const ContactLog &log, const QString &call);

// The mark of a spot of `call` on `mhz` when working `mode`. The band is the contest
// band holding the spot's frequency; `currentBand` serves a spot without one (0).
// A spot outside every contest band is not marked.
SpotMark MarkSpot(const ContactLog &log, const QString &call, float mhz, const QString &currentBand,
                  const QString &mode);

// The spot list's "Status" text: "dupe", "mult" or empty.
QString SpotStatusText(SpotMark mark);

}  // namespace zev
