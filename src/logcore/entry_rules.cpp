#include "logcore/entry_rules.h"

#include "common/quoted_values.h"
#include "logcore/contact_log.h"

#include <QRegularExpression>
#include <QTime>

namespace zev {

QString ProvinceFromPrefix(const QString &call)
{
    static const std::pair<const char *, const char *> table[] = {
        {"VE9", "NB"}, {"VE1", "NS"}, {"VA1", "NS"}, {"CY9", "NS"}, {"CY0", "NS"}, {"VE2", "QC"},
        {"VA2", "QC"}, {"VE3", "ON"}, {"VA3", "ON"}, {"VE4", "MB"}, {"VA4", "MB"}, {"VE5", "SK"},
        {"VA5", "SK"}, {"VE6", "AB"}, {"VA6", "AB"}, {"VE7", "BC"}, {"VA7", "BC"}, {"VE8", "NT"},
        {"VY1", "YT"}, {"VO1", "NL"}, {"VO2", "NL"}, {"VY2", "PE"}, {"VY0", "NU"},
    };
    if (call.size() <= 2)
        return {};
    const QString head = call.left(3).toUpper();
    for (const auto &[prefix, province] : table)
        if (head == QLatin1String(prefix))
            return QString::fromLatin1(province);
    return {};
}

bool HandsOffDigit(const QString &call, bool cursorAtEnd, QChar key)
{
    if (!key.isDigit() || key.unicode() > 127 || !cursorAtEnd || call.size() <= 2)
        return false;
    int lastDigit = -1;
    for (int i = 1; i < call.size(); ++i) {
        if (call[i].unicode() < 48)
            return false;
        if (call[i].isDigit())
            lastDigit = i;
    }
    if (lastDigit < 0 || lastDigit == call.size() - 1)
        return false;
    for (int i = lastDigit + 1; i < call.size(); ++i) {
        const ushort u = call[i].toUpper().unicode();
        if (u < 'A' || u > 'Z')
            return false;
    }
    return true;
}

bool IsProvince(const QString &text)
{
    for (const Province &p : ProvinceTable())
        if (p.abbreviation.compare(text, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString DefaultReport(const QString &mode)
{
    return ModeIndex(mode) == 0 ? QStringLiteral("599") : QStringLiteral("59");
}

std::optional<QString> PostContestDate(const QString &text)
{
    static const QRegularExpression ymd(QStringLiteral("^\\s*(\\d{4})[/-](\\d{1,2})[/-](\\d{1,2})\\s*$"));
    static const QRegularExpression mdy(QStringLiteral("^\\s*(\\d{1,2})[/-](\\d{1,2})[/-](\\d{4})\\s*$"));
    QDate d;
    if (const QRegularExpressionMatch m = ymd.match(text); m.hasMatch())
        d = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    else if (const QRegularExpressionMatch m2 = mdy.match(text); m2.hasMatch())
        d = QDate(m2.captured(3).toInt(), m2.captured(1).toInt(), m2.captured(2).toInt());
    if (!d.isValid())
        return std::nullopt;
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

std::optional<QString> PostContestTime(const QString &text)
{
    QString t = text.trimmed();
    if ((t.size() == 3 || t.size() == 4) && IsNumeric(t) && !t.contains(QLatin1Char('.')) &&
        !t.contains(QLatin1Char('-')) && !t.contains(QLatin1Char('+')))
        t.insert(t.size() - 2, QLatin1Char(':'));
    static const QRegularExpression hm(QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const QRegularExpressionMatch m = hm.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time.toString(QStringLiteral("hh:mm"));
}

std::optional<QString> RecordTimeText(const QString &text)
{
    static const QRegularExpression hms(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch m = hms.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const bool seconds = !m.captured(3).isEmpty();
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), seconds ? m.captured(3).toInt() : 0);
    if (!t.isValid())
        return std::nullopt;
    return t.toString(seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

bool IsExactExchange(const QString &text)
{
    if (IsNumeric(text))
        return true;
    for (const Province &p : ProvinceTable())
        if (p.abbreviation == text)
            return true;
    return false;
}

}  // namespace zev
