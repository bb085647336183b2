#pragma once
// This computer as one position of a station of several: the shared log joined to the
// broker, this position's state for the others, and the others' states for the window.

#include "network/network_settings.h"

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

namespace zev {

struct Session;
class SharedLog;
class MqttLink;
class SharedLogLink;
struct LogEvent;

// What one position last said of itself.
struct PositionState {
    QString station, band, mode, frequency, op, last;

    // "MULT on 40 CW, 7025.0"
    QString text() const;
    bool operator==(const PositionState &) const = default;
};

// A state as sent, and back; nothing from a payload that is not one.
QByteArray EncodePositionState(const PositionState &p);
std::optional<PositionState> DecodePositionState(const QByteArray &payload);

class StationNetwork : public QObject {
    Q_OBJECT
public:
    explicit StationNetwork(Session &session, QObject *parent = nullptr);
    ~StationNetwork() override;

    // Opens the shared log over "log.txt" and starts the link. False with the reason when
    // the log cannot be opened or the settings are unusable; the log is then not shared.
    bool start(const NetworkSettings &settings, QString *error);
    void stop();
    bool isOn() const { return shared_ != nullptr; }
    bool isConnected() const;
    QString linkState() const { return linkState_; }

    // The other positions heard from, by name.
    QList<PositionState> positions() const;
    QStringList notes() const;

signals:
    void linkStateChanged(const QString &text);
    void positionsChanged();
    void problem(const QString &text);
    void notesChanged();

private:
    PositionState ownState() const;
    void sendState();
    void setLinkState(const QString &text);

    Session &s_;
    std::unique_ptr<SharedLog> shared_;
    std::unique_ptr<MqttLink> link_;
    std::unique_ptr<SharedLogLink> joined_;
    NetworkSettings settings_;
    QString linkState_;
    QString lastOwnTime_;
    PositionState sentState_;
    std::map<QString, PositionState> others_;
    QTimer stateTimer_;
};

}  // namespace zev
