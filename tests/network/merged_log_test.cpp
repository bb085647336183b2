// The shared log of several positions: the same changes in any order give the same log,
// conflicts settle the same way everywhere, and a peer's nonsense changes nothing.

#include "network/merged_log.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kRun = QStringLiteral("RUN"), kMult = QStringLiteral("MULT"), kSpot = QStringLiteral("SPOT");

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
    return r;
}

QStringList Calls(const MergedLog &log)
{
    QStringList out;
    for (const ContactRecord &r : log.contacts())
        out << r.Call + QLatin1Char(':') + r.ExchangeRcvd;
    return out;
}

// The first contact from the `from`th on that both positions show.
std::optional<EventId> Common(const MergedLog &a, const MergedLog &b, size_t from)
{
    const std::vector<EventId> ids = a.recordIds(), seen = b.recordIds();
    for (size_t i = from; i < ids.size(); ++i)
        if (std::find(seen.begin(), seen.end(), ids[i]) != seen.end())
            return ids[i];
    return std::nullopt;
}

ContactRecord ContactOf(const MergedLog &log, const EventId &record)
{
    const std::vector<EventId> ids = log.recordIds();
    return log.contacts().at(size_t(std::find(ids.begin(), ids.end(), record) - ids.begin()));
}

// Three positions logging, editing and deleting, each seeing the others only now and then,
// so that edits cross each other and a delete crosses an edit.
std::vector<LogEvent> Contest()
{
    MergedLog run, mult, spot;
    std::vector<LogEvent> all;
    auto make = [&all](MergedLog &at, const LogEvent &e) {
        EXPECT_EQ(at.apply(e).applied, MergedLog::Applied::New);
        all.push_back(e);
    };
    auto share = [&all](MergedLog &to) {
        for (const LogEvent &e : all)
            to.apply(e);
    };
    for (int i = 0; i < 30; ++i) {
        const QString t = QStringLiteral("18:%1:00").arg(i, 2, 10, QLatin1Char('0'));
        make(run, run.localAdd(kRun, Contact(QStringLiteral("VE3R%1").arg(i), t)));
        if (i % 3 == 0)
            make(mult, mult.localAdd(kMult, Contact(QStringLiteral("VE7M%1").arg(i), t)));
        if (i % 5 == 0) {
            share(mult);
            share(spot);
        }
        if (i % 7 == 6) {
            // Both edit the same contact without seeing each other.
            const std::optional<EventId> target = Common(mult, spot, size_t(i / 2));
            EXPECT_TRUE(target);
            if (!target)
                continue;
            ContactRecord m = ContactOf(mult, *target);
            m.ExchangeRcvd = QStringLiteral("QC");
            make(mult, *mult.localEdit(kMult, *target, m));
            m.ExchangeRcvd = QStringLiteral("BC");
            make(spot, *spot.localEdit(kSpot, *target, m));
        }
        if (i % 4 == 3)
            share(run);
        if (i % 11 == 10) {
            // One deletes a contact while another edits it: one both have seen.
            const std::optional<EventId> target = Common(run, spot, size_t(i / 3));
            EXPECT_TRUE(target);
            if (!target)
                continue;
            make(spot, *spot.localDelete(kSpot, *target));
            ContactRecord m = ContactOf(run, *target);
            m.ExchangeRcvd = QStringLiteral("NS");
            make(run, *run.localEdit(kRun, *target, m));
        }
    }
    return all;
}

struct Snapshot {
    QStringList calls;
    std::vector<EventId> ids;
    QStringList notes;
    bool operator==(const Snapshot &) const = default;
};

Snapshot Apply(const std::vector<LogEvent> &events)
{
    MergedLog log;
    for (const LogEvent &e : events) {
        const MergedLog::Applied a = log.apply(e).applied;
        EXPECT_TRUE(a == MergedLog::Applied::New || a == MergedLog::Applied::Waiting);
    }
    EXPECT_EQ(log.waitingCount(), 0);
    return {Calls(log), log.recordIds(), log.notes()};
}

}  // namespace

TEST(MergedLog, AnyOrderOfTheSameChangesGivesTheSameLogAndNotes)
{
    std::vector<LogEvent> events = Contest();
    const Snapshot inOrder = Apply(events);
    EXPECT_FALSE(inOrder.notes.isEmpty());
    EXPECT_LT(inOrder.calls.size(), 40);  // some were deleted

    QRandomGenerator random(20130701);
    for (int round = 0; round < 40; ++round) {
        std::vector<LogEvent> shuffled = events;
        for (size_t i = shuffled.size(); i > 1; --i)
            std::swap(shuffled[i - 1], shuffled[random.bounded(quint32(i))]);
        EXPECT_EQ(Apply(shuffled), inOrder) << "round " << round;
    }
    std::reverse(events.begin(), events.end());
    EXPECT_EQ(Apply(events), inOrder);
}

