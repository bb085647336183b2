#include "logcore/scoring.h"

#include "common/quoted_values.h"
#include "logcore/contact_log.h"

namespace zev {

const QStringList &BonusStations()
{
    static const QStringList calls{"VA2ZEV", "VA3ZEV", "VE1ZEV", "VE4ZEV", "VE5ZEV", "VE6ZEV", "VE7ZEV",
                                   "VE8ZEV", "VE9ZEV", "VO1ZEV", "VO2ZEV", "VY0ZEV", "VY1ZEV", "VY2ZEV"};
    return calls;
}

double ContactPoints(const QString &call, const QString &exchange)
{
    double points = 2;
    if (call.size() <= 2)
        return points;
    static const QStringList tenPointPrefixes{"CY", "CZ", "XJ", "XK", "XL", "XM", "XN", "XO"};
    const QString c = call.toUpper();
    if (tenPointPrefixes.contains(c.left(2)))
        points = 10;
    if (c.startsWith(QLatin1Char('V')) || c.startsWith(QLatin1Char('C')))
        points = 10;
    // A serial number means a station outside Canada, except in the VE0 block.
    if (!c.startsWith(QLatin1String("VE0")) && IsNumeric(exchange))
        points = 2;
    if (BonusStations().contains(c))
        points = 20;
    return points;
}

int BandIndex(const QString &band)
{
    const QStringList &codes = BandCodes();
    for (int i = 0; i < codes.size(); ++i)
        if (codes[i].compare(band, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void MultiplierSets::clear()
{
    for (QStringList &s : sets_)
        s.clear();
    total_ = 0;
}

void MultiplierSets::Tally(const ContactRecord &r)
{
    // Any mode other than CW counts as phone here.
    const int band = BandIndex(r.Band);
    if (band < 0)
        return;
    QStringList &set = sets_[size_t(band * 2 + ModeIndex(r.Mode))];
    if (set.size() >= kMaxPerSet || set.contains(r.ExchangeRcvd, Qt::CaseInsensitive))
        return;
    set.append(r.ExchangeRcvd);
    ++total_;
}

QString GroupedNumber(qint64 n)
{
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return n < 0 ? QLatin1Char('-') + digits : digits;
}

}  // namespace zev
