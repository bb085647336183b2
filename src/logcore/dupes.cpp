#include "logcore/dupes.h"

#include "logcore/contact_log.h"

namespace zev {

namespace {

bool sameCall(const QString &a, const QString &b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Record n is on this band and mode; slots make the common case a number compare.
bool sameBandAndMode(const ContactLog &log, int n, int slot, const QString &band, const QString &mode)
{
    if (slot >= 0)
        return log.slot(n) == slot;
    const ContactRecord &r = log.record(n);
    return r.Band.compare(band, Qt::CaseInsensitive) == 0 && r.Mode.compare(mode, Qt::CaseInsensitive) == 0;
}

}  // namespace

int FindDupe(const ContactLog &log, const QString &call, const QString &band, const QString &mode)
{
    const int slot = SlotOf(band, mode);
    for (int n = 1; n <= log.RecordCount(); ++n) {
        if (sameCall(log.record(n).Call, call) && sameBandAndMode(log, n, slot, band, mode))
            return n;
    }
    return 0;
}

std::vector<int> PreviousContacts(const ContactLog &log, const QString &call)
{
    std::vector<int> out;
    for (int n = 1; n <= log.RecordCount(); ++n)
        if (sameCall(log.record(n).Call, call))
            out.push_back(n);
    return out;
}

QString PartialDupeList(const ContactLog &log, const QString &typed, const QString &band, const QString &mode)
{
    QString list;
    const int slot = SlotOf(band, mode);
    for (int n = 1; n <= log.RecordCount() && list.size() <= 100; ++n) {
        if (!sameBandAndMode(log, n, slot, band, mode))
            continue;
        const QString &call = log.record(n).Call;
        if (call.startsWith(typed, Qt::CaseInsensitive))
            list.prepend(call + QLatin1Char(' '));
    }
    return list;
}

QString DupeMessage(const ContactLog &log, int n)
{
    const ContactRecord &r = log.record(n);
    return QStringLiteral("Duplicate ") + r.Call + QLatin1Char(' ') + r.QsoDate + QLatin1Char(' ') + r.QsoTime +
           QStringLiteral("  Rec#  ") + QString::number(n);
}

std::vector<int> ExactDupes(const ContactLog &log, int except, const QString &call, const QString &band,
                            const QString &mode)
{
    std::vector<int> out;
    for (int n = 1; n <= log.RecordCount(); ++n) {
        const ContactRecord &r = log.record(n);
        if (n != except && r.Call == call && r.Band == band && r.Mode == mode)
            out.push_back(n);
    }
    return out;
}

int ProvinceTotal(const ContactLog &log, const QString &abbreviation)
{
    int count = 0;
    for (const ContactRecord &r : log.records())
        if (r.ExchangeRcvd.compare(abbreviation, Qt::CaseInsensitive) == 0)
            ++count;
    return count;
}

}  // namespace zev
