#include "outputs/cabrillo.h"

#include "common/quoted_values.h"

#include <QDate>

#include <cmath>

namespace zev {

const std::array<CabrilloCategory, 10> &CabrilloCategories()
{
    static const std::array<CabrilloCategory, 10> table{{
        {"Option6", QStringLiteral("Single Op All Band > 100 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("HIGH")},
        {"Option2", QStringLiteral("Single Op All Band <= 100 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("LOW")},
        {"Option9", QStringLiteral("Single Op QRP <= 5 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("QRP")},
        {"Option1", QStringLiteral("Single Op Single Band > 100 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("HIGH")},
        {"Option4", QStringLiteral("Single Op Single Band <= 100 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("LOW")},
        {"Option20", QStringLiteral("Single Op All Band CW Only (any power)"), QStringLiteral("SINGLE-OP"), QStringLiteral("CW")},
        {"Option21", QStringLiteral("Single Op All Band PH Only (any power)"), QStringLiteral("SINGLE-OP"), QStringLiteral("PH")},
        {"Option3", QStringLiteral("Multi Op Single Transmitter > 100 W"), QStringLiteral("MULTI-ONE"), QStringLiteral("HIGH")},
        {"Option7", QStringLiteral("Multi Op Single Transmitter <= 100 W"), QStringLiteral("MULTI-ONE"), QStringLiteral("LOW")},
        {"Option10", QStringLiteral("Multi Op Multi Transmitter"), QStringLiteral("MULTI-MULTI"), QStringLiteral("HIGH")},
    }};
    return table;
}

const std::array<CabrilloBandOption, 9> &CabrilloBandOptions()
{
    static const std::array<CabrilloBandOption, 9> table{{
        {"Option5", QStringLiteral("All")},
        {"Option8", QStringLiteral("160")},
        {"Option11", QStringLiteral("80")},
        {"Option13", QStringLiteral("40")},
        {"Option14", QStringLiteral("20")},
        {"Option16", QStringLiteral("15")},
        {"Option17", QStringLiteral("10")},
        {"Option18", QStringLiteral("6")},
        {"Option19", QStringLiteral("2")},
    }};
    return table;
}

QString CabrilloFrequency(const QString &band)
{
    static const char *const kFrequencies[] = {" 1800", " 3500", " 7000", "14000",
                                               "21000", "28000", "   50", "  144"};
    const int i = BandIndex(band);
    return i < 0 ? QString() : QString::fromLatin1(kFrequencies[i]);
}

QString ClaimedScore(const QString &scoreText)
{
    QString digits;
    for (QChar c : scoreText) {
        // Thousands separators of any locale, and blanks, are only grouping.
        if (c == QLatin1Char(',') || c.isSpace() || c == QChar(0x2019) || c == QLatin1Char('\''))
            continue;
        digits += c;
    }
    if (!IsNumeric(digits))
        return {};
    const double v = std::round(NumericValue(digits));
    if (v == 0)
        return {};
    return FormatNumber(v);
}

namespace {

// A header value must stay on its line.
QString OneLine(const QString &s)
{
    QString out = s;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

// "yyyy/mm/dd" as "yyyy-mm-dd"; a date in another form is read if it can be, else kept.
QString CabrilloDate(const QString &qsoDate)
{
    if (qsoDate.size() == 10 && qsoDate[4] == QLatin1Char('/') && qsoDate[7] == QLatin1Char('/')) {
        QString d = qsoDate;
        d[4] = d[7] = QLatin1Char('-');
        return d;
    }
    const QDate date = QDate::fromString(qsoDate.trimmed(), QStringLiteral("yyyy/M/d"));
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : qsoDate;
}

// "hh:mm:ss" as "hhmm": characters 1, 2, 4 and 5.
QString CabrilloTime(const QString &qsoTime)
{
    return qsoTime.left(2) + qsoTime.mid(3, 2);
}

class ColumnWriter {
public:
    explicit ColumnWriter(QByteArray &out) : out_(out), lineStart_(out.size()) {}

    // Starts `text` at 1-based `column`, on a new line when this one already reaches it.
    void put(int column, const QString &text)
    {
        qsizetype used = out_.size() - lineStart_;
        if (used >= column) {
            out_ += "\r\n";
            lineStart_ = out_.size();
            used = 0;
        }
        out_.append(column - 1 - used, ' ');
        const qsizetype from = out_.size();
        out_ += ToFileBytes(text);
        // A stray line end from a hand-edited log would split the QSO line.
        for (qsizetype i = from; i < out_.size(); ++i)
            if (out_[i] == '\r' || out_[i] == '\n')
                out_[i] = ' ';
    }

private:
    QByteArray &out_;
    qsizetype lineStart_;
};

void AppendQsoLine(QByteArray &out, const ContactRecord &r, const QString &myCall,
                   const QString &myProvince, bool inCanada)
{
    ColumnWriter w(out);
    w.put(1, QStringLiteral("QSO:"));
    w.put(6, CabrilloFrequency(r.Band));
    w.put(12, r.Mode);
    w.put(15, CabrilloDate(r.QsoDate));
    w.put(26, CabrilloTime(r.QsoTime));
    w.put(31, myCall.left(12));
    w.put(45, r.ReportSent);
    w.put(49, inCanada ? myProvince : r.SerialSent);
    w.put(56, r.Call.left(12));
    w.put(70, r.ReportRcvd);
    w.put(74, r.ExchangeRcvd);
}

}  // namespace

QByteArray CabrilloQsoLine(const ContactRecord &r, const CabrilloStation &station)
{
    QByteArray out;
    AppendQsoLine(out, r, station.myCall.trimmed(), station.myProvince, station.inCanada);
    return out;
}

QByteArray CabrilloText(const CabrilloHeader &h, const CabrilloStation &station,
                        const std::vector<ContactRecord> &records)
{
    const QString myCall = station.myCall.trimmed();
    QByteArray out;
    out.reserve(qsizetype(records.size()) * 90 + 1024);
    auto line = [&out](const char *key, const QString &value) {
        out += key;
        out += ToFileBytes(OneLine(value));
        out += "\r\n";
    };
    line("START-OF-LOG: ", QStringLiteral("2.0"));
    line("CREATED-BY: ", h.mainWindowTitle.left(50).trimmed());
    line("CALLSIGN: ", myCall);
    line("CONTEST: ", h.winterContest ? QStringLiteral("CANADA WINTER") : QStringLiteral("CANADA DAY"));
    line("CATEGORY: ", h.operatorWord + QLatin1Char(' ') + h.bandWord + QLatin1Char(' ') + h.powerWord);
    line("CLAIMED-SCORE: ", ClaimedScore(h.scoreText));
    line("CLUB: ", h.club);
    line("NAME: ", h.name);
    line("ADDRESS: ", h.address1);
    line("ADDRESS: ", h.address2);
    line("ADDRESS: (e-mail) ", h.email);
    line("OPERATORS: ", h.operators);
    line("SOAPBOX: ", h.soapbox);
    for (const ContactRecord &r : records) {
        AppendQsoLine(out, r, myCall, station.myProvince, station.inCanada);
        out += "\r\n";
    }
    out += "END-OF-LOG:\r\n";
    return out;
}

}  // namespace zev
