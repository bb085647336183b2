// The keying settings files ("cw.txt", "wave2.txt", "WK.txt") with numbers no box can hold:
// each goes back to its default with a note, and the values that reach the keyers are
// converted safely under the sanitizer.

#include "keying/cw_settings.h"
#include "keying/morse.h"
#include "keying/voice_settings.h"
#include "keying/wk_settings.h"

#include <QList>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// The file's bytes with line `line` (from 1) replaced; text lines keep their quotes.
QByteArray WithLine(const QByteArray &file, int line, const QByteArray &value, bool quoted)
{
    QList<QByteArray> lines = file.split('\n');
    lines[line - 1] = (quoted ? '"' + value + '"' : value) + '\r';
    return lines.join('\n');
}

struct LineCase {
    int line;
    bool quoted;
    const char *name;  // as the note names it
};

const char *const kHuge[] = {"2.2e37", "-2.2e37", "9.3e18", "4294967296", "1e300"};

TEST(SanitizedNumbers, CwSettingsNumbersOutOfRangeFallBack)
{
    const QByteArray file = FormatCwSettings(CwSettings{});
    CwSettings whole;
    ASSERT_EQ(ParseCwSettings(file, whole), 18);
    const LineCase cases[] = {{10, true, "port"},         {11, true, "speed"},
                              {14, true, "word space"},   {15, false, "keying line"},
                              {17, false, "display CW text"}, {18, true, "repeat pause"}};
    for (const LineCase &c : cases) {
        for (const char *value : kHuge) {
            SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << value);
            CwSettings s;
            QStringList notes;
            ParseCwSettings(WithLine(file, c.line, value, c.quoted), s, &notes);
            EXPECT_EQ(s, whole);
            EXPECT_EQ(notes, QStringList{QString::fromLatin1(c.name)});
            // What the engine and the boxes make of them.
            EXPECT_EQ(SpeedFromText(s.speed), 13);
            EXPECT_EQ(WordSpaceFromText(s.wordSpace), 0);
            EXPECT_EQ(CheckRepeatPause(s.repeatPause).intervalMs, 0);
        }
    }
}

TEST(SanitizedNumbers, VoiceSettingsNumbersOutOfRangeFallBack)
{
    const QByteArray file = FormatVoiceSettings(VoiceSettings{});
    const LineCase cases[] = {{10, true, "PTT port"}, {11, false, "PTT line"}, {12, true, "repeat pause"}};
    for (const LineCase &c : cases) {
        for (const char *value : kHuge) {
            SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << value);
            QStringList notes;
            const VoiceSettings s = ParseVoiceSettings(WithLine(file, c.line, value, c.quoted), &notes);
            EXPECT_EQ(s.port, "0");
            EXPECT_EQ(s.line, PttLine::Rts);
            EXPECT_EQ(s.loop, "0");
            EXPECT_EQ(notes, QStringList{QString::fromLatin1(c.name)});
            EXPECT_EQ(PttPortNumber(s.port), 0);
        }
    }
}

TEST(SanitizedNumbers, WinKeyerSettingsNumbersOutOfRangeFallBack)
{
    const QByteArray file = FormatWkSettings(WkSettings{});
    const LineCase cases[] = {{1, false, "port"},   {2, true, "speed"}, {3, true, "weight"},
                              {4, true, "lead-in"}, {5, true, "tail"},  {6, true, "ratio"},
                              {7, false, "pin configuration"}, {8, false, "mode"}};
    for (const LineCase &c : cases) {
        for (const char *value : kHuge) {
            SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << value);
            QStringList notes;
            const WkSettings s = ParseWkSettings(WithLine(file, c.line, value, c.quoted), &notes);
            EXPECT_EQ(s, WkSettings{});
            EXPECT_EQ(notes, QStringList{QString::fromLatin1(c.name)});
            EXPECT_EQ(LeaveSpeedBox(s.txtWKWPM).send, 18);
            EXPECT_EQ(LeaveLeadTailBoxes(s.txtLeadIn, s.txtTail, true).send, (std::pair{0, 0}));
        }
    }
}

// The edges of every range are kept, without a note.
TEST(SanitizedNumbers, KeyingSettingsAtTheEdgesOfTheirRangesAreKept)
{
    struct Edge {
        int file;  // 0 cw.txt, 1 wave2.txt, 2 WK.txt
        int line;
        bool quoted;
        const char *value;
    };
    const Edge edges[] = {
        {0, 10, true, "255"}, {0, 11, true, "99"}, {0, 14, true, "-8"}, {0, 18, true, "59.5"},
        {1, 10, true, "255"}, {1, 12, true, "59.9"},
        {2, 1, false, "255"}, {2, 2, true, "99"}, {2, 5, true, "255"}, {2, 6, true, "32"}, {2, 6, true, "67"},
        {2, 7, false, "0"},
    };
    for (const Edge &e : edges) {
        SCOPED_TRACE(testing::Message() << "file " << e.file << " line " << e.line << ": " << e.value);
        QStringList notes;
        const QString v = QString::fromLatin1(e.value);
        if (e.file == 0) {
            CwSettings s;
            ParseCwSettings(WithLine(FormatCwSettings(CwSettings{}), e.line, e.value, e.quoted), s, &notes);
            EXPECT_TRUE(s.port == v || s.speed == v || s.wordSpace == v || s.repeatPause == v);
        } else if (e.file == 1) {
            const VoiceSettings s =
                ParseVoiceSettings(WithLine(FormatVoiceSettings(VoiceSettings{}), e.line, e.value, e.quoted), &notes);
            EXPECT_TRUE(s.port == v || s.loop == v);
        } else {
            const WkSettings s = ParseWkSettings(WithLine(FormatWkSettings(WkSettings{}), e.line, e.value, e.quoted), &notes);
            EXPECT_TRUE(QString::number(s.WinKeyPort) == v || s.txtWKWPM == v || s.txtTail == v || s.txtRatio == v ||
                        QString::number(s.WinKeyPinConfig) == v);
        }
        EXPECT_TRUE(notes.isEmpty()) << notes.join(", ").toStdString();
    }
}

}  // namespace
