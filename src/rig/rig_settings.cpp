#include "rig/rig_settings.h"

#include <cmath>

namespace zev {

QString StoredBaud(const QString &baud)
{
    const QString b = baud.trimmed();
    return b.size() >= 5 ? b : b + QString(5 - b.size(), QLatin1Char(' '));
}

QString SerialSettingsText(const RigLinkSettings &s)
{
    return QStringList{s.RigBaud.trimmed(), s.RigParity, s.RigDataBits, s.RigStopBits}.join(QLatin1Char(','));
}

QByteArray FormatRigSettings(const RigLinkSettings &s)
{
    const std::vector<Value> values{
        s.RigBaud,          s.RigParity,        s.RigDataBits,      s.RigStopBits,       s.ModeQuery,
        s.FreqQuery,        s.RigSerialSettings, double(s.RigPort), s.PowerLine,         s.PollRate,
        s.RigName,          double(s.ConvertToHex), double(s.UseFrequency), double(s.ModeBy),
    };
    QByteArray out;
    for (const Value &v : values) {
        out += FormatLine({v});
        out += "\r\n";
    }
    return out;
}

RigSettingsReadResult ParseRigSettings(const QByteArray &data, RigLinkSettings &s)
{
    ValueReader in(data);
    RigSettingsReadResult result;
    bool ok = true;
    auto fail = [&](const QString &why) {
        ok = false;
        result.ok = false;
        result.error = why;
        result.position = in.position();
    };
    auto text = [&](QString &v) {
        if (ok && !in.next(v))
            fail(in.error());
    };
    auto integer = [&](int &v, int lo, int hi) {
        double d = 0;
        if (!ok)
            return;
        if (!in.nextNumber(d))
            return fail(in.error());
        if (!std::isfinite(d) || d < lo || d > hi || d != std::floor(d))
            return fail(QStringLiteral("%1 is out of range").arg(FormatNumber(d)));
        v = int(d);
    };
    text(s.RigBaud);
    text(s.RigParity);
    text(s.RigDataBits);
    text(s.RigStopBits);
    text(s.ModeQuery);
    text(s.FreqQuery);
    text(s.RigSerialSettings);
    integer(s.RigPort, 1, 10);
    text(s.PowerLine);
    text(s.PollRate);
    text(s.RigName);
    integer(s.ConvertToHex, 0, 1);
    integer(s.UseFrequency, 0, 1);
    integer(s.ModeBy, 1, 3);
    return result;
}

QString UnprocessedText(const QByteArray &bytes, int keep)
{
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 32 && u < 127)
            out += QLatin1Char(b);
        else
            out += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0')).toUpper();
    }
    return out.size() > keep ? out.right(keep) : out;
}

int PollIntervalMs(const QString &pollRate)
{
    if (pollRate == QLatin1String("F"))
        return 50;
    if (pollRate == QLatin1String("S"))
        return 1000;
    if (pollRate == QLatin1String("R"))
        return 5000;
    return 250;  // "M", and anything a hand edit left
}

}  // namespace zev
