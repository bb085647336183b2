// What every export and settings file holds, whoever writes it, and what happens when
// one cannot be written.

#include "common/quoted_values.h"
#include "frame/registry.h"
#include "frame/shared_prefs.h"
#include "full_disk.h"
#include "logcore/contact_log.h"
#include "logcore/main_window.h"
#include "logcore/preferences.h"
#include "outputs/adif_export.h"
#include "outputs/cabrillo.h"
#include "outputs/summary_window.h"
#include "outputs_harness.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::Contact;

namespace {

CountryTable SmallTable()
{
    return ParseCountryTable("\"Canada\",1\r\n", nullptr).value_or(CountryTable());
}

QByteArray Adif(const AdifOptions &o, const std::vector<ContactRecord> &log)
{
    return AdifText(o, log, SmallTable());
}

QByteArray FileThrough(const std::function<void(const QString &)> &write)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file"));
    write(path);
    return zevtest::ReadFile(path);
}

}  // namespace

// A double quote typed anywhere is dropped by every writer, and nothing else changes:
// the file is the one written for the same text without the quote.
TEST(WrittenFiles, NoWriterLetsADoubleQuoteThrough)
{
    struct Writer {
        const char *file;
        std::function<QByteArray(const QString &)> write;
    };
    const Writer writers[] = {
        {"log.txt",
         [](const QString &t) {
             ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
             r.Country = t;
             return RecordLine(r);
         }},
        {"zevpref.txt",
         [](const QString &t) {
             Preferences p;
             p.MyPowerClass = t;
             return FormatPreferences(p);
         }},
        {"LogExp.txt power", [](const QString &t) { return LogExpText({Contact("W1AW", "12")}, t); }},
        {"LogExp.txt exchange", [](const QString &t) { return LogExpText({Contact("VE3ABC", t)}, "5W"); }},
        {"ADIF power and comment",
         [](const QString &t) {
             AdifOptions o;
             o.power = t;
             o.comment = t;
             return Adif(o, {Contact("VE3ABC", "QC")});
         }},
        {"ADIF header and call",
         [](const QString &t) {
             AdifOptions o;
             o.mainWindowTitle = t;
             o.exportDate = t;
             return Adif(o, {Contact(t, "QC")});
         }},
        {"Cabrillo header",
         [](const QString &t) {
             CabrilloHeader h;
             h.name = h.club = h.address1 = h.email = h.operators = h.soapbox = t;
             return CabrilloText(h, {"VE3XYZ", "ON", true}, {});
         }},
        {"Cabrillo QSO line",
         [](const QString &t) {
             return CabrilloText({}, {"VE3XYZ", t, true}, {Contact("VE3ABC", t)});
         }},
        {"SharedUserPreferences.xml",
         [](const QString &t) {
             return FileThrough([&t](const QString &path) {
                 SharedPrefs sp;
                 sp.LoadSharedPrefs(path);
                 EXPECT_TRUE(sp.SetSharedPref(QStringLiteral("OWN_POWER"), t, true));
             });
         }},
        {"registry",
         [](const QString &t) {
             return FileThrough([&t](const QString &path) {
                 Registry reg(path);
                 EXPECT_TRUE(reg.setValue(QStringLiteral("UserClubName"), t));
                 EXPECT_EQ(reg.value(QStringLiteral("UserClubName")), QStringLiteral("5W, QRP"));
             });
         }},
    };
    for (const Writer &w : writers) {
        const QByteArray clean = w.write(QStringLiteral("5W, QRP"));
        ASSERT_TRUE(clean.contains("5W, QRP")) << w.file;
        EXPECT_EQ(w.write(QStringLiteral("5\"W, QRP")), clean) << w.file;
        EXPECT_EQ(w.write(QStringLiteral("\"5W, QRP\"")), clean) << w.file;
    }
}

