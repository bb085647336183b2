#pragma once
// The serial ports present on this machine, for choosing the device of a port number.

#include "rig/port_map.h"

namespace zev {

QList<PresentPort> PresentSerialPorts(const QString &byIdFolder = QStringLiteral("/dev/serial/by-id"));

}  // namespace zev
