// The radio's frequency beside band and mode on the logging window.

#include "radio_emulator.h"
#include "window_harness.h"

#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "rig/rig_settings.h"

#include <QLabel>

using namespace zevtest;

namespace {

Preferences WithRig(const char *rigName)
{
    Preferences p = Harness::basePrefs();
    p.RigName = rigName;
    return p;
}

}  // namespace

TEST(FrequencyReadout, NoRigWithoutARadio)
{
    Harness h(WithRig("None"), QByteArray());
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    auto *readout = w.findChild<QLabel *>("lblRigFreq");
    ASSERT_NE(readout, nullptr);
    EXPECT_TRUE(readout->isVisibleTo(&w));
    EXPECT_EQ(readout->text(), "No rig");
    // A value label: the screen reader reads its text, its caption is the description.
    EXPECT_EQ(readout->accessibleName(), "");
    EXPECT_EQ(readout->accessibleDescription(), "Frequency");
    EXPECT_EQ(readout->textFormat(), Qt::PlainText);
}

TEST(FrequencyReadout, FollowsTheRadioAndSaysWhenItFallsSilent)
{
    Emulator radio;
    ASSERT_TRUE(radio.ok());
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    Harness h(WithRig("Kenwood"), QByteArray());
    ASSERT_TRUE(PortMap(*h.registry).setDevice(3, radio.path()));
    WriteRigLink(h, KenwoodLink());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    auto *readout = w.findChild<QLabel *>("lblRigFreq");
    ASSERT_NE(readout, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return readout->text() == "14.02500"; }, 10000))
        << readout->text().toStdString();

    // The radio is tuned: the next reading shows.
    radio.answers = {{"FA;", "FA00007031500;"}, {"MD;", "MD3;"}};
    EXPECT_TRUE(QTest::qWaitFor([&] { return readout->text() == "7.03150"; }, 10000))
        << readout->text().toStdString();

    radio.silent = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return readout->text() == "No Response"; }, 10000))
        << readout->text().toStdString();
    radio.silent = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return readout->text() == "7.03150"; }, 10000))
        << readout->text().toStdString();
    w.rigLink().Stop();
}