// The window title is cut to 50 characters for Cabrillo and 60 for ADIF; both cuts
// must end inside the blanks, not in the middle of the web address.
TEST(WrittenFiles, HeadersNameTheProgramWithoutACutAddress)
{
    const QString title = MainWindow::windowTitleText();
    CabrilloHeader h;
    h.mainWindowTitle = title;
    const QList<QByteArray> cabrillo = zevtest::Lines(CabrilloText(h, {"VE3XYZ", "ON", true}, {}));
    EXPECT_EQ(cabrillo[1], "CREATED-BY: Velko's ZEV Contest Log 1.9");

    AdifOptions o;
    o.mainWindowTitle = title;
    const QList<QByteArray> adif = zevtest::Lines(Adif(o, {}));
    EXPECT_EQ(adif[0], "ADIF Export from Velko's ZEV Contest Log 1.9");

    // The title itself still carries the address after the blanks.
    EXPECT_TRUE(title.startsWith(QStringLiteral("Velko's ZEV Contest Log 1.9 ")));
    EXPECT_TRUE(title.trimmed().endsWith(QStringLiteral("https://velko-software.example/zev")));
}

// ADIF text fields are ASCII: accents go, other characters go, and every length counts
// the characters actually written.
TEST(WrittenFiles, AdifTextIsAscii)
{
    struct Case {
        const char *typed;  // UTF-8
        const char *written;
    };
    const Case cases[] = {
        {"Qu\xc3\xa9" "bec", "Quebec"},
        {"\xc3\x98" "stfold", "Ostfold"},
        {"\xc3\x86r\xc3\xb8", "AEro"},
        {"M\xc3\xbcller Stra\xc3\x9f" "e", "Muller Strasse"},
        {"\xc5\x81\xc3\xb3" "d\xc5\xba", "Lodz"},
        {"\xc7\x98", "u"},                   // u with two accents
        {"\xc7\xbe", "O"},                   // O slash with an accent
        {"100 \xe2\x82\xac", "100 "},        // euro sign dropped
        {"\xe6\x97\xa5\xe6\x9c\xac", ""},    // nothing left: no field at all
        {"5 W \xf0\x9f\x93\xbb", "5 W "},    // outside the basic plane
        {"plain", "plain"},
    };
    for (const Case &c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        AdifOptions o;
        o.comment = typed;
        o.power = typed;
        const QByteArray file = Adif(o, {Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))});
        const QByteArray written(c.written);
        for (const char *tag : {"<Tx_Pwr:", "<Comment:"}) {
            const QByteArray field = tag + QByteArray::number(written.size()) + '>' + written;
            if (written.isEmpty())
                EXPECT_FALSE(file.contains(tag)) << c.typed;
            else
                EXPECT_TRUE(file.contains(field)) << c.typed << "\n" << file.constData();
        }
        for (char ch : file)
            ASSERT_LT(static_cast<unsigned char>(ch), 128u) << c.typed;
    }
    // The call and report fields follow the same rule.
    ContactRecord r = Contact(QString::fromUtf8("VE3\xc3\x89X"), QStringLiteral("QC"));
    r.ReportRcvd = QString::fromUtf8("59\xc2\xb9");
    const QByteArray file = Adif({}, {r});
    EXPECT_TRUE(file.contains("<Call:5>VE3EX ")) << file.constData();
    EXPECT_TRUE(file.contains("<RST_Rcvd:2>59 ")) << file.constData();
}

namespace {

struct FullDiskRun : zevtest::ExportHarness {
    zevtest::FullDisk disk;
    std::unique_ptr<SummaryWindow> summary;

    FullDiskRun()
    {
        zevtest::WriteFile(folders.StartDir + "/ADIFCnt.txt", "\"Canada\",1\r\n");
        s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))});
        registry->setValue(QStringLiteral("UserClubName"), QStringLiteral("Old Club"));
    }
    // An existing file on the small disk, left for the writer to replace.
    QString oldFile(const QString &name)
    {
        const QString path = disk.filePath(name);
        zevtest::WriteFile(path, "kept: " + name.toLatin1() + "\r\n");
        return path;
    }
    void writeCabrillo(const QString &path)
    {
        summary = std::make_unique<SummaryWindow>(s(), MainWindow::windowTitleText(), QStringLiteral("20"));
        summary->Text2->setText(QStringLiteral("New Club"));
        prompter.answers = {path};
        summary->Command4_Click();
    }
};

}  // namespace

