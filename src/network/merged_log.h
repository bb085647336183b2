#pragma once
// The log of a station of several computers, built from every position's changes. Each
// computer applies the same changes in whatever order they reach it and ends with the same
// contacts, in the same order, with the same conflicts settled the same way:
// - contacts are ordered by the time of their first logging, then by the change that added them;
// - a deleted contact stays deleted, whatever edits cross the delete;
// - of two edits made without seeing each other, the one with the higher clock wins (then the
//   higher position name, then the higher count); the other is kept as a note.

#include "network/log_event.h"

#include <QStringList>
#include <map>
#include <set>
#include <vector>

namespace zev {

class MergedLog {
public:
    enum class Applied {
        New,      // taken into the log
        Known,    // seen before: changes nothing
        Waiting,  // an edit or delete of a contact not seen yet: kept until it comes
        Refused,  // contradicts what is known, or too much is waiting
    };
    struct Outcome {
        Applied applied = Applied::Refused;
        QString reason;         // why it was refused
        bool appended = false;  // one contact added after all the others: an append to the file
        bool changed = false;   // the contacts changed otherwise: the file is rewritten
    };

    Outcome apply(const LogEvent &e);

    // A change made on this position: numbered after everything `station` has made and
    // clocked after everything seen. Apply it, then store and send it.
    LogEvent localAdd(const QString &station, const ContactRecord &contact) const;
    // Nothing when the contact is unknown or deleted.
    std::optional<LogEvent> localEdit(const QString &station, const EventId &record,
                                      const ContactRecord &contact) const;
    std::optional<LogEvent> localDelete(const QString &station, const EventId &record) const;

    // The contacts as every position shows them, and the record each one is.
    std::vector<ContactRecord> contacts() const;
    // Where an Add not yet applied would stand among the contacts shown (0 = first).
    int insertionIndex(const LogEvent &add) const;
    std::vector<EventId> recordIds() const;
    // The last `count` contacts shown, in order: what an append adds to the file.
    std::vector<ContactRecord> lastContacts(int count) const;
    int contactCount() const { return visible_; }

    // Edits that lost to another edit or to a delete, one line each, in a fixed order.
    QStringList notes() const;

    quint64 clock() const { return clock_; }
    // The highest count of `station` seen, and the highest below which none is missing.
    quint64 lastSeq(const QString &station) const;
    quint64 contiguousSeq(const QString &station) const;
    bool knows(const EventId &id) const { return events_.count(id) != 0; }
    // Every change of `station` from `fromSeq` on, in order: what it sends again after a gap.
    std::vector<LogEvent> eventsOf(const QString &station, quint64 fromSeq = 1) const;
    std::vector<QString> stations() const;
    int waitingCount() const { return waitingCount_; }

    // The most changes kept waiting for their contact.
    static constexpr int kMaxWaiting = 20000;

private:
    struct Key {
        QString date, time;
        EventId record;
        bool operator==(const Key &) const = default;
        bool operator<(const Key &o) const
        {
            if (date != o.date)
                return date < o.date;
            if (time != o.time)
                return time < o.time;
            return record < o.record;
        }
    };
    struct Record {
        Key key;
        LogEvent add;
        std::vector<LogEvent> later;  // edits and deletes, as they came
        bool deleted = false;
        int winner = -1;  // index in `later` of the edit the contact is now; -1: the add
        const ContactRecord &contact() const { return winner < 0 ? add.contact : later[size_t(winner)].contact; }
        const EventId &version() const { return winner < 0 ? add.id : later[size_t(winner)].id; }
    };
    struct Counts {
        quint64 highest = 0;
        quint64 contiguous = 0;
        std::set<quint64> above;  // seen beyond a gap
    };

    void take(const LogEvent &e);  // a valid, new event
    std::optional<LogEvent> localChange(const QString &station, const EventId &record, LogOp op) const;
    void settle(Record &r);
    bool isLastVisible(const Key &key) const;

    std::map<EventId, LogEvent> events_;      // every change taken, by position and count
    std::map<EventId, Record> records_;       // by the Add that made them
    std::set<Key> order_;                     // every record, deleted ones too
    std::map<EventId, std::vector<LogEvent>> waiting_;  // by the record they change
    std::map<EventId, EventId> waitingIds_;             // each waiting change: its record
    std::map<QString, Counts> seqs_;
    quint64 clock_ = 0;
    int visible_ = 0;
    int waitingCount_ = 0;
};

}  // namespace zev
