#include "outputs/adif_export.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "frame/session.h"
#include "outputs/cabrillo.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace zev {

void CountryTable::add(const QString &name, int dxcc)
{
    entries_.push_back({name, dxcc});
    const QString key = name.trimmed().toCaseFolded();
    if (!index_.contains(key))
        index_.insert(key, dxcc);
}

int CountryTable::LookupDxcc(const QString &country) const
{
    return index_.value(country.trimmed().toCaseFolded(), 0);
}

QString CountryTablePath(const Folders &folders)
{
    for (const QString &dir : {folders.SharedFolder, folders.ProgramDataFolder}) {
        const QString path = dir + QLatin1Char('/') + kCountryTableFile;
        if (!dir.isEmpty() && QFileInfo(path).isFile())
            return path;
    }
    return folders.work(kCountryTableFile);
}

std::optional<CountryTable> ParseCountryTable(const QByteArray &data, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<CountryTable> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    CountryTable table;
    int count = 0;
    int lineNo = 0;
    for (QByteArray line : data.split('\n')) {
        ++lineNo;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (++count > kCountryTableMaxLines)
            return fail(QStringLiteral("The country table has more than %1 lines.").arg(kCountryTableMaxLines));
        ValueReader reader(line);
        QString name;
        double number = 0;
        // The range first: converting a number like 1e30 to an integer is undefined.
        if (!reader.next(name) || !reader.nextNumber(number) || !reader.atEnd() || !(number >= 0)
            || number > 100000 || number != std::floor(number)) {
            return fail(QStringLiteral("Line %1 of the country table is not a country name in quotes "
                                       "followed by its number.")
                            .arg(lineNo));
        }
        table.add(name, int(number));
    }
    return table;
}

