#include "station/station_network.h"

#include "frame/session.h"
#include "network/mqtt_link_device.h"
#include "network/shared_log.h"
#include "network/shared_log_link_device.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace zev {

namespace {

constexpr int kStateCheckMs = 1000;
constexpr qsizetype kMaxStateBytes = 1024;

QString Field(const QJsonObject &o, const char *name)
{
    // Shown on screen and read aloud: short, one line.
    QString v = o.value(QLatin1String(name)).toString().left(24);
    for (QChar &c : v)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return v.trimmed();
}

}  // namespace

QString PositionState::text() const
{
    QString t = station;
    const QString on = QStringList{band, mode}.join(QLatin1Char(' ')).trimmed();
    if (!on.isEmpty())
        t += QStringLiteral(" on ") + on;
    if (!frequency.isEmpty())
        t += QStringLiteral(", ") + frequency;
    return t;
}

QByteArray EncodePositionState(const PositionState &p)
{
    QJsonObject o;
    o.insert(QStringLiteral("station"), p.station);
    o.insert(QStringLiteral("band"), p.band);
    o.insert(QStringLiteral("mode"), p.mode);
    o.insert(QStringLiteral("freq"), p.frequency);
    o.insert(QStringLiteral("op"), p.op);
    o.insert(QStringLiteral("last"), p.last);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<PositionState> DecodePositionState(const QByteArray &payload)
{
    if (payload.size() > kMaxStateBytes)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    PositionState p{Field(o, "station"), Field(o, "band"), Field(o, "mode"), Field(o, "freq"), Field(o, "op"),
                    Field(o, "last")};
    if (!ValidStationName(p.station))
        return std::nullopt;
    return p;
}

StationNetwork::StationNetwork(Session &session, QObject *parent) : QObject(parent), s_(session)
{
    stateTimer_.setInterval(kStateCheckMs);
    connect(&stateTimer_, &QTimer::timeout, this, [this] {
        if (isConnected() && ownState() != sentState_)
            sendState();
    });
}

StationNetwork::~StationNetwork()
{
    stop();
}

bool StationNetwork::isConnected() const
{
    return link_ && link_->isConnected();
}

bool StationNetwork::start(const NetworkSettings &settings, QString *error)
{
    stop();
    if (const QString problem = NetworkSettingsProblem(settings); !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    settings_ = settings;
    auto shared = std::make_unique<SharedLog>(s_.log, s_.folders.StartDir, settings.broker.station);
    connect(shared.get(), &SharedLog::problem, this, &StationNetwork::problem);
    connect(shared.get(), &SharedLog::notesChanged, this, &StationNetwork::notesChanged);
    connect(shared.get(), &SharedLog::publish, this, [this](const LogEvent &e) {
        if (e.op == LogOp::Add)
            lastOwnTime_ = e.contact.QsoTime.left(5);
    });
    if (!shared->open(error))
        return false;
    shared_ = std::move(shared);
    s_.sharedLog = shared_.get();
    link_ = std::make_unique<MqttLink>();
    joined_ = std::make_unique<SharedLogLink>(*shared_, *link_);
    connect(link_.get(), &MqttLink::connected, this, [this] {
        setLinkState(QStringLiteral("Connected to %1:%2 as %3")
                         .arg(settings_.broker.host)
                         .arg(settings_.broker.port)
                         .arg(settings_.broker.station));
        sendState();
    });
    connect(link_.get(), &MqttLink::disconnected, this, [this](const QString &reason) {
        setLinkState(QStringLiteral("Broker %1:%2 not reached (%3); logging goes on here and is sent when it is back")
                         .arg(settings_.broker.host)
                         .arg(settings_.broker.port)
                         .arg(reason));
    });
    connect(link_.get(), &MqttLink::stateArrived, this, [this](const QString &station, const QByteArray &payload) {
        if (station == settings_.broker.station)
            return;
        const std::optional<PositionState> p = DecodePositionState(payload);
        const bool known = others_.count(station) != 0;
        if (!p || p->station != station) {
            // Gone (its will), or nothing readable: not shown.
            if (known) {
                others_.erase(station);
                emit positionsChanged();
            }
            return;
        }
        if (known && others_.at(station) == *p)
            return;
        others_[station] = *p;
        emit positionsChanged();
    });
    if (!link_->start(settings.broker, error)) {
        stop();
        return false;
    }
    setLinkState(QStringLiteral("Connecting to %1:%2").arg(settings_.broker.host).arg(settings_.broker.port));
    stateTimer_.start();
    return true;
}

void StationNetwork::stop()
{
    stateTimer_.stop();
    joined_.reset();
    if (link_)
        link_->stop();
    link_.reset();
    if (s_.sharedLog == shared_.get())
        s_.sharedLog = nullptr;
    shared_.reset();
    if (!others_.empty()) {
        others_.clear();
        emit positionsChanged();
    }
}

QList<PositionState> StationNetwork::positions() const
{
    QList<PositionState> out;
    for (const auto &[name, p] : others_)
        out << p;
    return out;
}

QStringList StationNetwork::notes() const
{
    return shared_ ? shared_->merged().notes() : QStringList();
}

PositionState StationNetwork::ownState() const
{
    PositionState p;
    p.station = settings_.broker.station;
    p.band = s_.prefs.CurrentBand.trimmed();
    p.mode = s_.prefs.CurrentMode.trimmed();
    if (const qint64 hz = s_.entry.frequencyHz(); hz > 0)
        p.frequency = QString::number(double(hz) / 1000.0, 'f', 1);
    p.op = s_.prefs.MyCall.trimmed();
    p.last = lastOwnTime_;
    return p;
}

void StationNetwork::sendState()
{
    if (!link_)
        return;
    sentState_ = ownState();
    link_->publishState(EncodePositionState(sentState_));
}

void StationNetwork::setLinkState(const QString &text)
{
    if (text == linkState_)
        return;
    linkState_ = text;
    emit linkStateChanged(text);
}

}  // namespace zev
