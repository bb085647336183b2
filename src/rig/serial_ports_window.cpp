#include "rig/serial_ports_window.h"

#include "frame/session.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev {

SerialPortsWindow::SerialPortsWindow(Session &session, PortLister present, QWidget *parent)
    : QDialog(parent), s_(session), map_(session.registry), present_(std::move(present))
{
    setObjectName(QStringLiteral("frmSerialPorts"));
    setWindowTitle(QStringLiteral("Serial Ports"));
    auto *intro = new QLabel(QStringLiteral(
        "The program's windows name serial ports by number. Choose the device each number stands for: "
        "a name under /dev/serial/by-id stays the same when the adapter is plugged in elsewhere."));
    intro->setWordWrap(true);
    intro->setTextFormat(Qt::PlainText);
    lblFound = new QLabel;
    lblFound->setObjectName(QStringLiteral("lblFound"));
    lblFound->setTextFormat(Qt::PlainText);
    lblFound->setWordWrap(true);
    lblFound->setAccessibleDescription(QStringLiteral("Ports found"));
    // Device paths are long words: they are cut at the window's edge, never widen it.
    lblFound->setSizePolicy(QSizePolicy::Ignored, lblFound->sizePolicy().verticalPolicy());

    auto *form = new QFormLayout;
    for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) {
        auto *box = new QComboBox;
        box->setObjectName(QStringLiteral("cboPort%1").arg(n));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setAccessibleName(QStringLiteral("Port %1").arg(n));
        box->lineEdit()->setMaxLength(200);
        // Room for a usual device name; a longer one scrolls in its box.
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(48);
        box->setEditText(map_.device(n));
        auto *caption = new QLabel(QStringLiteral("Port %1:").arg(n));
        caption->setBuddy(box);
        form->addRow(caption, box);
        boxes[size_t(n - kFirstPortNumber)] = box;
    }

    cmdRefresh = new QPushButton(QStringLiteral("&Refresh"));
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdRefresh->setAccessibleName(QStringLiteral("Refresh"));
    cmdRefresh->setAutoDefault(false);
    cmdDone = new QPushButton(QStringLiteral("&Done"));
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAccessibleName(QStringLiteral("Done"));
    cmdDone->setAutoDefault(false);
    connect(cmdRefresh, &QPushButton::clicked, this, &SerialPortsWindow::Refresh);
    connect(cmdDone, &QPushButton::clicked, this, &SerialPortsWindow::Done);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRefresh);
    buttons->addStretch(1);
    buttons->addWidget(cmdDone);

    auto *v = new QVBoxLayout(this);
    v->addWidget(intro);
    v->addWidget(lblFound);
    v->addLayout(form);
    v->addLayout(buttons);
    Refresh();
}

void SerialPortsWindow::Refresh()
{
    const QList<PresentPort> ports = present_ ? present_() : QList<PresentPort>();
    QStringList found;
    for (const PresentPort &p : ports)
        found << (p.description.isEmpty() ? p.device : p.device + QStringLiteral(" (") + p.description + QLatin1Char(')'));
    lblFound->setText(ports.isEmpty() ? QStringLiteral("No serial port was found. Plug in the adapter and press "
                                                       "Refresh, or type the device's path.")
                                      : QStringLiteral("Found: ") + found.join(QStringLiteral(", ")));
    for (QComboBox *box : boxes) {
        const QString kept = box->currentText();
        box->clear();
        for (const PresentPort &p : ports)
            box->addItem(p.device);
        box->setEditText(kept);
    }
}

void SerialPortsWindow::Done()
{
    QStringList refused;
    for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) {
        const QString wanted = boxes[size_t(n - kFirstPortNumber)]->currentText().trimmed();
        if (wanted == map_.device(n))
            continue;
        QString error;
        const bool ok = wanted.isEmpty() ? map_.clearDevice(n, &error) : map_.setDevice(n, wanted, &error);
        if (!ok)
            refused << QStringLiteral("Port %1: %2").arg(n).arg(error);
    }
    if (!refused.isEmpty()) {
        s_.prompter.message(QStringLiteral("These choices were not kept:\n\n") + refused.join(QLatin1Char('\n')),
                            QStringLiteral("Serial Ports Not Saved"), PromptIcon::Exclamation);
        return;
    }
    accept();
}

}  // namespace zev
