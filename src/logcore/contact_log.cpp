#include "logcore/contact_log.h"

#include "common/file_io.h"

#include <algorithm>
#include <cmath>

namespace zev {

const QStringList &BandCodes()
{
    static const QStringList codes{"160", "80", "40", "20", "15", "10", "6", "2"};
    return codes;
}

const std::array<Province, 13> &ProvinceTable()
{
    static const std::array<Province, 13> table{{
        {"NS", "Nova Scotia"},
        {"QC", "Quebec"},
        {"ON", "Ontario"},
        {"MB", "Manitoba"},
        {"SK", "Saskatchewan"},
        {"AB", "Alberta"},
        {"BC", "British Columbia"},
        {"NT", "Northwest Territories"},
        {"NB", "New Brunswick"},
        {"NL", "Newfoundland - Labrador"},
        {"NU", "Nunavut"},
        {"YT", "Yukon Territory"},
        {"PE", "Prince Edward"},
    }};
    return table;
}

QByteArray RecordLine(const ContactRecord &r)
{
    return FormatLine({r.Call, r.ReportRcvd, r.SerialSent, r.ReportSent, r.ExchangeRcvd, r.QsoDate,
                       r.QsoTime, r.Mode, r.Band, r.Points, r.Frequency, r.Country});
}

LogReadResult ParseLog(const QByteArray &data, std::vector<ContactRecord> &records)
{
    records.clear();
    records.reserve(size_t(std::min<qsizetype>(kLogCapacity, data.size() / 60 + 1)));
    ValueReader in(data);
    LogReadResult result;
    auto fail = [&](const QString &why) {
        result.ok = false;
        result.error = why;
        result.position = in.position();
        result.record = int(records.size()) + 1;
        return result;
    };
    while (!in.atEnd()) {
        if (int(records.size()) == kLogCapacity) {
            fail(QStringLiteral("more than %1 records").arg(kLogCapacity));
            result.position = in.here();
            return result;
        }
        // Start from the previous record so repeated values share their text.
        ContactRecord r = records.empty() ? ContactRecord() : records.back();
        QString *const before[] = {&r.Call, &r.ReportRcvd, &r.SerialSent, &r.ReportSent,
                                   &r.ExchangeRcvd, &r.QsoDate, &r.QsoTime, &r.Mode, &r.Band};
        for (QString *field : before)
            if (!in.next(*field))
                return fail(in.error());
        if (!in.nextNumber(r.Points))
            return fail(QStringLiteral("points: ") + in.error());
        if (!in.next(r.Frequency) || !in.next(r.Country))
            return fail(in.error());
        records.push_back(std::move(r));
    }
    return result;
}

LogReadResult ReadLogFile(const QString &path, std::vector<ContactRecord> &records)
{
    QString error;
    std::optional<QByteArray> data = ReadWholeFile(path, &error);
    if (!data) {
        records.clear();
        LogReadResult r;
        r.ok = false;
        r.error = error;
        r.record = 1;
        return r;
    }
    return ParseLog(*data, records);
}

int AddPoints(int total, double points)
{
    const double sum = std::nearbyint(double(total) + (std::isfinite(points) ? points : 0));
    return int(std::clamp(sum, -2147483647.0, 2147483647.0));
}

int SumPoints(const std::vector<ContactRecord> &records)
{
    int total = 0;
    for (const ContactRecord &r : records)
        total = AddPoints(total, r.Points);
    return total;
}

QByteArray FormatLog(const std::vector<ContactRecord> &records)
{
    QByteArray out;
    out.reserve(qsizetype(records.size()) * 80);
    for (const ContactRecord &r : records) {
        out += RecordLine(r);
        out += "\r\n";
    }
    return out;
}

bool AppendRecord(const QString &path, const ContactRecord &r, QString *error)
{
    return AppendDurable(path, RecordLine(r) + "\r\n", error, true);
}

bool RewriteLog(const QString &path, const std::vector<ContactRecord> &records, QString *error)
{
    return WriteFileAtomic(path, FormatLog(records), error);
}

}  // namespace zev

namespace zev {

void ContactLog::derive(const ContactRecord &r)
{
    TotalPoints = AddPoints(TotalPoints, r.Points);
    slots_.push_back(SlotOf(r.Band, r.Mode));
    if (!IsNumeric(r.ExchangeRcvd))
        mults.Tally(r);
}

void ContactLog::deriveAll()
{
    TotalPoints = 0;
    mults.clear();
    slots_.clear();
    slots_.reserve(records_.size());
    for (const ContactRecord &r : records_)
        derive(r);
}

void ContactLog::setRecords(std::vector<ContactRecord> records)
{
    records_ = std::move(records);
    deriveAll();
    emit reloaded();
}

void ContactLog::append(const ContactRecord &r)
{
    records_.push_back(r);
    derive(r);
    emit added(RecordCount());
}

bool ContactLog::store(const QString &path, const ContactRecord &r, QString *error)
{
    if (!AppendRecord(path, r, error))
        return false;
    append(r);
    return true;
}

bool ContactLog::replace(const QString &path, int n, const ContactRecord &r, QString *error)
{
    if (n < 1 || n > RecordCount())
        return false;
    std::vector<ContactRecord> records = records_;
    records[size_t(n - 1)] = r;
    if (!RewriteLog(path, records, error))
        return false;
    records_ = std::move(records);
    deriveAll();
    emit changed(n);
    return true;
}

bool ContactLog::remove(const QString &path, int n, QString *error)
{
    if (n < 1 || n > RecordCount())
        return false;
    std::vector<ContactRecord> records = records_;
    records.erase(records.begin() + (n - 1));
    if (!RewriteLog(path, records, error))
        return false;
    records_ = std::move(records);
    deriveAll();
    emit removed(n);
    return true;
}

}  // namespace zev
