// Options > Network on the logging window: sharing turned on and off by the operator, the
// other positions listed, and what would change every computer's log refused meanwhile.

#include "mqtt_broker.h"
#include "network/network_window.h"
#include "network/shared_log.h"
#include "station/station_network.h"
#include "window_harness.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace zev;
using zevtest::WaitFor;
using zevtest::Harness;

namespace {

}  // namespace

TEST(NetworkWindow, EveryControlIsNamedAndABadNameKeepsTheWindowOpenWithTheReason)
{
    Harness h;
    MainWindow &w = h.start();
    bool shown = false;
    h.otherModal = [&](QDialog &d) {
        auto *net = qobject_cast<NetworkWindow *>(&d);
        ASSERT_NE(net, nullptr);
        shown = true;
        for (QWidget *c : net->findChildren<QWidget *>())
            if (!c->objectName().startsWith(QLatin1String("qt_")) && (qobject_cast<QLineEdit *>(c) || qobject_cast<QSpinBox *>(c)))
                EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
        EXPECT_FALSE(net->shareBox->isChecked());  // off until turned on
        net->shareBox->setChecked(true);
        net->positionBox->setText(QString());
        EXPECT_FALSE(net->apply());
        EXPECT_TRUE(net->stateLine->text().contains(QStringLiteral("name"))) << net->stateLine->text().toStdString();
        EXPECT_FALSE(LoadNetworkSettings(*h.registry).on);  // nothing kept
    };
    w.findChild<QAction *>(QStringLiteral("mnuNetwork"))->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(h.session->sharedLog, nullptr);
    EXPECT_FALSE(w.findChild<QListWidget *>(QStringLiteral("lstPositions"))->isVisibleTo(&w));
}

TEST(NetworkWindow, TurnedOnItListsTheOtherPositionsAndGuardsTheSharedLog)
{
    zevtest::MosquittoBroker broker;
    if (!broker.start())
        GTEST_SKIP() << "mosquitto is not installed";
    Harness h;
    MainWindow &w = h.start();
    h.otherModal = [&](QDialog &d) {
        auto *net = qobject_cast<NetworkWindow *>(&d);
        ASSERT_NE(net, nullptr);
        net->shareBox->setChecked(true);
        net->hostBox->setText(QStringLiteral("127.0.0.1"));
        net->portBox->setValue(broker.port());
        net->positionBox->setText(QStringLiteral("RUN"));
        EXPECT_TRUE(net->apply()) << net->stateLine->text().toStdString();
    };
    w.findChild<QAction *>(QStringLiteral("mnuNetwork"))->trigger();
    ASSERT_NE(h.session->sharedLog, nullptr);
    EXPECT_TRUE(LoadNetworkSettings(*h.registry).on);
    auto *positions = w.findChild<QListWidget *>(QStringLiteral("lstPositions"));
    EXPECT_TRUE(positions->isVisibleTo(&w));
    EXPECT_EQ(h.session->log.RecordCount(), 3);  // the log it had, now shared

    // A second computer joins: RUN's window lists it as a screen reader says it.
    Harness other;
    other.start();
    NetworkSettings s = LoadNetworkSettings(*h.registry);
    s.broker.station = QStringLiteral("MULT");
    ASSERT_TRUE(SaveNetworkSettings(*other.registry, s, nullptr));
    ASSERT_TRUE(other.stationLinks->startNetwork().isEmpty());
    ASSERT_TRUE(WaitFor([&] {
        return positions->count() == 1 && positions->item(0)->text() == QLatin1String("MULT on 40 PH");
    })) << (positions->count() ? positions->item(0)->text().toStdString() : std::string("none"));
    // MULT gets RUN's three contacts; RUN gets MULT's own (the same three, logged there before) too.
    ASSERT_TRUE(WaitFor([&] { return other.session->log.RecordCount() == 6 && h.session->log.RecordCount() == 6; }))
        << other.session->log.RecordCount() << " " << h.session->log.RecordCount();

    // Starting a new log would wipe every computer's log: refused, nothing erased.
    h.prompter.answers.push_back(QStringLiteral("YES"));
    w.mnuNew_Click();
    EXPECT_TRUE(h.prompter.titles().contains(QStringLiteral("Log Is Shared")));
    EXPECT_EQ(h.session->log.RecordCount(), 6);
}

