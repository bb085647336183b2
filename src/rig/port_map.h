#pragma once
// The windows and files keep port numbers 1..10; this map says which Linux device each
// number stands for, kept in the per-user settings.

#include <QList>
#include <QString>

namespace zev {

class Registry;

constexpr int kFirstPortNumber = 1;
constexpr int kLastPortNumber = 10;

class PortMap {
public:
    explicit PortMap(Registry &registry) : registry_(registry) {}

    // The device of a port number: the one chosen, else the first serial port's twin
    // ("/dev/ttyS0" for 1). Empty for a number outside 1..10.
    QString device(int number) const;
    // Whether the operator has chosen a device for the number.
    bool isChosen(int number) const;
    // Keeps the choice at once. False, with the reason in `error`, for a number outside
    // 1..10, a device that is not an absolute path, or a store that could not be written
    // (the earlier choice then stays).
    bool setDevice(int number, const QString &device, QString *error = nullptr);
    // Forgets the choice: the number goes back to its default device.
    bool clearDevice(int number, QString *error = nullptr);

private:
    Registry &registry_;
};

// A serial port present on the machine.
struct PresentPort {
    QString device;          // the stable /dev/serial/by-id/ name when there is one
    QString systemLocation;  // the kernel's name, e.g. /dev/ttyUSB0
    QString description;     // what the device says it is; may be empty
};

// Gives each port its stable name: the entry of `byIdFolder` that links to it. Ports
// without one keep their kernel name. In the kernel's order of names.
QList<PresentPort> WithStableNames(QList<PresentPort> ports, const QString &byIdFolder);

}  // namespace zev
