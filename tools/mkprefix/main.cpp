// Builds the prefix table (arrlpre2.txt) from the country file of the
// hamradio-files package: one row per prefix, sorted so that the lookup can
// jump into a letter's block and scan from there. Optionally also the ADIF
// country table (ADIFCnt.txt): one row per entity with its DXCC number, under
// the same names, so a contact's country finds its number.

#include "common/file_io.h"
#include "common/quoted_values.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUtf8StringView>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMaxRows = 10000;
constexpr int kMaxCountryRows = 1000;  // what the ADIF export reads at most
constexpr int kFields = 10;

struct Row {
    QByteArray prefix;  // sort key, byte order
    QByteArray line;
};

void Fail(const QString &message)
{
    std::fprintf(stderr, "mkprefix: %s\n", message.toLocal8Bit().constData());
}

// The prefix without its zone overrides and other markers: "AA0(4)[7]" -> "AA0".
QString StripMarkers(const QString &token)
{
    QString out;
    out.reserve(token.size());
    for (qsizetype i = 0; i < token.size(); ++i) {
        const QChar c = token[i];
        QChar close;
        if (c == '(')
            close = ')';
        else if (c == '[')
            close = ']';
        else if (c == '<')
            close = '>';
        else if (c == '{')
            close = '}';
        else if (c == '~')
            close = '~';
        if (close.isNull()) {
            out += c;
            continue;
        }
        const qsizetype end = token.indexOf(close, i + 1);
        if (end < 0)
            break;  // an unclosed marker runs to the end of the token
        i = end;
    }
    return out;
}

bool ToNumber(const QString &text, double &value)
{
    if (!zev::IsNumeric(text))
        return false;
    value = zev::NumericValue(text);
    // "1e999" reads as infinity, which the tables could not carry.
    return std::isfinite(value);
}

int Run(const QString &inPath, const QString &outPath, const QString &countryPath)
{
    QString error;
    const std::optional<QByteArray> data = zev::ReadWholeFile(inPath, &error);
    if (!data) {
        Fail(QStringLiteral("cannot read %1: %2").arg(inPath, error));
        return 1;
    }
    // The package file is plain ASCII today; accept UTF-8 names, else Latin-1.
    const QString text = QUtf8StringView(*data).isValidUtf8() ? QString::fromUtf8(*data)
                                                               : QString::fromLatin1(*data);

    std::vector<Row> rows;
    QList<QByteArray> countries;    // ADIFCnt.txt, in file order
    QHash<QString, QString> owner;  // prefix -> entity that has it
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != kFields) {
            Fail(QStringLiteral("%1 line %2: %3 fields instead of %4")
                     .arg(inPath)
                     .arg(n + 1)
                     .arg(f.size())
                     .arg(kFields));
            return 1;
        }
        double entity = 0, cq = 0, itu = 0, lat = 0, lon = 0;
        if (!ToNumber(f[2], entity) || !ToNumber(f[4], cq) || !ToNumber(f[5], itu)
            || !ToNumber(f[6], lat) || !ToNumber(f[7], lon)) {
            Fail(QStringLiteral("%1 line %2: a number field is not numeric").arg(inPath).arg(n + 1));
            return 1;
        }
        QString name = f[1].trimmed();
        if (name == QLatin1String("United States"))
            name = QStringLiteral("USA");
        if (name.contains(QLatin1Char('"'))) {
            // The quoted notation has no escape: such a name would break both tables.
            Fail(QStringLiteral("%1 line %2: a country name holds a double quote").arg(inPath).arg(n + 1));
            return 1;
        }
        countries.append(zev::FormatLine({name, entity}));
        const QString continent = f[3].trimmed();

        QString list = f[9];
        const qsizetype semi = list.indexOf(QLatin1Char(';'));
        if (semi >= 0)
            list.truncate(semi);

        QSet<QString> seenHere;
        for (const QString &token : list.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (token.startsWith(QLatin1Char('=')))
                continue;  // a single call, not a prefix
            const QString prefix = StripMarkers(token).trimmed();
            if (prefix.isEmpty() || seenHere.contains(prefix))
                continue;
            seenHere.insert(prefix);
            const auto it = owner.constFind(prefix);
            if (it != owner.constEnd()) {
                std::fprintf(stderr, "mkprefix: prefix %s of %s already belongs to %s; kept there\n",
                             prefix.toLocal8Bit().constData(), name.toLocal8Bit().constData(),
                             it->toLocal8Bit().constData());
                continue;
            }
            owner.insert(prefix, name);
            if (rows.size() >= kMaxRows) {
                Fail(QStringLiteral("more than %1 prefixes; the table cannot hold them").arg(kMaxRows));
                return 1;
            }
            rows.push_back({zev::ToFileBytes(prefix),
                            zev::FormatLine({prefix, name, continent, lon, lat, cq, itu, entity})});
        }
    }

    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return a.prefix < b.prefix; });
    QList<QByteArray> out;
    out.reserve(qsizetype(rows.size()));
    for (const Row &r : rows)
        out.append(r.line);
    if (!zev::WriteFileAtomic(outPath, zev::JoinLines(out), &error)) {
        Fail(QStringLiteral("cannot write %1: %2").arg(outPath, error));
        return 1;
    }
    if (countryPath.isEmpty())
        return 0;
    if (countries.size() > kMaxCountryRows) {
        Fail(QStringLiteral("%1 entities; the ADIF country table holds at most %2")
                 .arg(countries.size())
                 .arg(kMaxCountryRows));
        return 1;
    }
    if (!zev::WriteFileAtomic(countryPath, zev::JoinLines(countries), &error)) {
        Fail(QStringLiteral("cannot write %1: %2").arg(countryPath, error));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: mkprefix <cty.csv> <out arrlpre2.txt> [<out ADIFCnt.txt>]\n");
        return 2;
    }
    return Run(args[1], args[2], args.size() == 4 ? args[3] : QString());
}
