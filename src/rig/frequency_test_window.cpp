#include "rig/frequency_test_window.h"

#include "frame/widget_helpers_ui.h"
#include "rig/rig_family.h"
#include "rig/rig_link.h"
#include "rig/tune_arithmetic.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zev {

FrequencyTestWindow::FrequencyTestWindow(RigLink &link, QWidget *parent) : QDialog(parent), link_(link)
{
    setObjectName(QStringLiteral("frmFrequencyTest"));
    setWindowTitle(QStringLiteral("Test Change Frequency Function"));
    auto *grid = new QGridLayout(this);

    Text1 = new QLineEdit(QStringLiteral("FA00028475000;"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Command"));
    auto *commandLabel = new QLabel(QStringLiteral("Command:"));
    commandLabel->setBuddy(Text1);
    Check1 = new QCheckBox(QStringLiteral("Convert to Hex"));
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QStringLiteral("Convert to Hex"));
    Command1 = new QPushButton(QStringLiteral("Send"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Send command"));
    Command1->setAutoDefault(false);

    Text2 = new QLineEdit(QStringLiteral("28.475"));
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Frequency (MHz)"));
    auto *freqLabel = new QLabel(QStringLiteral("Frequency (MHz):"));
    freqLabel->setBuddy(Text2);
    Command2 = new QPushButton(QStringLiteral("Send"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(QStringLiteral("Send frequency"));
    Command2->setAutoDefault(false);

    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setAccessibleDescription(QStringLiteral("Message"));
    MakeNotification(lblStatus);

    grid->addWidget(commandLabel, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Command1, 0, 2);
    grid->addWidget(Check1, 1, 1);
    grid->addWidget(freqLabel, 2, 0);
    grid->addWidget(Text2, 2, 1);
    grid->addWidget(Command2, 2, 2);
    grid->addWidget(lblStatus, 3, 0, 1, 3);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void FrequencyTestWindow::say(const QString &text)
{
    lblStatus->setText(text);
    Announce(lblStatus, true);
}

void FrequencyTestWindow::Command1_Click()
{
    const QString text = Text1->text().trimmed();
    QByteArray bytes;
    if (Check1->isChecked()) {
        bytes = rig::HexToBytes(text);
        if (bytes.isEmpty() && !text.isEmpty()) {
            say(QStringLiteral("Nothing sent: type hexadecimal pairs separated by single spaces, as FE FE 64 E0 03 FD."));
            return;
        }
    } else {
        bytes = text.toLatin1();
    }
    say({});
    link_.SendRaw(bytes);
}

void FrequencyTestWindow::Command2_Click()
{
    const std::optional<qint64> hz = tune::HzFromText(Text2->text());
    if (!hz) {
        say(QStringLiteral("Nothing sent: the frequency is not a number."));
        return;
    }
    say({});
    link_.ChangeFrequency(*hz);
}

}  // namespace zev
