#include "logcore/prefix_table.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "logcore/scoring.h"

#include <QFileInfo>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace zev {

namespace {

constexpr double kDegPerRad = 57.29577951;
constexpr double kMilesPerRad = 3955.75791314991;
// acos near 1 loses half the digits: a point on top of the operator comes out a few
// 1e-8 rad away, so anything closer than this (well under 0.01 mile) counts as "here".
constexpr double kSameSpot = 1e-6;

// Reads one row of 8 values; false when the row is damaged or missing.
bool ReadRow(ValueReader &reader, PrefixEntry &e, int &firstLine, int &lastLine)
{
    double cq = 0, itu = 0, entity = 0;
    const bool ok = reader.next(e.Prefix);
    firstLine = reader.position().line;
    if (!ok || !reader.next(e.CountryName) || !reader.next(e.Continent)
        || !reader.nextNumber(e.Longitude) || !reader.nextNumber(e.Latitude)
        || !reader.nextNumber(cq) || !reader.nextNumber(itu) || !reader.nextNumber(entity))
        return false;
    lastLine = reader.position().line;
    // An empty prefix would match every call.
    return firstLine == lastLine && !e.Prefix.isEmpty();
}

void ReadTable(PrefixTable &table, QByteArray data)
{
    ValueReader reader(std::move(data));
    // A row is kept once the next one is seen to start on a later line: a row with
    // more than 8 values runs on into its own line and is damaged too.
    PrefixEntry pending;
    bool havePending = false;
    int pendingLine = 0;
    while (!reader.atEnd()) {
        PrefixEntry e;
        int first = 0, last = 0;
        const bool ok = ReadRow(reader, e, first, last);
        if (havePending) {
            if (first <= pendingLine)
                return;
            table.entries.push_back(std::move(pending));
            havePending = false;
            if (table.PrefixCount() >= kMaxPrefixEntries)
                return;
        }
        if (!ok)
            return;
        pending = std::move(e);
        pendingLine = last;
        havePending = true;
    }
    if (havePending)
        table.entries.push_back(std::move(pending));
}

inline char16_t Up(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    const char32_t u = QChar::toUpper(char32_t(c));
    return u <= 0xFFFF ? char16_t(u) : c;
}

// The call, upper-cased, as the scan compares it.
struct Call {
    const char16_t *text;
    qsizetype length;
    quint64 head;  // packed like PrefixTable::Key::head
};

quint64 PackHead(const char16_t *text, qsizetype length)
{
    quint64 head = 0;
    for (qsizetype k = 0; k < std::min<qsizetype>(length, 4); ++k)
        head |= quint64(text[k]) << (16 * k);
    return head;
}

// The prefixes as the lookup sees them, entry n at n (1-based), upper-cased.
struct EntryKeys {
    const PrefixEntry *e;
    char16_t first(int n) const
    {
        const QString &p = e[n - 1].Prefix;
        return p.isEmpty() ? char16_t(0) : Up(p.front().unicode());
    }
    // The prefix length when it is longer than bestLen and begins the call, else 0.
    qsizetype longerMatch(int n, const Call &call, qsizetype bestLen) const
    {
        const QString &p = e[n - 1].Prefix;
        const qsizetype len = p.size();
        if (len <= bestLen || len > call.length)
            return 0;
        for (qsizetype k = 0; k < len; ++k)
            if (Up(p[k].unicode()) != call.text[k])
                return 0;
        return len;
    }
};

struct PackedKeys {
    const PrefixTable::Key *keys;
    const PrefixEntry *e;
    char16_t first(int n) const { return char16_t(keys[n - 1].head); }
    qsizetype longerMatch(int n, const Call &call, qsizetype bestLen) const
    {
        const PrefixTable::Key &k = keys[n - 1];
        const quint64 mask = k.length >= 4 ? ~quint64(0) : (quint64(1) << (16 * k.length)) - 1;
        // Mostly false: decided without a branch per condition.
        const bool head = (k.length > bestLen) & (k.length <= call.length)
                          & ((call.head & mask) == k.head);
        if (!head)
            return 0;
        const QChar *p = e[n - 1].Prefix.constData();
        for (qsizetype c = 4; c < k.length; ++c)
            if (Up(p[c].unicode()) != call.text[c])
                return 0;
        return k.length;
    }
};

// The entry (1-based) whose prefix is the longest start of the call, 0 for none. Jumps
// to where the first character's block should be in a sorted table and scans from there.
template <class Keys>
int Scan(const Keys &keys, int count, const Call &call)
{
    const char16_t first = call.text[0];
    const int code = std::max<int>(first, 65);  // digits share the start of the table
    int i = std::clamp(int((long long)count * (code - 64) / 26), 1, count);
    // Back to the start of the letter's block.
    while (i > 1 && keys.first(i) == first)
        i = std::max(i - 5, 1);

    int best = 0;
    qsizetype bestLen = 0;
    // False once past the block.
    const auto consider = [&](int j, bool down) {
        const char16_t f = keys.first(j);
        if (f != first)
            return down ? f > first : f < first;
        if (const qsizetype len = keys.longerMatch(j, call, bestLen)) {
            best = j;
            bestLen = len;
        }
        return true;
    };
    if (keys.first(i) > first) {
        for (int j = i; j >= 1 && consider(j, true); --j) {
        }
    } else {
        for (int j = i; j <= count && consider(j, false); ++j) {
        }
    }
    return best;
}

bool SameTextIgnoringCase(const QString &a, QLatin1StringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

QString WholeNumberText(double v, bool thousands)
{
    // Headings and distances are never negative.
    const long long n = std::llround(v);
    if (n == 0)
        return QStringLiteral(" ");  // a zero prints as nothing
    return (thousands ? GroupedNumber(n) : QString::number(n)) + QLatin1Char(' ');
}

}  // namespace

void PrefixTable::Reindex()
{
    keys.clear();
    keys.reserve(entries.size());
    QVarLengthArray<char16_t, 4> head;
    for (const PrefixEntry &e : entries) {
        head.clear();
        for (qsizetype k = 0; k < std::min<qsizetype>(e.Prefix.size(), 4); ++k)
            head.append(Up(e.Prefix[k].unicode()));
        keys.push_back({PackHead(head.constData(), head.size()), e.Prefix.size()});
    }
}

QString LoadPrefixTable(PrefixTable &table, const QString &sharedFolder,
                        const QString &programDataFolder, const QString &startDir)
{
    table.entries.clear();
    table.Reindex();
    for (const QString &folder : {sharedFolder, programDataFolder, startDir}) {
        if (folder.isEmpty())
            continue;
        const QString path = folder + QStringLiteral("/arrlpre2.txt");
        if (!QFileInfo(path).isFile())
            continue;
        const std::optional<QByteArray> data = ReadWholeFile(path);
        if (!data)
            return QString();
        ReadTable(table, *data);
        table.Reindex();
        return path;
    }
    return QString();
}

HeadingDistance HDCalc(double myLat, double myLon, double lat2, double lon2)
{
    if (std::isnan(myLat) || std::isnan(myLon) || std::isnan(lat2) || std::isnan(lon2))
        return {};
    const double lat1 = myLat / kDegPerRad;
    const double lon1 = myLon / kDegPerRad;
    const double la2 = lat2 / kDegPerRad;
    const double lo2 = lon2 / kDegPerRad;

    const double x = std::clamp(std::sin(lat1) * std::sin(la2)
                                    + std::cos(lat1) * std::cos(la2) * std::cos(lon1 - lo2),
                                -1.0, 1.0);
    const double d = std::acos(x);
    const double sinD = std::sin(d);
    const double cosLat1 = std::cos(lat1);
    // Own position or its antipode has no heading; nor has an operator at a pole.
    if (!std::isfinite(d) || std::fabs(sinD) < kSameSpot || std::fabs(cosLat1) < 1e-9)
        return {};
    // Clamped: due north or south gives exactly +-1 up to rounding.
    const double y = std::clamp((std::sin(la2) - std::sin(lat1) * x) / (cosLat1 * sinD), -1.0, 1.0);
    if (std::isnan(y))
        return {};
    const double b = std::acos(y) * kDegPerRad;
    const double heading = std::sin(lon1 - lo2) > 0 ? b : 360.0 - b;
    const double miles = d * kMilesPerRad;
    return {WholeNumberText(heading, false), WholeNumberText(miles, true)};
}

std::optional<PrefixDisplay> LookupPrefix(const PrefixTable &table, const QString &callText,
                                          double myLat, double myLon)
{
    QStringView c(callText);
    // "W1AW/VE3" counts where it is operated from; "W1AW/P" and "VE3/W1AW" stay whole.
    const qsizetype slash = c.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        const qsizetype r = c.size() - slash - 1;
        if (r > 1 && double(r) < double(c.size()) / 2.0)
            c = c.right(r);
    }
    if (c.isEmpty())
        return std::nullopt;