TEST(MergedLog, ContactsFollowTheTimeTheyWereLoggedThenThePositionThatLoggedThem)
{
    MergedLog log;
    const LogEvent late = log.localAdd(kRun, Contact(QStringLiteral("VE3LATE"), QStringLiteral("18:10:00")));
    EXPECT_TRUE(log.apply(late).appended);
    MergedLog other;
    const LogEvent early = other.localAdd(kMult, Contact(QStringLiteral("VE3EARLY"), QStringLiteral("18:00:00")));
    const LogEvent sameSecond = other.localAdd(kSpot, Contact(QStringLiteral("VE3SAME"), QStringLiteral("18:10:00")));
    // An earlier contact goes in front: the file is rewritten, not appended to.
    MergedLog::Outcome o = log.apply(early);
    EXPECT_FALSE(o.appended);
    EXPECT_TRUE(o.changed);
    // The same second: ordered by the position's name, so SPOT after RUN.
    o = log.apply(sameSecond);
    EXPECT_TRUE(o.appended);
    EXPECT_EQ(Calls(log), (QStringList{"VE3EARLY:ON", "VE3LATE:ON", "VE3SAME:ON"}));
}

TEST(MergedLog, CrossingEditsSettleByClockThenNameAndTheLoserIsNoted)
{
    MergedLog a;
    const LogEvent add = a.localAdd(kRun, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00")));
    a.apply(add);
    MergedLog b = a, c = a;
    ContactRecord qc = Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00"), QStringLiteral("QC"));
    ContactRecord bc = qc;
    bc.ExchangeRcvd = QStringLiteral("BC");
    const LogEvent fromMult = *b.localEdit(kMult, add.record, qc);
    const LogEvent fromSpot = *c.localEdit(kSpot, add.record, bc);
    ASSERT_EQ(fromMult.clock, fromSpot.clock);  // made without seeing each other

    for (const std::vector<LogEvent> &order : {std::vector{fromMult, fromSpot}, std::vector{fromSpot, fromMult}}) {
        MergedLog log = a;
        for (const LogEvent &e : order)
            log.apply(e);
        // Equal clocks: the higher name wins.
        EXPECT_EQ(Calls(log), QStringList{"VE3ABC:BC"});
        ASSERT_EQ(log.notes().size(), 1);
        EXPECT_TRUE(log.notes()[0].startsWith(QStringLiteral("VE3ABC: MULT's edit (MULT/1) lost to SPOT's edit")))
            << log.notes()[0].toStdString();
        EXPECT_TRUE(log.notes()[0].contains(QStringLiteral("\"QC\""))) << log.notes()[0].toStdString();
    }

    // An edit made after seeing the other one wins by its clock, whatever its name, and is no conflict.
    MergedLog log = a;
    log.apply(fromSpot);
    ContactRecord ns = qc;
    ns.ExchangeRcvd = QStringLiteral("NS");
    const LogEvent after = *log.localEdit(kMult, add.record, ns);
    EXPECT_GT(after.clock, fromSpot.clock);
    EXPECT_EQ(after.base, fromSpot.id);
    EXPECT_TRUE(log.apply(after).changed);
    EXPECT_EQ(Calls(log), QStringList{"VE3ABC:NS"});
    EXPECT_TRUE(log.notes().isEmpty()) << log.notes().join('\n').toStdString();
}

TEST(MergedLog, ADeleteStandsAgainstACrossingEditWhichIsNoted)
{
    MergedLog a;
    const LogEvent add = a.localAdd(kRun, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00")));
    a.apply(add);
    MergedLog b = a;
    const LogEvent del = *a.localDelete(kRun, add.record);
    // The edit has the higher clock: it still loses to the delete.
    b.apply(b.localAdd(kMult, Contact(QStringLiteral("VE3ZZZ"), QStringLiteral("17:00:00"))));
    const LogEvent edit =
        *b.localEdit(kMult, add.record, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00"), QStringLiteral("QC")));
    ASSERT_GT(edit.clock, del.clock);
    for (const std::vector<LogEvent> &order : {std::vector{del, edit}, std::vector{edit, del}}) {
        MergedLog log = a;
        for (const LogEvent &e : order)
            log.apply(e);
        EXPECT_EQ(log.contactCount(), 0);
        ASSERT_EQ(log.notes().size(), 1);
        EXPECT_TRUE(log.notes()[0].contains(QStringLiteral("lost to the delete by RUN"))) << log.notes()[0].toStdString();
    }
    // Nothing more can be made of a deleted contact here.
    MergedLog log = a;
    log.apply(del);
    EXPECT_FALSE(log.localEdit(kRun, add.record, add.contact));
    EXPECT_FALSE(log.localDelete(kRun, add.record));
}

TEST(MergedLog, ChangesBeforeTheirContactWaitForIt)
{
    MergedLog source;
    const LogEvent add = source.localAdd(kRun, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00")));
    source.apply(add);
    const LogEvent edit =
        *source.localEdit(kRun, add.record, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00"), QStringLiteral("QC")));

    MergedLog log;
    EXPECT_EQ(log.apply(edit).applied, MergedLog::Applied::Waiting);
    EXPECT_EQ(log.apply(edit).applied, MergedLog::Applied::Known);
    EXPECT_EQ(log.contactCount(), 0);
    EXPECT_EQ(log.waitingCount(), 1);
    const MergedLog::Outcome o = log.apply(add);
    EXPECT_EQ(o.applied, MergedLog::Applied::New);
    EXPECT_TRUE(o.appended);  // the contact arrives as edited
    EXPECT_EQ(Calls(log), QStringList{"VE3ABC:QC"});
    EXPECT_EQ(log.waitingCount(), 0);
}

TEST(MergedLog, WhatContradictsTheLogIsRefusedAndChangesNothing)
{
    MergedLog log;
    const LogEvent add = log.localAdd(kRun, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00")));
    log.apply(add);
    const LogEvent edit = *log.localEdit(kRun, add.record, Contact(QStringLiteral("VE3ABC"), QStringLiteral("18:00:00"), QStringLiteral("QC")));
    log.apply(edit);
    const QStringList before = Calls(log);

    LogEvent sameNameOtherContact = add;
    sameNameOtherContact.contact.Call = QStringLiteral("W1AW");
    LogEvent editOfAnEdit = *log.localEdit(kMult, add.record, add.contact);
    editOfAnEdit.record = edit.id;
    LogEvent addNamedElsewhere = log.localAdd(kMult, add.contact);
    addNamedElsewhere.record = add.id;
    LogEvent noClock = log.localAdd(kMult, add.contact);
    noClock.clock = 0;
    LogEvent badName = log.localAdd(QStringLiteral("run position"), add.contact);

    for (const LogEvent &e : {sameNameOtherContact, editOfAnEdit, addNamedElsewhere, noClock, badName}) {
        const MergedLog::Outcome o = log.apply(e);
        EXPECT_EQ(o.applied, MergedLog::Applied::Refused) << EncodeEvent(e).constData();
        EXPECT_FALSE(o.reason.isEmpty());
        EXPECT_FALSE(o.changed || o.appended);
    }
    EXPECT_EQ(log.apply(add).applied, MergedLog::Applied::Known);
    EXPECT_EQ(Calls(log), before);
}

TEST(MergedLog, EditsOfContactsNeverSeenAreBounded)
{
    MergedLog log;
    LogEvent e;
    e.op = LogOp::Delete;
    e.clock = 5;
    e.base = e.record = {QStringLiteral("GHOST"), 1};
    for (int i = 1; i <= MergedLog::kMaxWaiting; ++i) {
        e.id = {kMult, quint64(i)};
        ASSERT_EQ(log.apply(e).applied, MergedLog::Applied::Waiting);
    }
    e.id = {kMult, quint64(MergedLog::kMaxWaiting + 1)};
    EXPECT_EQ(log.apply(e).applied, MergedLog::Applied::Refused);
    EXPECT_EQ(log.waitingCount(), MergedLog::kMaxWaiting);
}

TEST(MergedLog, CountsTellWhatIsMissingAndNumberTheNextChange)
{
    MergedLog source;
    std::vector<LogEvent> events;
    for (int i = 0; i < 5; ++i) {
        events.push_back(source.localAdd(kMult, Contact(QStringLiteral("VE3M%1").arg(i), QStringLiteral("18:0%1:00").arg(i))));
        source.apply(events.back());
    }
    MergedLog log;
    for (int i : {0, 1, 3})
        log.apply(events[size_t(i)]);
    EXPECT_EQ(log.lastSeq(kMult), 4u);
    EXPECT_EQ(log.contiguousSeq(kMult), 2u);
    EXPECT_EQ(log.lastSeq(kRun), 0u);
    log.apply(events[2]);
    EXPECT_EQ(log.contiguousSeq(kMult), 4u);
    ASSERT_EQ(log.eventsOf(kMult, 3).size(), 2u);
    EXPECT_EQ(log.eventsOf(kMult, 3)[0], events[2]);

    // A position that restarts from its journal goes on counting from its last change and
    // clocks after everything it had seen.
    const LogEvent next = log.localAdd(kMult, Contact(QStringLiteral("VE3NEW"), QStringLiteral("19:00:00")));
    EXPECT_EQ(next.id.seq, 5u);
    EXPECT_GT(next.clock, events[3].clock);
}
