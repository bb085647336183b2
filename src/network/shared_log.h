#pragma once
// This position's side of the shared log: it turns the operator's changes into events and
// the other positions' events into contacts of "log.txt", keeping three things in step:
// - the journal (every event taken, forced to disk first: it is the truth after a crash);
// - "log.txt" and the working log in memory (the contacts in the station's common order);
// - what is handed to the link to send (only events already safe on disk).
// A marker file beside the journal says that "log.txt" was last written from it. Without
// it (the program ran with the network off, or the log was edited by hand), "log.txt"
// is the truth and the journal takes its differences as this position's adds and deletes.

#include "network/event_journal.h"
#include "network/merged_log.h"

#include <QObject>
#include <QSet>

namespace zev {

class ContactLog;

inline constexpr char kJournalInStepFile[] = "netlog.ok";

class SharedLog : public QObject {
    Q_OBJECT
public:
    // `folder` holds "log.txt", the journal and the marker.
    SharedLog(ContactLog &log, const QString &folder, const QString &station, QObject *parent = nullptr);

    // Reads the journal and brings it and "log.txt" into step. False with the reason when
    // either cannot be read or written; the working log is then left as it was.
    bool open(QString *error);

    // The operator's changes: on disk here before they are handed on. Record n as the
    // working log numbers it.
    bool store(const ContactRecord &r, QString *error);
    bool replace(int n, const ContactRecord &r, QString *error);
    bool remove(int n, QString *error);

    // Events from the other positions, in the order they came; taken in one write. Garbage
    // and contradictions change nothing and are reported once per reason.
    void receive(const QList<QByteArray> &messages);

    const MergedLog &merged() const { return merged_; }
    const QString &station() const { return station_; }
    QString journalPath() const;

    // Run with the network off: "log.txt" may now change without the journal. What the
    // journal holds and "log.txt" lacks (a crash before the file reached the disk) is put
    // back into it first, so that nothing logged while shared is lost.
    static bool LeaveStep(ContactLog &log, const QString &folder, QString *error);

signals:
    // An event of this position, safe on disk, to send.
    void publish(const zev::LogEvent &e);
    // Something from outside was refused, or a write failed: once per reason.
    void problem(const QString &text);
    // The notes of lost edits changed.
    void notesChanged();

private:
    // Journal first, then "log.txt" and the working log, then the notes; false when a
    // write failed (what reached the journal is kept and rewritten at the next start).
    bool take(const std::vector<LogEvent> &events, QString *error);
    bool writeLog(bool appendedOnly, int appended, bool editsOrDeletes, QString *error);
    void report(const QString &reason);

    ContactLog &log_;
    QString folder_;
    QString station_;
    MergedLog merged_;
    QSet<QString> reported_;
    int noteCount_ = 0;
};

}  // namespace zev