    QVarLengthArray<char16_t, 32> call(c.size());
    for (qsizetype k = 0; k < c.size(); ++k)
        call[k] = Up(c[k].unicode());

    PrefixDisplay out;
    const int count = table.PrefixCount();
    int best = 0;
    if (count > 0) {
        const Call key{call.constData(), call.size(), PackHead(call.constData(), call.size())};
        if (table.keys.size() == table.entries.size())
            best = Scan(PackedKeys{table.keys.data(), table.entries.data()}, count, key);
        else
            best = Scan(EntryKeys{table.entries.data()}, count, key);
    }

    if (best == 0) {
        out.country = QStringLiteral("Not Found");
        return out;
    }

    int used = best;
    out.country = table.entries[size_t(best - 1)].CountryName;
    // KG4 plus one or three letters is a US call; KG4 plus two is Guantanamo Bay.
    const qsizetype len = callText.size();
    if (len >= 3 && (len == 4 || len > 5) && Up(callText[0].unicode()) == u'K'
        && Up(callText[1].unicode()) == u'G' && callText[2] == QLatin1Char('4')) {
        out.country = QStringLiteral("USA");
        for (int n = 1; n <= count; ++n) {
            if (SameTextIgnoringCase(table.entries[size_t(n - 1)].CountryName,
                                     QLatin1StringView("USA"))) {
                used = n;
                break;
            }
        }
    }
    const PrefixEntry &e = table.entries[size_t(used - 1)];
    out.entry = used;
    out.continent = e.Continent;
    const HeadingDistance hd = HDCalc(myLat, myLon, e.Latitude, e.Longitude);
    out.heading = hd.heading;
    out.distance = hd.distance;
    return out;
}

}  // namespace zev
