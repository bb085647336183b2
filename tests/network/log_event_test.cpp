// Changes to the shared log as they travel between positions: what reads back, and what
// a broker or a peer may hand us that must be refused.

#include "network/event_journal.h"
#include "network/log_event.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

ContactRecord Contact(const QString &call, const QString &time = QStringLiteral("18:05:00"))
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = r.ReportSent = QStringLiteral("599");
    r.SerialSent = QStringLiteral("12");
    r.ExchangeRcvd = QStringLiteral("ON");
    r.QsoDate = QStringLiteral("2013/07/01");
    r.QsoTime = time;
    r.Mode = QStringLiteral("CW");
    r.Band = QStringLiteral("20");
    r.Points = 10;
    r.Frequency = QStringLiteral("14.025");
    r.Country = QStringLiteral("Canada");
    return r;
}

LogEvent Event(LogOp op)
{
    LogEvent e;
    e.id = {QStringLiteral("MULT"), 7};
    e.clock = 41;
    e.op = op;
    e.record = op == LogOp::Add ? e.id : EventId{QStringLiteral("RUN"), 3};
    if (op != LogOp::Add)
        e.base = {QStringLiteral("RUN"), 3};
    if (op != LogOp::Delete)
        e.contact = Contact(QStringLiteral("VE3ABC"));
    return e;
}

}  // namespace

TEST(LogEventCodec, EveryKindOfChangeReadsBackAsItWasSent)
{
    for (LogOp op : {LogOp::Add, LogOp::Edit, LogOp::Delete}) {
        LogEvent e = Event(op);
        if (op == LogOp::Edit) {
            // Points with a fraction and Latin-1 text travel unchanged.
            e.contact.Points = 2.5;
            e.contact.Country = QStringLiteral("Cura\u00e7ao");
        }
        const QByteArray bytes = EncodeEvent(e);
        EXPECT_FALSE(bytes.contains('\n'));
        QString why;
        const std::optional<LogEvent> back = DecodeEvent(bytes, &why);
        ASSERT_TRUE(back) << why.toStdString() << " " << bytes.constData();
        EXPECT_EQ(*back, e) << bytes.constData();
    }
}

TEST(LogEventCodec, MalformedOrHostileInputIsRefusedWithAReason)
{
    const QByteArray good = EncodeEvent(Event(LogOp::Edit));
    auto with = [&good](const char *from, const char *to) {
        QByteArray b = good;
        EXPECT_TRUE(b.contains(from)) << from;
        return b.replace(from, to);
    };
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"empty", ""},
        {"not JSON", "QSO: 14000 CW 2013-07-01"},
        {"a JSON array", "[1,2,3]"},
        {"binary", QByteArray("\x00\xff\xfe{\"id\":", 10)},
        {"oversized", "{\"pad\":\"" + QByteArray(kMaxEventBytes, 'x') + "\"}"},
        {"lower-case station", with("\"id\":\"MULT/7\"", "\"id\":\"mult/7\"")},
        {"station too long", with("\"id\":\"MULT/7\"", "\"id\":\"ABCDEFGHIJKLMNOPQ/7\"")},
        {"count zero", with("\"id\":\"MULT/7\"", "\"id\":\"MULT/0\"")},
        {"count with a sign", with("\"id\":\"MULT/7\"", "\"id\":\"MULT/+7\"")},
        {"count not a number", with("\"id\":\"MULT/7\"", "\"id\":\"MULT/seven\"")},
        {"clock negative", with("\"clock\":41", "\"clock\":-41")},
        {"clock with a fraction", with("\"clock\":41", "\"clock\":41.5")},
        {"clock beyond exact integers", with("\"clock\":41", "\"clock\":1e300")},
        {"clock as text", with("\"clock\":41", "\"clock\":\"41\"")},
        {"unknown change", with("\"op\":\"edit\"", "\"op\":\"merge\"")},
        {"edit without base", with("\"base\":\"RUN/3\",", "")},
        {"edit of itself", with("\"record\":\"RUN/3\"", "\"record\":\"MULT/7\"")},
        {"contact with a quote", with("VE3ABC", "VE3\\\"AB")},
        {"contact with a line end", with("VE3ABC", "VE3\\r\\nAB")},
        {"contact beyond Latin-1", with("VE3ABC", "VE3\\u20acAB")},
        {"contact with a field short", with("\\\"Canada\\\"", "")},
        {"contact with two lines", with("\\\"Canada\\\"", "\\\"Canada\\\",\\\"VE3X\\\"")},
        {"contact points as text", with(",10,", ",\\\"10\\\",")},
        {"contact missing", with("\"contact\":", "\"contacts\":")},
    };
    for (const auto &c : cases) {
        QString why;
        EXPECT_FALSE(DecodeEvent(c.bytes, &why)) << c.what;
        EXPECT_FALSE(why.isEmpty()) << c.what;
    }
    // An add names its contact after itself.
    LogEvent add = Event(LogOp::Add);
    add.record = {QStringLiteral("RUN"), 1};
    EXPECT_FALSE(DecodeEvent(EncodeEvent(add)));
}

TEST(EventJournal, KeepsEveryChangeAndSurvivesALineCutShortByACrash)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kJournalFile));
    EXPECT_TRUE(ReadJournal(path).ok);
    EXPECT_TRUE(ReadJournal(path).events.empty());

    QString error;
    const LogEvent a = Event(LogOp::Add), d = Event(LogOp::Delete);
    ASSERT_TRUE(AppendToJournal(path, a, &error)) << error.toStdString();
    // A crash in the middle of the next append leaves half a line.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(EncodeEvent(d).left(20));
    }
    LogEvent e = Event(LogOp::Edit);
    e.id.seq = 8;
    ASSERT_TRUE(AppendToJournal(path, e, &error)) << error.toStdString();

    const JournalRead read = ReadJournal(path);
    EXPECT_TRUE(read.ok);
    ASSERT_EQ(read.events.size(), 2u);
    EXPECT_EQ(read.events[0], a);
    EXPECT_EQ(read.events[1], e);
    EXPECT_EQ(read.badLines, 1);
    EXPECT_TRUE(read.firstProblem.startsWith(QStringLiteral("line 2:"))) << read.firstProblem.toStdString();
}

TEST(EventJournal, ContactsTheJournalDoesNotAccountForCountEachCopy)
{
    const ContactRecord a = Contact(QStringLiteral("VE3AAA")), b = Contact(QStringLiteral("VE3BBB")),
                        c = Contact(QStringLiteral("VE3CCC"));
    const struct {
        const char *what;
        std::vector<ContactRecord> journalled, file, expected;
    } cases[] = {
        {"all accounted", {a, b}, {b, a}, {}},
        {"logged while off", {a}, {a, b, c}, {b, c}},
        {"a second identical line", {a}, {a, a}, {a}},
        {"journal ahead of the file", {a, b, c}, {a}, {}},
        {"no journal yet", {}, {c, a}, {c, a}},
    };
    for (const auto &t : cases)
        EXPECT_EQ(UnaccountedContacts(t.journalled, t.file), t.expected) << t.what;
}
