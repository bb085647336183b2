#include "outputs/adif_export.h"
#include "common/quoted_values.h"
#include "logcore/prefix_table.h"
#include "outputs_harness.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::Contact;

namespace {

CountryTable Countries(const QByteArray &text)
{
    QString error;
    std::optional<CountryTable> t = ParseCountryTable(text, &error);
    EXPECT_TRUE(t.has_value()) << error.toStdString();
    return t.value_or(CountryTable());
}

const QByteArray kSmallTable = "\"Canada\",1\r\n\"USA\",291\r\n\"Japan\",339\r\n";

// The ADIF text after the header of a log, with power 100 and comment "ZEV Contest".
QByteArray Records(const std::vector<ContactRecord> &log, const QString &power = QStringLiteral("100"),
                   const QString &comment = QStringLiteral("ZEV Contest"))
{
    AdifOptions o;
    o.mainWindowTitle = QStringLiteral("ZEV");
    o.exportDate = QStringLiteral("2013-07-02");
    o.power = power;
    o.comment = comment;
    const QByteArray text = AdifText(o, log, Countries(kSmallTable));
    const qsizetype eoh = text.indexOf("<EOH>\r\n\r\n");
    return eoh < 0 ? QByteArray() : text.mid(eoh + 9);
}

}  // namespace

TEST(AdifText, ExampleContactGivesTheTwoFieldLines)
{
    EXPECT_EQ(Records({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))}),
              QByteArray("<Call:6>VE3ABC <Qso_Date:8:d>20130701 <Band:3>20M <Mode:2>CW\r\n"
                         "<Tx_Pwr:3>100 <Time_On:4>1805 <DXCC:1>1 <Freq:6>14.025 <RST_Rcvd:3>599 "
                         "<RST_Sent:3>599 <Comment:11>ZEV Contest\r\n"
                         "<eor>\r\n"
                         "\r\n"));
}

TEST(AdifText, FieldsByContact)
{
    struct Case {
        const char *what;
        ContactRecord record;
        const char *expected;
    };
    ContactRecord phone = Contact(QStringLiteral("VE3ABC"), QStringLiteral("ON"), QStringLiteral("160"), QStringLiteral("ph"));
    phone.ReportRcvd = phone.ReportSent = QStringLiteral("59");
    ContactRecord unknown = Contact(QStringLiteral("3D2CR"), QStringLiteral("001"));
    unknown.Country = QStringLiteral("Not Found");
    ContactRecord caseAndBlanks = Contact(QStringLiteral("W1AW"), QStringLiteral("12"), QStringLiteral("2"));
    caseAndBlanks.Country = QStringLiteral(" usa ");
    caseAndBlanks.Frequency = QStringLiteral(" 144.2 ");
    caseAndBlanks.ReportRcvd = QStringLiteral("599  ");  // lengths count what is written
    ContactRecord bare = Contact(QStringLiteral("VE3ABC"), QStringLiteral("ON"));
    bare.QsoDate = QStringLiteral("2013/02/30");
    bare.QsoTime.clear();
    bare.Frequency.clear();
    bare.ReportRcvd.clear();
    bare.ReportSent.clear();
    bare.Country.clear();
    const Case cases[] = {
        {"phone", phone,
         "<Call:6>VE3ABC <Qso_Date:8:d>20130701 <Band:4>160M <Mode:3>SSB\r\n"
         "<Tx_Pwr:3>100 <Time_On:4>1805 <DXCC:1>1 <Freq:6>14.025 <RST_Rcvd:2>59 <RST_Sent:2>59 "
         "<Comment:11>ZEV Contest\r\n<eor>\r\n\r\n"},
        {"country not in the table", unknown,
         "<Call:5>3D2CR <Qso_Date:8:d>20130701 <Band:3>20M <Mode:2>CW\r\n"
         "<Tx_Pwr:3>100 <Time_On:4>1805 <Freq:6>14.025 <RST_Rcvd:3>599 <RST_Sent:3>599 "
         "<Comment:11>ZEV Contest\r\n<eor>\r\n\r\n"},
        {"country in other case, padded values", caseAndBlanks,
         "<Call:4>W1AW <Qso_Date:8:d>20130701 <Band:2>2M <Mode:2>CW\r\n"
         "<Tx_Pwr:3>100 <Time_On:4>1805 <DXCC:3>291 <Freq:5>144.2 <RST_Rcvd:3>599 <RST_Sent:3>599 "
         "<Comment:11>ZEV Contest\r\n<eor>\r\n\r\n"},
        {"no date, time, frequency, reports or country", bare,
         "<Call:6>VE3ABC <Band:3>20M <Mode:2>CW\r\n"
         "<Tx_Pwr:3>100 <Comment:11>ZEV Contest\r\n<eor>\r\n\r\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Records({c.record}), QByteArray(c.expected)) << c.what;
}

TEST(AdifText, EmptyPowerAndCommentAreLeftOut)
{
    const QByteArray expected = "<Call:6>VE3ABC <Qso_Date:8:d>20130701 <Band:3>20M <Mode:2>CW\r\n"
                                "<Time_On:4>1805 <DXCC:1>1 <Freq:6>14.025 <RST_Rcvd:3>599 <RST_Sent:3>599 <eor>\r\n"
                                "\r\n";
    EXPECT_EQ(Records({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))}, QString(), QString()), expected);
    // Blanks alone are no power either.
    EXPECT_EQ(Records({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))}, QStringLiteral("   "), QString()),
              expected);
}

