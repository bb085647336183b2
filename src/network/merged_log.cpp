#include "network/merged_log.h"

#include <algorithm>

namespace zev {

namespace {

// Which of two versions of a contact stands: the later clock, then the name, then the count.
bool Beats(const LogEvent &a, const LogEvent &b)
{
    if (a.clock != b.clock)
        return a.clock > b.clock;
    return b.id < a.id;
}

}  // namespace

MergedLog::Outcome MergedLog::apply(const LogEvent &e)
{
    Outcome out;
    if (!ValidStationName(e.id.station) || e.id.seq == 0 || e.clock == 0) {
        out.reason = QStringLiteral("a change without a valid name or clock");
        return out;
    }
    if (const auto known = events_.find(e.id); known != events_.end()) {
        if (known->second == e) {
            out.applied = Applied::Known;
        } else {
            out.reason = QStringLiteral("%1 came again with other content").arg(e.id.text());
        }
        return out;
    }
    if (const auto w = waitingIds_.find(e.id); w != waitingIds_.end()) {
        const std::vector<LogEvent> &list = waiting_.at(w->second);
        const auto same = std::find_if(list.begin(), list.end(), [&e](const LogEvent &o) { return o.id == e.id; });
        if (*same == e)
            out.applied = Applied::Known;
        else
            out.reason = QStringLiteral("%1 came again with other content").arg(e.id.text());
        return out;
    }

    if (e.op == LogOp::Add) {
        if (e.record != e.id) {
            out.reason = QStringLiteral("an added contact is named after its own change");
            return out;
        }
        take(e);
        // Changes that came before their contact follow it now, in the order they came.
        if (const auto w = waiting_.find(e.id); w != waiting_.end()) {
            const std::vector<LogEvent> list = std::move(w->second);
            waiting_.erase(w);
            waitingCount_ -= int(list.size());
            for (const LogEvent &later : list) {
                waitingIds_.erase(later.id);
                take(later);
            }
        }
        const Record &r = records_.at(e.id);
        out.applied = Applied::New;
        if (!r.deleted) {
            out.appended = isLastVisible(r.key);
            out.changed = !out.appended;
        }
        return out;
    }

    const auto target = records_.find(e.record);
    if (target == records_.end()) {
        if (events_.count(e.record) != 0) {
            out.reason = QStringLiteral("%1 changes %2, which is not a contact").arg(e.id.text(), e.record.text());
            return out;
        }
        if (waitingCount_ >= kMaxWaiting) {
            out.reason = QStringLiteral("too many changes wait for contacts never seen");
            return out;
        }
        clock_ = std::max(clock_, e.clock);
        waiting_[e.record].push_back(e);
        waitingIds_.emplace(e.id, e.record);
        ++waitingCount_;
        out.applied = Applied::Waiting;
        return out;
    }
    const bool wasDeleted = target->second.deleted;
    const ContactRecord before = target->second.contact();
    take(e);
    const Record &r = target->second;
    out.applied = Applied::New;
    out.changed = r.deleted != wasDeleted || (!r.deleted && !(r.contact() == before));
    return out;
}

void MergedLog::take(const LogEvent &e)
{
    events_.emplace(e.id, e);
    clock_ = std::max(clock_, e.clock);
    Counts &c = seqs_[e.id.station];
    c.highest = std::max(c.highest, e.id.seq);
    if (e.id.seq > c.contiguous)
        c.above.insert(e.id.seq);
    while (!c.above.empty() && *c.above.begin() == c.contiguous + 1) {
        c.contiguous = *c.above.begin();
        c.above.erase(c.above.begin());
    }

    if (e.op == LogOp::Add) {
        Record r;
        r.key = Key{e.contact.QsoDate, e.contact.QsoTime, e.id};
        r.add = e;
        order_.insert(r.key);
        records_.emplace(e.id, std::move(r));
        ++visible_;
        return;
    }
    Record &r = records_.at(e.record);
    const bool wasDeleted = r.deleted;
    r.later.push_back(e);
    settle(r);
    if (r.deleted && !wasDeleted)
        --visible_;
}

void MergedLog::settle(Record &r)
{
    r.deleted = false;
    r.winner = -1;
    for (size_t i = 0; i < r.later.size(); ++i) {
        const LogEvent &e = r.later[i];
        if (e.op == LogOp::Delete)
            r.deleted = true;
        else if (Beats(e, r.winner < 0 ? r.add : r.later[size_t(r.winner)]))
            r.winner = int(i);
    }
}

bool MergedLog::isLastVisible(const Key &key) const
{
    for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
        if (*it == key)
            return true;
        if (!records_.at(it->record).deleted)
            return false;
    }
    return false;
}

