// Choosing a Hamlib radio in the rig window: the searchable model list, the network
// choice, and the link it starts against a real rigctld.

#include "frame/registry.h"
#include "rig/hamlib_rig_device.h"
#include "rig/rig_control_window.h"
#include "rig/rig_link.h"
#include "window_harness.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <hamlib/riglist.h>

using namespace zevtest;

namespace {

QStringList VisibleModels(const RigControlWindow &w)
{
    QStringList shown;
    for (int i = 0; i < w.lstHamlib->count(); ++i)
        if (!w.lstHamlib->item(i)->isHidden())
            shown << w.lstHamlib->item(i)->text();
    return shown;
}

void Pick(RigControlWindow &w, const QString &rig)
{
    const QList<QListWidgetItem *> items = w.List1->findItems(rig, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    w.List1->setCurrentItem(items.first());
}

}  // namespace

TEST(HamlibRigWindow, ModelIsFoundByMakerAndModelAndKeptOnTest)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    RigControlWindow w(*h.session, h.folders.work("RigCntrl.txt"));
    w.show();
    EXPECT_FALSE(w.lstHamlib->isVisibleTo(&w));
    Pick(w, "Hamlib");
    ASSERT_TRUE(w.lstHamlib->isVisibleTo(&w));
    for (QWidget *c : std::initializer_list<QWidget *>{w.txtHamlibFind, w.lstHamlib, w.chkHamlibNet, w.txtHamlibNet})
        EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();

    // Every word counts, in any letter case.
    w.txtHamlibFind->setText("yaesu 991");
    const QStringList shown = VisibleModels(w);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.contains("Yaesu FT-991"));
    for (const QString &t : shown)
        EXPECT_TRUE(t.contains("Yaesu") && t.contains("991")) << t.toStdString();
    w.txtHamlibFind->setText("no such radio");
    EXPECT_TRUE(VisibleModels(w).isEmpty());
    w.txtHamlibFind->clear();
    EXPECT_EQ(VisibleModels(w).size(), w.lstHamlib->count());

    const QList<QListWidgetItem *> ft991 = w.lstHamlib->findItems("Yaesu FT-991", Qt::MatchExactly);
    ASSERT_EQ(ft991.size(), 1);
    w.lstHamlib->setCurrentItem(ft991.first());
    EXPECT_FALSE(w.chkHamlibNet->isChecked());
    EXPECT_FALSE(w.txtHamlibNet->isEnabled());
    w.Command1_Click();
    EXPECT_EQ(LoadHamlibChoice(*h.registry).model, RIG_MODEL_FT991);

    w.chkHamlibNet->click();
    EXPECT_TRUE(w.txtHamlibNet->isEnabled());
    EXPECT_EQ(w.lstHamlib->currentItem()->text(), "Hamlib NET rigctl");
    w.txtHamlibNet->setText("shack-pi:4533");
    w.Command1_Click();
    EXPECT_EQ(LoadHamlibChoice(*h.registry), (HamlibChoice{kHamlibNetModel, "shack-pi:4533"}));

    Pick(w, "Kenwood");
    EXPECT_FALSE(w.lstHamlib->isVisibleTo(&w));
}

// The rig window's Test and Done with a network radio: the main window follows a real
// rigctld, and the choice outlives the program in "RigCntrl.txt" and the registry.
TEST(HamlibRigWindow, NetworkRadioThroughRigctldSteersTheMainWindow)
{
    const QString exe = QStandardPaths::findExecutable("rigctld");
    if (exe.isEmpty())
        GTEST_SKIP() << "rigctld (libhamlib-utils) is not installed";
    int port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess rigctld;
    rigctld.start(exe, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    ASSERT_TRUE(rigctld.waitForStarted());
    auto ask = [port](const QByteArray &command) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (!s.waitForConnected(500))
            return QByteArray();
        s.write(command + '\n');
        s.waitForBytesWritten(1000);
        if (!QTest::qWaitFor([&] { return s.canReadLine(); }, 5000))
            return QByteArray();
        return s.readLine().trimmed();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return ask("F 21012340") == "RPRT 0"; }, 10000));
    // A loaded machine may leave one answer late; the radio's state is what matters.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ask("M CW 500") == "RPRT 0"; }, 15000));

    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.findChild<QAction *>("mnuRigInterface")->trigger();
    RigControlWindow *rw = w.rigWindow();
    ASSERT_NE(rw, nullptr);
    Pick(*rw, "Hamlib");
    rw->chkHamlibNet->click();
    rw->txtHamlibNet->setText(QStringLiteral("127.0.0.1:%1").arg(port));
    rw->cmdDone->click();
    ASSERT_TRUE(w.rigLink().polling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentBand == "15"; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentMode == "CW"; }, 10000));
    EXPECT_EQ(w.rigLink().RigFrequencyHz(), 21012340);
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).RigName, "Hamlib");
    RigLinkSettings stored;
    ASSERT_TRUE(ParseRigSettings(zevtest::ReadFile(h.folders.work(kRigSettingsFile)), stored).ok);
    EXPECT_EQ(stored.RigName, "Hamlib");
    EXPECT_EQ(LoadHamlibChoice(*h.registry).netAddress, QStringLiteral("127.0.0.1:%1").arg(port));

    // A spot click tunes the shared radio.
    w.rigLink().ChangeFrequency(7.0255f);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ask("f") == "7025500"; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentBand == "40"; }, 10000));
    w.close();
    rigctld.kill();
    rigctld.waitForFinished();
}
