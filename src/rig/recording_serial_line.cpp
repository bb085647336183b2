#include "rig/recording_serial_line.h"

namespace zev {

QByteArray RecordingSerialLine::written() const
{
    QByteArray all;
    for (const Event &e : events) {
        if (e.kind == Event::Open)
            all.clear();
        else if (e.kind == Event::Write)
            all += e.bytes;
    }
    return all;
}

bool RecordingSerialLine::open(const QString &device, const QString &settings,
                               Handshake handshake, bool dtr, bool rts)
{
    if (open_)
        close();
    Event e;
    e.kind = Event::Open;
    e.device = device;
    e.settings = settings;
    e.handshake = handshake;
    e.dtr = dtr;
    e.rts = rts;
    events.append(e);
    QString why;
    if (!failOpenWith.isEmpty()) {
        error_ = failOpenWith;
        openErrno_ = failOpenErrno;
        return false;
    }
    if (!ParseSerialSettings(settings, &why)) {
        error_ = why;
        openErrno_ = 0;
        return false;
    }
    open_ = true;
    error_.clear();
    openErrno_ = 0;
    if (hasModemLines) {
        dtr_ = dtr;
        rts_ = rts;
    }
    return true;
}

void RecordingSerialLine::close()
{
    if (!open_)
        return;
    open_ = false;
    Event e;
    e.kind = Event::Close;
    events.append(e);
}

bool RecordingSerialLine::setLine(Event::Kind kind, bool on)
{
    Event e;
    e.kind = kind;
    (kind == Event::Dtr ? e.dtr : e.rts) = on;
    events.append(e);
    if (!open_) {
        error_ = QStringLiteral("The port is not open.");
        return false;
    }
    if (!hasModemLines) {
        error_ = QStringLiteral("The device has no modem control lines.");
        return false;
    }
    (kind == Event::Dtr ? dtr_ : rts_) = on;
    error_.clear();
    return true;
}

bool RecordingSerialLine::setDtr(bool on)
{
    return setLine(Event::Dtr, on);
}

bool RecordingSerialLine::setRts(bool on)
{
    return setLine(Event::Rts, on);
}

bool RecordingSerialLine::write(const QByteArray &bytes)
{
    if (!open_) {
        error_ = QStringLiteral("The port is not open.");
        return false;
    }
    Event e;
    e.kind = Event::Write;
    e.bytes = bytes;
    events.append(e);
    error_.clear();
    return true;
}

QByteArray RecordingSerialLine::readAll()
{
    if (!open_)
        return {};
    QByteArray all;
    all.swap(incoming);
    return all;
}

}  // namespace zev