LogEvent MergedLog::localAdd(const QString &station, const ContactRecord &contact) const
{
    LogEvent e;
    e.id = EventId{station, lastSeq(station) + 1};
    e.clock = clock_ + 1;
    e.record = e.id;
    e.op = LogOp::Add;
    e.contact = contact;
    return e;
}

std::optional<LogEvent> MergedLog::localChange(const QString &station, const EventId &record, LogOp op) const
{
    const auto r = records_.find(record);
    if (r == records_.end() || r->second.deleted)
        return std::nullopt;
    LogEvent e;
    e.id = EventId{station, lastSeq(station) + 1};
    e.clock = clock_ + 1;
    e.record = record;
    e.base = r->second.version();
    e.op = op;
    return e;
}

std::optional<LogEvent> MergedLog::localEdit(const QString &station, const EventId &record,
                                             const ContactRecord &contact) const
{
    std::optional<LogEvent> e = localChange(station, record, LogOp::Edit);
    if (e)
        e->contact = contact;
    return e;
}

std::optional<LogEvent> MergedLog::localDelete(const QString &station, const EventId &record) const
{
    return localChange(station, record, LogOp::Delete);
}

std::vector<ContactRecord> MergedLog::contacts() const
{
    std::vector<ContactRecord> out;
    out.reserve(size_t(visible_));
    for (const Key &k : order_)
        if (const Record &r = records_.at(k.record); !r.deleted)
            out.push_back(r.contact());
    return out;
}

int MergedLog::insertionIndex(const LogEvent &add) const
{
    const Key key{add.contact.QsoDate, add.contact.QsoTime, add.id};
    int index = 0;
    for (auto it = order_.begin(); it != order_.end() && *it < key; ++it)
        if (!records_.at(it->record).deleted)
            ++index;
    return index;
}

std::vector<ContactRecord> MergedLog::lastContacts(int count) const
{
    std::vector<ContactRecord> out;
    for (auto it = order_.rbegin(); it != order_.rend() && int(out.size()) < count; ++it)
        if (const Record &r = records_.at(it->record); !r.deleted)
            out.push_back(r.contact());
    std::reverse(out.begin(), out.end());
    return out;
}

std::vector<EventId> MergedLog::recordIds() const
{
    std::vector<EventId> out;
    out.reserve(size_t(visible_));
    for (const Key &k : order_)
        if (!records_.at(k.record).deleted)
            out.push_back(k.record);
    return out;
}

QStringList MergedLog::notes() const
{
    QStringList out;
    for (const Key &k : order_) {
        const Record &r = records_.at(k.record);
        std::vector<const LogEvent *> edits;
        for (size_t i = 0; i < r.later.size(); ++i) {
            const LogEvent &e = r.later[i];
            if (e.op != LogOp::Edit || (!r.deleted && int(i) == r.winner))
                continue;
            const bool superseded = std::any_of(r.later.begin(), r.later.end(),
                                                [&e](const LogEvent &o) { return o.base == e.id; });
            if (!superseded)
                edits.push_back(&e);
        }
        if (edits.empty())
            continue;
        std::sort(edits.begin(), edits.end(), [](const LogEvent *a, const LogEvent *b) { return a->id < b->id; });
        QString winner;
        if (r.deleted) {
            const LogEvent *del = nullptr;
            for (const LogEvent &e : r.later)
                if (e.op == LogOp::Delete && (!del || e.id < del->id))
                    del = &e;
            winner = QStringLiteral("the delete by %1").arg(del->id.station);
        } else if (r.winner >= 0) {
            winner = QStringLiteral("%1's edit").arg(r.later[size_t(r.winner)].id.station);
        } else {
            winner = QStringLiteral("the contact as logged");
        }
        for (const LogEvent *e : edits)
            out << QStringLiteral("%1: %2's edit (%3) lost to %4; it read %5")
                       .arg(r.add.contact.Call, e->id.station, e->id.text(), winner,
                            QString::fromLatin1(RecordLine(e->contact)));
    }
    return out;
}

quint64 MergedLog::lastSeq(const QString &station) const
{
    const auto c = seqs_.find(station);
    return c == seqs_.end() ? 0 : c->second.highest;
}

quint64 MergedLog::contiguousSeq(const QString &station) const
{
    const auto c = seqs_.find(station);
    return c == seqs_.end() ? 0 : c->second.contiguous;
}

std::vector<LogEvent> MergedLog::eventsOf(const QString &station, quint64 fromSeq) const
{
    std::vector<LogEvent> out;
    for (auto it = events_.lower_bound(EventId{station, fromSeq}); it != events_.end() && it->first.station == station;
         ++it)
        out.push_back(it->second);
    return out;
}

std::vector<QString> MergedLog::stations() const
{
    std::vector<QString> out;
    for (const auto &[station, counts] : seqs_)
        out.push_back(station);
    return out;
}

}  // namespace zev
