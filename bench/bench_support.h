#pragma once
// What the benchmarks share: a full contest log.

#include "logcore/contact_log.h"

#include <QByteArray>

namespace zevbench {

// A plausible contest log of `count` contacts across every band and both modes.
inline QByteArray ContestLog(int count = zev::kLogCapacity)
{
    static const char *const calls[] = {"VE3XYZ", "W1AW", "VA3ZEV", "JA1ABC", "VE7ABC", "K5ZZ"};
    static const char *const exchanges[] = {"ON", "12", "ON", "345", "BC", "7"};
    static const char *const bands[] = {"160", "80", "40", "20", "15", "10", "6", "2"};
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        zev::ContactRecord r;
        r.Call = QString::fromLatin1(calls[i % 6]) + QString::number(i % 997);
        r.ReportRcvd = r.ReportSent = "599";
        r.SerialSent = QString::number(i + 1);
        r.ExchangeRcvd = exchanges[i % 6];
        r.QsoDate = "2009/07/01";
        r.QsoTime = QStringLiteral("%1:%2:%3")
                        .arg(i / 3600 % 24, 2, 10, QLatin1Char('0'))
                        .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(i % 60, 2, 10, QLatin1Char('0'));
        r.Mode = i % 2 ? "CW" : "PH";
        r.Band = bands[i % 8];
        r.Points = i % 3 ? 10 : 2;
        r.Frequency = "14.025";
        r.Country = "Canada";
        out += zev::RecordLine(r) + "\r\n";
    }
    return out;
}

}  // namespace zevbench
