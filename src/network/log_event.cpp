#include "network/log_event.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>

namespace zev {

namespace {

// JSON numbers are doubles: counts stay where every integer is exact.
constexpr quint64 kMaxCount = (quint64(1) << 53) - 1;

const char *OpName(LogOp op)
{
    switch (op) {
    case LogOp::Add:
        return "add";
    case LogOp::Edit:
        return "edit";
    case LogOp::Delete:
        return "delete";
    }
    return "add";
}

std::optional<LogOp> OpFromName(const QString &name)
{
    for (LogOp op : {LogOp::Add, LogOp::Edit, LogOp::Delete})
        if (name == QLatin1String(OpName(op)))
            return op;
    return std::nullopt;
}

std::optional<quint64> Count(const QJsonValue &v, bool zeroAllowed)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!(d >= (zeroAllowed ? 0 : 1)) || d > double(kMaxCount) || d != double(quint64(d)))
        return std::nullopt;
    return quint64(d);
}

std::optional<EventId> IdFromText(const QString &text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    EventId id{text.left(slash), 0};
    bool ok = false;
    const QString digits = text.mid(slash + 1);
    id.seq = digits.toULongLong(&ok);
    if (!ok || !ValidStationName(id.station) || id.seq == 0 || id.seq > kMaxCount
        || digits != QString::number(id.seq))
        return std::nullopt;
    return id;
}

std::optional<LogEvent> Refuse(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

}  // namespace

bool ValidStationName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Z0-9_-]{1,16}$"));
    return pattern.match(name).hasMatch();
}

QByteArray EncodeEvent(const LogEvent &e)
{
    QJsonObject o;
    o.insert(QStringLiteral("id"), e.id.text());
    o.insert(QStringLiteral("clock"), double(e.clock));
    o.insert(QStringLiteral("op"), QLatin1String(OpName(e.op)));
    o.insert(QStringLiteral("record"), e.record.text());
    if (e.op != LogOp::Add)
        o.insert(QStringLiteral("base"), e.base.text());
    if (e.op != LogOp::Delete)
        o.insert(QStringLiteral("contact"), QString::fromLatin1(RecordLine(e.contact)));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<LogEvent> DecodeEvent(const QByteArray &bytes, QString *why)
{
    if (bytes.size() > kMaxEventBytes)
        return Refuse(why, QStringLiteral("longer than an event can be"));
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Refuse(why, QStringLiteral("not an event (%1)").arg(error.error != QJsonParseError::NoError
                                                                        ? error.errorString()
                                                                        : QStringLiteral("no object")));
    const QJsonObject o = doc.object();
    LogEvent e;
    const std::optional<EventId> id = IdFromText(o.value(QStringLiteral("id")).toString());
    if (!id)
        return Refuse(why, QStringLiteral("no valid id"));
    e.id = *id;
    const std::optional<quint64> clock = Count(o.value(QStringLiteral("clock")), false);
    if (!clock)
        return Refuse(why, QStringLiteral("no valid clock"));
    e.clock = *clock;
    const std::optional<LogOp> op = OpFromName(o.value(QStringLiteral("op")).toString());
    if (!op)
        return Refuse(why, QStringLiteral("unknown change"));
    e.op = *op;
    const std::optional<EventId> record = IdFromText(o.value(QStringLiteral("record")).toString());
    if (!record)
        return Refuse(why, QStringLiteral("no valid record"));
    e.record = *record;
    if (e.op == LogOp::Add) {
        if (e.record != e.id)
            return Refuse(why, QStringLiteral("an added contact is named after its own change"));
    } else {
        const std::optional<EventId> base = IdFromText(o.value(QStringLiteral("base")).toString());
        if (!base)
            return Refuse(why, QStringLiteral("no valid base"));
        e.base = *base;
        if (e.record == e.id || e.base == e.id)
            return Refuse(why, QStringLiteral("a change cannot edit itself"));
    }
    if (e.op != LogOp::Delete) {
        const QJsonValue contact = o.value(QStringLiteral("contact"));
        if (!contact.isString())
            return Refuse(why, QStringLiteral("no contact"));
        const QString line = contact.toString();
        for (const QChar c : line)
            if (c.unicode() < 0x20 || c.unicode() > 0xff)
                return Refuse(why, QStringLiteral("the contact holds a character the log cannot"));
        std::vector<ContactRecord> records;
        const LogReadResult read = ParseLog(line.toLatin1(), records);
        if (!read.ok || records.size() != 1)
            return Refuse(why, QStringLiteral("the contact is not one log line (%1)").arg(read.error));
        // It must come back byte for byte, or the log on disk would differ from the wire.
        if (QString::fromLatin1(RecordLine(records.front())) != line)
            return Refuse(why, QStringLiteral("the contact does not read back as sent"));
        e.contact = records.front();
    }
    return e;
}

}  // namespace zev
