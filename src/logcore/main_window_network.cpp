// The logging window as one position of a station of several: the other positions, what
// the shared log reports, and the network settings.

#include "logcore/main_window.h"

#include "frame/widget_helpers_ui.h"
#include "network/network_window.h"
#include "station/station.h"
#include "station/station_network.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace zev {

namespace {

const char *const kPositionsCaption = "Other positions";

}  // namespace

void MainWindow::buildPositions(QBoxLayout *into)
{
    positionsCaption = new QLabel(QString::fromLatin1(kPositionsCaption));
    positionsCaption->setObjectName(QStringLiteral("cap_lstPositions"));
    positionsCaption->setTextFormat(Qt::PlainText);
    positionsList = new QListWidget;
    positionsList->setObjectName(QStringLiteral("lstPositions"));
    positionsList->setAccessibleName(QString::fromLatin1(kPositionsCaption));
    positionsList->setMaximumHeight(positionsList->fontMetrics().height() * 5);
    positionsCaption->setBuddy(positionsList);
    into->addWidget(positionsCaption);
    into->addWidget(positionsList);

    StationNetwork &network = station_.network();
    connect(&network, &StationNetwork::positionsChanged, this, &MainWindow::showPositions);
    connect(&network, &StationNetwork::linkStateChanged, this, &MainWindow::showPositions);
    // What the shared log refused or could not write reaches the operator without a box.
    connect(&network, &StationNetwork::problem, this, [this](const QString &text) { setDialog(text); });
    connect(&network, &StationNetwork::notesChanged, this, [this] {
        setDialog(QStringLiteral("Two positions changed one contact at once; the edit that lost is kept in "
                                 "Options > Network."));
    });
    showPositions();
}

void MainWindow::showPositions()
{
    StationNetwork &network = station_.network();
    const bool on = network.isOn();
    positionsCaption->setVisible(on);
    positionsList->setVisible(on);
    if (!on)
        return;
    const QString caption = network.isConnected()
                                ? QString::fromLatin1(kPositionsCaption)
                                : QString::fromLatin1(kPositionsCaption) + QStringLiteral(" (broker not reached)");
    positionsCaption->setText(caption);
    positionsList->setAccessibleDescription(network.linkState());
    positionsList->setToolTip(network.linkState());
    QStringList lines;
    for (const PositionState &p : network.positions())
        lines << p.text();
    QStringList shown;
    for (int i = 0; i < positionsList->count(); ++i)
        shown << positionsList->item(i)->text();
    if (shown == lines)
        return;
    positionsList->clear();
    positionsList->addItems(lines);
}

void MainWindow::mnuNetwork_Click()
{
    NetworkWindow w(station_, this);
    runModal(w);
    showPositions();
    callBox->setFocus();
}

bool MainWindow::refuseWhileShared(const QString &what)
{
    if (!s_.sharedLog)
        return false;
    s_.prompter.message(QStringLiteral("%1 is not possible while this log is shared with the station's other "
                                       "computers: it would change their logs too. Turn sharing off in Options > "
                                       "Network first.")
                            .arg(what),
                        QStringLiteral("Log Is Shared"), PromptIcon::Information);
    return true;
}

}  // namespace zev