// On a full disk every export and settings file keeps its old content, and the operator is
// told what was not saved, why, and that the old file is kept.
TEST(WrittenFiles, FullDiskKeepsTheOldFileAndSaysSo)
{
    struct Case {
        const char *what;
        const char *title;  // of the message that reports it
        // Puts the old file on the disk and returns it; runs after the disk is filled.
        std::function<QString(FullDiskRun &)> arrange;
        std::function<void(FullDiskRun &, const QString &)> run;
    };
    const Case cases[] = {
        {"Cabrillo file", "Unable to write file.",
         [](FullDiskRun &h) { return h.oldFile("VE3XYZ.log"); },
         [](FullDiskRun &h, const QString &path) { h.writeCabrillo(path); }},
        {"ADIF file", "Unable to write file.",
         [](FullDiskRun &h) { return h.oldFile("ZEV.adi"); },
         [](FullDiskRun &h, const QString &path) {
             h.prompter.answers = {QStringLiteral("100"), QStringLiteral("ZEV Contest"), path};
             ExportAdif(h.s(), MainWindow::windowTitleText());
         }},
        {"LogExp.txt", "Export Failed",
         [](FullDiskRun &h) {
             h.s().folders.StartDir = h.disk.path();
             return h.oldFile("LogExp.txt");
         },
         [](FullDiskRun &h, const QString &) {
             h.prompter.answers = {QStringLiteral("5W")};
             ExportLogExp(h.s(), MainWindow::windowTitleText());
         }},
        {"shared preferences", "Shared Preferences Not Saved",
         [](FullDiskRun &h) {
             const QString path = h.oldFile("SharedUserPreferences.xml");
             h.s().shared.LoadSharedPrefs(path);
             return path;
         },
         [](FullDiskRun &h, const QString &) { h.writeCabrillo(h.path("VE3XYZ.log")); }},
        {"registry", "Details Not Saved",
         [](FullDiskRun &h) {
             const QString path = h.disk.filePath("registry.ini");
             *h.registry = Registry(path);
             EXPECT_TRUE(h.registry->setValue(QStringLiteral("UserClubName"), QStringLiteral("Old Club")));
             return path;
         },
         [](FullDiskRun &h, const QString &) { h.writeCabrillo(h.path("VE3XYZ.log")); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FullDiskRun h;
        ZEV_REQUIRE_FULL_DISK(h.disk);
        const QString path = c.arrange(h);
        const QByteArray before = zevtest::ReadFile(path);
        ASSERT_FALSE(before.isEmpty());
        ASSERT_TRUE(h.disk.fill()) << h.disk.reason().toStdString();

        c.run(h, path);
        EXPECT_EQ(zevtest::ReadFile(path), before);
        const QList<zevtest::Asked> messages = [&h] {
            QList<zevtest::Asked> out;
            for (const zevtest::Asked &a : h.prompter.asked)
                if (a.kind == "message")
                    out << a;
            return out;
        }();
        ASSERT_FALSE(messages.isEmpty());
        const zevtest::Asked &said = messages.last();
        EXPECT_EQ(said.title, c.title);
        EXPECT_TRUE(said.text.contains("No space left on device")) << said.text.toStdString();
        EXPECT_TRUE(said.text.contains("kept")) << said.text.toStdString();
    }
}

// A value the store could not take is not kept in memory either, and a later change
// is stored once there is room again.
TEST(WrittenFiles, RegistryFailureLeavesTheOldValueAndRecovers)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    const QString ini = disk.filePath("registry.ini");
    Registry reg(ini);
    ASSERT_TRUE(reg.setValue(QStringLiteral("UserCallSign"), QStringLiteral("VE3XYZ")));
    const QByteArray before = zevtest::ReadFile(ini);
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();

    QString error;
    EXPECT_FALSE(reg.setValue(QStringLiteral("UserClubName"), QString(300, QLatin1Char('c')), &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_FALSE(reg.setValue(QStringLiteral("UserCallSign"), QString(300, QLatin1Char('v'))));
    EXPECT_EQ(reg.value(QStringLiteral("UserClubName")), "");
    EXPECT_EQ(reg.value(QStringLiteral("UserCallSign")), "VE3XYZ");
    EXPECT_EQ(zevtest::ReadFile(ini), before);

    ASSERT_TRUE(QFile::remove(disk.filePath("filler")));
    EXPECT_TRUE(reg.setValue(QStringLiteral("UserClubName"), QStringLiteral("Ottawa Valley ARC"), &error))
        << error.toStdString();
    EXPECT_EQ(Registry(ini).value(QStringLiteral("UserClubName")), "Ottawa Valley ARC");
    EXPECT_EQ(Registry(ini).value(QStringLiteral("UserCallSign")), "VE3XYZ");
}
