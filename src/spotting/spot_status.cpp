#include "spotting/spot_status.h"

#include "logcore/contact_log.h"
#include "logcore/dupes.h"
#include "logcore/entry_rules.h"
#include "logcore/scoring.h"
#include "rig/band_conversion.h"

namespace zev {

QString SpotProvince(const ContactLog &log, const QString &call)
{
    // What the station sent before beats a guess from its prefix (a VE3 moved to BC).
    for (int n : PreviousContacts(log, call))
        if (const QString &exchange = log.record(n).ExchangeRcvd; IsProvince(exchange))
            return exchange.toUpper();
    return ProvinceFromPrefix(call);
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
    if (FindDupe(log, call.trimmed(), band, mode) > 0)
        return SpotMark::Dupe;
    const int b = BandIndex(band);
    const QString province = SpotProvince(log, call.trimmed());
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
