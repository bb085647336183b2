#include "common/file_io.h"
#include "common/quoted_values.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QStringList readAll(const QByteArray &data, QString *error = nullptr, ReadPosition *pos = nullptr)
{
    ValueReader in(data);
    QStringList out;
    while (!in.atEnd()) {
        QString v;
        if (!in.next(v)) {
            if (error)
                *error = in.error();
            if (pos)
                *pos = in.position();
            break;
        }
        out << v;
    }
    return out;
}

}  // namespace

TEST(ValueReader, ReadsQuotedBareAndEmptyValuesAcrossLineEnds)
{
    struct Case {
        const char *name;
        QByteArray data;
        QStringList values;
    };
    const Case cases[] = {
        {"crlf", "\"a\",\"\",3\r\n\"b c\",-4.5\r\n", {"a", "", "3", "b c", "-4.5"}},
        {"lf only", "\"a\",\"\",3\n\"b c\",-4.5\n", {"a", "", "3", "b c", "-4.5"}},
        {"no final line end", "\"a\",7", {"a", "7"}},
        {"comma inside quotes", "\"x,y\",\"z\"\r\n", {"x,y", "z"}},
        {"bare values trimmed", "  12 , ab \r\n", {"12", "ab"}},
        {"junk after closing quote ignored", "\"ab\"cd,\"e\"\r\n", {"ab", "e"}},
        {"blank lines between records", "\"a\"\r\n\r\n\r\n\"b\"\r\n\r\n", {"a", "b"}},
        {"latin-1 byte", "\"Qu\xe9" "bec\"", {QString::fromLatin1("Qu\xe9" "bec")}},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_EQ(readAll(c.data, &error), c.values) << c.name;
        EXPECT_TRUE(error.isEmpty()) << c.name << ": " << error.toStdString();
    }
}

TEST(ValueReader, TrailingCommaEndsWithAnEmptyValue)
{
    ValueReader in("\"a\",\r\n\"b\"");
    QString v;
    ASSERT_TRUE(in.next(v));
    EXPECT_EQ(v, "a");
    ASSERT_TRUE(in.next(v));
    EXPECT_EQ(v, "");
    ASSERT_TRUE(in.next(v));
    EXPECT_EQ(v, "b");
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.next(v));
}

TEST(ValueReader, ReportsUnterminatedQuoteWithItsPosition)
{
    QString error;
    ReadPosition pos;
    const QStringList got = readAll("\"a\",\"b\"\r\n\"c\",\"d\r\n", &error, &pos);
    EXPECT_EQ(got, (QStringList{"a", "b", "c"}));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(pos.line, 2);
    EXPECT_EQ(pos.column, 5);
    EXPECT_EQ(pos.value, 4);
}

TEST(ValueReader, NumbersMustBeNumeric)
{
    ValueReader in("10,\"x\",2.5e1");
    double v = 0;
    ASSERT_TRUE(in.nextNumber(v));
    EXPECT_EQ(v, 10);
    EXPECT_FALSE(in.nextNumber(v));
    ASSERT_TRUE(in.nextNumber(v));
    EXPECT_EQ(v, 25);
}

TEST(ValueReader, NumbersBeyondADoubleAreNotNumbers)
{
    for (const char *text : {"1e999", "-1e999", "123456789e400"}) {
        ValueReader in(text);
        double v = 0;
        EXPECT_FALSE(in.nextNumber(v)) << text;
        EXPECT_FALSE(in.error().isEmpty()) << text;
    }
    ValueReader in("1e308");
    double v = 0;
    EXPECT_TRUE(in.nextNumber(v));
    EXPECT_EQ(v, 1e308);
}

TEST(Numeric, TellsSerialNumbersFromProvinces)
{
    struct Case {
        const char *text;
        bool numeric;
    };
    const Case cases[] = {{"12", true},   {"007", true}, {"-3", true},  {"+4", true}, {"1.5", true},
                          {".5", true},   {"1e3", true}, {" 12 ", true}, {"ON", false}, {"", false},
                          {"1e", false},  {"12A", false}, {"-", false}, {".", false}, {"1.2.3", false},
                          {"E5", false}};
    for (const Case &c : cases)
        EXPECT_EQ(IsNumeric(QString::fromLatin1(c.text)), c.numeric) << c.text;
    EXPECT_EQ(NumericValue("1e3"), 1000);
    EXPECT_EQ(NumericValue("ON"), 0);
}

TEST(FormatNumber, ShortestFormWithoutDecimalsForWholeNumbers)
{
    EXPECT_EQ(FormatNumber(10), "10");
    EXPECT_EQ(FormatNumber(-3.5), "-3.5");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(16711680), "16711680");
    EXPECT_EQ(FormatNumber(172800.25), "172800.25");
}

TEST(FormatLine, QuotesTextAndWritesNumbersBare)
{
    EXPECT_EQ(FormatLine({QString("a"), 2.0, QString(), QString::fromLatin1("\xe9")}), "\"a\",2,\"\",\"\xe9\"");
    // Characters outside Latin-1 cannot be stored and become "?".
    EXPECT_EQ(FormatLine({QString::fromUtf8("\xe2\x82\xac")}), "\"?\"");
}

TEST(FileIo, AppendDurableNeverGluesLinesTogether)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.txt");
    zevtest::WriteFile(path, "\"a\"");  // hand-edited: no line end
    ASSERT_TRUE(AppendDurable(path, "\"b\"\r\n", nullptr, true));
    EXPECT_EQ(zevtest::ReadFile(path), "\"a\"\r\n\"b\"\r\n");
    ASSERT_TRUE(AppendDurable(path, "\"c\"\r\n", nullptr, true));
    EXPECT_EQ(zevtest::ReadFile(path), "\"a\"\r\n\"b\"\r\n\"c\"\r\n");
}

TEST(FileIo, FailuresAreReportedAndCreateNothing)
{
    QTemporaryDir dir;
    // A directory in place of the file makes every write fail.
    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(QDir().mkdir(blocked));
    QString error;
    EXPECT_FALSE(AppendDurable(blocked, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(WriteFileAtomic(blocked, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ReadWholeFile(dir.filePath("missing")).has_value());

    EXPECT_FALSE(WriteFileAtomic(dir.filePath("nodir/keep.txt"), "new"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("nodir")));
    // The failed writes left nothing behind beside the blocked path.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"blocked"});
    EXPECT_TRUE(QDir(blocked).isEmpty());
}
