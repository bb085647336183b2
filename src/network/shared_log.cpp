#include "network/shared_log.h"

#include "common/file_io.h"
#include "logcore/contact_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace zev {

namespace {

QString LogPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("log.txt"));
}

QString MarkerPath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kJournalInStepFile));
}

}  // namespace

SharedLog::SharedLog(ContactLog &log, const QString &folder, const QString &station, QObject *parent)
    : QObject(parent), log_(log), folder_(folder), station_(station)
{
}

QString SharedLog::journalPath() const
{
    return QDir(folder_).filePath(QString::fromLatin1(kJournalFile));
}

bool SharedLog::LeaveStep(ContactLog &log, const QString &folder, QString *error)
{
    QFile marker(MarkerPath(folder));
    if (!marker.exists())
        return true;
    if (QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(kJournalFile)))) {
        // In step: the journal is the truth, and "log.txt" is brought level with it.
        SharedLog catchUp(log, folder, QStringLiteral("LOCAL"));
        if (!catchUp.open(error))
            return false;
    }
    QFile file(LogPath(folder));
    if (file.exists() && (!file.open(QIODevice::ReadWrite) || ::fsync(file.handle()) != 0)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.close();
    if (marker.remove())
        return true;
    if (error)
        *error = marker.errorString();
    return false;
}

bool SharedLog::open(QString *error)
{
    if (!ValidStationName(station_)) {
        *error = QStringLiteral("\"%1\" cannot name a position: use 1 to 16 of A-Z, 0-9, - and _.").arg(station_);
        return false;
    }
    const JournalRead journal = ReadJournal(journalPath());
    if (!journal.ok) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(journalPath()), journal.error);
        return false;
    }
    if (journal.badLines > 0)
        report(QStringLiteral("%1 line(s) of %2 were not events and were skipped (%3).")
                   .arg(journal.badLines)
                   .arg(QString::fromLatin1(kJournalFile), journal.firstProblem));
    MergedLog merged;
    for (const LogEvent &e : journal.events) {
        const MergedLog::Outcome o = merged.apply(e);
        if (o.applied == MergedLog::Applied::Refused)
            report(QStringLiteral("%1: %2").arg(QString::fromLatin1(kJournalFile), o.reason));
    }
    std::vector<ContactRecord> file;
    const LogReadResult read = QFileInfo::exists(LogPath(folder_)) ? ReadLogFile(LogPath(folder_), file) : LogReadResult{};
    if (!read.ok) {
        *error = QStringLiteral("log.txt: %1").arg(read.error);
        return false;
    }

    std::vector<LogEvent> made;
    if (!QFileInfo::exists(MarkerPath(folder_))) {
        // "log.txt" changed without the journal: what it lost is deleted, what it gained added.
        const std::vector<ContactRecord> shown = merged.contacts();
        const std::vector<EventId> ids = merged.recordIds();
        std::vector<bool> used(ids.size(), false);
        for (const ContactRecord &gone : UnaccountedContacts(file, shown)) {
            for (size_t i = 0; i < shown.size(); ++i)
                if (!used[i] && shown[i] == gone) {
                    used[i] = true;
                    made.push_back(*merged.localDelete(station_, ids[i]));
                    merged.apply(made.back());
                    break;
                }
        }
        for (const ContactRecord &added : UnaccountedContacts(shown, file)) {
            made.push_back(merged.localAdd(station_, added));
            merged.apply(made.back());
        }
        if (!AppendToJournal(journalPath(), made, error))
            return false;
    }
    std::vector<ContactRecord> contacts = merged.contacts();
    if (contacts != file && !RewriteLog(LogPath(folder_), contacts, error))
        return false;
    if (!WriteFileAtomic(MarkerPath(folder_), QByteArray(), error))
        return false;
    merged_ = std::move(merged);
    noteCount_ = int(merged_.notes().size());
    log_.setRecords(std::move(contacts));
    for (const LogEvent &e : made)
        emit publish(e);
    return true;
}

bool SharedLog::store(const ContactRecord &r, QString *error)
{
    return take({merged_.localAdd(station_, r)}, error);
}

bool SharedLog::replace(int n, const ContactRecord &r, QString *error)
{
    const std::vector<EventId> ids = merged_.recordIds();
    if (n < 1 || n > int(ids.size()))
        return false;
    const std::optional<LogEvent> e = merged_.localEdit(station_, ids[size_t(n - 1)], r);
    return e && take({*e}, error);
}