TEST(AdifText, TimeValue)
{
    struct Case {
        const char *stored;
        const char *value;
        bool written;
    };
    const Case cases[] = {
        {"18:05:00", "1805", true}, {"9:05", "0905", true}, {"", "", false},     {"  ", "", false},
        {"00:00:00", "0000", true}, {"1805", "1805", true}, {"7", "0007", true}, {" 23:59 ", "2359", true},
    };
    for (const Case &c : cases) {
        const QString v = AdifTimeValue(QString::fromLatin1(c.stored));
        EXPECT_EQ(v, QString::fromLatin1(c.value)) << c.stored;
        EXPECT_EQ(AdifTimeWritten(v), c.written) << c.stored;
    }
}

TEST(AdifText, EmptyLogIsTheHeaderOnly)
{
    AdifOptions o;
    o.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9") + QString(20, QLatin1Char(' ')) +
                        QStringLiteral("https://velko-software.example/zev");
    o.exportDate = QStringLiteral("7/2/13");
    const QList<QByteArray> lines = zevtest::Lines(AdifText(o, {}, CountryTable()));
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], "ADIF Export from Velko's ZEV Contest Log 1.9                    https://velko");
    for (int author : {1, 2}) {
        EXPECT_FALSE(lines[author].trimmed().isEmpty());
        EXPECT_FALSE(lines[author].contains('<')) << "a tag in the header would start the records early";
    }
    EXPECT_EQ(lines[3], "Log exported on: 7/2/13");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "<EOH>");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "");  // after the last line end
}

TEST(CountryTable, LookupIgnoresCaseAndTakesTheFirstMatch)
{
    const CountryTable t = Countries("\"Canada\",1\r\n\"Sicily\",248\r\n\"SICILY\",999\r\n\"Italy\",248\r\n");
    const std::pair<const char *, int> cases[] = {
        {"Canada", 1}, {"canada", 1}, {"  CANADA ", 1}, {"sicily", 248}, {"Not Found", 0}, {"", 0},
    };
    for (const auto &[country, dxcc] : cases)
        EXPECT_EQ(t.LookupDxcc(QString::fromLatin1(country)), dxcc) << country;
}

