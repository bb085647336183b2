#include "network/event_journal.h"

#include "common/file_io.h"

#include <QFileInfo>
#include <map>

namespace zev {

JournalRead ReadJournal(const QString &path)
{
    JournalRead out;
    if (!QFileInfo::exists(path))
        return out;
    const std::optional<QByteArray> data = ReadWholeFile(path, &out.error);
    if (!data) {
        out.ok = false;
        return out;
    }
    int lineNumber = 0;
    for (QByteArray line : data->split('\n')) {
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QString why;
        if (std::optional<LogEvent> e = DecodeEvent(line, &why)) {
            out.events.push_back(std::move(*e));
        } else {
            if (out.badLines++ == 0)
                out.firstProblem = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
        }
    }
    return out;
}

bool AppendToJournal(const QString &path, const LogEvent &e, QString *error)
{
    return AppendDurable(path, EncodeEvent(e) + '\n', error, true);
}

bool AppendToJournal(const QString &path, const std::vector<LogEvent> &events, QString *error)
{
    if (events.empty())
        return true;
    QByteArray lines;
    for (const LogEvent &e : events)
        lines += EncodeEvent(e) + '\n';
    return AppendDurable(path, lines, error, true);
}

std::vector<ContactRecord> UnaccountedContacts(const std::vector<ContactRecord> &journalled,
                                               const std::vector<ContactRecord> &file)
{
    std::map<QByteArray, int> copies;
    for (const ContactRecord &r : journalled)
        ++copies[RecordLine(r)];
    std::vector<ContactRecord> out;
    for (const ContactRecord &r : file) {
        int &left = copies[RecordLine(r)];
        if (left > 0)
            --left;
        else
            out.push_back(r);
    }
    return out;
}

}  // namespace zev
