#pragma once
// One change to the shared log of a station of several computers: a contact added, edited
// or deleted on one position, as it travels to the others and as it is kept on disk.

#include "logcore/contact_log.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zev {

enum class LogOp { Add, Edit, Delete };

// Who made a change and which one: unique in the whole station.
struct EventId {
    QString station;
    quint64 seq = 0;

    QString text() const { return station + QLatin1Char('/') + QString::number(seq); }
    bool operator==(const EventId &) const = default;
    bool operator<(const EventId &o) const { return station != o.station ? station < o.station : seq < o.seq; }
};

struct LogEvent {
    EventId id;           // the position's name and its own count of changes, from 1
    quint64 clock = 0;    // logical clock: above every change this position had seen
    EventId record;       // the Add that made the contact; never changes
    EventId base;         // Edit and Delete: the version of the contact the operator saw
    LogOp op = LogOp::Add;
    ContactRecord contact;  // Add and Edit: the whole contact as "log.txt" holds it

    bool operator==(const LogEvent &) const = default;
};

// Names a position may have: 1 to 16 of A-Z, 0-9, "-" and "_".
bool ValidStationName(const QString &name);

// The event as one line of compact JSON (no line end), the same on the wire and on disk.
QByteArray EncodeEvent(const LogEvent &e);

// The biggest encoded event accepted; anything longer is refused unread.
inline constexpr qsizetype kMaxEventBytes = 4096;

// Reads an event from outside. Anything malformed, oversized, out of range or with a
// contact that would not read back from "log.txt" exactly is refused with the reason.
std::optional<LogEvent> DecodeEvent(const QByteArray &bytes, QString *why = nullptr);

}  // namespace zev