TEST(CountryTable, RejectsOverlongAndMalformedTables)
{
    QByteArray full;
    for (int i = 1; i <= kCountryTableMaxLines; ++i)
        full += FormatLine({QStringLiteral("Country %1").arg(i), double(i)}) + "\r\n";
    QString error;
    const std::optional<CountryTable> t = ParseCountryTable(full, &error);
    ASSERT_TRUE(t.has_value()) << error.toStdString();
    EXPECT_EQ(t->LookupDxcc(QStringLiteral("country 1000")), 1000);

    for (const QByteArray &bad : {full + "\"One too many\",1001\r\n", QByteArray("\"Canada\",one\r\n"),
                                  QByteArray("\"Canada\"\r\n"), QByteArray("\"Canada\",1,2\r\n"),
                                  QByteArray("\"Canada,1\r\n")}) {
        error.clear();
        EXPECT_FALSE(ParseCountryTable(bad, &error).has_value()) << bad.right(40).constData();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(CountryTable, EntityNumbersOutOfRangeAreRejected)
{
    for (const char *number : {"1e30", "-1e30", "1e999", "-1", "100001", "1.5", "9.2233720368547758e18"}) {
        QString error;
        const QByteArray text = "\"Canada\",1\r\n\"Sicily\"," + QByteArray(number) + "\r\n";
        EXPECT_FALSE(ParseCountryTable(text, &error).has_value()) << number;
        EXPECT_TRUE(error.contains("Line 2")) << number << ": " << error.toStdString();
    }
    for (const auto &[number, dxcc] : {std::pair{"0", 0}, std::pair{"100000", 100000}, std::pair{"248.0", 248},
                                       std::pair{"2.48e2", 248}}) {
        const CountryTable t = Countries("\"Sicily\"," + QByteArray(number) + "\r\n");
        ASSERT_EQ(t.entries().size(), 1u) << number;
        EXPECT_EQ(t.entries()[0].dxcc, dxcc) << number;
    }
}

TEST(CountryTable, FoundInSharedThenProgramDataThenStartDir)
{
    zevtest::ExportHarness h;
    QDir().mkpath(h.folders.ProgramDataFolder);
    const QString shared = h.folders.SharedFolder + "/ADIFCnt.txt";
    const QString programData = h.folders.ProgramDataFolder + "/ADIFCnt.txt";
    const QString start = h.folders.StartDir + "/ADIFCnt.txt";
    EXPECT_EQ(CountryTablePath(h.folders), start) << "none exists: the last place is named";
    zevtest::WriteFile(start, kSmallTable);
    zevtest::WriteFile(programData, kSmallTable);
    EXPECT_EQ(CountryTablePath(h.folders), programData);
    zevtest::WriteFile(shared, kSmallTable);
    EXPECT_EQ(CountryTablePath(h.folders), shared);
}

// The table made at build time names countries exactly as the prefix table does, so every
// country a lookup can show has its DXCC number.
TEST(CountryTable, GeneratedTableCoversEveryPrefixTableCountry)
{
    const QString path = QStringLiteral(ZEV_BUILD_DIR "/ADIFCnt.txt");
    QString error;
    const std::optional<CountryTable> t = ReadCountryTable(path, &error);
    ASSERT_TRUE(t.has_value()) << error.toStdString();
    EXPECT_EQ(t->LookupDxcc(QStringLiteral("USA")), 291);
    EXPECT_EQ(t->LookupDxcc(QStringLiteral("Canada")), 1);
    EXPECT_EQ(t->LookupDxcc(QStringLiteral("United States")), 0);
    const QByteArray raw = zevtest::ReadFile(path);
    EXPECT_EQ(raw.count("\r\n"), raw.count('\n')) << "CR LF line ends";

    QTemporaryDir dir;
    QFile::copy(QStringLiteral(ZEV_BUILD_DIR "/arrlpre2.txt"), dir.filePath("arrlpre2.txt"));
    PrefixTable prefixes;
    ASSERT_FALSE(LoadPrefixTable(prefixes, dir.path(), dir.path(), dir.path()).isEmpty());
    QSet<QString> missing;
    for (const PrefixEntry &e : prefixes.entries)
        if (t->LookupDxcc(e.CountryName) <= 0)
            missing.insert(e.CountryName);
    EXPECT_TRUE(missing.isEmpty()) << QStringList(missing.values()).join(", ").toStdString();
}

TEST(CountryTable, MkprefixWritesOneLinePerEntity)
{
    QTemporaryDir dir;
    const QString prefixes = dir.filePath("arrlpre2.txt");
    const QString countries = dir.filePath("ADIFCnt.txt");
    QProcess p;
    p.start(QStringLiteral(ZEV_BUILD_DIR "/mkprefix"),
            {zevtest::Fixture(QStringLiteral("prefix_cty_small.csv")), prefixes, countries});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    // Conway Reef has single calls only, so no prefix row; it still has its number.
    EXPECT_EQ(zevtest::ReadFile(countries), QByteArray("\"Conway Reef\",489\r\n"
                                                       "\"Israel\",336\r\n"
                                                       "\"USA\",291\r\n"
                                                       "\"Guantanamo Bay\",105\r\n"
                                                       "\"Canada\",1\r\n"));
    EXPECT_EQ(zevtest::ReadFile(prefixes),
              zevtest::ReadFile(zevtest::Fixture(QStringLiteral("prefix_cty_small_expected.txt"))));
}

TEST(CountryTable, MkprefixRefusesNumbersTooLargeForTheTables)
{
    const QByteArray good = zevtest::ReadFile(zevtest::Fixture(QStringLiteral("prefix_cty_small.csv")));
    const QByteArray first = good.left(good.indexOf('\n') + 1);
    QList<QByteArray> fields = first.trimmed().split(',');
    ASSERT_GT(fields.size(), 7);
    for (int field : {2, 6, 7}) {  // entity number, latitude, longitude
        SCOPED_TRACE(field);
        QTemporaryDir dir;
        QList<QByteArray> bad = fields;
        bad[field] = "1e999";
        zevtest::WriteFile(dir.filePath("cty.csv"), bad.join(',') + "\r\n" + good.mid(first.size()));
        QProcess p;
        p.start(QStringLiteral(ZEV_BUILD_DIR "/mkprefix"),
                {dir.filePath("cty.csv"), dir.filePath("arrlpre2.txt"), dir.filePath("ADIFCnt.txt")});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_NE(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardError().contains("line 1"));
        EXPECT_FALSE(QFile::exists(dir.filePath("ADIFCnt.txt")));
    }
}

// --- The menu actions ---

namespace {

struct AdifRun : zevtest::ExportHarness {
    AdifRun()
    {
        zevtest::WriteFile(folders.StartDir + "/ADIFCnt.txt", kSmallTable);
        QDir().mkpath(folders.ProgramDataFolder);
        clock.local = QDateTime(QDate(2013, 7, 2), QTime(9, 30));
        s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")),
                            Contact(QStringLiteral("W1AW"), QStringLiteral("12"))});
    }
    QString out() const { return folders.ProgramDataFolder + "/ZEV.adi"; }
};

}  // namespace

