// "Serial Ports": each port number's device, chosen from what is present or typed.

#include "rig/port_map.h"
#include "rig/serial_ports_window.h"
#include "window_harness.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace zevtest;

TEST(SerialPortsWindow, ListsWhatIsPresentAndKeepsEachChoice)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    QList<PresentPort> present{{"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "/dev/ttyUSB0", "FT232R USB UART"}};
    SerialPortsWindow w(*h.session, [&] { return present; });
    EXPECT_EQ(w.windowTitle(), "Serial Ports");
    EXPECT_TRUE(w.lblFound->text().contains("usb-FTDI_FT232R-if00-port0 (FT232R USB UART)"));
    ASSERT_EQ(w.boxes[2]->count(), 1);
    EXPECT_EQ(w.boxes[0]->currentText(), "/dev/ttyS0");  // nothing chosen yet
    EXPECT_EQ(w.boxes[2]->accessibleName(), "Port 3");

    w.boxes[2]->setCurrentIndex(0);
    w.boxes[4]->setEditText("/dev/pts/7");
    w.Done();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    PortMap map(*h.registry);
    EXPECT_EQ(map.device(3), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(map.device(5), "/dev/pts/7");
    EXPECT_FALSE(map.isChosen(1));  // untouched boxes choose nothing

    // A new adapter: Refresh lists it and keeps what each box holds.
    present << PresentPort{"/dev/ttyACM0", "/dev/ttyACM0", ""};
    w.Refresh();
    EXPECT_EQ(w.boxes[2]->count(), 2);
    EXPECT_EQ(w.boxes[2]->currentText(), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(w.boxes[4]->currentText(), "/dev/pts/7");

    // Emptying a box goes back to the number's own device.
    w.boxes[4]->setEditText("");
    w.Done();
    EXPECT_FALSE(map.isChosen(5));
}

TEST(SerialPortsWindow, ABadDeviceIsRefusedAndTheWindowStays)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    SerialPortsWindow w(*h.session, [] { return QList<PresentPort>(); });
    EXPECT_TRUE(w.lblFound->text().startsWith("No serial port was found"));
    w.boxes[1]->setEditText("ttyUSB0");  // not a path
    w.boxes[2]->setEditText("/dev/ttyUSB1");
    h.prompter.asked.clear();
    w.Done();
    EXPECT_NE(w.result(), QDialog::Accepted);
    ASSERT_FALSE(h.prompter.asked.isEmpty());
    EXPECT_EQ(h.prompter.asked.last().title, "Serial Ports Not Saved");
    EXPECT_TRUE(h.prompter.asked.last().text.contains("Port 2:"));
    PortMap map(*h.registry);
    EXPECT_FALSE(map.isChosen(2));
    EXPECT_EQ(map.device(3), "/dev/ttyUSB1");  // the good choice was kept
}
