#include "network/network_window.h"

#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "network/network_settings.h"
#include "station/station.h"
#include "station/station_network.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zev {

namespace {

QLineEdit *Box(const char *name, const QString &accessible)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessible);
    return box;
}

}  // namespace

NetworkWindow::NetworkWindow(Station &station, QWidget *parent) : QDialog(parent), station_(station)
{
    setObjectName(QStringLiteral("frmNetwork"));
    setWindowTitle(QStringLiteral("Network"));
    const NetworkSettings s = LoadNetworkSettings(station.session().registry);

    shareBox = new QCheckBox(QStringLiteral("&Share this log with the station's other computers"));
    shareBox->setObjectName(QStringLiteral("chkNetworkOn"));
    shareBox->setChecked(s.on);
    hostBox = Box("txtBrokerHost", QStringLiteral("Broker host"));
    hostBox->setText(s.broker.host);
    portBox = new QSpinBox;
    portBox->setObjectName(QStringLiteral("txtBrokerPort"));
    portBox->setAccessibleName(QStringLiteral("Broker port"));
    portBox->setRange(1, 65535);
    portBox->setValue(s.broker.port);
    const auto *name = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9_-]{0,16}")), this);
    positionBox = Box("txtPosition", QStringLiteral("This position's name"));
    positionBox->setValidator(name);
    positionBox->setText(s.broker.station);
    positionBox->setPlaceholderText(QStringLiteral("RUN, MULT, ..."));
    logNameBox = Box("txtLogName", QStringLiteral("Shared log name"));
    logNameBox->setValidator(name);
    logNameBox->setText(s.broker.logName);
    for (QLineEdit *upper : {positionBox, logNameBox})
        connect(upper, &QLineEdit::textEdited, upper, [upper](const QString &t) {
            const int at = upper->cursorPosition();
            upper->setText(t.toUpper());
            upper->setCursorPosition(at);
        });
    userBox = Box("txtBrokerUser", QStringLiteral("User name"));
    userBox->setText(s.broker.user);
    passwordBox = Box("txtBrokerPassword", QStringLiteral("Password"));
    passwordBox->setEchoMode(QLineEdit::Password);
    passwordBox->setText(s.broker.password);
    caFileBox = Box("txtCaFile", QStringLiteral("Certificate authority file"));
    caFileBox->setText(s.broker.caFile);
    browseButton = new QPushButton(QStringLiteral("&Browse..."));
    browseButton->setObjectName(QStringLiteral("cmdCaFile"));
    browseButton->setAccessibleName(QStringLiteral("Browse for the certificate authority file"));
    connect(browseButton, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Certificate authority file"),
                                                          caFileBox->text(),
                                                          QStringLiteral("Certificates (*.crt *.pem);;All files (*)"));
        if (!file.isEmpty())
            caFileBox->setText(file);
    });

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Broker &host:"), hostBox);
    form->addRow(QStringLiteral("Broker &port:"), portBox);
    form->addRow(QStringLiteral("This p&osition's name:"), positionBox);
    form->addRow(QStringLiteral("Shared &log name:"), logNameBox);
    form->addRow(QStringLiteral("&User name (optional):"), userBox);
    form->addRow(QStringLiteral("Pass&word (optional):"), passwordBox);
    auto *ca = new QHBoxLayout;
    ca->addWidget(caFileBox, 1);
    ca->addWidget(browseButton);
    auto *caLabel = new QLabel(QStringLiteral("&TLS certificate authority (optional):"));
    caLabel->setBuddy(caFileBox);
    form->addRow(caLabel, ca);

    stateLine = new QLabel;
    stateLine->setObjectName(QStringLiteral("lblNetworkState"));
    stateLine->setTextFormat(Qt::PlainText);
    stateLine->setWordWrap(true);
    MakeNotification(stateLine);
    StationNetwork &network = station.network();
    say(network.isOn() ? network.linkState() : QStringLiteral("The log is not shared."));
    connect(&network, &StationNetwork::linkStateChanged, this, &NetworkWindow::say);

    lostEdits = new QPlainTextEdit;
    lostEdits->setObjectName(QStringLiteral("txtLostEdits"));
    lostEdits->setAccessibleName(QStringLiteral("Lost edits"));
    lostEdits->setReadOnly(true);
    lostEdits->setMaximumHeight(lostEdits->fontMetrics().height() * 6);
    auto *lostCaption = new QLabel(QStringLiteral("&Edits that lost to another position's change:"));
    lostCaption->setBuddy(lostEdits);
    auto showNotes = [this, net = &network] {
        const QStringList notes = net->notes();
        lostEdits->setPlainText(notes.isEmpty() ? QStringLiteral("None.") : notes.join(QLatin1Char('\n')));
    };
    showNotes();
    connect(&network, &StationNetwork::notesChanged, this, showNotes);

    okButton = new QPushButton(QStringLiteral("OK"));
    okButton->setObjectName(QStringLiteral("cmdNetworkOk"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"));
    cancelButton->setObjectName(QStringLiteral("cmdNetworkCancel"));
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (apply())
            accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(shareBox);
    layout->addLayout(form);
    layout->addWidget(stateLine);
    layout->addWidget(lostCaption);
    layout->addWidget(lostEdits);
    layout->addLayout(buttons);
}

void NetworkWindow::say(const QString &text)
{
    stateLine->setText(text);
    Announce(stateLine);
}

bool NetworkWindow::apply()
{
    NetworkSettings s;
    s.on = shareBox->isChecked();
    s.broker.host = hostBox->text().trimmed();
    s.broker.port = portBox->value();
    s.broker.station = positionBox->text().trimmed().toUpper();
    s.broker.logName = logNameBox->text().trimmed().toUpper();
    s.broker.user = userBox->text();
    s.broker.password = passwordBox->text();
    s.broker.caFile = caFileBox->text().trimmed();
    if (s.on) {
        if (const QString problem = NetworkSettingsProblem(s); !problem.isEmpty()) {
            say(problem);
            return false;
        }
    }
    Session &session = station_.session();
    QString error;
    if (!SaveNetworkSettings(session.registry, s, &error)) {
        say(QStringLiteral("The settings could not be kept (%1); nothing was changed.").arg(error));
        return false;
    }
    StationNetwork &network = station_.network();
    network.stop();
    if (!s.on) {
        if (!SharedLog::LeaveStep(session.log, session.folders.StartDir, &error)) {
            say(QStringLiteral("The log is no longer shared, but the mark that log.txt matches the shared log could "
                               "not be removed (%1).")
                    .arg(error));
            return false;
        }
        return true;
    }
    if (!network.start(s, &error)) {
        say(QStringLiteral("The log is not shared: %1").arg(error));
        return false;
    }
    return true;
}

}  // namespace zev
