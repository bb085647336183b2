#include "network/network_settings.h"

#include "frame/registry.h"
#include "network/log_event.h"

#include <QFileInfo>

namespace zev {

namespace {

const QString kOn = QStringLiteral("NetworkOn");
const QString kHost = QStringLiteral("NetworkBrokerHost");
const QString kPort = QStringLiteral("NetworkBrokerPort");
const QString kStation = QStringLiteral("NetworkPosition");
const QString kLogName = QStringLiteral("NetworkLogName");
const QString kUser = QStringLiteral("NetworkUser");
const QString kPassword = QStringLiteral("NetworkPassword");
const QString kCaFile = QStringLiteral("NetworkCaFile");

}  // namespace

NetworkSettings LoadNetworkSettings(const Registry &registry)
{
    NetworkSettings s;
    s.on = registry.value(kOn) == QLatin1String("1");
    s.broker.host = registry.value(kHost, s.broker.host).trimmed();
    bool ok = false;
    const int port = registry.value(kPort).toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        s.broker.port = port;
    s.broker.station = registry.value(kStation).trimmed().toUpper();
    s.broker.logName = registry.value(kLogName, s.broker.logName).trimmed().toUpper();
    s.broker.user = registry.value(kUser);
    s.broker.password = registry.value(kPassword);
    s.broker.caFile = registry.value(kCaFile).trimmed();
    return s;
}

bool SaveNetworkSettings(Registry &registry, const NetworkSettings &s, QString *error)
{
    return registry.setValue(kOn, s.on ? QStringLiteral("1") : QStringLiteral("0"), error)
        && registry.setValue(kHost, s.broker.host.trimmed(), error)
        && registry.setValue(kPort, QString::number(s.broker.port), error)
        && registry.setValue(kStation, s.broker.station.trimmed().toUpper(), error)
        && registry.setValue(kLogName, s.broker.logName.trimmed().toUpper(), error)
        && registry.setValue(kUser, s.broker.user, error)
        && registry.setValue(kPassword, s.broker.password, error)
        && registry.setValue(kCaFile, s.broker.caFile.trimmed(), error);
}

QString NetworkSettingsProblem(const NetworkSettings &s)
{
    if (s.broker.host.trimmed().isEmpty() || s.broker.host.contains(QLatin1Char(' ')))
        return QStringLiteral("Enter the broker's host name or address.");
    if (s.broker.port < 1 || s.broker.port > 65535)
        return QStringLiteral("The broker's port must be from 1 to 65535.");
    if (!ValidStationName(s.broker.station))
        return QStringLiteral("Give this position a name of 1 to 16 letters, digits, - or _ (for example RUN or "
                              "MULT), different from every other computer of the station.");
    if (!ValidStationName(s.broker.logName))
        return QStringLiteral("The log name must be 1 to 16 letters, digits, - or _.");
    if (!s.broker.caFile.isEmpty() && !QFileInfo(s.broker.caFile).isReadable())
        return QStringLiteral("The certificate authority file \"%1\" cannot be read.").arg(s.broker.caFile);
    return {};
}

}  // namespace zev
