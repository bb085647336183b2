#pragma once
// "Serial Ports": which Linux device each of the port numbers 1..10 stands for.

#include "rig/port_map.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace zev {

struct Session;

class SerialPortsWindow : public QDialog {
    Q_OBJECT
public:
    using PortLister = std::function<QList<PresentPort>()>;
    // `present` lists the ports on the machine; tests give their own.
    SerialPortsWindow(Session &session, PortLister present, QWidget *parent = nullptr);

    // Lists the present ports again in every box, keeping what each box holds.
    void Refresh();
    // Keeps every choice; the window closes only when all were stored.
    void Done();

    std::array<QComboBox *, kLastPortNumber> boxes{};
    QLabel *lblFound = nullptr;
    QPushButton *cmdRefresh = nullptr, *cmdDone = nullptr;

private:
    Session &s_;
    PortMap map_;
    PortLister present_;
};

}  // namespace zev
