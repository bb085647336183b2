// The numbers of the spot links' settings files, beyond any integer's range: each falls
// back to its default with a note, and no conversion from floating point overflows.

#include "spotting/spot_text.h"

#include <gtest/gtest.h>

using namespace zev;

TEST(SanitizedNumbers, PackSpotNumbers)
{
    const QList<QByteArray> good = QByteArray("\"4800\"\r\n\"E\"\r\n\"7\"\r\n\"2\"\r\n3\r\n\"R\"\r\n\"TNC\"\r\n1\r\n2\r\n1\r\n"
                                              "#TRUE#\r\n\"1B\"\r\n\"7300\"\r\n\"dxc.example.org\"\r\n")
                                       .split('\n');
    const PackSpotSettings defaults;
    const struct {
        int line;
        const char *name;
        int PackSpotSettings::*field;
    } numbers[] = {
        {5, "SerialPort", &PackSpotSettings::SerialPort},
        {8, "Convert to Hex", &PackSpotSettings::ConvToHex},
        {9, "SerialHandshake", &PackSpotSettings::SerialHandshake},
        {10, "List DX Only", &PackSpotSettings::DxOnly},
    };
    for (const auto &n : numbers) {
        for (const char *value : {"2.2e37", "-2.2e37", "9.3e18", "4294967297", "1e308"}) {
            QList<QByteArray> lines = good;
            lines[n.line - 1] = QByteArray(value) + '\r';
            const PackSpotRead r = ParsePackSpot(lines.join('\n'));
            EXPECT_TRUE(r.complete) << n.name << " " << value;
            EXPECT_EQ(r.settings.*n.field, defaults.*n.field) << n.name << " " << value;
            EXPECT_EQ(r.fallbacks, QStringList{QLatin1String(n.name)}) << n.name << " " << value;
            // The values around it are kept.
            EXPECT_EQ(r.settings.SerialBaud, "4800") << n.name << " " << value;
            EXPECT_EQ(r.settings.TelnetHost, "dxc.example.org") << n.name << " " << value;
        }
    }
}

TEST(SanitizedNumbers, AgwEnginePort)
{
    for (const char *port : {"2.2e37", "-2.2e37", "65536", "0", "4294967297", "1e308", "80.5"}) {
        const AgwEngineRead r = ParseAgwEngine("\"10.0.0.5\"\r\n" + QByteArray(port) + "\r\n");
        EXPECT_EQ(r.address.host, "10.0.0.5") << port;
        EXPECT_EQ(r.address.port, 8000) << port;
        EXPECT_EQ(r.fallbacks, QStringList{"AGW Port"}) << port;
    }
    const AgwEngineRead r = ParseAgwEngine("\"10.0.0.5\"\r\n8001\r\n");
    EXPECT_EQ(r.address.port, 8001);
    EXPECT_TRUE(r.fallbacks.isEmpty());
}
