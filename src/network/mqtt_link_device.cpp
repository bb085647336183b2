#include "network/mqtt_link_device.h"

#include "network/log_event.h"

#include <QFileInfo>
#include <QMetaObject>
#include <mosquitto.h>
#include <mutex>

namespace zev {

namespace {

constexpr int kQos = 1;
constexpr int kKeepAliveSeconds = 10;

void InitLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString LibraryError(int rc)
{
    return QString::fromUtf8(mosquitto_strerror(rc));
}

}  // namespace

constexpr int kReachCheckMs = 3000;

MqttLink::MqttLink(QObject *parent) : QObject(parent)
{
    InitLibrary();
    reachTimer_.setInterval(kReachCheckMs);
    connect(&reachTimer_, &QTimer::timeout, this, &MqttLink::checkReached);
}

MqttLink::~MqttLink()
{
    stop();
}

QString MqttLink::eventTopic(const LogEvent &e) const
{
    return QStringLiteral("%1/event/%2/%3").arg(settings_.root(), e.id.station).arg(e.id.seq);
}

bool MqttLink::start(const BrokerSettings &settings, QString *error)
{
    stop();
    if (!ValidStationName(settings.station)) {
        *error = QStringLiteral("\"%1\" cannot name a position: use 1 to 16 of A-Z, 0-9, - and _.").arg(settings.station);
        return false;
    }
    if (settings.port < 1 || settings.port > 65535 || settings.host.trimmed().isEmpty()) {
        *error = QStringLiteral("The broker's address \"%1:%2\" is not usable.").arg(settings.host).arg(settings.port);
        return false;
    }
    settings_ = settings;
    // A fixed client name and a kept session: what arrives while this position is away
    // waits for it at the broker.
    const QByteArray clientId = QStringLiteral("zevlog-%1-%2").arg(settings.logName, settings.station).toUtf8();
    mosq_ = mosquitto_new(clientId.constData(), false, this);
    if (!mosq_) {
        *error = QStringLiteral("The MQTT client could not be created.");
        return false;
    }
    mosquitto_connect_with_flags_callback_set(mosq_, &MqttLink::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttLink::onDisconnect);
    mosquitto_message_callback_set(mosq_, &MqttLink::onMessage);
    mosquitto_log_callback_set(mosq_, &MqttLink::onLog);
    mosquitto_reconnect_delay_set(mosq_, 1, 30, true);
    const QByteArray stateTopic = QStringLiteral("%1/state/%2").arg(settings.root(), settings.station).toUtf8();
    int rc = mosquitto_will_set(mosq_, stateTopic.constData(), 0, nullptr, kQos, true);
    if (rc == MOSQ_ERR_SUCCESS && !settings.user.isEmpty())
        rc = mosquitto_username_pw_set(mosq_, settings.user.toUtf8().constData(),
                                       settings.password.isEmpty() ? nullptr : settings.password.toUtf8().constData());
    if (rc == MOSQ_ERR_SUCCESS && !settings.caFile.isEmpty()) {
        if (!QFileInfo(settings.caFile).isReadable()) {
            *error = QStringLiteral("The certificate authority file \"%1\" cannot be read.").arg(settings.caFile);
            stop();
            return false;
        }
        rc = mosquitto_tls_set(mosq_, settings.caFile.toLocal8Bit().constData(), nullptr, nullptr, nullptr, nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_loop_start(mosq_);
    if (rc == MOSQ_ERR_SUCCESS) {
        running_ = true;
        saidUnreached_.clear();
        reachTimer_.start();
        // Not reachable yet is no failure: the library keeps trying.
        const int c = mosquitto_connect_async(mosq_, settings.host.toUtf8().constData(), settings.port, kKeepAliveSeconds);
        if (c != MOSQ_ERR_SUCCESS)
            QMetaObject::invokeMethod(this, [this, c] { emit disconnected(failureReason(c)); }, Qt::QueuedConnection);
        return true;
    }
    *error = LibraryError(rc);
    stop();
    return false;
}

void MqttLink::stop()
{
    reachTimer_.stop();
    if (!mosq_)
        return;
    if (connected_) {
        const QByteArray stateTopic = QStringLiteral("%1/state/%2").arg(settings_.root(), settings_.station).toUtf8();
        mosquitto_publish(mosq_, nullptr, stateTopic.constData(), 0, nullptr, kQos, true);
        mosquitto_disconnect(mosq_);
    }
    if (running_)
        mosquitto_loop_stop(mosq_, !connected_);
    running_ = false;
    connected_ = false;
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
}

void MqttLink::publishEvent(const LogEvent &e)
{
    if (!mosq_)
        return;
    const QByteArray topic = eventTopic(e).toUtf8();
    const QByteArray payload = EncodeEvent(e);
    mosquitto_publish(mosq_, nullptr, topic.constData(), int(payload.size()), payload.constData(), kQos, true);
}

void MqttLink::publishState(const QByteArray &payload)
{
    if (!mosq_)
        return;
    const QByteArray topic = QStringLiteral("%1/state/%2").arg(settings_.root(), settings_.station).toUtf8();
    mosquitto_publish(mosq_, nullptr, topic.constData(), int(payload.size()), payload.constData(), kQos, true);
}

void MqttLink::onConnect(mosquitto *mosq, void *self, int rc, int flags)
{
    auto *link = static_cast<MqttLink *>(self);
    if (rc != 0) {
        const QString reason = QString::fromUtf8(mosquitto_connack_string(rc));
        QMetaObject::invokeMethod(link, [link, reason] { emit link->disconnected(reason); }, Qt::QueuedConnection);
        return;
    }
    const QByteArray events = (link->settings_.root() + QStringLiteral("/event/#")).toUtf8();
    const QByteArray states = (link->settings_.root() + QStringLiteral("/state/#")).toUtf8();
    mosquitto_subscribe(mosq, nullptr, events.constData(), kQos);
    mosquitto_subscribe(mosq, nullptr, states.constData(), kQos);
    const bool kept = (flags & 1) != 0;
    QMetaObject::invokeMethod(
        link,
        [link, kept] {
            link->connected_ = true;
            emit link->connected(kept);
        },
        Qt::QueuedConnection);
}

void MqttLink::onDisconnect(mosquitto *, void *self, int rc)
{
    auto *link = static_cast<MqttLink *>(self);
    const QString reason = rc == 0 ? QStringLiteral("disconnected") : link->failureReason(rc);
    QMetaObject::invokeMethod(
        link,
        [link, reason] {
            link->connected_ = false;
            emit link->disconnected(reason);
        },
        Qt::QueuedConnection);
}

void MqttLink::onMessage(mosquitto *, void *self, const mosquitto_message *m)
{
    auto *link = static_cast<MqttLink *>(self);
    const QString topic = QString::fromUtf8(m->topic);
    const QString statePrefix = link->settings_.root() + QStringLiteral("/state/");
    // Oversized payloads are cut to one byte past the limit: enough for the reader to refuse.
    const QByteArray payload(static_cast<const char *>(m->payload),
                             std::min<int>(m->payloadlen, int(kMaxEventBytes) + 1));
    if (topic.startsWith(statePrefix)) {
        const QString station = topic.mid(statePrefix.size());
        QMetaObject::invokeMethod(
            link, [link, station, payload] { emit link->stateArrived(station, payload); }, Qt::QueuedConnection);
        return;
    }
    if (payload.isEmpty())
        return;  // a retained change cleared by hand: nothing to take
    QMutexLocker lock(&link->queueLock_);
    link->queue_ << payload;
    if (!link->flushPending_) {
        link->flushPending_ = true;
        QMetaObject::invokeMethod(link, &MqttLink::flush, Qt::QueuedConnection);
    }
}

QString MqttLink::failureReason(int rc)
{
    if (rc != MOSQ_ERR_TLS)
        return LibraryError(rc);
    // The library's own text says nothing useful; its log line (when there is one) says what OpenSSL refused.
    QString detail;
    {
        QMutexLocker lock(&queueLock_);
        detail = lastError_;
    }
    QString reason = QStringLiteral("The TLS connection failed: the broker's certificate was not accepted "
                                    "by the certificate authority file, or the broker does not speak TLS.");
    if (!detail.isEmpty())
        reason += QStringLiteral(" (%1)").arg(detail);
    return reason;
}

void MqttLink::onLog(mosquitto *, void *self, int level, const char *text)
{
    if (!(level & (MOSQ_LOG_ERR | MOSQ_LOG_WARNING)) || !text)
        return;
    auto *link = static_cast<MqttLink *>(self);
    QMutexLocker lock(&link->queueLock_);
    link->lastError_ = QString::fromUtf8(text).trimmed();
}

void MqttLink::checkReached()
{
    if (connected_) {
        saidUnreached_.clear();
        return;
    }
    QString why;
    {
        QMutexLocker lock(&queueLock_);
        why = lastError_;
    }
    if (why.isEmpty())
        why = QStringLiteral("no answer from the broker");
    if (why == saidUnreached_)
        return;
    saidUnreached_ = why;
    emit disconnected(why);
}

void MqttLink::flush()
{
    QList<QByteArray> batch;
    {
        QMutexLocker lock(&queueLock_);
        batch.swap(queue_);
        flushPending_ = false;
    }
    if (!batch.isEmpty())
        emit eventsArrived(batch);
}

}  // namespace zev
