#include "outputs/cabrillo.h"

#include "common/quoted_values.h"
#include "frame/registry.h"

#include <QDate>

#include <cmath>

namespace zev {

const std::array<CabrilloCategory, 10> &CabrilloCategories()
{
    // "Any power" entries have no power limit, which is what HIGH stands for; their
    // mode tells them apart.
    static const std::array<CabrilloCategory, 10> table{{
        {"Option6", QStringLiteral("Single Op All Band > 100 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("HIGH"),
         QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("HIGH"), QStringLiteral("MIXED")},
        {"Option2", QStringLiteral("Single Op All Band <= 100 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("LOW"),
         QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("LOW"), QStringLiteral("MIXED")},
        {"Option9", QStringLiteral("Single Op QRP <= 5 W"), QStringLiteral("SINGLE-OP"), QStringLiteral("QRP"),
         QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("QRP"), QStringLiteral("MIXED")},
        {"Option1", QStringLiteral("Single Op Single Band > 100 W"), QStringLiteral("SINGLE-OP"),
         QStringLiteral("HIGH"), QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("HIGH"),
         QStringLiteral("MIXED")},
        {"Option4", QStringLiteral("Single Op Single Band <= 100 W"), QStringLiteral("SINGLE-OP"),
         QStringLiteral("LOW"), QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("LOW"),
         QStringLiteral("MIXED")},
        {"Option20", QStringLiteral("Single Op All Band CW Only (any power)"), QStringLiteral("SINGLE-OP"),
         QStringLiteral("CW"), QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("HIGH"),
         QStringLiteral("CW")},
        {"Option21", QStringLiteral("Single Op All Band PH Only (any power)"), QStringLiteral("SINGLE-OP"),
         QStringLiteral("PH"), QStringLiteral("SINGLE-OP"), QStringLiteral("ONE"), QStringLiteral("HIGH"),
         QStringLiteral("SSB")},
        {"Option3", QStringLiteral("Multi Op Single Transmitter > 100 W"), QStringLiteral("MULTI-ONE"),
         QStringLiteral("HIGH"), QStringLiteral("MULTI-OP"), QStringLiteral("ONE"), QStringLiteral("HIGH"),
         QStringLiteral("MIXED")},
        {"Option7", QStringLiteral("Multi Op Single Transmitter <= 100 W"), QStringLiteral("MULTI-ONE"),
         QStringLiteral("LOW"), QStringLiteral("MULTI-OP"), QStringLiteral("ONE"), QStringLiteral("LOW"),
         QStringLiteral("MIXED")},
        {"Option10", QStringLiteral("Multi Op Multi Transmitter"), QStringLiteral("MULTI-MULTI"),
         QStringLiteral("HIGH"), QStringLiteral("MULTI-OP"), QStringLiteral("UNLIMITED"), QStringLiteral("HIGH"),
         QStringLiteral("MIXED")},
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

QString DefaultContestName(bool winterContest)
{
    return winterContest ? QStringLiteral("ZEV-CANADA-WINTER") : QStringLiteral("ZEV-CANADA-DAY");
}

QString CleanContestName(const QString &typed)
{
    QString out;
    for (QChar c : typed) {
        c = c.toUpper();
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || c == QLatin1Char('-'))
            out += c;
    }
    return out.left(kContestNameMaxLength);
}

const std::array<QString, 11> &CabrilloStationCategories()
{
    static const std::array<QString, 11> table{
        QStringLiteral("FIXED"),         QStringLiteral("PORTABLE"),        QStringLiteral("MOBILE"),
        QStringLiteral("ROVER"),         QStringLiteral("ROVER-LIMITED"),   QStringLiteral("ROVER-UNLIMITED"),
        QStringLiteral("EXPEDITION"),    QStringLiteral("HQ"),              QStringLiteral("SCHOOL"),
        QStringLiteral("EXPLORER"),      QStringLiteral("DISTRIBUTED"),
    };
    return table;
}

QString Cabrillo3Band(const QString &bandCaption)
{
    return BandIndex(bandCaption) < 0 ? QStringLiteral("ALL") : bandCaption + QLatin1Char('M');
}

Cabrillo3Choices Cabrillo3Words(const CabrilloCategory &category, const QString &bandCaption)
{
    Cabrillo3Choices c;
    c.operatorWord = category.operator3;
    c.transmitterWord = category.transmitter3;
    c.powerWord = category.power3;
    c.modeWord = category.mode3;
    c.bandWord = Cabrillo3Band(bandCaption);
    return c;
}

namespace {

const QString kFormatKey = QStringLiteral("CabrilloFormat");
const QString kContestKey = QStringLiteral("CabrilloContest");
const QString kDayNameKey = QStringLiteral("CabrilloContestNameDay");
const QString kWinterNameKey = QStringLiteral("CabrilloContestNameWinter");
const QString kStationKey = QStringLiteral("CabrilloStationCategory");

}  // namespace

QString SubmissionChoices::contestName(bool winter) const
{
    const QString typed = CleanContestName(winter ? winterContestName : dayContestName);
    return typed.isEmpty() ? DefaultContestName(winter) : typed;
}

SubmissionChoices LoadSubmissionChoices(const Registry &registry)
{
    SubmissionChoices c;
    c.version3 = registry.value(kFormatKey) != QLatin1String("2.0");
    const QString contest = registry.value(kContestKey);
    c.contestChosen = !contest.isEmpty();
    c.winterContest = contest == QLatin1String("WINTER");
    c.dayContestName = CleanContestName(registry.value(kDayNameKey));
    c.winterContestName = CleanContestName(registry.value(kWinterNameKey));
    const QString station = registry.value(kStationKey);
    for (const QString &s : CabrilloStationCategories())
        if (s == station)
            c.stationCategory = s;
    return c;
}

bool StoreSubmissionChoices(Registry &registry, const SubmissionChoices &c, QString *error)
{
    bool ok = true;
    for (const auto &[key, value] : {
             std::pair{kFormatKey, c.version3 ? QStringLiteral("3.0") : QStringLiteral("2.0")},
             std::pair{kContestKey, c.winterContest ? QStringLiteral("WINTER") : QStringLiteral("DAY")},
             std::pair{kDayNameKey, CleanContestName(c.dayContestName)},
             std::pair{kWinterNameKey, CleanContestName(c.winterContestName)},
             std::pair{kStationKey, c.stationCategory},
         }) {
        if (registry.value(key) == value)
            continue;
        QString why;
        if (!registry.setValue(key, value, &why)) {
            if (ok && error)
                *error = why;
            ok = false;
        }
    }
    return ok;
}

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

QByteArray Cabrillo3Text(const CabrilloHeader &h, const Cabrillo3Choices &c, const CabrilloStation &station,
                         const std::vector<ContactRecord> &records)
{
    const QString myCall = station.myCall.trimmed();
    QByteArray out;
    out.reserve(qsizetype(records.size()) * 90 + 1024);
    auto line = [&out](const char *tag, const QString &value) {
        out += tag;
        out += ": ";
        out += ToFileBytes(OneLine(value).trimmed());
        out += "\r\n";
    };
    // Tags a robot reads as "nothing to say" only when they are absent.
    auto optional = [&line](const char *tag, const QString &value) {
        if (!OneLine(value).trimmed().isEmpty())
            line(tag, value);
    };
    const QString contest = CleanContestName(c.contestName);
    const QString claimed = ClaimedScore(h.scoreText);
    const QString location = station.inCanada ? station.myProvince.trimmed().toUpper() : QStringLiteral("DX");

    line("START-OF-LOG", QStringLiteral("3.0"));
    line("CREATED-BY", h.mainWindowTitle.left(50));
    line("CALLSIGN", myCall);
    line("CONTEST", contest.isEmpty() ? DefaultContestName(h.winterContest) : contest);
    line("CATEGORY-OPERATOR", c.operatorWord);
    line("CATEGORY-BAND", c.bandWord);
    line("CATEGORY-MODE", c.modeWord);
    line("CATEGORY-POWER", c.powerWord);
    line("CATEGORY-TRANSMITTER", c.transmitterWord);
    line("CATEGORY-STATION", c.stationWord);
    // 3.0 wants a number here: no score is a claim of 0.
    line("CLAIMED-SCORE", claimed.isEmpty() ? QStringLiteral("0") : claimed);
    optional("LOCATION", location);
    optional("CLUB", h.club);
    optional("NAME", h.name);
    optional("ADDRESS", h.address1);
    optional("ADDRESS", h.address2);
    optional("EMAIL", h.email);
    optional("OPERATORS", h.operators);
    optional("SOAPBOX", h.soapbox);
    for (const ContactRecord &r : records) {
        AppendQsoLine(out, r, myCall, station.myProvince, station.inCanada);
        out += "\r\n";
    }
    out += "END-OF-LOG:\r\n";
    return out;
}

}  // namespace zev
