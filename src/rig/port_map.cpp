#include "rig/port_map.h"

#include "frame/registry.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace zev {

namespace {

QString Key(int number)
{
    return QStringLiteral("SerialPort%1").arg(number);
}

bool InRange(int number)
{
    return number >= kFirstPortNumber && number <= kLastPortNumber;
}

bool Refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

}  // namespace

QString PortMap::device(int number) const
{
    if (!InRange(number))
        return {};
    const QString chosen = registry_.value(Key(number));
    if (!chosen.isEmpty())
        return chosen;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

bool PortMap::isChosen(int number) const
{
    return InRange(number) && !registry_.value(Key(number)).isEmpty();
}

bool PortMap::setDevice(int number, const QString &device, QString *error)
{
    if (!InRange(number))
        return Refuse(error, QStringLiteral("Port %1 is not a port number from %2 to %3.")
                                 .arg(number)
                                 .arg(kFirstPortNumber)
                                 .arg(kLastPortNumber));
    if (!device.startsWith(u'/') || device.contains(u'"') || device.trimmed() != device)
        return Refuse(error, QStringLiteral("\"%1\" is not the full name of a device, such as "
                                            "/dev/ttyUSB0.")
                                 .arg(device));
    QString why;
    if (!registry_.setValue(Key(number), device, &why))
        return Refuse(error, QStringLiteral("The device for port %1 could not be kept: %2")
                                 .arg(number)
                                 .arg(why));
    return true;
}

bool PortMap::clearDevice(int number, QString *error)
{
    if (!InRange(number))
        return Refuse(error, QStringLiteral("Port %1 is not a port number from %2 to %3.")
                                 .arg(number)
                                 .arg(kFirstPortNumber)
                                 .arg(kLastPortNumber));
    QString why;
    if (!registry_.setValue(Key(number), QString(), &why))
        return Refuse(error, QStringLiteral("The device for port %1 could not be kept: %2")
                                 .arg(number)
                                 .arg(why));
    return true;
}

QList<PresentPort> WithStableNames(QList<PresentPort> ports, const QString &byIdFolder)
{
    // Kernel name -> stable name; the kernel renumbers adapters, the stable name follows one.
    QHash<QString, QString> stable;
    const QFileInfoList links =
        QDir(byIdFolder).entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo &link : links) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty() && !stable.contains(target))
            stable.insert(target, link.absoluteFilePath());
    }
    for (PresentPort &p : ports) {
        const QString name = stable.value(p.systemLocation);
        p.device = name.isEmpty() ? p.systemLocation : name;
    }
    std::sort(ports.begin(), ports.end(), [](const PresentPort &a, const PresentPort &b) {
        return a.systemLocation < b.systemLocation;
    });
    return ports;
}

}  // namespace zev
