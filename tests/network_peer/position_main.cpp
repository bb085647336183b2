// One logging position as a process of its own, for the tests that kill it mid-burst:
//   zev_position FOLDER NAME PORT TOTAL
// Logs contacts K<i>AB for i from what its log already holds up to TOTAL, one every few
// milliseconds, saying "logged <i>" after each, then stays until killed.

#include "logcore/contact_log.h"
#include "network/shared_log_link_device.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using namespace zev;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: zev_position FOLDER NAME PORT TOTAL\n");
        return 2;
    }
    ContactLog log;
    SharedLog shared(log, args[1], args[2]);
    MqttLink link;
    SharedLogLink joined(shared, link);
    QString error;
    if (!shared.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    BrokerSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = args[3].toInt();
    s.station = args[2];
    if (!link.start(s, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int total = args[4].toInt();
    QTimer burst;
    QObject::connect(&burst, &QTimer::timeout, [&] {
        const int i = log.RecordCount();
        if (i >= total) {
            burst.stop();
            std::printf("done\n");
            std::fflush(stdout);
            return;
        }
        ContactRecord r;
        r.Call = QStringLiteral("K%1AB").arg(i);
        r.ReportRcvd = r.ReportSent = QStringLiteral("599");
        r.ExchangeRcvd = QStringLiteral("ON");
        r.QsoDate = QStringLiteral("2013/07/01");
        r.QsoTime = QStringLiteral("18:%1:%2").arg(i / 60 % 60, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0'));
        r.Mode = QStringLiteral("CW");
        r.Band = QStringLiteral("20");
        r.Points = 10;
        QString why;
        if (!shared.store(r, &why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            QCoreApplication::exit(1);
            return;
        }
        std::printf("logged %d\n", i);
        std::fflush(stdout);
    });
    burst.start(3);
    return app.exec();
}
