// Positions sharing one log through their events: each keeps "log.txt" and its journal in
// step, across restarts, crashes between the two writes, and runs with the network off.

#include "common/file_io.h"
#include "network/shared_log.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

ContactRecord Contact(const QString &call, const QString &time, const QString &exchange = QStringLiteral("ON"))
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = r.ReportSent = QStringLiteral("599");
    r.ExchangeRcvd = exchange;
    r.QsoDate = QStringLiteral("2013/07/01");
    r.QsoTime = time;
    r.Mode = QStringLiteral("CW");
    r.Band = QStringLiteral("20");
    r.Points = 10;
    r.Frequency = QStringLiteral("14.025");
    r.Country = QStringLiteral("Canada");
    return r;
}

QByteArray FileOf(const QTemporaryDir &dir, const char *name = "log.txt")
{
    return ReadWholeFile(dir.filePath(QString::fromLatin1(name))).value_or(QByteArray("<missing>"));
}

// One computer of the station: its folder, its working log and its side of the shared log.
struct Position {
    QTemporaryDir dir;
    ContactLog log;
    std::unique_ptr<SharedLog> shared;
    std::vector<LogEvent> sent;
    QStringList problems;

    explicit Position(const QString &name) { start(name); }
    void start(const QString &name)
    {
        shared = std::make_unique<SharedLog>(log, dir.path(), name);
        QObject::connect(shared.get(), &SharedLog::publish, [this](const LogEvent &e) { sent.push_back(e); });
        QObject::connect(shared.get(), &SharedLog::problem, [this](const QString &p) { problems << p; });
    }
    bool open()
    {
        QString error;
        const bool ok = shared->open(&error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }
    // What this position sent that `to` has not had yet.
    void sendTo(Position &to, size_t from = 0)
    {
        QList<QByteArray> messages;
        for (size_t i = from; i < sent.size(); ++i)
            messages << EncodeEvent(sent[i]);
        to.shared->receive(messages);
    }
};

QStringList Calls(const ContactLog &log)
{
    QStringList out;
    for (const ContactRecord &r : log.records())
        out << r.Call + QLatin1Char(':') + r.ExchangeRcvd;
    return out;
}

}  // namespace

TEST(SharedLog, ChangesOnOnePositionReachTheOtherAndBothFilesAgree)
{
    Position run(QStringLiteral("RUN")), mult(QStringLiteral("MULT"));
    ASSERT_TRUE(run.open());
    ASSERT_TRUE(mult.open());
    QSignalSpy added(&mult.log, &ContactLog::added);
    QString error;
    ASSERT_TRUE(run.shared->store(Contact(QStringLiteral("VE3AAA"), QStringLiteral("18:00:00")), &error));
    ASSERT_TRUE(run.shared->store(Contact(QStringLiteral("VE3BBB"), QStringLiteral("18:01:00")), &error));
    run.sendTo(mult);
    EXPECT_EQ(added.count(), 2);  // appended, not reloaded
    EXPECT_EQ(Calls(mult.log), (QStringList{"VE3AAA:ON", "VE3BBB:ON"}));

    // MULT logs one earlier than RUN's last (its clock is behind) and edits RUN's first.
    ASSERT_TRUE(mult.shared->store(Contact(QStringLiteral("VE7CCC"), QStringLiteral("18:00:30"), QStringLiteral("BC")), &error));
    ASSERT_TRUE(mult.shared->replace(1, Contact(QStringLiteral("VE3AAA"), QStringLiteral("18:00:00"), QStringLiteral("QC")), &error));
    mult.sendTo(run);
    ASSERT_TRUE(run.shared->remove(3, &error));  // VE3BBB
    run.sendTo(mult, 2);

    const QStringList expected{"VE3AAA:QC", "VE7CCC:BC"};
    EXPECT_EQ(Calls(run.log), expected);
    EXPECT_EQ(Calls(mult.log), expected);
    EXPECT_EQ(FileOf(run.dir), FileOf(mult.dir));
    EXPECT_EQ(FileOf(run.dir), FormatLog(run.log.records()));
    EXPECT_EQ(run.log.TotalPoints, 20);
    EXPECT_TRUE(run.problems.isEmpty()) << run.problems.join('\n').toStdString();
    EXPECT_TRUE(mult.problems.isEmpty()) << mult.problems.join('\n').toStdString();
}

