#include "spotting/spot_status.h"

#include "logcore/contact_log.h"
#include "logcore/dupes.h"
#include "logcore/entry_rules.h"
#include "logcore/scoring.h"
#include "rig/band_conversion.h"

namespace zev {

namespace {

// What the station sent before beats a guess from its prefix (a VE3 moved to BC).
QString ProvinceOf(const ContactLog &log, const std::vector<int> &previous, const QString &call)
{
    for (int n : previous)
        if (const QString &exchange = log.record(n).ExchangeRcvd; IsProvince(exchange))
            return exchange.toUpper();
    return ProvinceFromPrefix(call);
}

}  // namespace

QString SpotProvince(const ContactLog &log, const QString &call)
{
    return ProvinceOf(log, PreviousContacts(log, call), call);
}

SpotMark MarkSpot(const ContactLog &log, const QString &call, float mhz, const QString &currentBand,
                  const QString &mode)
{
    if (call.trimmed().isEmpty())
        return SpotMark::None;
    QString band = currentBand;
    if (mhz > 0) {
        const int b = BandIndexForFrequency(mhz);
        if (b < 0)
            return SpotMark::None;
        band = BandCodes().at(b);
    }
    // One pass over the log serves both questions: the contacts with this call.
    const QString c = call.trimmed();
    const std::vector<int> previous = PreviousContacts(log, c);
    const int slot = SlotOf(band, mode);
    for (int n : previous) {
        const ContactRecord &r = log.record(n);
        const bool here = slot >= 0 ? log.slot(n) == slot
                                    : r.Band.compare(band, Qt::CaseInsensitive) == 0 &&
                                          r.Mode.compare(mode, Qt::CaseInsensitive) == 0;
        if (here)
            return SpotMark::Dupe;
    }
    const int b = BandIndex(band);
    const QString province = ProvinceOf(log, previous, c);
    if (b < 0 || province.isEmpty())
        return SpotMark::None;
    if (log.mults.worked(b, ModeIndex(mode)).contains(province, Qt::CaseInsensitive))
        return SpotMark::None;
    return SpotMark::Mult;
}

QString SpotStatusText(SpotMark mark)
{
    switch (mark) {
    case SpotMark::Dupe:
        return QStringLiteral("dupe");
    case SpotMark::Mult:
        return QStringLiteral("mult");
    case SpotMark::None:
        break;
    }
    return {};
}

}  // namespace zev
