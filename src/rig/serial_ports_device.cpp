#include "rig/serial_ports_device.h"

#include <QSerialPortInfo>

namespace zev {

QList<PresentPort> PresentSerialPorts(const QString &byIdFolder)
{
    QList<PresentPort> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PresentPort p;
        p.systemLocation = info.systemLocation();
        p.description = info.description();
        ports.append(p);
    }
    return WithStableNames(ports, byIdFolder);
}

}  // namespace zev