TEST(SharedLog, ARestartKeepsTheLogAndGoesOnCounting)
{
    Position run(QStringLiteral("RUN"));
    ASSERT_TRUE(run.open());
    QString error;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(run.shared->store(Contact(QStringLiteral("VE3A%1").arg(i), QStringLiteral("18:0%1:00").arg(i)), &error));
    const QByteArray before = FileOf(run.dir);
    run.log.setRecords({});
    run.start(QStringLiteral("RUN"));
    ASSERT_TRUE(run.open());
    EXPECT_EQ(FileOf(run.dir), before);
    EXPECT_EQ(run.log.RecordCount(), 3);
    ASSERT_TRUE(run.shared->store(Contact(QStringLiteral("VE3NEW"), QStringLiteral("19:00:00")), &error));
    EXPECT_EQ(run.sent.back().id.seq, 4u);
}

TEST(SharedLog, WhatTheJournalHoldsButLogTxtMissedAfterACrashIsWrittenAgain)
{
    Position run(QStringLiteral("RUN")), mult(QStringLiteral("MULT"));
    ASSERT_TRUE(run.open());
    ASSERT_TRUE(mult.open());
    QString error;
    ASSERT_TRUE(mult.shared->store(Contact(QStringLiteral("VE7AAA"), QStringLiteral("18:00:00")), &error));
    ASSERT_TRUE(run.shared->store(Contact(QStringLiteral("VE3BBB"), QStringLiteral("18:01:00")), &error));
    mult.sendTo(run);
    const QByteArray full = FileOf(run.dir);
    // The crash: the journal took both, "log.txt" only RUN's own.
    ASSERT_TRUE(WriteFileAtomic(run.dir.filePath(QStringLiteral("log.txt")), RecordLine(Contact(QStringLiteral("VE3BBB"), QStringLiteral("18:01:00"))) + "\r\n"));
    run.start(QStringLiteral("RUN"));
    ASSERT_TRUE(run.open());
    EXPECT_EQ(FileOf(run.dir), full);
    EXPECT_EQ(Calls(run.log), (QStringList{"VE7AAA:ON", "VE3BBB:ON"}));
    EXPECT_EQ(run.sent.size(), 1u);  // nothing new to send
}

TEST(SharedLog, ALogChangedWithTheNetworkOffIsTakenAsThisPositionsChanges)
{
    Position run(QStringLiteral("RUN")), mult(QStringLiteral("MULT"));
    // A log from before the network was turned on.
    const ContactRecord a = Contact(QStringLiteral("VE3AAA"), QStringLiteral("18:00:00")),
                        b = Contact(QStringLiteral("VE3BBB"), QStringLiteral("18:01:00")),
                        c = Contact(QStringLiteral("VE3CCC"), QStringLiteral("18:02:00"));
    ASSERT_TRUE(RewriteLog(run.dir.filePath(QStringLiteral("log.txt")), {a, b, c}, nullptr));
    ASSERT_TRUE(run.open());
    EXPECT_EQ(run.sent.size(), 3u);
    ASSERT_TRUE(mult.open());
    run.sendTo(mult);
    EXPECT_EQ(FileOf(mult.dir), FileOf(run.dir));

    // The network off: B's exchange edited and C deleted in the file.
    QString error;
    ASSERT_TRUE(SharedLog::LeaveStep(run.log, run.dir.path(), &error)) << error.toStdString();
    ContactRecord bEdited = b;
    bEdited.ExchangeRcvd = QStringLiteral("QC");
    ASSERT_TRUE(RewriteLog(run.dir.filePath(QStringLiteral("log.txt")), {a, bEdited}, nullptr));
    const size_t before = run.sent.size();
    run.start(QStringLiteral("RUN"));
    ASSERT_TRUE(run.open());
    EXPECT_EQ(Calls(run.log), (QStringList{"VE3AAA:ON", "VE3BBB:QC"}));
    run.sendTo(mult, before);
    EXPECT_EQ(Calls(mult.log), (QStringList{"VE3AAA:ON", "VE3BBB:QC"}));
    EXPECT_EQ(FileOf(mult.dir), FileOf(run.dir));
}

