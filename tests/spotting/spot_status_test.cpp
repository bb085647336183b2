#include "logcore/contact_log.h"
#include "spotting/spot_status.h"

#include <gtest/gtest.h>

namespace zev {
namespace {

ContactRecord Contact(const char *call, const char *exchange, const char *band, const char *mode)
{
    ContactRecord r;
    r.Call = QString::fromLatin1(call);
    r.ExchangeRcvd = QString::fromLatin1(exchange);
    r.Band = QString::fromLatin1(band);
    r.Mode = QString::fromLatin1(mode);
    return r;
}

TEST(SpotStatus, MarksFromTheLogTheBandOfTheSpotAndTheMode)
{
    // VE3AAA gave BC on 40 CW; ON is worked on 20 CW through VE3BBB.
    ContactLog log({Contact("VE3AAA", "BC", "40", "CW"), Contact("VE3BBB", "ON", "20", "CW"),
                    Contact("K1ABC", "12", "20", "CW")});
    const struct {
        const char *call;
        float mhz;
        const char *band;  // current band
        const char *mode;
        SpotMark mark;
    } cases[] = {
        {"VE3BBB", 14.025f, "20", "CW", SpotMark::Dupe},
        {"ve3bbb", 14.025f, "20", "CW", SpotMark::Dupe},   // letter case does not count
        {"VE3BBB", 14.025f, "20", "PH", SpotMark::Mult},   // worked on CW only; ON new on phone
        {"VE3BBB", 7.025f, "20", "CW", SpotMark::Mult},    // the spot's band, not the current one
        {"VE3CCC", 14.030f, "20", "CW", SpotMark::None},   // ON already worked on 20 CW
        {"VE3CCC", 14.030f, "20", "PH", SpotMark::Mult},
        {"VE3AAA", 14.030f, "20", "CW", SpotMark::Mult},   // gave BC before: BC, not ON
        {"VE3AAA", 7.030f, "40", "CW", SpotMark::Dupe},
        {"VE7XYZ", 0.0f, "20", "CW", SpotMark::Mult},      // no frequency: the current band
        {"VE7XYZ", 0.0f, "30", "CW", SpotMark::None},      // not a contest band
        {"VE7XYZ", 10.120f, "20", "CW", SpotMark::None},   // spot outside every contest band
        {"K1ABC", 14.030f, "20", "CW", SpotMark::Dupe},
        {"K1ABC", 7.030f, "20", "CW", SpotMark::None},     // no province from a serial number
        {"DL1ABC", 14.030f, "20", "CW", SpotMark::None},
        {"", 14.030f, "20", "CW", SpotMark::None},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.call << " " << c.mhz << " " << c.band << " " << c.mode);
        EXPECT_EQ(MarkSpot(log, QString::fromLatin1(c.call), c.mhz, QString::fromLatin1(c.band),
                           QString::fromLatin1(c.mode)),
                  c.mark);
    }
}

TEST(SpotStatus, ProvinceFromAnEarlierExchangeElseThePrefix)
{
    ContactLog log({Contact("VE3AAA", "001", "40", "CW"), Contact("VE3AAA", "bc", "20", "CW")});
    EXPECT_EQ(SpotProvince(log, QStringLiteral("VE3AAA")), QStringLiteral("BC"));
    EXPECT_EQ(SpotProvince(log, QStringLiteral("VA7ZZ")), QStringLiteral("BC"));
    EXPECT_EQ(SpotProvince(log, QStringLiteral("VE3ZZ")), QStringLiteral("ON"));
    EXPECT_EQ(SpotProvince(log, QStringLiteral("W1AW")), QString());
}

TEST(SpotStatus, StatusTexts)
{
    EXPECT_EQ(SpotStatusText(SpotMark::Dupe), QStringLiteral("dupe"));
    EXPECT_EQ(SpotStatusText(SpotMark::Mult), QStringLiteral("mult"));
    EXPECT_EQ(SpotStatusText(SpotMark::None), QString());
}

}  // namespace
}  // namespace zev
