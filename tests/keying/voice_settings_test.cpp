#include "keying/voice_settings.h"

#include "frame/startup.h"
#include "full_disk.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

namespace {

TEST(VoiceSettingsFile, RoundTripIsByteExact)
{
    const QByteArray original = ReadFile(Fixture("wave2.txt"));
    ASSERT_FALSE(original.isEmpty());
    const VoiceSettings s = ParseVoiceSettings(original);
    EXPECT_EQ(s.files[0], "/home/op/voice/cq.wav");
    EXPECT_EQ(s.files[1], QString::fromUtf8("/home/op/voice/r\u00e9ponse.wav"));  // Latin-1 in the file
    EXPECT_EQ(s.files[2], "");
    EXPECT_EQ(s.files[8], "/home/op/voice/tu.wav");
    EXPECT_EQ(s.port, "3");
    EXPECT_EQ(s.line, PttLine::Dtr);  // line 11 = 1
    EXPECT_EQ(s.loop, "5");
    EXPECT_EQ(s.address, "&H278");
    EXPECT_EQ(FormatVoiceSettings(s), original);
}

TEST(VoiceSettingsFile, DefaultsAreWrittenAsThirteenLines)
{
    const QByteArray expected = "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n";
    EXPECT_EQ(FormatVoiceSettings(VoiceSettings{}), expected);
}

TEST(VoiceSettingsFile, FileNamesAreTrimmedAndQuotesDropped)
{
    VoiceSettings s;
    s.files[3] = "  /tmp/a \"b\".wav  ";
    EXPECT_TRUE(FormatVoiceSettings(s).contains("\r\n\"/tmp/a b.wav\"\r\n"));
}

TEST(VoiceSettingsFile, LineElevenIsComparedAsText)
{
    const struct {
        const char *value;
        PttLine line;
    } cases[] = {{"0", PttLine::Rts}, {"1", PttLine::Dtr}, {"2", PttLine::Parallel},
                 {"3", PttLine::Rts}, {"1.0", PttLine::Rts}, {"\"1\"", PttLine::Dtr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        QByteArray data = QByteArray("\"\"\r\n").repeated(9) + "\"0\"\r\n" + c.value + "\r\n\"0\"\r\n\"&H378\"\r\n";
        EXPECT_EQ(ParseVoiceSettings(data).line, c.line);
    }
}

TEST(VoiceSettingsFile, AMissingOrShortFileLoadsDefaultsForWhatIsMissing)
{
    QTemporaryDir dir;
    const VoiceSettings missing = LoadVoiceSettings(dir.filePath("wave2.txt"));
    EXPECT_EQ(FormatVoiceSettings(missing), FormatVoiceSettings(VoiceSettings{}));

    WriteFile(dir.filePath("wave2.txt"), "\"/a.wav\"\r\n\"/b.wav\"\r\n\"/c.wav");  // unterminated third value
    const VoiceSettings shortFile = LoadVoiceSettings(dir.filePath("wave2.txt"));
    EXPECT_EQ(shortFile.files[0], "/a.wav");
    EXPECT_EQ(shortFile.files[1], "/b.wav");
    EXPECT_EQ(shortFile.files[2], "");
    EXPECT_EQ(shortFile.port, "0");
    EXPECT_EQ(shortFile.address, "&H378");
}

TEST(VoiceSettingsFile, SavingReportsAFullDiskAndKeepsTheOldFile)
{
    FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    const QString path = disk.filePath("wave2.txt");
    VoiceSettings old;
    old.files[0] = "/old.wav";
    ASSERT_TRUE(SaveVoiceSettings(path, old));
    ASSERT_TRUE(disk.fill());
    VoiceSettings s;
    s.files[0] = QString(5000, QLatin1Char('x'));
    QString error;
    EXPECT_FALSE(SaveVoiceSettings(path, s, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFile(path), FormatVoiceSettings(old));
}

TEST(VoiceSettingsRules, RepeatPauseIsFromZeroUpToButNotSixty)
{
    const struct {
        const char *text;
        std::optional<double> seconds;
    } cases[] = {{"0", 0.0},          {"5", 5.0},           {"59.5", 59.5},       {"60", std::nullopt},
                 {"75", std::nullopt}, {"-1", std::nullopt}, {"", std::nullopt},   {"5s", std::nullopt},
                 {"1e999", std::nullopt}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RepeatPauseSeconds(c.text), c.seconds);
    }
}

TEST(VoiceSettingsRules, APortBoxThatIsNotANumberIsNoPort)
{
    EXPECT_EQ(PttPortNumber("3"), 3);
    EXPECT_EQ(PttPortNumber(" 4 "), 4);
    EXPECT_EQ(PttPortNumber("COM3"), 0);
    EXPECT_EQ(PttPortNumber(""), 0);
    EXPECT_EQ(PttPortNumber("1e30"), 0);
}

TEST(VoiceSettingsFirstStart, WaveTwoIsCreatedWithDefaultsButNeverReplaced)
{
    QTemporaryDir dir;
    Folders folders;
    folders.StartDir = dir.path();
    FakeClock clock;
    EXPECT_EQ(CreateMissingWorkingFiles(folders, clock), "");
    EXPECT_EQ(ReadFile(dir.filePath("wave2.txt")), FormatVoiceSettings(VoiceSettings{}));

    WriteFile(dir.filePath("wave2.txt"), "damaged");
    EXPECT_EQ(CreateMissingWorkingFiles(folders, clock), "");
    EXPECT_EQ(ReadFile(dir.filePath("wave2.txt")), "damaged");
}

}  // namespace