bool SharedLog::remove(int n, QString *error)
{
    const std::vector<EventId> ids = merged_.recordIds();
    if (n < 1 || n > int(ids.size()))
        return false;
    const std::optional<LogEvent> e = merged_.localDelete(station_, ids[size_t(n - 1)]);
    return e && take({*e}, error);
}

bool SharedLog::take(const std::vector<LogEvent> &events, QString *error)
{
    // The operator's change counts once it is in the journal.
    if (!AppendToJournal(journalPath(), events, error))
        return false;
    bool appendedOnly = true, editsOrDeletes = false;
    int appended = 0;
    for (const LogEvent &e : events) {
        const MergedLog::Outcome o = merged_.apply(e);
        appendedOnly = appendedOnly && !o.changed;
        appended += o.appended ? 1 : 0;
        editsOrDeletes = editsOrDeletes || e.op != LogOp::Add;
    }
    QString why;
    if (!writeLog(appendedOnly, appended, editsOrDeletes, &why))
        report(QStringLiteral("log.txt could not be written (%1); the change is kept in %2 and log.txt is "
                              "written again at the next start.")
                   .arg(why, QString::fromLatin1(kJournalFile)));
    for (const LogEvent &e : events)
        emit publish(e);
    return true;
}

void SharedLog::receive(const QList<QByteArray> &messages)
{
    std::vector<LogEvent> accepted;
    bool appendedOnly = true, editsOrDeletes = false;
    int appended = 0;
    for (const QByteArray &bytes : messages) {
        QString why;
        const std::optional<LogEvent> e = DecodeEvent(bytes, &why);
        if (!e) {
            report(QStringLiteral("A message that is not a change of the log was ignored: %1.").arg(why));
            continue;
        }
        if (e->id.station == station_ && !merged_.knows(e->id)) {
            // Our own name from elsewhere: another computer uses this position's name.
            report(QStringLiteral("Another computer sends changes as %1, this position's name; they were "
                                  "ignored. Give each computer its own name.")
                       .arg(station_));
            continue;
        }
        const MergedLog::Outcome o = merged_.apply(*e);
        switch (o.applied) {
        case MergedLog::Applied::Known:
            break;
        case MergedLog::Applied::Refused:
            report(QStringLiteral("A change from %1 was refused: %2.").arg(e->id.station, o.reason));
            break;
        case MergedLog::Applied::Waiting:
            report(QStringLiteral("Changes to contacts not seen here yet (the first from %1) are held until "
                                  "those contacts come.")
                       .arg(e->id.station));
            [[fallthrough]];
        case MergedLog::Applied::New:
            accepted.push_back(*e);
            editsOrDeletes = editsOrDeletes || e->op != LogOp::Add;
            appendedOnly = appendedOnly && !o.changed;
            appended += o.appended ? 1 : 0;
            break;
        }
    }
    if (accepted.empty())
        return;
    QString why;
    if (!AppendToJournal(journalPath(), accepted, &why)) {
        // Not on disk here: the broker holds them, and they come again at the next start.
        report(QStringLiteral("%1 could not be written (%2).").arg(QString::fromLatin1(kJournalFile), why));
        log_.setRecords(merged_.contacts());
        return;
    }
    if (!writeLog(appendedOnly, appended, editsOrDeletes, &why))
        report(QStringLiteral("log.txt could not be written (%1); it is written again at the next start.").arg(why));
}

bool SharedLog::writeLog(bool appendedOnly, int appended, bool editsOrDeletes, QString *error)
{
    bool written = true;
    if (appendedOnly) {
        if (appended > 0) {
            // Only the new lines: a catch-up of thousands comes in many small batches.
            const std::vector<ContactRecord> added = merged_.lastContacts(appended);
            QByteArray lines;
            for (const ContactRecord &r : added)
                lines += RecordLine(r) + "\r\n";
            // The journal is already on disk and rebuilds these lines after a crash.
            written = AppendUnsynced(LogPath(folder_), lines, error, true);
            for (const ContactRecord &r : added)
                log_.append(r);
        }
    } else {
        std::vector<ContactRecord> contacts = merged_.contacts();
        written = RewriteLog(LogPath(folder_), contacts, error);
        log_.setRecords(std::move(contacts));
    }
    // Only an edit or a delete can lose, or make another lose.
    if (editsOrDeletes) {
        const int notes = int(merged_.notes().size());
        if (notes != noteCount_) {
            noteCount_ = notes;
            emit notesChanged();
        }
    }
    return written;
}

void SharedLog::report(const QString &reason)
{
    if (reported_.contains(reason))
        return;
    reported_.insert(reason);
    emit problem(reason);
}

}  // namespace zev
