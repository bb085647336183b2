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
    positionsList->installEventFilter(this);
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
    // Rows are updated in place, so the operator's row stays theirs (found again by the
    // position's name). While the list has the keyboard a change to that row is read out:
    // screen readers ignore a list item renamed, so the row is a new item, made current.
    const int was = positionsList->currentRow();
    const QString onRow = was >= 0 ? positionsList->item(was)->data(Qt::UserRole).toString() : QString();
    const QList<PositionState> positions = network.positions();
    while (positionsList->count() > positions.size())
        delete positionsList->takeItem(positionsList->count() - 1);
    int row = -1;
    for (int i = 0; i < positions.size(); ++i) {
        const QString text = positions[i].text();
        QListWidgetItem *item = positionsList->item(i);
        if (positions[i].station == onRow) {
            row = i;
            if (item && item->text() != text && positionsList->hasFocus()) {
                // In before the old one, which the current row follows down; then made
                // current and the old one dropped, so no other row is read meanwhile.
                auto *fresh = new QListWidgetItem(text);
                fresh->setData(Qt::UserRole, positions[i].station);
                positionsList->insertItem(i, fresh);
                positionsList->setCurrentRow(i);
                delete positionsList->takeItem(i + 1);
                continue;
            }
        }
        if (!item)
            item = new QListWidgetItem(positionsList);
        item->setData(Qt::UserRole, positions[i].station);
        item->setText(text);
    }
    if (row >= 0 && row != positionsList->currentRow())
        positionsList->setCurrentRow(row);
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
