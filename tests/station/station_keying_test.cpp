// The station's keying with no window at all: a function key keys its message with the
// macros a host gives, and the WinKeyer gets its bytes straight from the keying.

#include "frame/registry.h"
#include "frame/session.h"
#include "keying/cw_settings.h"
#include "keying/keying_controller.h"
#include "keying/recording_key_line.h"
#include "keying/winkeyer.h"
#include "keying/wk_settings.h"
#include "keying_helpers.h"
#include "rig/port_map.h"
#include "station/station.h"
#include "station/station_keying.h"
#include "test_support.h"
#include "winkeyer_emulator.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace zev;

// A host with a contact half typed: VE3ABC, sending ON.
struct TypedContact : KeyingHost {
    QStringList messageLine;
    int commits = 0;
    QString callForMacros() const override { return QStringLiteral("VE3ABC"); }
    QString exchangeForMacros() const override { return QStringLiteral("ON"); }
    QString reportForMacros() const override { return QStringLiteral("599"); }
    QString currentMode() const override { return QStringLiteral("CW"); }
    void commit() override { ++commits; }
    void clearEntry() override {}
    void showMessageLine(const QString &text) override { messageLine << text; }
    void setMessageLineColour(quint32) override {}
};

// A working folder, the session and the station; no window is ever made.
struct BareStation {
    QTemporaryDir dir;
    Folders folders;
    zevtest::ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<Session> session;
    std::unique_ptr<Station> station;
    TypedContact host;

    explicit BareStation(const CwSettings &cw)
    {
        folders.StartDir = dir.filePath("start");
        folders.MakerFolder = dir.filePath("docs/Velko Software");
        folders.ProgramDataFolder = folders.MakerFolder + "/ZEV";
        folders.SharedFolder = folders.MakerFolder + "/Shared";
        for (const QString &d : {folders.StartDir, folders.ProgramDataFolder, folders.SharedFolder})
            QDir().mkpath(d);
        zevtest::WriteFile(folders.work(kCwSettingsFile), FormatCwSettings(cw));
        registry = std::make_unique<Registry>(dir.filePath("registry.ini"));
        session = std::make_unique<Session>(folders, prompter, clock, *registry);
        station = std::make_unique<Station>(*session);
    }
    StationKeying &keying() { return station->keying(); }
    void start()
    {
        keying().controller().setHost(&host);
        keying().loadCwSettings();
    }
};

CwSettings F1Message(int line)
{
    CwSettings s;
    s.messages[0] = "$ 5NN #";
    s.port = "2";
    s.speed = "60";
    s.keyingLine = line;
    return s;
}

TEST(StationKeying, F1KeysItsMessageWithTheHostsCallAndExchangeOnTheKeyLine)
{
    BareStation b(F1Message(kKeyRts));
    auto record = std::make_shared<KeyLineRecord>();
    QStringList where;
    b.keying().keyLineFactory = [&](KeyLineKind, const QString &device) -> std::unique_ptr<KeyLine> {
        where << device;
        return std::make_unique<RecordingKeyLine>(record);
    };
    ASSERT_TRUE(PortMap(*b.registry).setDevice(2, "/dev/ttyCW"));
    b.start();
    EXPECT_TRUE(b.keying().controller().functionKey(1));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !b.keying().controller().CWSending() && b.session->CWBuffer.isEmpty(); }, 20000));
    EXPECT_EQ(zevtest::Keyed(*record), zevtest::PatternOf("VE3ABC 5NN ON"));
    EXPECT_EQ(where, QStringList{"/dev/ttyCW"});
    EXPECT_FALSE(record->isDown());
}

TEST(StationKeying, WithNoWindowTheMacrosComeFromTheContactBeingEntered)
{
    BareStation b(F1Message(kKeyRts));
    auto record = std::make_shared<KeyLineRecord>();
    b.keying().keyLineFactory = [&](KeyLineKind, const QString &) -> std::unique_ptr<KeyLine> {
        return std::make_unique<RecordingKeyLine>(record);
    };
    ASSERT_TRUE(PortMap(*b.registry).setDevice(2, "/dev/ttyCW"));
    b.session->prefs.CurrentMode = "CW";
    b.session->prefs.MyProvince = "ON";
    b.session->prefs.InCanada = 1;
    b.session->entry.refreshExchangeSent();
    b.session->entry.setCall("VE3ABC");
    b.keying().loadCwSettings();  // no host is set: the station's own answers
    EXPECT_TRUE(b.keying().controller().functionKey(1));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !b.keying().controller().CWSending() && b.session->CWBuffer.isEmpty(); }, 20000));
    EXPECT_EQ(zevtest::Keyed(*record), zevtest::PatternOf("VE3ABC 5NN ON"));
}

TEST(StationKeying, WinKeyerBytesGoFromTheKeyingToTheKeyersLine)
{
    zevtest::WinKeyerEmulator keyer;
    ASSERT_TRUE(keyer.ok());
    BareStation b(F1Message(kKeyWinKey));
    WkSettings wk;
    wk.WinKeyPort = 4;
    zevtest::WriteFile(WkSettingsPath(b.folders), FormatWkSettings(wk));
    ASSERT_TRUE(PortMap(*b.registry).setDevice(4, keyer.path()));
    b.start();
    // Nothing opens the keyer before a message.
    QTest::qWait(20);
    EXPECT_FALSE(keyer.isOpen());
    EXPECT_TRUE(b.keying().controller().functionKey(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyer.keyed() == "VE3ABC 5NN ON"; }, 10000))
        << keyer.keyed().toStdString();
    // Opened, told the CW speed (60 = 0x3C) before the text; the station's end closes it.
    EXPECT_TRUE(keyer.received().startsWith(QByteArray::fromHex("0002")));
    EXPECT_TRUE(keyer.received().contains(QByteArray::fromHex("023C")));
    keyer.clearReceived();
    b.station.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return keyer.received().endsWith(QByteArray::fromHex("0A0003")); }, 5000))
        << keyer.received().toHex(' ').toStdString();
}

}  // namespace
