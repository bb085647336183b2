#pragma once
// A real MQTT broker (Debian's mosquitto) on a loopback port of its own, with its state
// kept on disk so that a restart keeps what it held, as the station's broker would.

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace zevtest {

class MosquittoBroker {
public:
    MosquittoBroker()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
    }
    ~MosquittoBroker() { stop(); }

    static QString executable()
    {
        const QString onPath = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
        if (!onPath.isEmpty())
            return onPath;
        return QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin")});
    }

    // Starts it (again, on the same port and with the same state); false when it will not.
    bool start()
    {
        if (executable().isEmpty())
            return false;
        const QString conf = dir_.filePath(QStringLiteral("mosquitto.conf"));
        QFile f(conf);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence true\n"
                               "persistence_location %2/\nautosave_interval 1\nmax_queued_messages 100000\n"
                               "log_dest none\n%3")
                        .arg(port_)
                        .arg(dir_.path())
                        // Run as root it would become the user "mosquitto", who cannot
                        // read this test's private folder (its state, its keys).
                        .arg(::geteuid() == 0 ? QStringLiteral("user root\n") : QString())
                        .toUtf8() +
                    extraConfig.toUtf8());
        f.close();
        process_.start(executable(), {QStringLiteral("-c"), conf});
        if (!process_.waitForStarted())
            return false;
        for (int waited = 0; waited < 10000; waited += 20) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, quint16(port_));
            if (s.waitForConnected(200))
                return true;
            if (process_.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
        return false;
    }
    // Ends it as a service stop does: it saves its state first.
    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    int port() const { return port_; }
    QString folder() const { return dir_.path(); }
    // More lines for its configuration (a TLS listener's files, say), before start().
    QString extraConfig;

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

}  // namespace zevtest