TEST(ExportAdif, AsksThenWritesTheChosenFile)
{
    AdifRun h;
    h.prompter.answers = {QStringLiteral("100"), QStringLiteral("ZEV Contest"), h.out()};
    ExportAdif(h.s(), QStringLiteral("Velko's ZEV Contest Log 1.9"));

    ASSERT_EQ(h.prompter.asked.size(), 4);
    EXPECT_EQ(h.prompter.asked[0].text,
              "Please enter the power value that you would like to record.  This is an optional value that will "
              "be included in each QSO record and displayed in Kestro's power output column.");
    EXPECT_EQ(h.prompter.asked[0].title, "Please enter your transmitter output power.");
    EXPECT_EQ(h.prompter.asked[0].detail, "100");
    EXPECT_EQ(h.prompter.asked[1].text,
              "Please enter a comment that you would like to appear on each QSO record.  This is an optional "
              "description that will be displayed in Kestro's Comments column.");
    EXPECT_EQ(h.prompter.asked[1].title, "Please enter a comment.");
    EXPECT_EQ(h.prompter.asked[1].detail, "ZEV Contest");
    EXPECT_EQ(h.prompter.asked[2].kind, "save");
    EXPECT_EQ(h.prompter.asked[2].text, h.out());
    EXPECT_EQ(h.prompter.asked[3].kind, "message");
    EXPECT_EQ(h.prompter.asked[3].text, "The file was successfully written to the directory:\n\n" + h.out() + ".");
    EXPECT_EQ(h.prompter.asked[3].title, "File Written Successfully.");

    const QByteArray file = zevtest::ReadFile(h.out());
    const QList<QByteArray> lines = zevtest::Lines(file);
    EXPECT_EQ(lines[0], "ADIF Export from Velko's ZEV Contest Log 1.9");
    EXPECT_EQ(lines[3], "Log exported on: " +
                            QLocale::system().toString(QDate(2013, 7, 2), QLocale::ShortFormat).toLatin1());
    EXPECT_EQ(file.count("<eor>"), 2);
    EXPECT_TRUE(file.contains("<Call:4>W1AW <Qso_Date:8:d>20130701"));
}