std::optional<CountryTable> ReadCountryTable(const QString &path, QString *error)
{
    QString why;
    const std::optional<QByteArray> data = ReadWholeFile(path, &why);
    if (!data) {
        if (error)
            *error = QStringLiteral("The country table %1 could not be read: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return std::nullopt;
    }
    std::optional<CountryTable> table = ParseCountryTable(*data, &why);
    if (!table && error)
        *error = QStringLiteral("%1 (%2)").arg(why, QDir::toNativeSeparators(path));
    return table;
}

QString AdifTimeValue(const QString &qsoTime)
{
    const QStringView stored = QStringView(qsoTime).trimmed();
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    QString t;
    t.reserve(6);
    if (colon >= 0) {
        t.append(stored.left(colon));
        t.append(stored.mid(colon + 1, 2));
    } else {
        t.append(stored);
    }
    t.truncate(4);
    if (!t.isEmpty() && t.size() < 4)
        t.prepend(QString(4 - t.size(), QLatin1Char('0')));
    return t;
}

bool AdifTimeWritten(const QString &timeValue)
{
    return timeValue.compare(QLatin1String("0000"), Qt::CaseInsensitive) >= 0;
}

namespace {

bool Digits(QStringView s, qsizetype from, qsizetype n)
{
    for (qsizetype i = from; i < from + n; ++i)
        if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9'))
            return false;
    return true;
}

// "yyyy/mm/dd" as "yyyymmdd", or nothing when it is no date.
QString AdifDate(const QString &qsoDate)
{
    const QStringView d = QStringView(qsoDate).trimmed();
    // The form the log writes, checked without the cost of a date parser.
    if (d.size() == 10 && d[4] == QLatin1Char('/') && d[7] == QLatin1Char('/') && Digits(d, 0, 4)
        && Digits(d, 5, 2) && Digits(d, 8, 2)) {
        if (!QDate::isValid(d.left(4).toInt(), d.mid(5, 2).toInt(), d.mid(8, 2).toInt()))
            return {};
        QString out(8, Qt::Uninitialized);
        QChar *o = out.data();
        for (qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9})
            *o++ = d[i];
        return out;
    }
    QDate date = QDate::fromString(d.toString(), QStringLiteral("yyyy/M/d"));
    if (!date.isValid())
        date = QDate::fromString(d.toString(), QStringLiteral("yyyy-M-d"));
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QStringView TrimEnd(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return s.left(n);
}

// "<Tag:length>value"; the value is ASCII, as ADIF wants these fields, and the length
// counts what is written, so a reader never runs into the next field.
void Field(QByteArray &out, const char *tag, QStringView value, bool space = true, const char *suffix = "")
{
    // Written in place, then the length goes in front of it: no copy per field.
    static thread_local QByteArray bytes;
    bytes.resize(0);
    AppendAsciiFileBytes(bytes, value);
    bytes += suffix;
    if (bytes.isEmpty())
        return;
    out += '<';
    out += tag;
    out += ':';
    out += QByteArray::number(bytes.size());
    out += '>';
    out += bytes;
    if (space)
        out += ' ';
}

// A serial number: digits only.
bool IsSerial(QStringView s)
{
    return !s.isEmpty() && Digits(s, 0, s.size());
}

// The number of a serial without its leading zeros ("007" -> "7", "000" -> "0").
QStringView SerialNumber(QStringView s)
{
    qsizetype i = 0;
    while (i + 1 < s.size() && s[i] == QLatin1Char('0'))
        ++i;
    return s.mid(i);
}

// The province or territory abbreviation a text names, upper-cased, or "".
QString ProvinceCode(QStringView s)
{
    const QString code = s.trimmed().toString().toUpper();
    for (const Province &p : ProvinceTable())
        if (p.abbreviation == code)
            return code;
    return {};
}

}  // namespace

QByteArray AdifContestFields(const ContactRecord &r, const AdifContest &c, int dxcc)
{
    QByteArray out;
    Field(out, "CONTEST_ID", c.contestId);
    const QStringView received = QStringView(r.ExchangeRcvd).trimmed();
    Field(out, "SRX_STRING", received);
    if (IsSerial(received))
        Field(out, "SRX", SerialNumber(received));
    const QStringView sent = QStringView(c.inCanada ? c.myProvince : r.SerialSent).trimmed();
    Field(out, "STX_STRING", sent);
    if (IsSerial(sent))
        Field(out, "STX", SerialNumber(sent));
    const QString province = ProvinceCode(received);
    if (!province.isEmpty()) {
        // VE_PROV for readers of older ADIF; STATE is the field ADIF 3 reads, and it
        // means a subdivision of the record's country, so a province there is Canada's.
        Field(out, "VE_PROV", province);
        if (dxcc == kCanadaDxcc || dxcc <= 0)
            Field(out, "STATE", province);
    }
    if (c.inCanada)
        Field(out, "MY_STATE", ProvinceCode(c.myProvince));
    out.chop(out.endsWith(' ') ? 1 : 0);
    return out;
}

bool LogLooksLikeWinterContest(const std::vector<ContactRecord> &records)
{
    if (records.empty())
        return false;
    const QString date = AdifDate(records.front().QsoDate);
    const QStringView month = QStringView(date).mid(4, 2);
    return month == QLatin1String("12") || month == QLatin1String("01");
}

QByteArray AdifText(const AdifOptions &o, const std::vector<ContactRecord> &records,
                    const CountryTable &countries)
{
    QByteArray out;
    out.reserve(qsizetype(records.size()) * 200 + 512);
    out += "ADIF Export from " + ToAsciiFileBytes(o.mainWindowTitle.left(60).trimmed()) + "\r\n";
    out += "Written by zevlog, a contest logger for the ZEV Canada Day and Winter contests.\r\n";
    out += "Questions and fault reports: the zevlog developers, through the project's issue tracker.\r\n";
    out += "Log exported on: " + ToAsciiFileBytes(o.exportDate) + "\r\n";
    out += "\r\n<EOH>\r\n\r\n";

    const QStringView power = TrimEnd(o.power);
    // A log runs through few countries, mostly one after another.
    QString lastCountry;
    int lastDxcc = countries.LookupDxcc(lastCountry);
    for (const ContactRecord &r : records) {
        Field(out, "Call", r.Call);
        const QString date = AdifDate(r.QsoDate);
        if (!date.isEmpty()) {
            out += "<Qso_Date:8:d>";
            out += date.toLatin1();
            out += ' ';
        }
        if (!r.Band.isEmpty())
            Field(out, "Band", r.Band, true, "M");
        const bool phone = r.Mode.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
        out += phone ? "<Mode:3>SSB\r\n" : "<Mode:2>CW\r\n";

        Field(out, "Tx_Pwr", power);
        const QString time = AdifTimeValue(r.QsoTime);
        if (AdifTimeWritten(time))
            Field(out, "Time_On", time);
        if (r.Country != lastCountry) {
            lastCountry = r.Country;
            lastDxcc = countries.LookupDxcc(lastCountry);
        }
        if (lastDxcc > 0)
            Field(out, "DXCC", QString::number(lastDxcc));
        Field(out, "Freq", QStringView(r.Frequency).trimmed());
        Field(out, "RST_Rcvd", TrimEnd(r.ReportRcvd));
        Field(out, "RST_Sent", TrimEnd(r.ReportSent));
        const bool comment = !o.comment.isEmpty();
        if (comment) {
            Field(out, "Comment", o.comment, false);
            out += "\r\n";
        }
        if (o.contest) {
            if (!comment)
                out += "\r\n";
            out += AdifContestFields(r, *o.contest, lastDxcc);
            out += "\r\n";
        }
        out += "<eor>\r\n\r\n";
    }
    return out;
}

CountryAndState LogExpCountryAndState(const QString &call, const QString &exchangeRcvd)
{
    CountryAndState cs;
    if (exchangeRcvd.size() == 2) {
        const QChar first = call.isEmpty() ? QChar() : call[0].toUpper();
        if (first == QLatin1Char('A') || first == QLatin1Char('K') || first == QLatin1Char('N')
            || first == QLatin1Char('W')) {
            cs.state = exchangeRcvd;
            cs.country = QStringLiteral("USA");
        } else {
            cs.country = QStringLiteral("Canada");
        }
    } else if (exchangeRcvd.size() > 2) {
        cs.country = exchangeRcvd;
    }
    if (cs.state.compare(QLatin1String("AK"), Qt::CaseInsensitive) == 0)
        cs.country = QStringLiteral("Alaska");
    else if (cs.state.compare(QLatin1String("HI"), Qt::CaseInsensitive) == 0)
        cs.country = QStringLiteral("Hawaii");
    return cs;
}

QByteArray LogExpText(const std::vector<ContactRecord> &records, const QString &power)
{
    QByteArray out;
    out.reserve(qsizetype(records.size()) * 120);
    auto text = [&out](const QString &s) {
        out += '"';
        out += ToFileBytes(s);
        out += "\",";
    };
    for (const ContactRecord &r : records) {
        const CountryAndState cs = LogExpCountryAndState(r.Call, r.ExchangeRcvd);
        text(r.Call);
        text(r.QsoDate);
        text(r.Band);
        text(r.Mode.compare(QLatin1String("CW"), Qt::CaseInsensitive) == 0 ? QStringLiteral("CW")
                                                                           : QStringLiteral("SSB"));
        text(power);
        text(r.QsoTime);
        text(r.ReportSent);
        text(r.ReportRcvd);
        out += ',';  // 9: nothing
        text(cs.country);
        text(cs.state);
        out += ",,,,";  // 12 to 15: nothing
        out += "\"QRP OBEL Contest\"\r\n";
    }
    return out;
}

void ExportAdif(Session &session, const QString &mainWindowTitle)
{
    Prompter &prompter = session.prompter;
    AdifOptions o;
    o.mainWindowTitle = mainWindowTitle;
    o.power = prompter
                  .input(QStringLiteral("Please enter the power value that you would like to record.  This is an "
                                        "optional value that will be included in each QSO record and displayed "
                                        "in Kestro's power output column."),
                         QStringLiteral("Please enter your transmitter output power."), QStringLiteral("100"))
                  .value_or(QString());
    o.comment = prompter
                    .input(QStringLiteral("Please enter a comment that you would like to appear on each QSO "
                                          "record.  This is an optional description that will be displayed in "
                                          "Kestro's Comments column."),
                           QStringLiteral("Please enter a comment."), QStringLiteral("ZEV Contest"))
                    .value_or(QString());

    const QString unable = QStringLiteral("Unable to write file.");
    QString error;
    const std::optional<CountryTable> countries = ReadCountryTable(CountryTablePath(session.folders), &error);
    if (!countries) {
        prompter.beep();
        prompter.message(error, unable, PromptIcon::Exclamation);
        return;
    }

    const std::optional<QString> path =
        prompter.saveFile(QStringLiteral("Export ADIF File"),
                          session.folders.ProgramDataFolder + QStringLiteral("/ZEV.adi"),
                          QStringLiteral("ADIF Files (*.adi)"), true);
    if (!path)
        return;

    // The contest of the last Cabrillo file, by the name its robot takes.
    const SubmissionChoices kept = LoadSubmissionChoices(session.registry);
    const bool winter = kept.contestChosen ? kept.winterContest : LogLooksLikeWinterContest(session.log.records());
    o.contest = AdifContest{kept.contestName(winter), session.prefs.MyProvince, session.prefs.InCanada != 0};

    o.exportDate = QLocale::system().toString(session.clock.localNow().date(), QLocale::ShortFormat);
    if (!WriteFileAtomic(*path, AdifText(o, session.log.records(), *countries), &error)) {
        prompter.beep();
        prompter.message(QStringLiteral("The ADIF file was not written: %1 could not be written (%2). A file of "
                                        "that name from before, if any, is kept as it was.")
                             .arg(QDir::toNativeSeparators(*path), error),
                         unable, PromptIcon::Exclamation);
        return;
    }
    prompter.message(QStringLiteral("The file was successfully written to the directory:\n\n%1.")
                         .arg(QDir::toNativeSeparators(*path)),
                     QStringLiteral("File Written Successfully."), PromptIcon::Information);
}

void ExportLogExp(Session &session, const QString &)
{
    Prompter &prompter = session.prompter;
    const QString power = prompter
                              .input(QStringLiteral("Please enter the power value you would like to record."),
                                     QStringLiteral("Please enter the power value"))
                              .value_or(QString());
    const QString path = session.folders.work(QStringLiteral("LogExp.txt"));
    QString error;
    if (!WriteFileAtomic(path, LogExpText(session.log.records(), power), &error)) {
        prompter.beep();
        prompter.message(QStringLiteral("LogExp.txt could not be written to %1: %2\n\nNothing was exported; "
                                        "your log is unchanged, and a LogExp.txt from before, if any, is kept "
                                        "as it was.")
                             .arg(QDir::toNativeSeparators(session.folders.StartDir), error),
                         QStringLiteral("Export Failed"), PromptIcon::Exclamation);
        return;
    }
    prompter.beep();
    prompter.message(QStringLiteral("LogExp.txt has been written to this program's working directory ") +
                         QDir::toNativeSeparators(session.folders.StartDir) +
                         QStringLiteral(".  Import these contacts into the Kestro program by clicking File, "
                                        "Import, and navigating to this directory from the Kestro program.  "
                                        "Transferring your files by ADIF format is now the preferred method "
                                        "for file transfer."),
                     QStringLiteral("Export Successful!"), PromptIcon::Information);
}

}  // namespace zev
