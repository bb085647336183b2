#pragma once
// How this computer joins the station's shared log: off by default, and then the
// program behaves as a single logger. Kept in the per-user settings, not in a working file.

#include <QString>

namespace zev {

class Registry;

struct BrokerSettings {
    QString host = QStringLiteral("localhost");
    int port = 1883;
    QString station;         // this position's name, unique in the station
    QString logName = QStringLiteral("ZEV");  // one name per contest: a new contest, a new name
    QString user, password;  // optional
    QString caFile;          // optional: TLS with this certificate authority

    QString root() const { return QStringLiteral("zevlog/") + logName; }
};

struct NetworkSettings {
    bool on = false;
    BrokerSettings broker;
};

NetworkSettings LoadNetworkSettings(const Registry &registry);
bool SaveNetworkSettings(Registry &registry, const NetworkSettings &settings, QString *error);

// What is wrong with the settings for a start, or nothing.
QString NetworkSettingsProblem(const NetworkSettings &settings);

}  // namespace zev