TEST(ExportAdif, CancelledPromptsLeaveTheirFieldsOut)
{
    AdifRun h;
    h.prompter.answers = {std::monostate{}, std::monostate{}, h.out()};
    ExportAdif(h.s(), QStringLiteral("ZEV"));
    const QByteArray file = zevtest::ReadFile(h.out());
    EXPECT_FALSE(file.contains("<Tx_Pwr"));
    EXPECT_FALSE(file.contains("<Comment"));
    EXPECT_TRUE(file.contains("<RST_Sent:3>599 \r\n<CONTEST_ID:14>ZEV-CANADA-DAY ")) << file.constData();
    EXPECT_EQ(h.prompter.titles().last(), "File Written Successfully.");
}

TEST(ExportAdif, CancelledSaveDialogWritesAndSaysNothing)
{
    AdifRun h;
    h.prompter.answers = {QStringLiteral("100"), QStringLiteral("ZEV Contest"), std::monostate{}};
    ExportAdif(h.s(), QStringLiteral("ZEV"));
    EXPECT_FALSE(QFile::exists(h.out()));
    EXPECT_EQ(h.prompter.asked.size(), 3);
    EXPECT_EQ(h.prompter.asked.last().kind, "save");
}

TEST(ExportAdif, FailuresBeepAndSayUnableToWrite)
{
    struct Case {
        const char *what;
        std::function<void(AdifRun &)> arrange;
        bool asksWhere;
    };
    const Case cases[] = {
        {"no country table", [](AdifRun &h) { QFile::remove(h.folders.StartDir + "/ADIFCnt.txt"); }, false},
        {"country table too long",
         [](AdifRun &h) {
             QByteArray big;
             for (int i = 0; i <= kCountryTableMaxLines; ++i)
                 big += "\"X\",1\r\n";
             zevtest::WriteFile(h.folders.SharedFolder + "/ADIFCnt.txt", big);
         },
         false},
        {"file cannot be written",
         [](AdifRun &h) { h.prompter.answers.back() = h.folders.StartDir + "/no such folder/ZEV.adi"; }, true},
    };
    for (const Case &c : cases) {
        AdifRun h;
        h.prompter.answers = {QStringLiteral("100"), QStringLiteral("ZEV Contest"), h.out()};
        c.arrange(h);
        ExportAdif(h.s(), QStringLiteral("ZEV"));
        QStringList kinds;
        for (const zevtest::Asked &a : h.prompter.asked)
            kinds << a.kind;
        const QStringList expected = c.asksWhere ? QStringList{"input", "input", "save", "beep", "message"}
                                                 : QStringList{"input", "input", "beep", "message"};
        EXPECT_EQ(kinds, expected) << c.what;
        EXPECT_EQ(h.prompter.asked.last().title, "Unable to write file.") << c.what;
        EXPECT_FALSE(h.prompter.asked.last().text.isEmpty()) << c.what;
        EXPECT_FALSE(QFile::exists(h.out())) << c.what;
    }
}

// --- LogExp.txt ---

TEST(LogExp, CountryAndState)
{
    struct Case {
        const char *call, *exchange, *country, *state;
    };
    const Case cases[] = {
        {"W1AW", "AK", "Alaska", "AK"}, {"VE3ABC", "ON", "Canada", ""}, {"VE3ABC", "123", "123", ""},
        {"KH6XX", "HI", "Hawaii", "HI"}, {"k1abc", "hi", "Hawaii", "hi"}, {"N1ABC", "MA", "USA", "MA"},
        {"AA1AA", "CT", "USA", "CT"},    {"VE3ABC", "7", "", ""},          {"JA1ABC", "12", "Canada", ""},
        {"", "ON", "Canada", ""},
    };
    for (const Case &c : cases) {
        const CountryAndState cs = LogExpCountryAndState(QString::fromLatin1(c.call), QString::fromLatin1(c.exchange));
        EXPECT_EQ(cs.country, QString::fromLatin1(c.country)) << c.call << " " << c.exchange;
        EXPECT_EQ(cs.state, QString::fromLatin1(c.state)) << c.call << " " << c.exchange;
    }
}

