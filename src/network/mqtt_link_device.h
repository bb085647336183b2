#pragma once
// The station's message broker (MQTT, e.g. Debian's mosquitto): every position's changes
// travel through it as retained messages, so a computer that joins late or was away gets
// them all. The client library runs its own network thread; everything it reports
// reaches this object's thread by queued calls, messages in batches.

#include "network/network_settings.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>

struct mosquitto;
struct mosquitto_message;

namespace zev {

struct LogEvent;


class MqttLink : public QObject {
    Q_OBJECT
public:
    explicit MqttLink(QObject *parent = nullptr);
    ~MqttLink() override;

    // Starts connecting (and reconnecting whenever the broker is lost). False with the
    // reason when the settings cannot be used at all.
    bool start(const BrokerSettings &settings, QString *error);
    // Says "offline" and disconnects.
    void stop();
    bool isConnected() const { return connected_; }

    // Retained, at least once; queued by the library while the broker is away.
    void publishEvent(const LogEvent &e);
    void publishState(const QByteArray &payload);

    QString eventTopic(const LogEvent &e) const;

signals:
    // `sessionKept`: the broker still knew this position (nothing it held was lost).
    void connected(bool sessionKept);
    void disconnected(const QString &reason);
    // Changes of the log from any position (this one's too, as the broker echoes them).
    void eventsArrived(const QList<QByteArray> &messages);
    // A position's state; an empty payload when it is gone.
    void stateArrived(const QString &station, const QByteArray &payload);

private:
    static void onConnect(mosquitto *, void *self, int rc, int flags);
    static void onDisconnect(mosquitto *, void *self, int rc);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *m);
    static void onLog(mosquitto *, void *self, int level, const char *text);
    QString failureReason(int rc);
    void checkReached();
    void flush();

    mosquitto *mosq_ = nullptr;
    BrokerSettings settings_;
    bool connected_ = false;
    bool running_ = false;
    QMutex queueLock_;
    QList<QByteArray> queue_;   // filled on the library's thread
    bool flushPending_ = false; // under queueLock_
    QString lastError_;         // under queueLock_: the library's last complaint
    QString saidUnreached_;     // what was last said while the broker is not reached
    QTimer reachTimer_;         // a connection that never comes says nothing by itself
};

}  // namespace zev