TEST(SharedLog, GarbageAndStrangersChangeNothingAndAreReportedOnce)
{
    Position run(QStringLiteral("RUN")), mult(QStringLiteral("MULT"));
    ASSERT_TRUE(run.open());
    ASSERT_TRUE(mult.open());
    QString error;
    ASSERT_TRUE(mult.shared->store(Contact(QStringLiteral("VE7AAA"), QStringLiteral("18:00:00")), &error));
    mult.sendTo(run);
    const QByteArray before = FileOf(run.dir), journal = FileOf(run.dir, "netlog.txt");

    LogEvent impostor = run.shared->merged().localAdd(QStringLiteral("RUN"), Contact(QStringLiteral("W1AW"), QStringLiteral("18:05:00")));
    LogEvent other = mult.sent.front();
    other.contact.Call = QStringLiteral("K1ZZ");  // a known change with other content
    const QList<QByteArray> junk{QByteArray("garbage"), QByteArray(kMaxEventBytes + 1, '{'), QByteArray("\x00\x01", 2),
                                 EncodeEvent(impostor), EncodeEvent(other)};
    run.shared->receive(junk);
    const int reports = int(run.problems.size());
    EXPECT_GE(reports, 4) << run.problems.join('\n').toStdString();
    run.shared->receive(junk);
    EXPECT_EQ(run.problems.size(), reports);  // once per reason
    EXPECT_EQ(FileOf(run.dir), before);
    EXPECT_EQ(FileOf(run.dir, "netlog.txt"), journal);
    EXPECT_EQ(Calls(run.log), QStringList{"VE7AAA:ON"});
}

TEST(SharedLog, ANameThatCannotNameAPositionIsRefusedAtOpen)
{
    Position bad(QStringLiteral("run 1"));
    QString error;
    EXPECT_FALSE(bad.shared->open(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("run 1")));
    EXPECT_FALSE(QFile::exists(bad.dir.filePath(QStringLiteral("netlog.ok"))));
}

TEST(SharedLog, TurnedOffAfterACrashTheJournalsContactsAreNotLost)
{
    Position run(QStringLiteral("RUN")), mult(QStringLiteral("MULT"));
    ASSERT_TRUE(run.open());
    ASSERT_TRUE(mult.open());
    QString error;
    ASSERT_TRUE(run.shared->store(Contact(QStringLiteral("VE3AAA"), QStringLiteral("18:00:00")), &error));
    ASSERT_TRUE(mult.shared->store(Contact(QStringLiteral("VE7BBB"), QStringLiteral("18:01:00")), &error));
    mult.sendTo(run);
    const QByteArray full = FileOf(run.dir);
    // A crash left "log.txt" without its last line; the next start has the network off.
    ASSERT_TRUE(RewriteLog(run.dir.filePath(QStringLiteral("log.txt")), {Contact(QStringLiteral("VE3AAA"), QStringLiteral("18:00:00"))}, nullptr));
    ContactLog single;
    ASSERT_TRUE(SharedLog::LeaveStep(single, run.dir.path(), &error)) << error.toStdString();
    EXPECT_EQ(FileOf(run.dir), full);
    EXPECT_EQ(single.RecordCount(), 2);
    EXPECT_FALSE(QFile::exists(run.dir.filePath(QStringLiteral("netlog.ok"))));
    // Left once, leaving again changes nothing.
    ASSERT_TRUE(RewriteLog(run.dir.filePath(QStringLiteral("log.txt")), {}, nullptr));
    EXPECT_TRUE(SharedLog::LeaveStep(single, run.dir.path(), &error));
    EXPECT_EQ(FileOf(run.dir), QByteArray());
}
