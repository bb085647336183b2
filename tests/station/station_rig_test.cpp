// The radio's readings reach the contact being entered with no window at all.

#include "frame/registry.h"
#include "frame/session.h"
#include "radio_emulator.h"
#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "rig/rig_settings.h"
#include "station/station.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace zev;

TEST(StationRig, ARadiosFrequencyReachesTheEntrysFrequencyAndBand)
{
    const struct {
        int useFrequency;
        qint64 hz;
        const char *text;
        const char *band;
    } cases[] = {
        {1, 14025000, "14.025", "20"},
        // The operator chose not to log the radio's frequency.
        {0, 0, "", ""},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        Folders folders;
        folders.StartDir = dir.filePath("start");
        zevtest::ScriptedPrompter prompter;
        zevtest::FakeClock clock;
        Registry registry(dir.filePath("registry.ini"));
        Session session(folders, prompter, clock, registry);
        Station station(session);

        zevtest::Emulator radio;
        ASSERT_TRUE(radio.ok());
        radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
        PortMap ports(registry);
        ASSERT_TRUE(ports.setDevice(1, radio.path()));
        RigLinkSettings s;
        s.RigName = "Kenwood";
        s.FreqQuery = "FA;";
        s.ModeQuery = "MD;";
        s.PollRate = "F";
        s.RigPort = 1;
        s.RigSerialSettings = "1200,N,8,2";
        s.UseFrequency = c.useFrequency;
        ASSERT_TRUE(station.rig().Start(s, ports));
        // Two full rounds of polls answered.
        ASSERT_TRUE(QTest::qWaitFor([&] { return radio.queries >= 4; }, 10000)) << c.useFrequency;
        QTest::qWait(50);
        EXPECT_EQ(session.entry.frequencyHz(), c.hz) << c.useFrequency;
        EXPECT_EQ(session.entry.frequencyText(), c.text) << c.useFrequency;
        EXPECT_EQ(session.entry.frequencyBand(), c.band) << c.useFrequency;
        station.stop();
    }
}

}  // namespace