TEST(LogExp, OneLinePerContact)
{
    ContactRecord alaska = Contact(QStringLiteral("W1AW"), QStringLiteral("AK"), QStringLiteral("40"), QStringLiteral("PH"));
    alaska.ReportSent = QStringLiteral("57");
    alaska.ReportRcvd = QStringLiteral("59");
    EXPECT_EQ(LogExpText({Contact(QStringLiteral("VE3ABC"), QStringLiteral("ON")), alaska}, QStringLiteral("100")),
              QByteArray("\"VE3ABC\",\"2013/07/01\",\"20\",\"CW\",\"100\",\"18:05:00\",\"599\",\"599\",,"
                         "\"Canada\",\"\",,,,,\"QRP OBEL Contest\"\r\n"
                         "\"W1AW\",\"2013/07/01\",\"40\",\"SSB\",\"100\",\"18:05:00\",\"57\",\"59\",,"
                         "\"Alaska\",\"AK\",,,,,\"QRP OBEL Contest\"\r\n"));
}

TEST(ExportLogExp, WritesTheWorkingFolderFileAndSaysWhere)
{
    zevtest::ExportHarness h;
    h.s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("ON"))});
    h.prompter.answers = {QStringLiteral("5")};
    ExportLogExp(h.s(), QStringLiteral("ZEV"));

    const QByteArray file = zevtest::ReadFile(h.folders.StartDir + "/LogExp.txt");
    EXPECT_TRUE(file.startsWith("\"VE3ABC\",\"2013/07/01\",\"20\",\"CW\",\"5\",")) << file.constData();
    ASSERT_EQ(h.prompter.asked.size(), 3);
    EXPECT_EQ(h.prompter.asked[0].text, "Please enter the power value you would like to record.");
    EXPECT_EQ(h.prompter.asked[0].title, "Please enter the power value");
    EXPECT_EQ(h.prompter.asked[0].detail, "");
    EXPECT_EQ(h.prompter.asked[1].kind, "beep");
    EXPECT_EQ(h.prompter.asked[2].text,
              "LogExp.txt has been written to this program's working directory " + h.folders.StartDir +
                  ".  Import these contacts into the Kestro program by clicking File, Import, and navigating to "
                  "this directory from the Kestro program.  Transferring your files by ADIF format is now the "
                  "preferred method for file transfer.");
    EXPECT_EQ(h.prompter.asked[2].title, "Export Successful!");
}

TEST(ExportLogExp, EmptyLogGivesAnEmptyFile)
{
    zevtest::ExportHarness h;
    zevtest::WriteFile(h.folders.StartDir + "/LogExp.txt", "old contents\r\n");
    h.prompter.answers = {std::monostate{}};
    ExportLogExp(h.s(), QStringLiteral("ZEV"));
    EXPECT_TRUE(QFile::exists(h.folders.StartDir + "/LogExp.txt"));
    EXPECT_EQ(zevtest::ReadFile(h.folders.StartDir + "/LogExp.txt"), QByteArray());
    EXPECT_EQ(h.prompter.titles().last(), "Export Successful!");
}

TEST(ExportLogExp, FailureToWriteIsReportedNotFatal)
{
    zevtest::ExportHarness h;
    h.s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("ON"))});
    QDir().mkpath(h.folders.StartDir + "/LogExp.txt");  // a folder where the file should go
    h.prompter.answers = {QStringLiteral("100")};
    ExportLogExp(h.s(), QStringLiteral("ZEV"));
    ASSERT_FALSE(h.prompter.asked.isEmpty());
    const zevtest::Asked &last = h.prompter.asked.last();
    EXPECT_EQ(last.kind, "message");
    EXPECT_NE(last.title, "Export Successful!");
    EXPECT_TRUE(last.text.contains("LogExp.txt")) << last.text.toStdString();
    EXPECT_TRUE(last.text.contains("could not be written")) << last.text.toStdString();
}