TEST(NetworkWindow, AnEditThatLostIsSaidOnTheMessageLineAndKeptInTheWindow)
{
    // No broker needed: the shared log opens, the link keeps trying meanwhile.
    Harness h;
    MainWindow &w = h.start();
    NetworkSettings s;
    s.on = true;
    s.broker.host = QStringLiteral("127.0.0.1");
    s.broker.port = 1;
    s.broker.station = QStringLiteral("RUN");
    ASSERT_TRUE(SaveNetworkSettings(*h.registry, s, nullptr));
    ASSERT_TRUE(h.stationLinks->startNetwork().isEmpty());
    SharedLog &shared = *h.session->sharedLog;
    const EventId first = shared.merged().recordIds().front();

    // MULT edits contact 1 without having seen RUN's edit of it, made at the same moment.
    std::optional<LogEvent> fromMult = shared.merged().localEdit(QStringLiteral("MULT"), first, h.session->log.record(1));
    ASSERT_TRUE(fromMult);
    fromMult->contact.ExchangeRcvd = QStringLiteral("QC");
    ContactRecord mine = h.session->log.record(1);
    mine.ExchangeRcvd = QStringLiteral("NS");
    QString error;
    ASSERT_TRUE(h.session->replaceContact(1, mine, &error)) << error.toStdString();
    shared.receive({EncodeEvent(*fromMult)});
    // Equal clocks: RUN's name is higher, so MULT's edit lost, here as everywhere.
    EXPECT_EQ(h.session->log.record(1).ExchangeRcvd, QStringLiteral("NS"));
    EXPECT_TRUE(w.messageLine->text().contains(QStringLiteral("Options > Network"))) << w.messageLine->text().toStdString();

    bool shown = false;
    h.otherModal = [&](QDialog &d) {
        auto *net = qobject_cast<NetworkWindow *>(&d);
        ASSERT_NE(net, nullptr);
        shown = true;
        EXPECT_TRUE(net->lostEdits->toPlainText().contains(QStringLiteral("MULT's edit"))) << net->lostEdits->toPlainText().toStdString();
        EXPECT_TRUE(net->lostEdits->toPlainText().contains(QStringLiteral("\"QC\"")));
        EXPECT_EQ(net->lostEdits->accessibleName(), QStringLiteral("Lost edits"));
    };
    w.findChild<QAction *>(QStringLiteral("mnuNetwork"))->trigger();
    EXPECT_TRUE(shown);
}

// A blind operator on the list of other positions: Tab into it reads the row, a position
// that changes band is read again on the row the operator is on, and nothing is read of a
// change while the keyboard is elsewhere.
TEST(NetworkWindow, TheOtherPositionsAreReadFromTheListAndAChangeOnTheOperatorsRow)
{
    zevtest::MosquittoBroker broker;
    if (!broker.start())
        GTEST_SKIP() << "mosquitto is not installed";
    Harness h;
    h.start();
    MainWindow &w = h.activate();
    NetworkSettings s;
    s.on = true;
    s.broker.host = QStringLiteral("127.0.0.1");
    s.broker.port = broker.port();
    s.broker.station = QStringLiteral("RUN");
    ASSERT_TRUE(SaveNetworkSettings(*h.registry, s, nullptr));
    ASSERT_TRUE(h.stationLinks->startNetwork().isEmpty());
    Harness other;
    other.start();
    s.broker.station = QStringLiteral("MULT");
    ASSERT_TRUE(SaveNetworkSettings(*other.registry, s, nullptr));
    ASSERT_TRUE(other.stationLinks->startNetwork().isEmpty());
    QListWidget *positions = w.positionsList;
    ASSERT_TRUE(WaitFor([&] { return positions->count() == 1 && positions->item(0)->text() == "MULT on 40 PH"; }));

    zevtest::AccessibilityEvents a11y;
    // The rows a screen reader reads, once each time: it does not read a row again for a
    // second focus event while it is on that row.
    auto readRows = [&] {
        QStringList rows;
        for (const auto &e : a11y.events)
            if (e.object == positions && e.type == QAccessible::Focus && e.role == QAccessible::ListItem &&
                (rows.isEmpty() || rows.last() != e.name))
                rows << e.name;
        return rows.join(QStringLiteral(" | ")).toStdString();
    };
    positions->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(positions->currentRow(), 0);
    EXPECT_EQ(readRows(), "MULT on 40 PH");

    other.session->prefs.CurrentBand = QStringLiteral("20");
    ASSERT_TRUE(WaitFor([&] { return positions->item(0)->text() == "MULT on 20 PH"; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(positions->count(), 1);
    EXPECT_EQ(positions->currentRow(), 0);
    EXPECT_EQ(readRows(), "MULT on 40 PH | MULT on 20 PH");

    // The keyboard back in the call box: the row changes quietly.
    w.callBox->setFocus();
    other.session->prefs.CurrentBand = QStringLiteral("15");
    ASSERT_TRUE(WaitFor([&] { return positions->item(0)->text() == "MULT on 15 PH"; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(readRows(), "MULT on 40 PH | MULT on 20 PH");
    EXPECT_EQ(positions->currentRow(), 0);
}
